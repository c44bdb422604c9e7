#!/usr/bin/env bash
# What the host prints reaches a file while the host still runs: a script
# prints a line and a trace, then loops for good; the line must be in the
# log before the host is stopped.
#   live-output.sh HOST PLUGIN WORKDIR
set -u
host=$1 plugin=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
printf 'Print "started"\nWhile 1 = 1\nEndWhile\n' > loop.zhs
"$host" --plugin "$plugin" --trace --max-loop 18446744073709551615 loop.zhs > log 2>&1 &
pid=$!
for _ in $(seq 100); do
    if grep -q '^started$' log && grep -q '^trace: loop.zhs: plug-in "' log; then
        kill "$pid"
        exit 0
    fi
    sleep 0.1
done
kill "$pid"
echo "after 10 s the log of the running host holds only:"
cat log
exit 1
