#!/usr/bin/env bash
# Starts (start DIR) or stops (stop DIR) the tinyproxy that the Windows tests
# reach through WinInet: a Linux process outside Wine, on a free loopback
# port that it writes to DIR/port. Requests for 127.0.0.2 are refused by its
# filter; everything else is forwarded.
set -euo pipefail
action=$1
dir=$2

listening() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

stop() {
  if [ -f "$dir/pid" ]; then
    kill "$(cat "$dir/pid")" 2>/dev/null || true
  fi
  rm -rf "$dir"
}

start() {
  local program
  program=$(PATH="$PATH:/usr/sbin" command -v tinyproxy) || {
    echo "tinyproxy is not installed (Debian package tinyproxy)" >&2
    exit 1
  }
  stop
  mkdir -p "$dir"
  echo '^127\.0\.0\.2$' >"$dir/filter"
  for _ in $(seq 1 20); do
    local port=$((20000 + RANDOM % 40000))
    listening "$port" && continue
    cat >"$dir/tinyproxy.conf" <<CONF
Port $port
Listen 127.0.0.1
Timeout 30
MaxClients 20
Allow 127.0.0.1
LogFile "$dir/tinyproxy.log"
LogLevel Info
Filter "$dir/filter"
CONF
    # In the foreground (-d) so that the pid is the proxy's own; detached
    # from CTest's output, which would otherwise wait for it to end.
    "$program" -d -c "$dir/tinyproxy.conf" </dev/null >"$dir/output.txt" 2>&1 &
    local pid=$!
    for _ in $(seq 1 100); do
      if listening "$port"; then
        echo "$pid" >"$dir/pid"
        echo "$port" >"$dir/port"
        return 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    kill "$pid" 2>/dev/null || true
  done
  echo "tinyproxy did not start: $(cat "$dir/output.txt")" >&2
  exit 1
}

case $action in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
