#!/usr/bin/env bash
# The explorer end to end, in a real window on a virtual X server of its own:
# vemmo runs from a fresh folder that links to resources/, and xdotool finds
# its window by the title, presses keys and clicks. Checked: the title, the
# view filling the window, the info text after the right arrow, "p" writing Screenshot001.png with the
# pixels vemmo-render gives for the same view, a left click at the centre
# halving the scale, and a clean exit with status 0 on SIGTERM. The info
# text is read from standard output, where VEMMO_PRINT_INFO sends it.
#   ExplorerEndToEnd.sh VEMMO VEMMO_RENDER SOURCE_ROOT
# Exits 77 (skipped) only when xdotool is missing.
set -euo pipefail
vemmo=$(realpath "$1")
render=$(realpath "$2")
root=$(realpath "$3")

if ! command -v xdotool > /dev/null; then
  echo "xdotool is not installed (scripts/setup.sh installs it): skipped"
  exit 77
fi
if [ -z "${VEMMO_E2E_SERVER:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" env VEMMO_E2E_SERVER=1 bash "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
ln -s "$root/resources" "$work/resources"
cd "$work"

fail() {
  echo "FAIL: $*"
  echo "--- vemmo's standard output:"; cat out.txt
  echo "--- and error:"; cat err.txt
  exit 1
}
# Waits up to $2 seconds for a line of standard output.
wait_for_line() {
  for _ in $(seq $(($2 * 10))); do
    grep -qxF -- "$1" out.txt && return 0
    sleep 0.1
  done
  return 1
}

LIBGL_ALWAYS_SOFTWARE=1 VEMMO_PRINT_INFO=1 "$vemmo" > out.txt 2> err.txt &
pid=$!

wid=$(timeout 60 xdotool search --sync --name '^Vemmo - Orbisk$' | head -n 1) || true
[ -n "$wid" ] || fail "no window titled Vemmo - Orbisk"
[ "$(xdotool getwindowname "$wid")" = "Vemmo - Orbisk" ] || fail "title"
# A bare X server gives the keyboard to the window under the pointer.
xdotool mousemove --window "$wid" 400 300
wait_for_line "Scale: 1.00000000000000000000000000000000" 30 || fail "no first info text"
sleep 1
# Start-up sized the view by the real client size: the quad covers the
# window to its corners, where the grey of a bare frame would show.
import -window "$wid" window.png
for corner in "1,1" "798,1" "1,598" "798,598"; do
  channel() { echo "%[fx:int(255*p{$corner}.$1+0.5)]"; }
  colour=$(convert window.png -format "$(channel r) $(channel g) $(channel b)" info:)
  read -r r g b <<< "$colour"
  if [ $((r - g)) -eq 0 ] && [ $((g - b)) -eq 0 ] && [ "$r" -ge 126 ] && [ "$r" -le 129 ]; then
    fail "the view does not reach $corner (grey $r)"
  fi
done

xdotool key Right
wait_for_line "Real: -0.38281250000000000000000000000000" 30 || fail "info text after Right"
# The 300 ms render delay, the render and the frame that publishes it.
sleep 3

xdotool key p
for _ in $(seq 300); do
  [ -s Screenshot001.png ] && convert Screenshot001.png -depth 8 rgb:shot.rgb 2> /dev/null && break
  sleep 0.1
done
[ -s shot.rgb ] || fail "p wrote no readable Screenshot001.png"
"$render" --centre -0.3828125,0 --scale 1 --limit 256 --width 256 --height 256 \
  --gradient 'resources/gradients/!vemmo.png' --output reference.png
convert reference.png -depth 8 rgb:reference.rgb
cmp -s shot.rgb reference.rgb || fail "Screenshot001.png differs from vemmo-render's picture"

xdotool click 1
wait_for_line "Scale: 0.50000000000000000000000000000000" 30 || fail "a click at the centre did not halve the scale"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "status $status after SIGTERM"
xdotool search --name '^Vemmo - Orbisk$' > /dev/null 2>&1 && fail "the window is still there"
echo "explorer end to end: title, info text, screenshot, click and SIGTERM passed"
