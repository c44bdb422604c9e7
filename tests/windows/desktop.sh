#!/usr/bin/env bash
# The Win32 backend on a desktop: zenvas-host.exe --window under wine64 and
# a virtual X server. The host hands the plug-in its rectangle's HWND, the
# plug-in fills it with a window of its own, and the strokes arrive as
# posted mouse messages. The screen's pixels (read back from the X server)
# and the host's snapshot must equal a headless run's, and closing the page
# must close the project.
#   desktop.sh WINE HOST PLUGIN SCREEN-TOOL WORKDIR [STANDALONE-TESTS DLL]
# With the last two, the standalone DLL's own test of a host's window runs
# on the same display first.
# SCREEN-TOOL may be empty (no Linux build beside this one): the screen's
# pixels are then not compared. Without Xvfb or xdotool it skips (exit
# 77), unless ZENVAS_REQUIRE_GUI is set (CI), where it fails.
set -uo pipefail
wine=$1 host=$2 plugin=$3 screen=$4 work=$5 standalone=${6:-} dll=${7:-}
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/../support/virtual-display.sh"
on_virtual_display desktop "$work" "$0" "$@"

cd "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
if [ -z "$screen" ] && [ -n "${ZENVAS_REQUIRE_GUI:-}" ]; then
  fail "no zenvas-screen to read the screen with (build the Linux release first)"
fi
cp "$here/stroke.zhs" .
# The real pointer stays away from the page: its own moves must not mix
# with the posted ones.
xdotool mousemove 1279 1023

if [ -n "$standalone" ]; then
  ZENVAS_STANDALONE_DLL="$dll" "$wine" "$standalone" --gtest_filter='*HostsWindow*:*ReachesTheScreen*' > standalone.out 2>&1
  grep -q '^\[  PASSED  \] 4 tests' standalone.out || fail "the DLL in a host's window: $(cat standalone.out)"
  # The limits of a 32-bit process's addresses, and failures inside the
  # window procedure and the host's callbacks, on the same display.
  ZENVAS_STANDALONE_DLL="$dll" "$wine" "$standalone" \
    --gtest_filter='*AddressSpaceLimits*:*NeverReachTheHost*' > limits.out 2>&1
  grep -q '^\[  PASSED  \] 2 tests' limits.out || fail "limits and failures in handlers: $(cat limits.out)"
  grep '^\[ memory' limits.out
  # Once more under the ANSI code page 1251: a Russian locale, compiled
  # here from the C library's sources (the locales package) into the work
  # folder, which wine takes its code pages from.
  if [ -d ru_RU.CP1251 ] || localedef -i ru_RU -f CP1251 "$PWD/ru_RU.CP1251" > localedef.out 2>&1; then
    LOCPATH="$PWD" LC_ALL=ru_RU.CP1251 ZENVAS_STANDALONE_DLL="$dll" "$wine" "$standalone" \
      --gtest_filter='*CodePage1251*' > cyrillic.out 2>&1
    grep -q '^\[  PASSED  \] 1 test' cyrillic.out || fail "Cyrillic file names under code page 1251: $(cat cyrillic.out)"
  else
    fail "cannot make the ru_RU.CP1251 locale: $(cat localedef.out)"
  fi
fi

"$wine" "$host" --plugin "$plugin" stroke.zhs > headless.out 2>&1 <<<"" \
  || fail "headless run: $(cat headless.out)"
mv stroke.png headless.png
"$wine" "$host" --plugin "$plugin" --window --trace stroke.zhs > window.out 2>&1 &
pid=$!
for _ in $(seq 600); do grep -q '^drawn' window.out && break; sleep 0.1; done
page=$(window_named 'stroke.zhs' 30)
if ! grep -q '^drawn' window.out || [ -z "$page" ]; then
  fail "the page never showed the strokes: $(cat window.out)"
