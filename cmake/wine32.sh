#!/bin/sh
# Runs a program of the 32-bit Windows build under wine32 (see wine.sh).
exec "$(dirname "$0")/wine.sh" wine "$@"
