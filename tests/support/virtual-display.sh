# Sourced by the tests that drive real windows: on_virtual_display NAME WORK
# SCRIPT ARGS... runs SCRIPT again with ARGS under a virtual X server
# (1280x1024, 24 bits) in a fresh WORK folder, and returns at once when it
# already is that run. Without xvfb-run or xdotool the test skips (exit 77),
# unless ZENVAS_REQUIRE_GUI is set (CI), where it fails.
on_virtual_display() {
  local name=$1 work=$2
  shift 2
  [ -n "${ZENVAS_ON_VIRTUAL_DISPLAY:-}" ] && return 0
  local missing=() tool
  for tool in xvfb-run xdotool; do command -v "$tool" >/dev/null || missing+=("$tool"); done
  if [ "${#missing[@]}" -gt 0 ]; then
    if [ -n "${ZENVAS_REQUIRE_GUI:-}" ]; then
      echo "$name: ${missing[*]} missing, and these tests are required here" >&2
      exit 1
    fi
    echo "$name: skipped: ${missing[*]} missing (bash scripts/setup.sh installs them)"
    exit 77
  fi
  rm -rf "$work" && mkdir -p "$work"
  ZENVAS_ON_VIRTUAL_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$@"
}
