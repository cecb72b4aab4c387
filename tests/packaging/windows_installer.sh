#!/usr/bin/env bash
# The Windows installer ($1) in a fresh Wine prefix on a private display: a
# silent install puts both programs, the user guide, the uninstaller, the
# Start-menu shortcut and the "Add/Remove Programs" entry in place; the
# installed vintrel.exe starts and shows its window; a silent uninstall
# removes all of them. Runs in a network namespace of its own (loopback only).
set -euo pipefail
setup=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib.sh"
source "$here/../../scripts/xsession.sh"
source "$here/../../scripts/wine-session.sh"

if [ -z "${VINTREL_IN_NETNS:-}" ]; then
  VINTREL_IN_NETNS=1 exec unshare --net "$0" "$@"
fi
ip link set lo up

wine_test_session 800x600
wine_run=$here/../../scripts/wine-run
dir="$WINEPREFIX/drive_c/Program Files/Vintrel"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vintrel.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vintrel'

"$wine_run" "$setup" /S || fail "the silent install ended with status $?"
for f in vintrel.exe vintrel-sync.exe readme.rtf uninstall.exe; do
  [ -f "$dir/$f" ] || fail "$f is not installed"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
"$wine_run" reg query "$key" /v UninstallString 2>/dev/null | grep -q 'uninstall.exe' ||
  fail "no Add/Remove Programs entry"
echo "installed: files, shortcut and uninstall entry present"

"$wine_run" "$dir/vintrel.exe" &
program=$!
xsession_wait_window "Vintrel v2.6" 60 >/dev/null || fail "the installed program shows no window"
kill "$program" 2>/dev/null || true
no_clock wineserver -k >/dev/null 2>&1 || true
program=""
no_clock wineserver -p
echo "the installed vintrel.exe started"

# The uninstaller runs from a copy in the temporary folder and returns at once.
"$wine_run" "$dir/uninstall.exe" /S || fail "the silent uninstall ended with status $?"
for _ in $(seq 300); do
  [ ! -e "$dir" ] && break
  sleep 0.1
done
[ ! -e "$dir" ] || fail "the install folder is left: $(ls "$dir")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is left"
if "$wine_run" reg query "$key" >/dev/null 2>&1; then fail "the uninstall entry is left"; fi
echo "ok: silent install, start and silent uninstall"
