# Sourced by the tests that drive real windows: on_virtual_display NAME WORK
# SCRIPT ARGS... runs SCRIPT again with ARGS under a virtual X server
# (1280x1024, 24 bits) in a fresh WORK folder, and returns at once when it
# already is that run. Without Xvfb or xdotool the test skips (exit 77),
# unless ZENVAS_REQUIRE_GUI is set (CI), where it fails. window_named finds
# a window on that server by its title.
#
# The server is started here rather than by xvfb-run: xvfb-run learns that
# its server is ready from a signal it may take before it starts waiting for
# it, and then waits for the server to end, which it never does. Xvfb's
# -displayfd instead writes the number of a display it found free once it
# accepts connections, so parallel tests cannot pick the same one either.
on_virtual_display() {
  local name=$1 work=$2
  shift 2
  [ -n "${ZENVAS_ON_VIRTUAL_DISPLAY:-}" ] && return 0
  local missing=() tool
  for tool in Xvfb xdotool; do command -v "$tool" >/dev/null || missing+=("$tool"); done
  if [ "${#missing[@]}" -gt 0 ]; then
    if [ -n "${ZENVAS_REQUIRE_GUI:-}" ]; then
      echo "$name: ${missing[*]} missing, and these tests are required here" >&2
      exit 1
    fi
    echo "$name: skipped: ${missing[*]} missing (bash scripts/setup.sh installs them)"
    exit 77
  fi
  rm -rf "$work" && mkdir -p "$work"
  local number="$work/.display" log="$work/.xvfb.log" server
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" >"$log" 2>&1 &
  server=$!
  # The trap holds the server's number itself, not this function's local
  # variable.
  trap "kill $server 2>/dev/null" EXIT
  trap 'exit 143' TERM INT
  for _ in $(seq 400); do
    grep -q . "$number" && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
  done
  if ! grep -q . "$number"; then
    echo "$name: the virtual X server did not start within 20 s: $(tail -5 "$log")" >&2
    exit 1
  fi
  DISPLAY=":$(head -1 "$number")" XAUTHORITY=/dev/null ZENVAS_ON_VIRTUAL_DISPLAY=1 bash "$@"
  exit
}

# The id of the first shown window titled exactly $1, waiting at most $2
# seconds (20). xdotool's own waiting search (--sync) ends with an X error
# when a window it is walking is destroyed under it, as a chooser's short-
# lived popups are; each try here is a search of its own, so that race costs
# a try rather than the answer.
window_named() {
  local title=$1 end=$((SECONDS + ${2:-20})) id
  while [ "$SECONDS" -lt "$end" ]; do
    id=$(timeout 10 xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
