#!/usr/bin/env bash
# The explorer when its X server dies under it: it must end within two
# seconds with a failure status (not a signal's) and one line on standard
# error, not spin on the dead connection or crash on its way out. It runs on
# an Xvfb of its own, on a display number the server picks.
#   DisplayLoss.sh VEMMO SOURCE_ROOT
# Exits 77 (skipped) only when Xvfb is missing.
set -euo pipefail
vemmo=$(realpath "$1")
root=$(realpath "$2")

if ! command -v Xvfb > /dev/null; then
  echo "Xvfb is not installed (scripts/setup.sh installs it): skipped"
  exit 77
fi

# The explorer and the server, killed on the way out whatever happened.
pid=
server=
work=$(mktemp -d)
trap 'kill -KILL $pid $server 2> /dev/null || true; rm -rf "$work"' EXIT
cd "$work"
ln -s "$root/resources" resources

fail() {
  echo "FAIL: $*"
  echo "--- vemmo's standard error:"; cat err.txt 2> /dev/null || true
  exit 1
}

Xvfb -displayfd 3 -screen 0 1024x768x24 3> display.txt 2> /dev/null &
server=$!
for _ in $(seq 100); do
  [ -s display.txt ] && break
  sleep 0.1
done
[ -s display.txt ] || fail "Xvfb gave no display number"

DISPLAY=":$(cat display.txt)" LIBGL_ALWAYS_SOFTWARE=1 VEMMO_PRINT_INFO=1 \
  "$vemmo" > out.txt 2> err.txt &
pid=$!
for _ in $(seq 600); do
  grep -qs '^Scale: ' out.txt && break
  kill -0 "$pid" 2> /dev/null || fail "vemmo ended before the server did"
  sleep 0.1
done
grep -qs '^Scale: ' out.txt || fail "no first info text in 60 seconds"
sleep 1 # frames running, a render under way
before=$(wc -l < err.txt)

kill -TERM "$server"
wait "$server" || true
server=
for _ in $(seq 20); do
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2> /dev/null; then
  fail "still running 2 seconds after the server ended: $(ps -o stat=,pcpu= -p "$pid")"
fi
status=0
wait "$pid" || status=$?
pid=
[ "$status" -ne 0 ] && [ "$status" -lt 128 ] || fail "status $status"
lines=$(tail -n +"$((before + 1))" err.txt)
[ "$(printf '%s\n' "$lines" | wc -l)" -eq 1 ] && [ -n "$lines" ] ||
  fail "not one line on standard error"
echo "display loss: status $status, \"$lines\""