else
  own=$(sed -n 's/.*rectangle "Pen" is window \([0-9]*\).*/\1/p' window.out)
  answered=$(sed -n 's/.*rectangle "Pen" -> \([0-9]*\).*/\1/p' window.out)
  [ -n "$answered" ] && [ "$answered" != 0 ] && [ "$answered" != "$own" ] \
    || fail "code 7 answered $answered, not a window of the desktop"
  sleep 1
  if [ -n "$screen" ]; then
    # The X window may include the frame wine draws: the client area (the
    # 1024 x 768 page) sits at its bottom, centred.
    eval "$(xdotool getwindowgeometry --shell "$page")"
    fx=$(((WIDTH - 1024) / 2)) fy=$((HEIGHT - 768 - (WIDTH - 1024) / 2))
    "$screen" grab $((X + fx + 10)) $((Y + fy + 10)) 200 150 screen.png \
      && "$screen" compare screen.png headless.png || fail "the screen differs from the headless snapshot"
  fi
  "$wine" taskkill /im "$(basename "$host")" > /dev/null 2>&1
fi
wait "$pid"; status=$?
[ "$status" -eq 0 ] || fail "zenvas-host.exe --window ended with $status: $(tail -5 window.out)"
grep -q "message 2" window.out || fail "closing the page did not close the project (no message 2)"
cmp -s stroke.png headless.png || fail "the window's snapshot differs from the headless one"

# The screen in the middle of a held drag, for each tool: the drag travels
# as posted mouse messages and stops with the button held; the screen's
# pixels then must equal a headless run stopped at the same point.
source "$here/../support/held-drags.sh"
write_held_drags .
for tool in $HELD_TOOLS; do
  "$wine" "$host" --plugin "$plugin" "held-$tool.zhs" > "held-$tool.out" 2>&1 <<<"" \
    || fail "headless $tool: $(cat "held-$tool.out")"
  mv "held-$tool.png" "headless-$tool.png"
  "$wine" "$host" --plugin "$plugin" --window "held-$tool.zhs" > "window-$tool.out" 2>&1 &
  pid=$!
  for _ in $(seq 600); do grep -q '^held' "window-$tool.out" && break; sleep 0.1; done
  page=$(window_named "held-$tool.zhs" 30)
  if ! grep -q '^held' "window-$tool.out" || [ -z "$page" ]; then
    fail "the $tool drag never showed: $(cat "window-$tool.out")"
  else
    sleep 0.5
    if [ -n "$screen" ]; then
      eval "$(xdotool getwindowgeometry --shell "$page")"
      fx=$(((WIDTH - 1024) / 2)) fy=$((HEIGHT - 768 - (WIDTH - 1024) / 2))
      "$screen" grab $((X + fx + 10)) $((Y + fy + 10)) 200 150 "screen-$tool.png" \
        && "$screen" compare "screen-$tool.png" "headless-$tool.png" \
        || fail "the screen during a held $tool drag differs from the headless run"
    fi
    cmp -s "held-$tool.png" "headless-$tool.png" || fail "the window's $tool snapshot differs from the headless one"
  fi
  "$wine" taskkill /im "$(basename "$host")" > /dev/null 2>&1
  wait "$pid"
done

# An action editor as a modal pop-up, driven through the X server by
# xdotool as a person would: typing into a spin field, a drop-down list, a
# labelled edit, Enter. The same steps as the Linux desktop test, against
# the same headless twin.
cp "$here/../gui/editor-headless.zhs" .
"$wine" "$host" --plugin "$plugin" editor-headless.zhs > editor-headless.out 2>&1 \
  || fail "headless editor: $(cat editor-headless.out)"
"$wine" "$host" --plugin "$plugin" --window --edit ZvRectangleNoMouse "Page" "2" "0,0,0" "" "" "255,255,255" "" \
  > editor-window.out 2>&1 &
pid=$!
dialog=$(window_named 'ZvRectangleNoMouse' 60)
if [ -z "$dialog" ]; then
  fail "the editor never appeared: $(cat editor-window.out)"
  "$wine" taskkill /f /im "$(basename "$host")" > /dev/null 2>&1
