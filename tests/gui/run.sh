#!/usr/bin/env bash
# Real windows driven as a person would drive them: xdotool moves the real
# pointer and presses real keys over zenvas-host --window under a virtual X
# server; the screen's pixels and the printed slots must equal a headless
# run of the same steps.
#   run.sh HOST PLUGIN SCREEN-TOOL WORKDIR
# Without Xvfb or xdotool it skips (exit 77), unless ZENVAS_REQUIRE_GUI
# is set (CI), where it fails.
set -uo pipefail
host=$1 plugin=$2 screen=$3 work=$4
here="$(cd "$(dirname "$0")" && pwd)"

source "$here/../support/virtual-display.sh"
on_virtual_display gui "$work" "$0" "$@"

cd "$work"
# No accessibility bus runs under the virtual server: GTK's bridge to it
# would only fail to connect (and keep the few bytes of that attempt, which
# the leak checker of the sanitizer build reports).
export NO_AT_BRIDGE=1
# Nor a settings service: GTK's settings (the colour chooser's custom
# colours) stay in memory instead of going to dconf over D-Bus.
export GSETTINGS_BACKEND=memory
# With GTK up, fontconfig is not shut down at exit (GTK still holds it), so
# its start-up blocks stay: the same report the fuzzers suppress.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/../../fuzz/lsan.supp:print_suppressions=0"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pause() { sleep "${1:-0.15}"; }
# Waits for host $1 to end, at most a minute: a host that does not end is
# killed and reported with $2, rather than holding the whole test up.
finish() {
  local pid=$1 what=$2 tenths=0
  while kill -0 "$pid" 2>/dev/null && [ "$tenths" -lt 600 ]; do sleep 0.1; tenths=$((tenths + 1)); done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    fail "$what: the host was still running a minute later"
  fi
  wait "$pid"
}
# Screen pixels of the area (x, y, w, h) of window $1 against picture $2.
same_pixels() {
  local id=$1 picture=$2 dx=$3 dy=$4 w=$5 h=$6 shot="$work/shot-$(basename "$2")"
  eval "$(xdotool getwindowgeometry --shell "$id")"
  "$screen" grab $((X + dx)) $((Y + dy)) "$w" "$h" "$shot" || return 1
  "$screen" compare "$shot" "$picture"
}

# 1. A rubber-band rectangle, a host button's click and a pen stroke.
cp "$here/strokes.zhs" "$here/strokes-headless.zhs" .
"$host" --plugin "$plugin" strokes-headless.zhs > headless.out 2>&1 || fail "headless strokes: $(cat headless.out)"
"$host" --plugin "$plugin" --window --trace strokes.zhs > window.out 2>&1 &
pid=$!
page=$(window_named strokes.zhs)
if [ -z "$page" ]; then
  fail "the page window never appeared: $(cat window.out)"
else
  pause 0.5
  # Page points are the window's client points; Pen sits at (10, 10).
  # The last move leaves the canvas: its capture keeps the drag going.
  xdotool mousemove --window "$page" 250 30; pause
  xdotool mousedown 1; pause
  for p in "290 60" "350 110" "470 180"; do xdotool mousemove --window "$page" $p; pause; done
  xdotool mouseup 1; pause
  xdotool mousemove --window "$page" 50 182 click 1; pause 0.3
  xdotool mousemove --window "$page" 30 30; pause
  xdotool mousedown 1; pause
  for p in "60 40" "100 90" "150 120"; do xdotool mousemove --window "$page" $p; pause; done
  xdotool mouseup 1; pause 0.5
  same_pixels "$page" pen-headless.png 10 10 200 150 || fail "the pen canvas differs from the headless run"
  same_pixels "$page" box-headless.png 230 10 200 150 || fail "the rectangle canvas differs from the headless run"
  kill -TERM "$pid"
fi
finish "$pid" "the strokes page"; status=$?
[ "$status" -eq 0 ] || fail "zenvas-host --window ended with $status: $(tail -5 window.out)"
grep -q "message 2" window.out || fail "closing the page did not close the project (no message 2)"

# 2. Ending the page while a drag is held, while a modal editor is open,
# and while the first of a subroutine's three choosers is open (the two
# after it must not open): the open loops end, the project closes, nothing
# leaks.
cp "$here/pickers.zhs" .
for case in drag editor chooser; do
  script=strokes.zhs
  [ "$case" = chooser ] && script=pickers.zhs
  "$host" --plugin "$plugin" --window --trace "$script" > "end-$case.out" 2>&1 &
  pid=$!
  page=$(window_named "$script")
  if [ -z "$page" ]; then
    fail "the page window never appeared: $(cat "end-$case.out")"
  else
    pause 0.5
    case $case in
      drag)
        xdotool mousemove --window "$page" 250 30 mousedown 1; pause
        xdotool mousemove --window "$page" 300 80; pause ;;
      editor)
        xdotool mousemove --window "$page" 140 182 click 1
        [ -n "$(window_named ZenvasClear)" ] || fail "the editor of the host button never appeared" ;;
      chooser)
        xdotool mousemove --window "$page" 40 20 click 1
        [ -n "$(window_named Color)" ] || fail "the colour chooser never appeared" ;;
    esac
  fi
  kill -TERM "$pid"
  finish "$pid" "ending the page during a $case"; status=$?
  [ "$case" = drag ] && xdotool mouseup 1
  [ "$status" -eq 0 ] || fail "ending the page during a $case: exit $status: $(tail -5 "end-$case.out")"
  grep -q "message 2" "end-$case.out" || fail "ending the page during a $case did not close the project"
