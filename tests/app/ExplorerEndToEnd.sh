#!/usr/bin/env bash
# The explorer end to end, in a real window on a virtual X server of its own:
# vemmo runs from a fresh folder that links to resources/, and xdotool finds
# its window by the title, presses keys and clicks. Checked:
#  - the title, the view filling the window, the info text after the right
#    arrow, "p" writing Screenshot001.png with the pixels vemmo-render gives
#    for the same view, a left click at the centre halving the scale;
#  - the panel as drawn (kept in the artefact folder on failure), a location
#    chosen in "cboxLocations" changing the info text and the render,
#    "1024x768" giving a 1024 x 768 screenshot, another gradient changing the
#    colours, "cboxDownsample" a half-size screenshot, the progress bar full,
#    "cboxShader" the shader view; a clean exit with status 0 on SIGTERM;
#  - every data file missing, or each one corrupt in turn: vemmo still
#    starts, renders and exits with status 0;
#  - the explorer installed with cmake --install, started from an unrelated
#    folder: it finds its data and writes its screenshot there;
#  - no display: a non-zero status.
# The info text is read from standard output, where VEMMO_PRINT_INFO sends it.
#   ExplorerEndToEnd.sh VEMMO VEMMO_RENDER SOURCE_ROOT [BUILD_DIR [ARTEFACTS]]
# Exits 77 (skipped) only when xdotool is missing.
set -euo pipefail
vemmo=$(realpath "$1")
render=$(realpath "$2")
root=$(realpath "$3")
build=${4:+$(realpath "$4")}
artefacts=${5:-}

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
mkdir "$work/run"
ln -s "$root/resources" "$work/run/resources"
cd "$work/run"

fail() {
  echo "FAIL: $*"
  if [ -n "$artefacts" ] && [ -f window.png ]; then
    mkdir -p "$artefacts" && cp window.png "$artefacts/window.png"
    echo "the window as last captured: $artefacts/window.png"
  fi
  echo "--- vemmo's standard output:"; cat out.txt
  echo "--- and error:"; cat err.txt
  exit 1
}
# Waits up to $2 seconds for a line of standard output (grep -x pattern $3,
# fixed text by default).
wait_for_line() {
  for _ in $(seq $(($2 * 10))); do
    grep -qx ${3:--F} -- "$1" out.txt && return 0
    sleep 0.1
  done
  return 1
}
# Starts vemmo in the current folder and finds its window; extra arguments
# are environment settings.
start_vemmo() {
  env LIBGL_ALWAYS_SOFTWARE=1 VEMMO_PRINT_INFO=1 "$@" "$vemmo" > out.txt 2> err.txt &
  pid=$!
  wid=$(timeout 60 xdotool search --sync --name '^Vemmo - Orbisk$' | head -n 1) || true
  [ -n "$wid" ] || fail "no window titled Vemmo - Orbisk"
  # A bare X server gives the keyboard to the window under the pointer.
  xdotool mousemove --window "$wid" 400 300
}
stop_vemmo() {
  kill -TERM "$pid"
  local status=0
  wait "$pid" || status=$?
  pid=
  [ "$status" -eq 0 ] || fail "status $status after SIGTERM"
  for _ in $(seq 50); do
    xdotool search --name '^Vemmo - Orbisk$' > /dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the window is still there"
}
# "r g b" of pixel x,y of a picture.
pixel() {
  local c="$2,$3"
  convert "$1" -format "%[fx:int(255*p{$c}.r+0.5)] %[fx:int(255*p{$c}.g+0.5)] %[fx:int(255*p{$c}.b+0.5)]" info:
}
capture() { import -window "$wid" "${1:-window.png}"; }
click() {
  xdotool mousemove --window "$wid" "$1" "$2" click 1
  sleep 0.4
}
# The newest ScreenshotNNN.png.
newest_shot() { ls Screenshot*.png 2> /dev/null | sort | tail -n 1; }
# Presses p once a second until the newest screenshot passes `$@` (given
# the file), for up to 60 seconds: a render still running leaves the last
# finished one to be written.
shot_until() {
  for _ in $(seq 60); do
    local before
    before=$(newest_shot)
    xdotool key p
    for _ in $(seq 20); do
      [ "$(newest_shot)" != "$before" ] && convert "$(newest_shot)" info: > /dev/null 2>&1 && break
      sleep 0.1
    done
    "$@" "$(newest_shot)" && return 0
    sleep 1
  done
  return 1
}
has_size() { [ "$(identify -format '%wx%h' "$2")" = "$1" ]; }
same_pixels() {
  convert "$2" -depth 8 rgb:shot.rgb && convert "$1" -depth 8 rgb:ref.rgb && cmp -s shot.rgb ref.rgb
}
# As printf formats a double, which awk's numbers are.
info_real() { awk -v v="$1" 'BEGIN { printf "Real: %.32f\n", v }'; }

