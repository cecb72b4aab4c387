#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what an installed copy
# needs: the programs, their man pages, the user guide where the program looks
# for it, and the desktop entry, icons and AppStream metadata, all under the
# one id and passing the freedesktop validators (skipped when not installed).
#
# usage: check_install.sh BUILD_DIR PREFIX APP_ID VERSION INSTALL_PATHS_HEADER [PROGRAM]...
set -uo pipefail
build=$1 prefix=$2 id=$3 version=$4 header=$5
shift 5
programs=("$@")

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
skip() { echo "skipped: $*"; }
have() { command -v "$1" >/dev/null; }
has_program() {
  local p
  for p in "${programs[@]}"; do [ "$p" = "$1" ] && return 0; done
  return 1
}

destdir=$(mktemp -d)
trap 'rm -rf "$destdir" "$destdir.log"' EXIT
if ! DESTDIR="$destdir" cmake --install "$build" >"$destdir.log" 2>&1; then
  cat "$destdir.log"
  echo "FAIL: cmake --install"
  exit 1
fi
root=$destdir$prefix

# An absolute path in an install rule would write outside the prefix (into
# /etc, say) on a real install; the package must not own such files.
outside=$(find "$destdir" -mindepth 1 \( -type f -o -type l \) ! -path "$root/*")
[ -z "$outside" ] || fail "installed outside $prefix: $outside"

# The program falls back to the compiled-in folder, so the guide must be
# exactly there, and beside the built programs for runs from the build tree.
docdir=$(sed -n 's/.*kInstalledDocDir\[\] = "\(.*\)";.*/\1/p' "$header")
[ -n "$docdir" ] || fail "no kInstalledDocDir in $header"
[ -f "$destdir$docdir/readme.rtf" ] || fail "readme.rtf is not in $docdir"
# Debian's machine-readable copyright file, naming the licence of LICENSE.
grep -q '^License: Expat$' "$destdir$docdir/copyright" 2>/dev/null ||
  fail "no machine-readable copyright (License: Expat) in $docdir"
[ -f "$build/bin/readme.rtf" ] || fail "readme.rtf is not beside the built programs"

for p in "${programs[@]}"; do
  [ -x "$root/bin/$p" ] || fail "bin/$p is missing or not executable"
  page=$root/share/man/man1/$p.1
  if [ ! -f "$page" ]; then
    fail "man page $p.1 is missing"
    continue
  fi
  # whatis and apropos read the NAME section; a malformed one hides the page.
  if have lexgrog; then
    lexgrog "$page" >/dev/null || fail "$p.1: NAME section cannot be parsed"
  fi
  if have groff; then
    warnings=$(groff -man -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "$p.1: $warnings"
  fi
done

png_size() {
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
  local b
  read -ra b < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(((b[0] << 24) + (b[1] << 16) + (b[2] << 8) + b[3]))x$(((b[4] << 24) + (b[5] << 16) + (b[6] << 8) + b[7]))"
}

if has_program vintrel; then
  desktop=$root/share/applications/$id.desktop
  if [ -f "$desktop" ]; then
    if have desktop-file-validate; then
      desktop-file-validate "$desktop" || fail "desktop-file-validate $id.desktop"
    else
      skip "desktop-file-validate not installed (package desktop-file-utils)"
    fi
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ "$icon" = "$id" ] || fail "desktop entry names icon '$icon', not '$id'"
    exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    [ -x "$root/bin/$exec_program" ] || fail "desktop entry runs '$exec_program', which is not installed"
  else
    fail "share/applications/$id.desktop is missing"
  fi

  icons=$root/share/icons/hicolor
  for size in 16 32 48 256; do
    png=$icons/${size}x$size/apps/$id.png
    if [ -f "$png" ]; then
      actual=$(png_size "$png")
      [ "$actual" = "${size}x$size" ] || fail "icon in ${size}x$size is $actual"
    else
      fail "icon ${size}x$size/apps/$id.png is missing"
    fi
  done
  [ -f "$icons/scalable/apps/$id.svg" ] || fail "icon scalable/apps/$id.svg is missing"

  metainfo=$root/share/metainfo/$id.metainfo.xml
  if [ -f "$metainfo" ]; then
    if have appstreamcli; then
      appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $id.metainfo.xml"
    else
      skip "appstreamcli not installed (package appstream)"
    fi
    grep -q "<id>$id</id>" "$metainfo" || fail "metainfo does not carry the id $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
      fail "metainfo does not launch $id.desktop"
    # Software centres show the newest release: a version bump needs an entry.
    newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
    [ "$newest" = "$version" ] || fail "newest release in metainfo is '$newest', not $version"
  else
    fail "share/metainfo/$id.metainfo.xml is missing"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed; installed files:"
  (cd "$destdir" && find . -type f | sort)
  exit 1
fi
echo "installed ${#programs[@]} program(s) and their files under $prefix"