done
grep -q "editor closed: False" end-editor.out || fail "the open editor did not end as cancelled"

# 3. An action editor: typing into a spin field, a drop-down list, a
# labelled edit, Enter.
# The screen in the middle of a held drag, for each tool: xdotool presses
# and moves the real pointer and pauses before the release; the screen's
# pixels then must equal a headless run stopped at the same point.
source "$here/../support/held-drags.sh"
write_held_drags .
for tool in $HELD_TOOLS; do
  "$host" --plugin "$plugin" "held-$tool.zhs" > "held-$tool.out" 2>&1 || fail "headless $tool: $(cat "held-$tool.out")"
  "$host" --plugin "$plugin" --window "ready-$tool.zhs" > "ready-$tool.out" 2>&1 &
  pid=$!
  page=$(window_named "ready-$tool.zhs")
  if [ -z "$page" ]; then
    fail "the page never appeared: $(cat "ready-$tool.out")"
  else
    pause 0.5
    while read -r kind x y; do
      case "$kind" in
        move) xdotool mousemove --window "$page" $((x + 10)) $((y + 10)) ;;
        down) xdotool mousedown 1 ;;
      esac
      pause
    done < <(held_pointer_steps)
    pause 0.5
    same_pixels "$page" "held-$tool.png" 10 10 200 150 \
      || fail "the screen during a held $tool drag differs from the headless run"
    xdotool mouseup 1
  fi
  kill -TERM "$pid"; finish "$pid" "the page of the held $tool drag"
done

cp "$here/editor-headless.zhs" .
"$host" --plugin "$plugin" editor-headless.zhs > editor-headless.out 2>&1 || fail "headless editor: $(cat editor-headless.out)"
"$host" --plugin "$plugin" --window --edit ZvRectangleNoMouse "Page" "2" "0,0,0" "" "" "255,255,255" "" \
  > editor-window.out 2>&1 &
pid=$!
dialog=$(window_named ZvRectangleNoMouse)
if [ -z "$dialog" ]; then
  fail "the editor never appeared: $(cat editor-window.out)"
  kill "$pid"
else
  pause 0.5
  xdotool mousemove --window "$dialog" 60 127 click 1; pause
  xdotool type --delay 40 5; pause
  xdotool mousemove --window "$dialog" 85 234 click 1; pause 0.4
  xdotool mousemove --window "$dialog" 35 268 click 1; pause
  xdotool mousemove --window "$dialog" 150 395 click 1; pause
  xdotool type --delay 40 '1|1|150|150'; pause 0.4
  same_pixels "$dialog" editor-headless.png 0 0 394 530 || fail "the editor differs from the headless run"
  xdotool key Return
fi
finish "$pid" "the editor after Enter"; status=$?
[ "$status" -eq 0 ] || fail "the editor was not confirmed (exit $status)"
diff editor-headless.out editor-window.out > editor.diff || fail "the slots differ from the headless run: $(cat editor.diff)"

# 4. The desktop's colour, font and file choosers, from a host button's
# subroutine: what they select comes back in the variables. Under the
# sanitizers a key typed while the file chooser is still settling can be
# lost (a name of "/mp/..." then opens an error inside the chooser, which
# stays open), so the name is typed into the chooser's own folder (the
# host's), and a round whose answers did not all come back is run again,
# up to three times.
pickers() {
  "$host" --plugin "$plugin" --window pickers.zhs > pickers.out 2>&1 &
  local pid=$! page chooser tenths=0
  page=$(window_named pickers.zhs)
  if [ -n "$page" ]; then
    pause 0.3
    xdotool mousemove --window "$page" 40 20 click 1
    # Each chooser's Select button sits at its bottom right.
    for title in Color Font; do
      chooser=$(window_named "$title")
      [ -n "$chooser" ] || continue
      pause 0.5
      eval "$(xdotool getwindowgeometry --shell "$chooser")"
      xdotool mousemove --window "$chooser" $((WIDTH - 50)) $((HEIGHT - 25)) click 1
    done
    # The file chooser starts in its name field: a Cyrillic name, typed.
    chooser=$(window_named "Save As")
    if [ -n "$chooser" ]; then
      pause 1.5
      xdotool type --delay 60 "снимок.bmp"; pause 0.5
      xdotool key Return
    fi
    # The answer is printed once the chooser has closed (slowly under the
    # sanitizers): the page ends only then.
    for _ in $(seq 200); do grep -q '^file ' pickers.out && break; sleep 0.1; done
  fi
  kill -TERM "$pid"
  while kill -0 "$pid" 2>/dev/null && [ "$tenths" -lt 300 ]; do sleep 0.1; tenths=$((tenths + 1)); done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid"
  grep -Eq '^colour [0-9]+,[0-9]+,[0-9]+$' pickers.out &&
    grep -Eq '^font .+\|clWindowText\|8\|\|1$' pickers.out &&
    grep -Fxq "file True $work/снимок.bmp" pickers.out # back from GTK in UTF-8, kept in code page 1251
}
for round in 1 2 3; do
  pickers && break
  echo "gui: round $round of the choosers gave: $(grep -v dconf pickers.out | tr '\n' ' ')"
  [ "$round" -lt 3 ] || fail "the choosers' answers did not all come back: $(grep -v dconf pickers.out)"
done

if [ "$failures" -gt 0 ]; then
  echo "gui: $failures failure(s); pictures and outputs in $work"
  exit 1
fi
echo "gui: the real windows gave the headless run's pixels and slots"