# --- The view ---------------------------------------------------------------
start_vemmo
[ "$(xdotool getwindowname "$wid")" = "Vemmo - Orbisk" ] || fail "title"
wait_for_line "Scale: 1.00000000000000000000000000000000" 30 || fail "no first info text"
sleep 1
# Start-up sized the view by the real client size: the quad covers the
# window to its corners, where the grey of a bare frame would show.
capture
for corner in "1,1" "798,1" "1,598" "798,598"; do
  read -r r g b <<< "$(pixel window.png ${corner/,/ })"
  if [ $((r - g)) -eq 0 ] && [ $((g - b)) -eq 0 ] && [ "$r" -ge 126 ] && [ "$r" -le 129 ]; then
    fail "the view does not reach $corner (grey $r)"
  fi
done

xdotool key Right
wait_for_line "Real: -0.38281250000000000000000000000000" 30 || fail "info text after Right"
# The 300 ms render delay, the render and the frame that publishes it.
sleep 3
"$render" --centre -0.3828125,0 --scale 1 --limit 256 --width 256 --height 256 \
  --gradient 'resources/gradients/!vemmo.png' --output reference.png
shot_until same_pixels reference.png || fail "Screenshot001.png differs from vemmo-render's picture"
[ "$(newest_shot)" = Screenshot001.png ] || fail "the first screenshot is $(newest_shot)"

xdotool click 1
wait_for_line "Scale: 0.50000000000000000000000000000000" 30 || fail "a click at the centre did not halve the scale"

# --- The panel --------------------------------------------------------------
# Where resources/gui.xml puts things: a combo box's button is its right
# end, its list opens below its 22-pixel edit box with rows ROW apart.
ROW=16
first_row() { echo $(($1 + 22 + 8)); }
choose() { # combo x, y (top-left), width, row
  click $(($1 + $3 - 11)) $(($2 + 11))
  click $(($1 + 40)) $(($(first_row "$2") + $4 * ROW))
}
sleep 1
capture
# White label text where "Gradient" is written, and the check box images.
white=$(convert window.png -crop 196x18+584+18 -fx 'r>0.85&&g>0.85&&b>0.85' -format '%[fx:int(mean*w*h+0.5)]' info:)
[ "$white" -ge 20 ] || fail "no panel label drawn ($white white pixels)"

choose 584 92 196 1 # Seahorse valley
wait_for_line "$(info_real -0.7453)" 30 || fail "choosing a location left the info text"
"$render" --centre -0.7453,0.1127 --scale 0.0065 --limit 600 --width 256 --height 256 \
  --gradient 'resources/gradients/!vemmo.png' --output reference.png
shot_until same_pixels reference.png || fail "the location's render differs from vemmo-render's"

choose 584 146 94 5 # 1024x768
shot_until has_size 1024x768 || fail "choosing 1024x768 gave no 1024 x 768 screenshot"
before=$(newest_shot)

choose 584 38 196 1 # ember.png
"$render" --centre -0.7453,0.1127 --scale 0.0065 --limit 600 --width 1024 --height 768 \
  --gradient 'resources/gradients/ember.png' --output reference.png
shot_until same_pixels reference.png || fail "another gradient did not change the colours as vemmo-render does"
same_pixels "$before" "$(newest_shot)" && fail "the colours did not change"

click 592 192 # cboxDownsample
shot_until has_size 512x384 || fail "cboxDownsample gave no half-size screenshot"
sleep 1
capture
# Full: the bar's blue reaches its right end, where the empty track is
# nearly black.
read -r r g b <<< "$(pixel window.png 776 220)"
[ "$b" -ge 150 ] && [ $((b - r)) -ge 80 ] || fail "the progress bar is not full ($r $g $b)"

