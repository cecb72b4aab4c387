# Shared by scripts/screenshot and the end-to-end test: a private X display
# (Xvfb) with trayer as the notification area and, when installed, openbox as
# the window manager, and a private session (HOME, XDG folders) for the
# programs started on it. Source it after lib.sh; call xsession_stop on exit.

xsession_pids=()
xsession_files=()

# Starts Xvfb on the first free display and exports DISPLAY. $1: screen size.
xsession_start_display() {
  local size=${1:-800x600} fifo number
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xsession_pids+=($!)
  read -r number <"$fifo"
  rm -f "$fifo"
  export DISPLAY=:$number
  for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  echo "xsession: the display $DISPLAY does not answer" >&2
  return 1
}

# A private session in $1: the programs started from here see no real
# settings, autostart folders, running copy or session bus.
xsession_private_session() {
  local dir=$1
  mkdir -p "$dir/home/.config" "$dir/etc/xdg" "$dir/home/.local/share" "$dir/home/.cache" "$dir/run"
  chmod 700 "$dir/run"
  export HOME=$dir/home
  export XDG_CONFIG_HOME=$dir/home/.config
  export XDG_CONFIG_DIRS=$dir/etc/xdg
  export XDG_DATA_HOME=$dir/home/.local/share
  export XDG_CACHE_HOME=$dir/home/.cache
  export XDG_RUNTIME_DIR=$dir/run
  # Without a session bus Qt's tray icon is an XEmbed icon, which trayer hosts.
  unset DBUS_SESSION_BUS_ADDRESS
}

# Openbox as window manager, when it is installed: title bars and stacking as
# on a desktop. Without it the windows show without frames.
xsession_start_window_manager() {
  command -v openbox >/dev/null || return 0
  # Title bars with the window menu and the close box only, as the windows ask.
  local config
  config=$(mktemp --suffix=.xml)
  xsession_files+=("$config")
  cat >"$config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme><titleLayout>NLC</titleLayout></theme>
  <desktops><number>1</number></desktops>
</openbox_config>
XML
  openbox --sm-disable --config-file "$config" >/dev/null 2>&1 &
  xsession_pids+=($!)
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.05
  done
}

# trayer as the notification area: a strip at the bottom right, $1 pixels
# (default 0) away from the right edge.
xsession_start_tray() {
  local log pid attempt
  log=$(mktemp --suffix=.trayer.log)
  xsession_files+=("$log")
  # Now and then trayer ends at once, unable to open a display that answers
  # the next moment: it is started again, twice at most.
  for attempt in 1 2 3; do
    trayer --edge bottom --align right --margin "${1:-0}" --widthtype pixel --width 80 \
      --height 24 --SetDockType true --transparent false --tint 0x404040 >"$log" 2>&1 &
    pid=$!
    xsession_pids+=("$pid")
    # A loaded machine can take seconds to map the strip; a trayer that ended
    # will never map it.
    for _ in $(seq 400); do
      xdotool search --onlyvisible --classname '^panel$' >/dev/null 2>&1 && return 0
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null && break
    echo "xsession: trayer ended at start (attempt $attempt):" >&2
    sed 's/^/  trayer: /' "$log" >&2
    sleep 0.5
  done
  echo "xsession: trayer did not start$(kill -0 "$pid" 2>/dev/null || echo " (it ended)"):" >&2
  sed 's/^/  trayer: /' "$log" >&2
  return 1
}

# Waits up to $2 seconds (default 20) for a visible window named $1; prints its id.
xsession_wait_window() {
  local name=$1 seconds=${2:-20} id
  for _ in $(seq $((seconds * 20))); do
    id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n 1) || true
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

xsession_stop() {
  local i
  for ((i = ${#xsession_pids[@]} - 1; i >= 0; i--)); do
    kill "${xsession_pids[$i]}" 2>/dev/null || true
    wait "${xsession_pids[$i]}" 2>/dev/null || true
  done
  xsession_pids=()
  rm -f "${xsession_files[@]}"
  xsession_files=()
xsession_files=()
}
