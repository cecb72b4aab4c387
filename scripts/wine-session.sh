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
