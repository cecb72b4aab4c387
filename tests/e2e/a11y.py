#!/usr/bin/python3
"""Reads the running program's windows through the accessibility bus (AT-SPI),
the way a screen reader does: where a control is (so that xdotool can click it
at its real place) and what a message box says. Nothing in the program is
there for this: Qt exposes every widget to AT-SPI.

usage: a11y.py --pid PID [--timeout S] COMMAND ...
  find ROLE NAME     prints "X Y", the centre of the showing control
  row CAPTION        prints the text of the label that follows CAPTION
  box FILE           waits for a message box, writes its title and texts to
                     FILE, prints "X Y", the centre of its OK button
  no-box             waits until no message box is showing
  dump               prints the tree (for looking around)
Exits 1 when what was asked for did not come within the time-out.
"""

import argparse
import sys
import time

import pyatspi
from gi.repository import Atspi

# A program busy in a blocking call must not hang a query for D-Bus's 25 s.
Atspi.set_timeout(2000, 10000)

BOX_ROLES = (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def children(node):
    try:
        count = node.childCount
    except Exception:
        return []
    result = []
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            result.append(child)
    return result


def walk(node, depth=0, limit=12):
    yield node, depth
    if depth < limit:
        for child in children(node):
            yield from walk(child, depth + 1, limit)


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def centre(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except Exception:
        return node.name or ""


def message_box(app):
    for window in children(app):
        if window.getRole() in BOX_ROLES and showing(window):
            return window
    return None


def retry(timeout, attempt):
    """Calls attempt() until it returns something other than None."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            result = attempt()
        except Exception:
            result = None
        if result is not None or time.monotonic() >= deadline:
            return result
        time.sleep(0.1)


def in_app(pid, look):
    def attempt():
        app = application(pid)
        return None if app is None else look(app)

    return attempt


def find(role, name):
    def look(app):
        for node, _ in walk(app):
            if node.getRoleName() == role and node.name == name and showing(node):
                return "%d %d" % centre(node)
        return None

    return look


def row(caption):
    def look(app):
        for node, _ in walk(app):
            labels = [c for c in children(node) if c.getRole() == pyatspi.ROLE_LABEL]
            for first, second in zip(labels, labels[1:]):
                if first.name == caption:
                    return text_of(second)
        return None

    return look


def box(path):
    def look(app):
        window = message_box(app)
        if window is None:
            return None
        texts, ok = [], None
        for node, _ in walk(window):
            if node.getRole() == pyatspi.ROLE_LABEL and text_of(node):
                texts.append(text_of(node))
            elif node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name.replace("&", "") == "OK":
                ok = node
        if ok is None:
            return None
        with open(path, "w", encoding="utf-8", newline="") as out:
            out.write("title: %s\n" % window.name)
            for text in texts:
                out.write(text.replace("\r\n", "\n") + "\n")
        return "%d %d" % centre(ok)

    return look


def no_box(app):
    return None if message_box(app) is not None else "none"


def dump(app):
    for node, depth in walk(app):
        print("  " * depth + "%s %r" % (node.getRoleName(), node.name))
    return ""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--timeout", type=float, default=20)
    parser.add_argument("command")
    parser.add_argument("args", nargs="*")
    options = parser.parse_args()
    commands = {
        "find": lambda a: find(a[0], a[1]),
        "row": lambda a: row(a[0]),
        "box": lambda a: box(a[0]),
        "no-box": lambda a: no_box,
        "dump": lambda a: dump,
    }
    look = commands[options.command](options.args)
    result = retry(options.timeout, in_app(options.pid, look))
    if result is None:
        print("a11y: %s %s: not found within %g s" % (options.command, " ".join(options.args),
                                                     options.timeout), file=sys.stderr)
        return 1
    if result:
        print(result)
    return 0


if __name__ == "__main__":
    sys.exit(main())
