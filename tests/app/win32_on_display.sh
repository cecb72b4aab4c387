#!/usr/bin/env bash
# Runs a Win32 test program that creates real windows: under Wine on a private
# Xvfb display, in a Wine prefix of its own (one made without a display shows
# no windows). Exits 77 (skipped) without Xvfb.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib.sh"
source "$here/../../scripts/xsession.sh"
source "$here/../../scripts/wine-session.sh"

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
wine_test_session 640x480
no_clock wine "$@"
