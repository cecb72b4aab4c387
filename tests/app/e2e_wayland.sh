#!/usr/bin/env bash
# The real program on Wayland: Debian's weston with its headless back end and
# the CPU renderer. The program starts and draws its window (seen on the
# compositor's own screenshot), a second start hands over to it and ends with
# status 0 while the first copy runs on. Keeps the screenshot in $2. Exits 77
# (skipped) without weston, its screenshooter, Qt's Wayland plugin or ImageMagick.
set -euo pipefail
vintrel=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib.sh"

for tool in weston weston-screenshooter convert; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
plugins=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
[ -e "$plugins/platforms/libqwayland-generic.so" ] ||
  { echo "skipped: Qt's Wayland plugin (qt6-wayland) is not installed"; exit 77; }

mkdir -p "$out"
session=$(mktemp -d)
compositor=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$compositor" ] && kill "$compositor" 2>/dev/null || true
  rm -rf "$session"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$session/app.err" ] && sed 's/^/  vintrel: /' "$session/app.err" >&2
  [ -f "$session/weston.log" ] && tail -n 20 "$session/weston.log" | sed 's/^/  weston: /' >&2
  exit 1
}

mkdir -p "$session/home/.config" "$session/etc/xdg"
mkdir -m 0700 "$session/run"
export HOME=$session/home XDG_CONFIG_HOME=$session/home/.config XDG_CONFIG_DIRS=$session/etc/xdg
export XDG_RUNTIME_DIR=$session/run
unset DISPLAY DBUS_SESSION_BUS_ADDRESS
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# --debug lets the screenshooter ask the compositor for its picture.
weston --backend=headless-backend.so --use-pixman --debug --width=1024 --height=768 \
  --socket=vintrel-test --idle-time=0 >"$session/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 200); do
  [ -S "$XDG_RUNTIME_DIR/vintrel-test" ] && break
  kill -0 "$compositor" 2>/dev/null || fail "weston ended"
  sleep 0.05
done
[ -S "$XDG_RUNTIME_DIR/vintrel-test" ] || fail "weston did not open its socket"
export WAYLAND_DISPLAY=vintrel-test QT_QPA_PLATFORM=wayland

no_clock "$vintrel" 2>"$session/app.err" &
app=$!

# The window is up once the compositor's picture holds its dark client area
# (0x404040) over more than a window's worth of rows.
window_drawn() {
  rm -f "$session"/shots/*.png
  mkdir -p "$session/shots"
  (cd "$session/shots" && weston-screenshooter >/dev/null 2>&1) || return 1
  local shot
  shot=$(ls "$session"/shots/*.png 2>/dev/null | head -n 1)
  [ -n "$shot" ] || return 1
  local dark
  dark=$(convert "$shot" -fill white +opaque '#404040' -fill black -opaque '#404040' \
    -format '%[fx:int(w*h*(1-mean))]' info:)
  [ "$dark" -gt 50000 ] || return 1
  cp "$shot" "$out/wayland.png"
}
for _ in $(seq 60); do
  kill -0 "$app" 2>/dev/null || fail "the program ended at start"
  window_drawn && break
  sleep 0.5
done
window_drawn || fail "no window was drawn"
echo "ok: the window is drawn under Wayland"

status=0
no_clock timeout 20 "$vintrel" 2>"$session/second.err" || status=$?
[ "$status" -eq 0 ] || fail "the second copy ended with status $status"
kill -0 "$app" 2>/dev/null || fail "the first copy is gone after the second start"
echo "ok: a second start handed over to the first copy"
