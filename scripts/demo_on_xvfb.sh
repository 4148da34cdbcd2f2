# Sourced by the display checks. Before sourcing, set `check` (the name failures are reported
# under) and the range of X display numbers to try (`first_display`, `last_display`).
# Gives a work folder with the demo's log, a cleanup that ends the demo and the display,
# `fail` (prints the log and exits), `expect` (waits up to 5 s for a line of the demo's
# output, else fails with the message given), and a running Xvfb with DISPLAY exported.
work="$(mktemp -d)"
log="$work/demo.log"
xvfb_pid=""
demo_pid=""
cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
fail() {
  echo "$check: $*" >&2
  echo "--- demo output ---" >&2
  cat "$log" >&2 || true
  exit 1
}

expect() {
  for _ in $(seq 100); do grep -q "$1" "$log" && return 0; sleep 0.05; done
  fail "$2"
}

display=""
for n in $(seq "$first_display" "$last_display"); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || fail "no free X display number"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not start"
