#!/usr/bin/env bash
# The end-to-end scenarios, run by scripts/e2e inside namespaces of their own:
# a network with only loopback, private mounts, a process tree that dies with
# this script, and no CAP_SYS_TIME anywhere. The installed programs talk to a
# loopback daytime server, a real tinyproxy and a stand-in timedated on a
# private system bus, under Xvfb with trayer as the tray host. The window is
# driven with xdotool at the places the accessibility bus reports, and message
# boxes are read from the accessibility bus.
#
# usage: scenarios.sh BIN_DIR HELPER_DIR OUT_DIR
#   BIN_DIR     where the installed vintrel and vintrel-sync are
#   HELPER_DIR  where the built daytime_server and fake_timedated are
#   OUT_DIR     screenshots, logs and the message box texts go here
set -uo pipefail
bin=$1 helpers=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
caption='^Vintrel v2\.6'
proxy_port=8888

passed=0
failed=0

say() { echo "e2e: $*"; }
refuse() {
  say "refusing to run: $*"
  exit 1
}
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "  ok    $what"
  else
    failed=$((failed + 1))
    echo "  FAIL  $what"
  fi
}
contains() { grep -qF -- "$2" "$1"; }
# Like contains, with the file's lines joined by "|" (a box text has several).
says() { tr '\n' '|' <"$1" | grep -qF -- "$2"; }
lacks() { ! grep -qF -- "$2" "$1"; }

cleanup() {
  stop_all
  rm -rf "$tmp"
}

shot() { timeout 20 import -window root "$out/$1.png" 2>>"$out/import.log" || say "no screenshot $1"; }

a11y() { timeout 40 "$python" "$here/a11y.py" --pid "$app" "$@"; }

click() { timeout 10 xdotool mousemove --sync "$1" "$2" click 1; }

click_control() {
  local at
  at=$(a11y find "$1" "$2") || return 1
  # shellcheck disable=SC2086
  click $at
}

# --- the sandbox ---------------------------------------------------------------
tmp=$(mktemp -d /tmp/vintrel-e2e.XXXXXX)
logs=$out
source "$here/services.sh"
trap cleanup EXIT

cap_bounding=$(awk '/^CapBnd/ {print $2}' /proc/self/status)
(((0x$cap_bounding >> 25) & 1)) && refuse "CAP_SYS_TIME is still in the bounding set"
loopback_sandbox

mkdir -p /tmp/.X11-unix
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix || refuse "cannot make a private /tmp/.X11-unix"

unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY SESSION_MANAGER
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
export HOME=$tmp/home XDG_CONFIG_DIRS=$tmp/xdg XDG_DATA_DIRS=/usr/local/share:/usr/share
mkdir -p "$HOME" "$XDG_CONFIG_DIRS/autostart"
export XDG_RUNTIME_DIR=$tmp/runtime
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"

Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>"$tmp/display" >"$out/xvfb.log" 2>&1 &
started $!
wait_until 20 test -s "$tmp/display" || refuse "Xvfb did not start"
export DISPLAY=:$(head -1 "$tmp/display")
wait_until 20 timeout 5 xdotool getdisplaygeometry >/dev/null || refuse "the display does not answer"

# A session bus of our own carries the accessibility bus.
dbus-daemon --session --nofork --print-address=5 5>"$tmp/session-bus" >"$out/session-bus.log" 2>&1 &
started $!
wait_until 20 test -s "$tmp/session-bus" || refuse "no session bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$tmp/session-bus")
timeout 20 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.a11y.Bus.GetAddress >/dev/null || refuse "no accessibility bus"

trayer --edge top --align right --widthtype pixel --width 120 --height 24 --SetDockType true \
  >"$out/trayer.log" 2>&1 &
started $!

# --- the pieces each scenario puts together ------------------------------------
# A socket file that nobody listens on.
no_system_bus() {
  "$python" -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' \
    "$tmp/nothing-listens-here"
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$tmp/nothing-listens-here
}

window_shown() { timeout 10 xdotool search --onlyvisible --name "$caption" >/dev/null; }

start_app() {
  "$bin/vintrel" >"$out/$1-vintrel.log" 2>&1 &
  app=$!
  started "$app"
}

