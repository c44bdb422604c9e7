# Sourced by the screen tests. write_held_drags DIR writes one script per
# tool into DIR, held-TOOL.zhs: a 200 x 150 canvas at (10, 10) of the page
# with that tool, then a drag that stops with the button still held, a
# snapshot of the canvas as it shows at that moment (held-TOOL.png) and the
# line "held". HELD_TOOLS lists the tools; held_pointer_steps prints the
# drag's steps, for a driver of the real pointer.
HELD_TOOLS="pen brush line rectangle spray selection"

held_tool_action() {
  case "$1" in
    pen) echo 'ZenvasPen "Canvas" "255,0,0" "" ""' ;;
    brush) echo 'ZenvasBrush "Canvas" "8" "0,0,255" ""' ;;
    line) echo 'ZenvasLine "Canvas" "3" "0,128,0" "Solid" ""' ;;
    rectangle) echo 'ZenvasRectangle "Canvas" "2" "0,0,128" "Solid" "Clear" "" ""' ;;
    spray) echo 'ZenvasAero "Canvas" "12" "30" "255,0,255" ""' ;;
    selection) echo 'ZenvasCopyPaste "Canvas" "False" ""' ;;
  esac
}

# The drag, in the canvas's client coordinates: hover, press, three moves.
held_pointer_steps() {
  echo "move 20 20"
  echo "down 20 20"
  echo "move 60 40"
  echo "move 110 80"
  echo "move 150 110"
}

write_held_drags() {
  local dir=$1 tool
  for tool in $HELD_TOOLS; do
    {
      echo "# The $tool held in the middle of a drag."
      echo 'Rectangle "Canvas" 10 10 200 150'
      echo 'ZenvasCreate "Canvas" "200" "150"'
      echo 'ZvRectangleNoMouse "Canvas" "1" "0,0,0" "Solid" "Solid" "255,255,128" "120 | 30 | 180 | 70"'
      held_tool_action "$tool"
      held_pointer_steps | while read -r kind x y; do
        case "$kind" in
          move) [ "$x" = 20 ] && echo "Pointer Canvas move $x $y none" || echo "Pointer Canvas move $x $y" ;;
          down) echo "Pointer Canvas down left $x $y" ;;
        esac
      done
      echo "Snapshot Canvas \"held-$tool.png\""
      echo 'Print "held"'
    } > "$dir/held-$tool.zhs"
    # The same canvas and tool, the pointer left to a person (or xdotool).
    grep -v '^Pointer\|^Snapshot' "$dir/held-$tool.zhs" | sed 's/^Print "held"$/Print "ready"/' \
      > "$dir/ready-$tool.zhs"
  done
}