capture before.png
click 694 192 # cboxShader
sleep 2
capture
grep -q "Shader Error" out.txt && fail "the shaders did not compile"
diff=$(compare -metric AE -extract 540x500+10+10 before.png window.png null: 2>&1 || true)
[ "${diff%% *}" -gt 10000 ] || fail "cboxShader did not change the view ($diff pixels)"
stop_vemmo

# --- Missing and corrupt data ----------------------------------------------
# Each case gets a fresh copy of resources/ with one fault; vemmo must still
# open its window, render (a screenshot of a finished render) and exit 0.
faults=(
  "nothing:rm -rf resources/*"
  "gui.xml missing:rm resources/gui.xml"
  "resources.xml missing:rm resources/resources.xml"
  "locations.xml missing:rm resources/locations.xml"
  "gradients missing:rm -rf resources/gradients"
  "shaders missing:rm -rf resources/shaders"
  "skin missing:rm -rf resources/skin"
  "gui.xml corrupt:head -c 1500 $root/resources/gui.xml > resources/gui.xml"
  "resources.xml corrupt:echo '<resources><font name=' > resources/resources.xml"
  "locations.xml corrupt:printf '<l><location iterations=\"-9\" scale=\"x\"/><' > resources/locations.xml"
  "gradient corrupt:head -c 100 '$root/resources/gradients/!vemmo.png' > 'resources/gradients/!vemmo.png'"
  "skin picture corrupt:head -c 60 $root/resources/skin/checkbox.png > resources/skin/checkbox.png"
  "font corrupt:head -c 4000 $root/resources/fonts/DejaVuSans.ttf > resources/fonts/DejaVuSans.ttf"
  "shader corrupt:echo 'void main() { gl_FragColor = ; }' > resources/shaders/fp_mandelbrot.glsl"
)
for fault in "${faults[@]}"; do
  name=${fault%%:*}
  rm -rf "$work/run" && mkdir "$work/run" && cd "$work/run"
  cp -r "$root/resources" resources
  eval "${fault#*:}"
  start_vemmo
  wait_for_line "Scale: .*" 30 -E || fail "$name: no info text"
  shot_until test -s || fail "$name: no render to screenshot"
  if [ "$name" = "shader corrupt" ]; then
    click 694 192
    wait_for_line "Fragment Shader Error: .*" 10 -E || fail "$name: no compile log"
    shot_until test -s || fail "$name: no render after the failed shader"
  fi
  stop_vemmo
done

# --- Installed -------------------------------------------------------------
if [ -n "$build" ]; then
  cmake --install "$build" --prefix "$work/prefix" > /dev/null
  for file in bin/vemmo bin/vemmo-render share/applications/vemmo.desktop \
      share/icons/hicolor/64x64/apps/vemmo.png share/vemmo/resources/gui.xml; do
    [ -e "$work/prefix/$file" ] || fail "cmake --install left out $file"
  done
  grep -qx 'Exec=vemmo' "$work/prefix/share/applications/vemmo.desktop" || fail "desktop entry"
  rm -rf "$work/run" && mkdir "$work/run" && cd "$work/run"
  vemmo="$work/prefix/bin/vemmo"
  start_vemmo
  wait_for_line "Scale: 1.00000000000000000000000000000000" 30 || fail "installed: no first location"
  capture
  white=$(convert window.png -crop 196x18+584+18 -fx 'r>0.85&&g>0.85&&b>0.85' -format '%[fx:int(mean*w*h+0.5)]' info:)
  [ "$white" -ge 20 ] || fail "installed: no panel"
  shot_until test -s || fail "installed: no screenshot in the folder it was started from"
  stop_vemmo
  "$work/prefix/bin/vemmo-render" --preset mini-50 --limit 64 --width 8 --height 6 --output deep.png \
    > /dev/null 2>&1 && [ -s deep.png ] || fail "installed: vemmo-render found no deep presets"
fi

# --- No display ------------------------------------------------------------
status=0
DISPLAY=:9999 SDL_VIDEODRIVER=x11 timeout 60 "$vemmo" > out.txt 2> err.txt || status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "no display gave status $status"

echo "explorer end to end: view, panel, data faults, install and no display passed"
