#!/usr/bin/env bash
# Reads a Windows DLL's export and import tables with objdump -p and fails
# on an export other than the seven entry points, a decorated export name,
# or an imported DLL that not every Windows installation has.
# With the object file that defines the entry points (32-bit), it also
# checks that each is stdcall: its symbol carries the decoration _name@bytes
# with the size of its arguments.
#   check-dll-tables.sh OBJDUMP DLL [ENTRY_POINTS_OBJECT]
set -euo pipefail
objdump="$1"
dll="$2"
object="${3:-}"

# Part of every Windows installation: the system's own DLLs and its C
# runtime (msvcrt). Everything else (the C++ runtime, libgcc, winpthread,
# the codec and text libraries) must be linked in.
allowed_imports="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
oleaut32.dll shell32.dll user32.dll"
expected_exports="nbEditAction nbExecAction nbInitPlugIn nbMessage nbRegisterInterfaceAccess nbRegisterPlugIn
nbRegisterScriptProcessor"

tables="$("$objdump" -p "$dll")"
imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$tables" | sort -u)"
# The export name table: "[   n] name" lines after its heading.
exports="$(awk '/^\[Ordinal\/Name Pointer\] Table/ {on = 1; next} on && /^[[:space:]]*\[ *[0-9]+\]/ {print $NF; next} on {on = 0}' <<<"$tables" | sort)"

failed=0
echo "$dll:"
echo "  imports: $(tr '\n' ' ' <<<"$imports")"
echo "  exports: $(tr '\n' ' ' <<<"$exports")"
while read -r import; do
  [ -n "$import" ] || continue
  if ! grep -qw -- "$(tr '[:upper:]' '[:lower:]' <<<"$import")" <<<"$allowed_imports"; then
    echo "  FAIL: imports $import, which not every Windows installation has" >&2
    failed=1
  fi
done <<<"$imports"
if [ "$exports" != "$(tr ' ' '\n' <<<"$expected_exports" | sed '/^$/d' | sort)" ]; then
  echo "  FAIL: the exports are not exactly the seven entry points under their plain names" >&2
  failed=1
fi
if [ -n "$object" ]; then
  nm="${objdump%objdump}nm"
  defined="$("$nm" -g --defined-only "$object" | awk '{print $3}')"
  for symbol in _nbRegisterPlugIn@16 _nbInitPlugIn@16 _nbEditAction@8 _nbExecAction@8 _nbMessage@4 \
      _nbRegisterScriptProcessor@4 _nbRegisterInterfaceAccess@4; do
    if ! grep -qxF -- "$symbol" <<<"$defined"; then
      echo "  FAIL: $object does not define $symbol (stdcall)" >&2
      failed=1
    fi
  done
  [ "$failed" -ne 0 ] || echo "  entry points: stdcall (_name@bytes in $(basename "$object"))"
fi
exit "$failed"
