/* Loads the installed plug-in through the public header alone and counts
 * the entries it registers. Exit status 0 only for the whole table. */
#include <zenvas/zenvas.h>

#include <dlfcn.h>
#include <stdio.h>

static int entries;

static void ZENVAS_CALL add_action(int32_t number, const char *name, const char *hint,
                                   const uint8_t *types, int32_t high_index, int32_t count)
{
    (void)number;
    (void)name;
    (void)hint;
    (void)types;
    (void)high_index;
    (void)count;
    ++entries;
}

static void ZENVAS_CALL set_variable(const char *name, const char *value)
{
    (void)name;
    (void)value;
}

int main(void)
{
    ZenvasRegisterPlugInFn register_plugin;
    void *plugin = dlopen(ZENVAS_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    if (!plugin) {
        fprintf(stderr, "count_entries: %s\n", dlerror());
        return 2;
    }
    /* POSIX's way from dlsym's object pointer to a function pointer. */
    *(void **)&register_plugin = dlsym(plugin, "nbRegisterPlugIn");
    if (!register_plugin) {
        fprintf(stderr, "count_entries: %s\n", dlerror());
        return 2;
    }
    register_plugin(add_action, 0, 0, set_variable);
    printf("%s registered %d entries\n", ZENVAS_PLUGIN, entries);
    return entries == 54 ? 0 : 1;
}
