#!/usr/bin/env bash
# The real program on Wayland: Debian's weston with its headless back end and
# the CPU renderer, for a user with the daily correction on and an old last
# ping. The program starts and draws its window (seen on the compositor's own
# screenshot), a second start hands over to it and ends with status 0 while
# the first copy runs on, and at Timer2's first tick (a minute after start)
# the daily correction asks the loopback daytime server once and sets the
# clock through a stand-in timedated on a private system bus: one unattended
# SetTime of the server's lead, LastPing recorded anew, the window still
# drawn. It runs itself again in network, mount and process namespaces of its
# own (port 13, /etc/hosts and the system bus are its own). Keeps the
# screenshot in $2. Exits 77 (skipped) without weston, its screenshooter, Qt's
# Wayland plugin or ImageMagick.
#
# usage: e2e_wayland.sh VINTREL OUT_DIR HELPER_DIR
#   HELPER_DIR  where the built daytime_server and fake_timedated are
set -euo pipefail
vintrel=$1
out=$2
helpers=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib.sh"

for tool in weston weston-screenshooter convert dbus-daemon; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
plugins=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
[ -e "$plugins/platforms/libqwayland-generic.so" ] ||
  { echo "skipped: Qt's Wayland plugin (qt6-wayland) is not installed"; exit 77; }

rerun_in_private_namespaces "$0" "$@"

mkdir -p "$out"
tmp=$(mktemp -d /tmp/vintrel-wayland.XXXXXX)
logs=$tmp
source "$here/../e2e/services.sh"
trap 'stop_all; rm -rf "$tmp"' EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$tmp/app.err" ]; then
    echo "the program's standard error:" >&2
    sed 's/^/  /' "$tmp/app.err" >&2
  fi
  [ -f "$tmp/weston.log" ] && tail -n 20 "$tmp/weston.log" | sed 's/^/  weston: /' >&2
  exit 1
}
refuse() { fail "$*"; }

loopback_sandbox
old_ping="1 Jan 2024 10:00:00"
new_user wayland AutoPing=True ipAddress=127.0.0.1 LastPing="$old_ping"
mkdir -p "$tmp/home" "$tmp/xdg"
export HOME=$tmp/home XDG_CONFIG_DIRS=$tmp/xdg
unset DISPLAY DBUS_SESSION_BUS_ADDRESS
export LANG=C.UTF-8 LC_ALL=C.UTF-8

start_timedated || fail "no stand-in timedated"
lead=754 # seconds: under the step a daily correction makes without a second server
start_daytime --offset "$lead.5" || fail "no daytime server on port $daytime_port"

# --debug lets the screenshooter ask the compositor for its picture.
weston --backend=headless-backend.so --use-pixman --debug --width=1024 --height=768 \
  --socket=vintrel-test --idle-time=0 >"$tmp/weston.log" 2>&1 &
started $!
wait_until 10 test -S "$XDG_RUNTIME_DIR/vintrel-test" || fail "weston did not open its socket"
export WAYLAND_DISPLAY=vintrel-test QT_QPA_PLATFORM=wayland

no_clock "$vintrel" 2>"$tmp/app.err" &
app=$!
started "$app"

# The window is up once the compositor's picture holds its dark client area
# (0x404040) over more than a window's worth of rows.
shoot() {
  rm -rf "$tmp/shots"
  mkdir -p "$tmp/shots"
  (cd "$tmp/shots" && weston-screenshooter >/dev/null 2>&1) || return 1
  shot=$(ls "$tmp"/shots/*.png 2>/dev/null | head -n 1)
  [ -n "$shot" ]
}
window_drawn() {
  shoot || return 1
  local dark
  dark=$(convert "$shot" -fill white +opaque '#404040' -fill black -opaque '#404040' \
    -format '%[fx:int(w*h*(1-mean))]' info:)
  [ "$dark" -gt 50000 ] || return 1
  cp "$shot" "$out/wayland.png"
}
running() { kill -0 "$app" 2>/dev/null; }
drawn_or_ended() { ! running || window_drawn; }
wait_until 30 drawn_or_ended || true
running || fail "the program ended at start"
window_drawn || fail "no window was drawn"
echo "ok: the window is drawn under Wayland"

status=0
no_clock timeout 20 "$vintrel" 2>"$tmp/second.err" || status=$?
[ "$status" -eq 0 ] || fail "the second copy ended with status $status"
running || fail "the first copy is gone after the second start"
echo "ok: a second start handed over to the first copy"

# The daily correction is silent: a failed one shows no box, the program only
# says why on standard error (shown by fail) and tries again a minute later.
# What the compositor showed at the time is kept beside the screenshot.
corrected() { [ "$(setting LastPing)" != "$old_ping" ]; }
corrected_or_ended() { ! running || corrected; }
wait_until 150 corrected_or_ended || true
running || fail "the program ended before its daily correction"
if ! corrected; then
  shoot && cp "$shot" "$out/wayland-not-corrected.png"
  said=$(grep -h 'the clock was not corrected' "$tmp/app.err" | tail -n 1 || true)
  fail "no daily correction within 150 s (${said:-the program said nothing of one})." \
    "LastPing is still \"$(setting LastPing)\";" \
    "the stand-in timedated received [$(cat "$timedated_record")]; the daytime server" \
    "served $(stop_daytime) connections; the compositor's picture is $out/wayland-not-corrected.png"
fi
requested_step_near "$lead" false ||
  fail "the stand-in timedated was not asked once for an unattended step of about $lead s:" \
    "[$(cat "$timedated_record")]"
connections=$(stop_daytime)
[ "$connections" = 1 ] || fail "the daytime server served $connections connections, not 1"
echo "ok: the daily correction set the clock through timedated (LastPing $(setting LastPing))"
wait_until 10 window_drawn || fail "no window is drawn after the correction"
echo "ok: the window is still drawn after the correction"
