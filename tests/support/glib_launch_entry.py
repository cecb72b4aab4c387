"""Loads a desktop entry with GLib's own parser and starts it as a GNOME
session would, waiting for the program to end.

Exit status 0 when GLib loaded and started it, 2 when GLib refused the entry."""

import os
import sys

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402


def main(path):
    try:
        info = Gio.DesktopAppInfo.new_from_filename(path)
    except TypeError:  # the constructor gave NULL
        info = None
    if info is None:
        print("GLib does not load %r" % path, file=sys.stderr)
        return 2
    pids = []
    info.launch_uris_as_manager(
        [], None, GLib.SpawnFlags.SEARCH_PATH | GLib.SpawnFlags.DO_NOT_REAP_CHILD,
        None, None, lambda _app, pid, _data: pids.append(pid), None)
    for pid in pids:
        os.waitpid(pid, 0)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
