/* The public header must serve a host written in C. */
#define ZENVAS_DECLARE_ENTRY_POINTS
#include "zenvas/zenvas.h"

static void ZENVAS_CALL set_variable(const char *name, const char *value)
{
    (void)name;
    (void)value;
}

int main(void)
{
    ZenvasSetVariableProc proc = set_variable;
    ZenvasExecActionFn exec = 0;
    (void)exec;
    proc("[x]", "1");
    return ZENVAS_TRUE - 1;
}
