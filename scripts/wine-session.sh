# Shared by the Win32 program's tests and screenshots: a Wine prefix of their
# own, started on the X display already exported (a prefix created without a
# display keeps a desktop process that shows no windows). Source it after
# lib.sh and xsession.sh; call wine_session_stop on exit.

# Creates the prefix in $1 and keeps a wineserver running in it.
wine_session_start() {
  export WINEPREFIX=$1
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree=d;mshtml=d}
  mkdir -p "$WINEPREFIX"
  no_clock wineserver -p
  no_clock wine wineboot --init >/dev/null 2>&1
}

wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  no_clock wineserver -k >/dev/null 2>&1 || true
}

# The frame of a test of the Win32 programs: $session, a private X display of
# size $1 (with trayer as the notification area when $2 is "tray") and a Wine
# prefix of its own, all gone when the test ends, with the process in
# $program if one is still running. Call it after the test has put itself in
# a network namespace of its own.
wine_test_session() {
  session=$(mktemp -d)
  program=""
  trap wine_test_session_end EXIT
  xsession_private_session "$session"
  xsession_start_display "$1"
  [ "${2:-}" = tray ] && xsession_start_tray
  wine_session_start "$session/wine"
}

wine_test_session_end() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  wine_session_stop
  xsession_stop
  rm -rf "$session"
}

# Ends the test with its reason.
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