start_app_shown() {
  start_app "$1"
  wait_until 30 window_shown || return 1
  a11y find "push button" "Ping Now" >/dev/null
}

# Clicks Ping Now, keeps the message box's text and a screenshot, closes the box.
ping() {
  local ok
  click_control "push button" "Ping Now" || return 1
  ok=$(a11y --timeout 60 box "$out/$1-box.txt") || return 1
  shot "$1-box"
  # shellcheck disable=SC2086
  click $ok
  a11y no-box >/dev/null
}

last_ping_row() { a11y row "Date & Time of Last Successful Ping"; }

# File > Exit; true when the program then ends by itself with status 0.
exit_app() {
  click_control "menu item" "File" || return 1
  click_control "menu item" "Exit" || return 1
  wait_until 20 eval "! kill -0 $app" || return 1
  wait "$app"
}

exits_cleanly() { exit_app; }
no_last_ping() { lacks "$settings" '"LastPing"'; }
has_last_ping() { contains "$settings" '"LastPing"'; }
equal() { [ "$1" = "$2" ]; }
differ() { [ "$1" != "$2" ]; }

# --- 1: no way to set the clock --------------------------------------------------
say "1: Ping Now with no system bus at all"
new_user s1 ipAddress=127.0.0.1
no_system_bus
start_daytime --offset 3600
check "1: the window is shown" start_app_shown s1
shot s1-window
check "1: Ping Now shows a message box" ping s1
check "1: the box says the clock could not be set" \
  contains "$out/s1-box.txt" "The system clock could not be set"
check "1: the box names the unreachable system bus" contains "$out/s1-box.txt" "nothing-listens-here"
check "1: LastPing is not recorded" no_last_ping
check "1: the last ping row still says Never" equal "$(last_ping_row)" "Never"
check "1: File > Exit ends the program" exits_cleanly
check "1: the daytime server was asked once" equal "$(stop_daytime)" 1

# --- 2: the stand-in timedated sets the clock ------------------------------------
say "2: Ping Now with a stand-in timedated on a private system bus"
new_user s2 ipAddress=127.0.0.1
start_timedated
offset=93784.5 # 1 day 2 hours 3 minutes 4.5 seconds ahead
start_daytime --offset "$offset"
check "2: the window is shown" start_app_shown s2
check "2: Ping Now shows a message box" ping s2
check "2: the box reports the adjustment" contains "$out/s2-box.txt" "System Clock has been adjusted by"
check "2: the box shows the difference" says "$out/s2-box.txt" "|1 Days|2 Hours|3 Minutes|"
check "2: the stand-in was asked to step by the server's lead" requested_step_near 93784 true
check "2: LastPing is recorded" has_last_ping
check "2: the last ping row shows the time" differ "$(last_ping_row)" "Never"
shot s2-after
check "2: File > Exit ends the program" exits_cleanly
check "2: the daytime server was asked once" equal "$(stop_daytime)" 1

# --- 3: server down, through a real proxy, a reply without NIST -----------------
say "3a: the time server is down"
new_user s3a ipAddress=127.0.0.1
check "3a: the window is shown" start_app_shown s3a
check "3a: Ping Now shows a message box" ping s3a
check "3a: the box says the server cannot be reached" \
  contains "$out/s3a-box.txt" "Unable to reach then specified Time Server."
check "3a: the stand-in was not asked" equal "$(grep -c . "$timedated_record")" 1
check "3a: LastPing is not recorded" no_last_ping
check "3a: File > Exit ends the program" exits_cleanly

