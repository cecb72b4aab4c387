#!/usr/bin/env bash
# Runs window tests (a test program and a GoogleTest filter) on Wayland:
# Debian's weston with its headless back end, so menus, dialogs and message
# boxes are real Wayland surfaces (popups, transient windows) rather than the
# offscreen platform's. Exits 77 (skipped) without weston or Qt's Wayland plugin.
set -euo pipefail
tests=$1
filter=$2

command -v weston >/dev/null || { echo "skipped: weston is not installed"; exit 77; }
plugins=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
[ -e "$plugins/platforms/libqwayland-generic.so" ] ||
  { echo "skipped: Qt's Wayland plugin (qt6-wayland) is not installed"; exit 77; }

runtime=$(mktemp -d)
chmod 0700 "$runtime"
compositor=""
cleanup() {
  [ -n "$compositor" ] && kill "$compositor" 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --use-pixman --width=1024 \
  --height=768 --socket=tests --idle-time=0 >"$runtime/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 200); do
  [ -S "$runtime/tests" ] && break
  sleep 0.05
done
[ -S "$runtime/tests" ] || { cat "$runtime/weston.log" >&2; echo "FAIL: weston did not start" >&2; exit 1; }

status=0
VINTREL_TEST_WAYLAND_SOCKET=$runtime/tests "$tests" --gtest_filter="$filter" || status=$?
[ "$status" -eq 0 ] || tail -n 20 "$runtime/weston.log" | sed 's/^/  weston: /' >&2
exit "$status"
