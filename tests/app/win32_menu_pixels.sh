#!/usr/bin/env bash
# The Win32 program's owner-drawn File menu and notification menu under Wine
# on a private Xvfb display with trayer as the notification area, checked
# pixel by pixel: the image column, the separator line, the highlight's frame
# and fill, and the check mark's box and tick. The colours
# are the look's (a working palette made from Wine's default system colours);
# a canvas that swaps red and blue, a draw message that never reaches the
# look, or a step of it left out changes one of them. Runs in a Wine prefix
# of its own, in a network namespace of its own (loopback only). Keeps the
# captures in $2. Exits 77 (skipped) without Xvfb, xdotool or import.
set -euo pipefail
vintrel=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib.sh"
source "$here/../../scripts/xsession.sh"
source "$here/../../scripts/wine-session.sh"

for tool in Xvfb trayer xdotool xwininfo import python3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
if [ -z "${VINTREL_IN_NETNS:-}" ]; then
  VINTREL_IN_NETNS=1 exec unshare --net "$0" "$@"
fi
ip link set lo up

mkdir -p "$out"
wine_test_session 800x600 tray

"$here/../../scripts/wine-run" "$vintrel" &
program=$!
window=$(xsession_wait_window "Vintrel v2.6" 60) || fail "no window named \"Vintrel v2.6\""
pid=$(xdotool getwindowpid "$window")

visible() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | sort; }
# The program's windows without a menu open.
resting=$(visible)

# Waits until every menu has closed.
wait_menus_closed() {
  for _ in $(seq 200); do
    [ "$(visible)" = "$resting" ] && return 0
    sleep 0.05
  done
  return 1
}

# Opens the File menu with a click on its title; prints the menu's window.
# Wine drops a click that comes while the last menu's loop still winds down,
# so an unanswered click is made again.
open_file_menu() {
  local id
  for _ in $(seq 10); do
    xdotool mousemove --window "$window" 18 10 click 1
    for _ in $(seq 40); do
      id=$(comm -13 <(echo "$resting") <(visible) | head -n 1)
      [ -n "$id" ] && { echo "$id"; return 0; }
      sleep 0.05
    done
  done
  return 1
}

# Checks the menu in window $1 against the table on stdin (name, x, y and
# the colour as RRGGBB, x and y from the menu's top left corner). The menu
# paints after it shows, so the screen is taken again until the table holds,
# for a bound far above any paint; the last differences are the failure.
check_menu() {
  local menu=$1 shot=$2 table x y
  table=$(cat)
  read -r x y < <(xwininfo -id "$menu" |
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
  for _ in $(seq 100); do
    import -window root -depth 8 "$out/$shot.ppm"
    python3 "$here/check_pixels.py" "$out/$shot.ppm" "$x" "$y" <<<"$table" \
      >"$session/differences" && return 0
    sleep 0.2
  done
  cat "$session/differences" >&2
  return 1
}

# The first item highlighted by the keyboard. The menu's layout: a 3-pixel
# border, the 24-pixel image column, items 23 pixels high, separators 4.
menu=$(open_file_menu) || fail "a click on File opened no menu"
xdotool key Down
check_menu "$menu" file-menu-highlight <<'TABLE' || fail "the File menu with its first item highlighted"
image column beside a plain item        5  40 f7f7f7
text column of a plain item           185  40 fefefe
highlight frame, left edge              3  15 3096fa
highlight frame, top edge             150   4 3096fa
highlight fill                        150  15 bdddfd
highlight frame, bottom edge          150  25 3096fa
separator line                        100  28 bcbcbc
separator starts past the image col    30  28 fefefe
row above the separator line          100  27 fefefe
second separator line                 100 124 bcbcbc
TABLE
xdotool key Escape Escape
wait_menus_closed || fail "Escape left a menu open"

# "Start Minimized" checked (the third item; the prefix's settings are the
# test's own), then the menu once more without a highlight.
menu=$(open_file_menu) || fail "a click on File opened no menu"
xdotool key Down Down Down Return
wait_menus_closed || fail "choosing an item left a menu open"
menu=$(open_file_menu) || fail "a click on File opened no menu a second time"
check_menu "$menu" file-menu-checked <<'TABLE' || fail "the File menu with Start Minimized checked"
check box frame, left edge             10  65 3096fa
check box frame, top edge              15  60 3096fa
check box fill                         18  66 d6eafe
tick inside the box                    14  68 000000
tick reaching past the box             21  60 000000
image column beside the box             5  65 f7f7f7
no box beside an unchecked item        15  87 f7f7f7
TABLE
xdotool key Escape Escape
wait_menus_closed || fail "Escape left a menu open"

# The notification menu belongs to the icon's own hidden window, not to the
# main window: its items are measured and drawn through another owner.
panel=$(xdotool search --onlyvisible --classname '^panel$' | head -n 1)
icon=""
for _ in $(seq 100); do
  icon=$(xwininfo -children -id "$panel" 2>/dev/null | awk '/^ +0x/ { print $1; exit }')
  [ -n "$icon" ] && break
  sleep 0.1
done
[ -n "$icon" ] || fail "no icon in the notification area"
xdotool mousemove --window "$icon" 8 8 click 3
menu=""
for _ in $(seq 200); do
  menu=$(comm -13 <(echo "$resting") <(visible) | head -n 1)
  [ -n "$menu" ] && break
  sleep 0.05
done
[ -n "$menu" ] || fail "a right click on the icon opened no menu"
xdotool key Down
check_menu "$menu" tray-menu-highlight <<'TABLE' || fail "the notification menu with its first item highlighted"
highlight frame, left edge              3  15 3096fa
highlight fill                        150  15 bdddfd
highlight frame, bottom edge          150  25 3096fa
image of Ping Now                       7  40 87abd0
image column beside a plain item        5  85 f7f7f7
text column of a plain item           185  85 fefefe
separator line                        100  74 bcbcbc
separator starts past the image col    30  74 fefefe
TABLE
echo "ok: the File and notification menus' image column, separators, highlight and check mark"
