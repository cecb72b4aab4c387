#!/usr/bin/env bash
# vintrel-sync.exe (under Wine) and the Linux vintrel-sync ask one loopback
# daytime server and must report the same server time.
#
#   sync_matches_linux.sh EMULATOR DAYTIME_SERVE_EXE WINDOWS_SYNC_EXE LINUX_SYNC
set -euo pipefail
emulator=$1
serve=$2
windows_sync=$3
linux_sync=$4

if [ ! -x "$linux_sync" ]; then
  echo "no Linux vintrel-sync at $linux_sync: build the default preset first"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$emulator" "$serve" 2 60 >"$work/port" 2>"$work/serve.txt" &
server=$!
port=
for _ in $(seq 1 600); do
  port=$(head -n 1 "$work/port" | tr -d '\r\n')
  [ -n "$port" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
if [ -z "$port" ]; then
  echo "the daytime server did not start: $(cat "$work/serve.txt")"
  exit 1
fi

query=(--no-probe --direct --server 127.0.0.1 --port "$port")
windows=$("$emulator" "$windows_sync" "${query[@]}" | tr -d '\r')
# The Linux program keeps its settings in a folder of its own here.
linux=$(HOME="$work" XDG_CONFIG_HOME="$work" "$linux_sync" "${query[@]}")
wait "$server"

echo "Windows: $windows"
echo "Linux:   $linux"
windows_time=$(grep '^server UTC: ' <<<"$windows")
linux_time=$(grep '^server UTC: ' <<<"$linux")
if [ "$windows_time" != "$linux_time" ] || [ "$linux_time" != "server UTC: 2025-02-17 14:30:45" ]; then
  echo "the two programs disagree on the server's time"
  exit 1
fi
