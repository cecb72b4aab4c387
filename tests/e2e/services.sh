# shellcheck shell=bash
# The loopback world the real programs are run against, for the scripts that
# run them inside namespaces of their own (tests/e2e/scenarios.sh,
# tests/app/e2e_wayland.sh): a private /etc/hosts and system bus, a user with a
# settings file written beforehand, the loopback daytime server and the
# stand-in timedated.
#
# Set before sourcing:
#   tmp      a private working folder, removed by the caller
#   helpers  where the built daytime_server and fake_timedated are
#   logs     where the logs worth keeping go
# and define refuse MESSAGE, which ends the run.

daytime_port=13
timedated_record=$tmp/timedated-requests.txt
pids=()

# Polls a condition every 0.1 s for at most $1 seconds.
wait_until() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@" 2>/dev/null; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

started() { pids+=("$1"); }

# Stops one process this script started: TERM, then KILL after 5 s.
stop() {
  local pid=$1
  kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null || true
  wait_until 5 eval "! kill -0 $pid" || kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Stops everything started, the last first.
stop_all() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
}

# Inside a fresh network and mount namespace: nothing but loopback, the
# probe's two names resolving to it, and the machine's system bus out of sight.
loopback_sandbox() {
  ip link set lo up || refuse "cannot bring up loopback"
  local links
  links=$(ip -o link show | awk -F': ' '{print $2}' | tr '\n' ' ')
  [ "$links" = "lo " ] || refuse "the network namespace has more than loopback: $links"
  cat >"$tmp/hosts" <<'EOF'
127.0.0.1 localhost
127.0.0.1 www.google.com
127.0.0.1 www.microsoft.com
::1 localhost ip6-localhost
EOF
  mount --bind "$tmp/hosts" /etc/hosts || refuse "cannot put a private /etc/hosts in place"
  local name
  for name in www.google.com www.microsoft.com; do
    [ "$(getent hosts "$name" | awk 'NR == 1 {print $1}')" = 127.0.0.1 ] ||
      refuse "$name does not resolve to 127.0.0.1"
  done
  if [ -d /run/dbus ]; then
    mount -t tmpfs -o mode=0755 tmpfs /run/dbus || refuse "cannot hide /run/dbus"
  fi
}

# A fresh user: settings, autostart and runtime folders of its own, and the
# settings file written beforehand from NAME=VALUE pairs.
new_user() {
  local name=$1
  shift
  local home=$tmp/$name
  export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache \
    XDG_STATE_HOME=$home/state XDG_RUNTIME_DIR=$home/runtime
  mkdir -p "$XDG_CONFIG_HOME/vintrel" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
  mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
  settings=$XDG_CONFIG_HOME/vintrel/user.reg
  {
    printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n'
    local pair
    for pair in "$@"; do printf '"%s"="%s"\n' "${pair%%=*}" "${pair#*=}"; done
  } >"$settings"
}

# The value the settings file holds for NAME, as written ("" when absent).
setting() { sed -n "s/^\"$1\"=\"\(.*\)\"\r\?\$/\1/p" "$settings"; }

start_daytime() {
  "$helpers/daytime_server" --port "$daytime_port" "$@" >"$tmp/daytime.out" 2>&1 &
  daytime=$!
  started "$daytime"
  wait_until 10 grep -q '^ready' "$tmp/daytime.out" ||
    { echo "daytime server: $(cat "$tmp/daytime.out")" >&2; return 1; }
}

# Stops the daytime server and prints how many connections it served.
stop_daytime() {
  stop "$daytime"
  sed -n 's/^connections \([0-9]*\).*/\1/p' "$tmp/daytime.out"
}

# A private system bus with the stand-in timedated on it, accepting SetTime.
start_timedated() {
  cat >"$tmp/system-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$tmp/system-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
  : >"$tmp/system-bus.address"
  dbus-daemon --nofork --config-file="$tmp/system-bus.conf" --print-address=6 \
    6>"$tmp/system-bus.address" >"$logs/system-bus.log" 2>&1 &
  started $!
  wait_until 20 test -s "$tmp/system-bus.address" ||
    { echo "the private system bus did not start" >&2; return 1; }
  export DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$tmp/system-bus.address")
  : >"$timedated_record"
  "$helpers/fake_timedated" --reply accept --record "$timedated_record" >"$tmp/timedated.out" \
    2>&1 &
  timedated=$!
  started "$timedated"
  wait_until 20 grep -q '^ready' "$tmp/timedated.out" ||
    { echo "stand-in timedated did not start: $(cat "$tmp/timedated.out")" >&2; return 1; }
}

# The one SetTime the stand-in received: a relative step of about $1 seconds
# (within 5 s). $2 is whether it was the user's own correction, the only kind
# that may ask for authorisation (true) or not (false).
requested_step_near() {
  local expected=$1 users=$2 lines usec relative interactive asks
  lines=$(grep -c . "$timedated_record")
  [ "$lines" -eq 1 ] || return 1
  read -r usec relative interactive asks <"$timedated_record"
  [ "$relative" = true ] && [ "$interactive" = "$users" ] || return 1
  if [ "$users" = true ]; then [ "$asks" = may-ask ]; else [ "$asks" = may-not-ask ]; fi || return 1
  local diff=$(((usec / 1000000) - expected))
  [ "${diff#-}" -le 5 ]
}
