#!/usr/bin/env bash
# Zenvas.nbp must export exactly the seven entry points.
set -euo pipefail
expected="nbEditAction nbExecAction nbInitPlugIn nbMessage nbRegisterInterfaceAccess nbRegisterPlugIn nbRegisterScriptProcessor"
actual=$(nm -D --defined-only "$1" | awk '$2 == "T" {print $3}' | sort | tr '\n' ' ' | sed 's/ $//')
others=$(nm -D --defined-only "$1" | awk '$2 != "T" && $2 != "A" {print $3}' | tr '\n' ' ')
if [ "$actual" != "$expected" ] || [ -n "$others" ]; then
  echo "exported: $actual"
  echo "other symbols: $others"
  exit 1
fi
echo "exports: $actual"