say "3b: through tinyproxy (connection type 3)"
cat >"$tmp/tinyproxy.conf" <<EOF
Port $proxy_port
Listen 127.0.0.1
Timeout 30
MaxClients 20
Allow 127.0.0.1
LogFile "$tmp/tinyproxy.log"
LogLevel Info
ConnectPort $daytime_port
EOF
tinyproxy -d -c "$tmp/tinyproxy.conf" >"$out/tinyproxy.out" 2>&1 &
proxy=$!
started "$proxy"
wait_until 10 bash -c "exec 3<>/dev/tcp/127.0.0.1/$proxy_port" || say "tinyproxy is not listening"
new_user s3b ipAddress=127.0.0.1 ConnectionType=3 Address=127.0.0.1 Port=$proxy_port
: >"$timedated_record"
start_daytime --offset 7230.5 # 2 hours 30.5 seconds ahead
check "3b: the window is shown" start_app_shown s3b
check "3b: Ping Now shows a message box" ping s3b
check "3b: the box shows the difference" says "$out/s3b-box.txt" "|0 Days|2 Hours|0 Minutes|"
check "3b: the query went through the proxy" contains "$tmp/tinyproxy.log" "CONNECT 127.0.0.1:$daytime_port "
check "3b: the stand-in was asked to step by the server's lead" requested_step_near 7230 true
check "3b: LastPing is recorded" has_last_ping
check "3b: File > Exit ends the program" exits_cleanly
check "3b: the daytime server was asked once" equal "$(stop_daytime)" 1
cp "$tmp/tinyproxy.log" "$out/tinyproxy.log"
stop "$proxy"

say "3c: a reply without NIST"
new_user s3c ipAddress=127.0.0.1
: >"$timedated_record"
start_daytime --behaviour without-nist
check "3c: the window is shown" start_app_shown s3c
check "3c: Ping Now shows a message box" ping s3c
check "3c: the box says the server cannot be reached" \
  contains "$out/s3c-box.txt" "Unable to reach then specified Time Server."
check "3c: the stand-in was not asked" equal "$(grep -c . "$timedated_record")" 0
check "3c: LastPing is not recorded" no_last_ping
check "3c: File > Exit ends the program" exits_cleanly
check "3c: the daytime server was asked once" equal "$(stop_daytime)" 1

# --- 4: a second start, Exit, the settings file ----------------------------------
say "4: a second start shows the first copy; Exit"
new_user s4 ipAddress=127.0.0.1 StartMinimized=1 LastPing="1 Jan 2024 10:00:00"
before=$(sha256sum <"$settings")
start_app s4
registered() { a11y --timeout 1 dump >/dev/null; }
check "4: the first copy starts (in the notification area only)" wait_until 30 registered
sleep 1 # a window that was going to be shown has been by now
check "4: started minimized, no window is shown" eval "! window_shown"
shot s4-tray-only
second_start() { timeout 30 "$bin/vintrel" >"$out/s4-second-vintrel.log" 2>&1; }
check "4: the second copy ends at once with status 0" second_start
check "4: the first copy shows its window" wait_until 20 window_shown
check "4: the first copy runs on" kill -0 "$app"
check "4: the window shows the stored last ping" equal "$(last_ping_row)" "1 Jan 2024 10:00:00"
shot s4-shown
check "4: File > Exit ends the program" exits_cleanly
check "4: no window is left" eval "! window_shown"
check "4: the settings file is intact" equal "$(sha256sum <"$settings")" "$before"
check "4: no start-at-logon entry was written" eval "[ -z \"\$(ls -A '$XDG_CONFIG_HOME/autostart' 2>/dev/null)\" ]"

# --- vintrel-sync ----------------------------------------------------------------
say "5: vintrel-sync"
sync_help() { timeout 20 "$bin/vintrel-sync" --help >"$out/sync-help.txt" 2>&1; }
check "5: vintrel-sync --help" sync_help
check "5: --help shows the usage" contains "$out/sync-help.txt" "Usage: "
start_daytime --offset 0
sync_query() { timeout 30 "$bin/vintrel-sync" "$@" >>"$out/sync-query.txt" 2>&1; }
check "5: --no-probe --direct --server 127.0.0.1 succeeds" sync_query --no-probe --direct --server 127.0.0.1
check "5: with the probe (names resolve to loopback) it succeeds" sync_query --direct --server 127.0.0.1
check "5: it shows the server's time" contains "$out/sync-query.txt" "server UTC: "
check "5: it shows the offset" contains "$out/sync-query.txt" "offset: "
check "5: the daytime server was asked twice" equal "$(stop_daytime)" 2
# The settings file vintrel left behind is read by the other program.
check "5: vintrel-sync reads the settings vintrel kept" equal "$(
  timeout 30 "$bin/vintrel-sync" --no-probe --direct >/dev/null 2>&1
  echo $?
)" 3

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
