/*
 * The Zenvas plug-in interface: what a host program compiles against.
 *
 * A host loads the plug-in library ("Zenvas.nbp") and looks up the seven
 * entry points below by name. The plug-in calls the host back through the
 * four callbacks the host hands over. Every call, in either direction, is
 * made on the host's single user-interface thread; nothing here is
 * thread-safe and nothing needs to be.
 *
 * Texts. Every text is a NUL-terminated single-byte string (code page 1251
 * for the plug-in's own Russian texts). A "text slot" (char **) holds a
 * block from the process-wide global memory allocator (on Windows the
 * system's fixed GlobalAlloc memory, released with GlobalFree; elsewhere
 * the platform's stand-ins for the pair), or NULL. Whoever replaces a
 * slot's text first releases the block the slot held, then stores a fresh
 * block, so host and plug-in may each release what the other allocated. A
 * slot holding anything else is treated as empty: it is overwritten, never
 * released.
 *
 * Results. A boolean result is ZENVAS_TRUE (1) or ZENVAS_FALSE (0). No entry
 * point reports failure other than through its result; no exception,
 * signal or abort ever leaves the plug-in.
 *
 * This header is plain C89 with <stdint.h> and compiles as C and as C++.
 */
#ifndef ZENVAS_ZENVAS_H
#define ZENVAS_ZENVAS_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define ZENVAS_CALL __stdcall
#else
#define ZENVAS_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t ZenvasBool;
#define ZENVAS_FALSE 0
#define ZENVAS_TRUE 1

/* ------------------------------------------------------------------------
 * Callbacks the host hands to the plug-in.
 * ---------------------------------------------------------------------- */

/*
 * Registers one entry of the plug-in's action table. Called only from
 * nbRegisterPlugIn, once per entry, in table order. `number` is the action
 * number (1..52) or 0 for a heading; `types` points to `high_index + 1`
 * parameter type codes (1 ordinary, 5 cursor file, 6 variable name);
 * `count` is the parameter count (0 for headings, whose type list still
 * holds one byte). The pointers are valid only during the call.
 */
typedef void(ZENVAS_CALL *ZenvasAddActionProc)(int32_t number, const char *name, const char *hint,
                                               const uint8_t *types, int32_t high_index,
                                               int32_t count);

/*
 * Sets the project variable `name` to `value`. The name is passed exactly as
 * the action parameter or tool setting holds it. Both pointers are valid only
 * during the call. The host may call back into the plug-in before returning.
 */
typedef void(ZENVAS_CALL *ZenvasSetVariableProc)(const char *name, const char *value);

/*
 * Runs a script text, always of the form: GoSub "Name". The host runs the
 * subroutine before returning, and that subroutine may call any entry point
 * of the plug-in again (re-entrantly), including one that deletes the canvas
 * whose pointer handler made this call.
 */
typedef void(ZENVAS_CALL *ZenvasScriptProcessorProc)(const char *script);

/*
 * Answers an interface query. On entry `*slot` holds a fresh global-memory
 * block with the query text; on return it must hold either that block or
 * another global-memory block (the host releases the one it replaces). The
 * plug-in reads the slot and then releases it in every case.
 *   code 7:  the text is a rectangle name; the host leaves the decimal handle
 *            of that rectangle's window in the slot ("0": no such window).
 *   code 8:  pick a rectangle name; on true the slot holds it.
 *   code 14: pick a variable name; on true the slot holds it.
 *   code 5:  on true the slot holds the project's list of subroutines.
 */
typedef ZenvasBool(ZENVAS_CALL *ZenvasInterfaceAccessProc)(int32_t code, char **slot);

/* ------------------------------------------------------------------------
 * Entry points the plug-in exports (by these exact names).
 * ---------------------------------------------------------------------- */

/*
 * Stores the register-action and set-variable callbacks (the second and
 * third arguments are kept and never used), then registers the whole action
 * table through `add_action`: 54 calls, 52 actions and two headings. Calling
 * it again registers the table again.
 */
typedef void(ZENVAS_CALL *ZenvasRegisterPlugInFn)(ZenvasAddActionProc add_action, int32_t reserved1,
                                                  int32_t reserved2,
                                                  ZenvasSetVariableProc set_variable);

/*
 * Fills the three text slots with the plug-in's title, author and
 * description, releasing any block a slot already held. The first argument
 * is kept and never used.
 */
typedef void(ZENVAS_CALL *ZenvasInitPlugInFn)(int32_t reserved, char **title, char **author,
                                              char **description);

/*
 * Design time: shows the editor dialog of action `number` over the slots
 * params[0 .. count-1]. On OK the slots are replaced (each old block
 * released) and the result is true; on Cancel they are left alone and the
 * result is false. Numbers outside 1..52 return false at once.
 */
typedef ZenvasBool(ZENVAS_CALL *ZenvasEditActionFn)(int32_t number, char **params);

/*
 * Run time: performs action `number` with the parameter texts
 * params[0 .. count-1], which the plug-in only reads. Results other than the
 * boolean reach the project through the set-variable callback. Numbers
 * outside 1..52 return false.
 */
typedef ZenvasBool(ZENVAS_CALL *ZenvasExecActionFn)(int32_t number, char **params);

/* Code 2 closes and releases every canvas; every other code is ignored. */
typedef void(ZENVAS_CALL *ZenvasMessageFn)(int32_t code);

/* Stores the script-processor callback (replacing an earlier one). */
typedef void(ZENVAS_CALL *ZenvasRegisterScriptProcessorFn)(ZenvasScriptProcessorProc proc);

/* Stores the interface-access callback (replacing an earlier one). */
typedef void(ZENVAS_CALL *ZenvasRegisterInterfaceAccessFn)(ZenvasInterfaceAccessProc proc);

#ifdef ZENVAS_DECLARE_ENTRY_POINTS
void ZENVAS_CALL nbRegisterPlugIn(ZenvasAddActionProc add_action, int32_t reserved1,
                                  int32_t reserved2, ZenvasSetVariableProc set_variable);
void ZENVAS_CALL nbInitPlugIn(int32_t reserved, char **title, char **author, char **description);
ZenvasBool ZENVAS_CALL nbEditAction(int32_t number, char **params);
ZenvasBool ZENVAS_CALL nbExecAction(int32_t number, char **params);
void ZENVAS_CALL nbMessage(int32_t code);
void ZENVAS_CALL nbRegisterScriptProcessor(ZenvasScriptProcessorProc proc);
void ZENVAS_CALL nbRegisterInterfaceAccess(ZenvasInterfaceAccessProc proc);
#endif

#ifdef __cplusplus
}
#endif

#endif /* ZENVAS_ZENVAS_H */
