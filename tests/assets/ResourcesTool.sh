#!/usr/bin/env bash
# vemmo-resources on a small description written here: a picture, a sprite
# grid on it, an OBJ quad, a quarter second of WAV, a height map, a stream
# for a WAV (which adds nothing) and an element without a file. Then the
# same run where no window system can be had (the X11 driver alone, with
# no display; otherwise SDL falls back to an off-screen context): a last
# line on standard error that says so, nothing listed, exit status 3.
#   ResourcesTool.sh VEMMO_RESOURCES SOURCE_ROOT
set -euo pipefail
tool=$(realpath "$1")
root=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

cp "$root/tests/data/images/rgb53.bmp" picture.bmp
cp "$root/tests/data/images/grey.tga" hill.tga
printf 'v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n' > quad.obj
# 8000 Hz mono 16 bits, 2000 frames: 250 ms.
python3 - <<'PY'
import struct
data = bytes(4000)
fmt = struct.pack("<HHIIHH", 1, 1, 8000, 16000, 2, 16)
body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", len(data)) + data
open("beep.wav", "wb").write(b"RIFF" + struct.pack("<I", len(body)) + body)
PY
cat > resources.xml <<'XML'
<resources>
  <texture name="picture" file="picture.bmp"/>
  <sprite name="cells" file="picture.bmp"><frame array="2,1" w="2" h="3"/></sprite>
  <model name="quad" file="quad.obj"/>
  <sound name="beep" file="beep.wav"/>
  <heightmap name="hill" file="hill.tga"/>
  <stream name="nothing" file="beep.wav"/>
  <texture name="no file"/>
</resources>
XML

"$tool" resources.xml > listing.txt
cat listing.txt
expect() {
  if ! grep -Eq "$1" listing.txt; then
    echo "missing line: $1"
    exit 1
  fi
}
expect '^texture +"picture" +5 x 3 pixels +picture\.bmp$'
expect '^sprite +"cells" +2 frames, 2 x 3 pixels +$'
expect '^model +"quad" +4 vertices +quad\.obj$'
expect '^sound +"beep" +250 ms +beep\.wav$'
expect '^model +"hill" +21 vertices +hill\.tga$'
expect '^5 resources$'
[ "$(wc -l < listing.txt)" -eq 6 ] || { echo "expected 5 resources and the count"; exit 1; }

status=0
"$tool" missing.xml > /dev/null 2>&1 || status=$?
[ "$status" -eq 1 ] || { echo "unreadable description: status $status, expected 1"; exit 1; }

status=0
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 "$tool" resources.xml > out.txt 2> err.txt ||
  status=$?
[ "$status" -eq 3 ] || { echo "no display: status $status, expected 3"; exit 1; }
[ ! -s out.txt ] || { echo "no display: something was listed"; exit 1; }
tail -n 1 err.txt | grep -q "^vemmo-resources: no display" || { cat err.txt; exit 1; }
echo "vemmo-resources: listing and no-display checks passed"
