#!/usr/bin/env bash
# The README's run command exactly as a user types it, in a fresh session:
#   - with a display (Xvfb, trayer as the notification area) `scripts/run`
#     shows the window "Vintrel v2.6", and that program runs without the right
#     to set the clock;
#   - without a display `scripts/run` answers as vintrel-sync, here against a
#     daytime server on loopback.
# It runs itself again inside network, mount and process namespaces of its own
# (loopback only, every process ended with them), with HOME and the XDG
# folders in a temporary directory.
#
# usage: tests/scripts/readme_commands.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib.sh"

# The run command builds before it starts anything; do that once up front so
# the time limits below are about starting, not compiling.
if [ -z "${VINTREL_IN_NAMESPACES:-}" ]; then
  "$root/scripts/setup" test >/dev/null
  configure_and_build run >/dev/null
  cmake --preset default >/dev/null
  cmake --build --preset default --target daytime_server >/dev/null
fi
rerun_in_private_namespaces "$0" "$@"
source "$root/scripts/xsession.sh"

session=$(mktemp -d)
run_pid=""
server_pid=""
cleanup() {
  [ -n "$run_pid" ] && kill "$run_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  xsession_stop
  rm -rf "$session"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for log in "$session"/*.log; do
    [ -f "$log" ] && tail -n 20 "$log" | sed "s|^|  $(basename "$log"): |" >&2
  done
  exit 1
}

xsession_private_session "$session"
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# With a display: the window.
xsession_start_display 800x600
xsession_start_tray
"$root/scripts/run" >"$session/window.log" 2>&1 &
run_pid=$!
window=$(xsession_wait_window "Vintrel v2.6" 60) || fail "scripts/run showed no window \"Vintrel v2.6\""
pid=$(xdotool getwindowpid "$window")
# exec all the way down: the program is the process the run command started.
[ "$pid" = "$run_pid" ] || fail "the window belongs to process $pid, not to scripts/run ($run_pid)"
# CAP_SYS_TIME is bit 25 of the bounding set.
bounding=$(awk '/^CapBnd:/ {print $2}' "/proc/$pid/status")
(((0x$bounding >> 25) & 1)) && fail "the window program may set the clock (CapBnd $bounding)"
echo "ok    scripts/run with a display shows the window (process $pid, CapBnd $bounding)"
kill "$run_pid"
wait "$run_pid" 2>/dev/null || true
run_pid=""
xsession_stop

# Without a display: vintrel-sync, against a daytime server of our own.
"$root/build/default/bin/daytime_server" --port 0 --offset 90 >"$session/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 100); do
  port=$(awk '/^ready/ {print $2}' "$session/server.log")
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || fail "the daytime server did not start"

status=0
timeout 120 env -u DISPLAY -u WAYLAND_DISPLAY "$root/scripts/run" --server 127.0.0.1 --port "$port" --no-probe \
  >"$session/sync.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "scripts/run without a display ended with status $status"
grep -q "no display" "$session/sync.log" || fail "scripts/run did not say it fell back to vintrel-sync"
# The server runs 90 s ahead: the report names a difference of about that.
grep -Eq '^offset: \+(89|90)\.[0-9]{3} s$' "$session/sync.log" ||
  fail "vintrel-sync did not report the server's 90 s lead"
echo "ok    scripts/run without a display answers as vintrel-sync"
tail -n 3 "$session/sync.log" | sed 's/^/      /'
echo "2 passed, 0 failed"
