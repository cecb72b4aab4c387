#!/usr/bin/env bash
# The real program with Xfce's panel as a status-notifier tray, on a private
# X display and session bus: started minimised it shows nothing but its icon;
# the icon's menu, as the panel shows it, opens the window and ends the
# program; and a panel that goes away while the window is hidden brings the
# window back. Keeps a screenshot of the open menu in $2. Exits 77 (skipped)
# without Xvfb, xfce4-panel, dbus-daemon, gdbus, xdotool or xprop.
set -euo pipefail
vintrel=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib.sh"
source "$here/../../scripts/xsession.sh"

for tool in Xvfb xfce4-panel dbus-daemon gdbus xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

mkdir -p "$out"
session=$(mktemp -d)
app=""
panel=""
bus=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$panel" ] && kill "$panel" 2>/dev/null || true
  xsession_stop
  [ -n "$bus" ] && kill "$bus" 2>/dev/null || true
  rm -rf "$session"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$session/app.err" ] && sed 's/^/  vintrel: /' "$session/app.err" >&2
  [ -f "$session/panel.log" ] && sed 's/^/  panel: /' "$session/panel.log" >&2
  exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_until() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 20))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}

xsession_private_session "$session"
xsession_start_display 1024x768
xsession_start_window_manager

# A panel along the top holding only the status tray; with a stored
# configuration it asks nothing at its first start.
mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml" "$XDG_CONFIG_HOME/vintrel"
cat >"$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="28"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
XML
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n"StartMinimized"="1"\n' \
  >"$XDG_CONFIG_HOME/vintrel/user.reg"

dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$session/bus.address" 4>"$session/bus.pid"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$session/bus.address")
export DBUS_SESSION_BUS_ADDRESS
bus=$(cat "$session/bus.pid")
export LANG=C.UTF-8 LC_ALL=C.UTF-8

watcher_there() {
  gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher | grep -q true
}
item_registered() {
  gdbus call --session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
    -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
    RegisteredStatusNotifierItems | grep -q StatusNotifierItem
}
window_visible() { xdotool search --onlyvisible --name '^Vintrel v2.6$'; }
start_panel() {
  xfce4-panel --disable-wm-check >"$session/panel.log" 2>&1 &
  panel=$!
  wait_until 60 watcher_there || fail "the panel's status tray did not start"
}
start_app() {
  no_clock "$vintrel" 2>"$session/app.err" &
  app=$!
  wait_until 60 item_registered || fail "the icon did not register with the status tray"
}
# Right-clicks the icon, the panel's only one at its left end, and waits for
# the menu the tray opens: the tray runs in a process of its own (the panel's
# plugin wrapper), and its menu is a second visible window of that process.
panel_windows() { xdotool search --onlyvisible --class '^Wrapper-2.0$' 2>/dev/null | wc -l; }
menu_open() { [ "$(panel_windows)" -ge 2 ]; }
menu_closed() { [ "$(panel_windows)" -lt 2 ]; }
# On a loaded machine the icon registers before the panel has drawn it, and
# a click on the empty place opens nothing: the click is repeated for a while.
open_menu() {
  wait_until 20 menu_closed || fail "a menu of the panel stays open"
  for _ in $(seq 12); do
    xdotool mousemove --window "$(xdotool search --onlyvisible --class '^Xfce4-panel$' | head -n 1)" \
      14 14 click 3
    if wait_until 5 menu_open; then
      sleep 0.5 # drawn
      return 0
    fi
  done
  command -v import >/dev/null && import -window root "$out/status-tray-no-menu.png"
  fail "no menu opened on the icon (visible windows: $(xdotool search --onlyvisible --name . 2>/dev/null |
    while read -r w; do printf '%s "%s" ' "$w" "$(xdotool getwindowname "$w")"; done))"
}

start_panel
start_app
sleep 1
if window_visible; then fail "started minimised, the window is on the screen"; fi

open_menu
command -v import >/dev/null && import -window root "$out/status-tray-menu.png"
xdotool key Down Return # "Open Vintrel."
wait_until 30 window_visible || fail "\"Open Vintrel.\" did not show the window"
echo "ok: the status tray's menu opened and \"Open Vintrel.\" showed the window"
skips_taskbar() { xprop -id "$(window_visible | head -n 1)" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; }
wait_until 10 skips_taskbar || fail "the window has a taskbar button while the tray holds the icon"

open_menu
xdotool key Up Return # "Exit"
wait_until 30 bash -c "! kill -0 $app" || fail "Exit from the status tray's menu did not end the program"
status=0
wait "$app" || status=$?
app=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "ok: Exit from the status tray's menu ended the program"

start_app
sleep 1
if window_visible; then fail "started minimised again, the window is on the screen"; fi
kill "$panel"
wait "$panel" 2>/dev/null || true
panel=""
wait_until 30 window_visible || fail "the tray went away and the hidden window stayed hidden"
if skips_taskbar; then fail "without a tray the window has no taskbar button"; fi
echo "ok: the tray went away and the hidden window came back, with a taskbar button"