else
  sleep 1
  xdotool mousemove --window "$dialog" 60 127 click 1; sleep 0.3
  xdotool type --delay 40 5; sleep 0.3
  xdotool mousemove --window "$dialog" 85 234 click 1; sleep 0.5
  xdotool mousemove --window "$dialog" 35 268 click 1; sleep 0.3
  xdotool mousemove --window "$dialog" 150 395 click 1; sleep 0.3
  xdotool type --delay 40 '1|1|150|150'; sleep 0.5
  if [ -n "$screen" ]; then
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    "$screen" grab "$X" "$Y" 394 530 editor-screen.png && "$screen" compare editor-screen.png editor-headless.png \
      || fail "the editor on the screen differs from the headless run"
  fi
  xdotool key Return
fi
wait "$pid"; status=$?
[ "$status" -eq 0 ] || fail "the editor was not confirmed (exit $status)"
grep -v '^\(wine\|[0-9a-f]*:\)' editor-window.out > editor-slots.out
diff editor-headless.out editor-slots.out > editor.diff || fail "the slots differ from the headless run: $(cat editor.diff)"

# The common dialogs (ChooseColor, ChooseFont) from a host button's
# subroutine, each confirmed with Enter: what they hold comes back in the
# variables. The Save dialog that follows is left open: closing the page
# cancels it, and the project still closes.
cp "$here/../gui/pickers.zhs" .
"$wine" "$host" --plugin "$plugin" --window pickers.zhs > pickers.out 2>&1 &
pid=$!
page=$(window_named 'pickers.zhs' 60)
if [ -n "$page" ]; then
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$page")"
  fx=$(((WIDTH - 1024) / 2)) fy=$((HEIGHT - 768 - (WIDTH - 1024) / 2))
  xdotool mousemove --window "$page" $((fx + 40)) $((fy + 20)) click 1
  for title in Color Font; do
    chooser=$(window_named "$title" 30)
    [ -n "$chooser" ] || { fail "the $title dialog never appeared"; break; }
    sleep 0.5
    xdotool key Return
  done
  sleep 0.5
fi
"$wine" taskkill /im "$(basename "$host")" > /dev/null 2>&1
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  fail "closing the page with a chooser open did not end the host"
  "$wine" taskkill /f /im "$(basename "$host")" > /dev/null 2>&1
fi
wait "$pid"
grep -Eq '^colour [0-9]+,[0-9]+,[0-9]+' pickers.out || fail "ChooseColor gave no colour: $(cat pickers.out)"
grep -Eq '^font .+\|clWindowText\|8\|\|[0-9]+' pickers.out || fail "ChooseFont gave no font: $(cat pickers.out)"
grep -q '^file False' pickers.out || fail "closing the page did not cancel the Save dialog: $(cat pickers.out)"

# GetOpenFileName from an editor's file button, with the editor's filter
# text ("Курсор (*cur)|*.cur" in code page 1251): the name typed comes back
# in the slot as the dialog's full path.
cp "$here/../scripts/fixtures/square.cur" .
cursor="Z:${PWD//\//\\}\\square.cur" # the work folder as wine names it
"$wine" "$host" --plugin "$plugin" --window --edit ZenvasSetCursor "Pen" "1" > files.out 2>&1 &
pid=$!
dialog=$(window_named 'ZenvasSetCursor' 60)
if [ -n "$dialog" ]; then
  sleep 1
  xdotool mousemove --window "$dialog" 337 127 click 1 # the folder button of the cursor's row
  if [ -n "$(window_named 'Open' 30)" ]; then
    sleep 1
    xdotool type --delay 30 "$cursor"; sleep 0.3
    xdotool key Return; sleep 1
  else
    fail "the Open dialog never appeared"
  fi
  xdotool key Return
else
  fail "the ZenvasSetCursor editor never appeared"
  "$wine" taskkill /f /im "$(basename "$host")" > /dev/null 2>&1
fi
wait "$pid"
tr -d '\r' < files.out | grep -qxF "$cursor" || fail "GetOpenFileName did not give $cursor: $(cat files.out)"

[ "$failures" -eq 0 ] && echo "desktop: all passed"
exit $((failures > 0))
