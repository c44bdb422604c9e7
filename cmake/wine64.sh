#!/bin/sh
# Runs a program of the 64-bit Windows build under wine64 (see wine.sh).
exec "$(dirname "$0")/wine.sh" wine64 "$@"
