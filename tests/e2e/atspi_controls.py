"""Reads a running program's window through AT-SPI, as a screen reader does.

usage: atspi_controls.py PID [NAME=EXPECTED ...]
Lists every control (button, check box, spin box, slider, scroll bar, text field) of the program
with process id PID, prints how many have a non-empty accessible name, and fails when one has no name or no
description, when two share a name, when the main window is not a frame, or when nothing shown is named NAME
(its Qt objectName is not visible here, so NAME is the accessible name). Exits 2 while the
program is not on the bus yet.
"""
import sys

import pyatspi

CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER, pyatspi.ROLE_SCROLL_BAR,
    pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PASSWORD_TEXT,
}


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def main():
    pid = int(sys.argv[1])
    expected = [arg.split("=", 1)[1] for arg in sys.argv[2:]]
    desktop = pyatspi.Registry.getDesktop(0)
    app = next((a for a in desktop if a is not None and a.get_process_id() == pid), None)
    if app is None or app.childCount == 0:
        sys.exit(2)
    controls = [n for n in walk(app) if n.getRole() in CONTROL_ROLES and showing(n)]
    unnamed = [n for n in controls if not n.name.strip()]
    for node in controls:
        print(f"{node.getRoleName():12} {node.name!r:40} {node.description!r}")
    print(f"{len(controls) - len(unnamed)} of {len(controls)} controls have an accessible name")
    failed = False
    for node in controls:
        if not node.description.strip():
            print(f"no description: {node.getRoleName()} {node.name!r}")
            failed = True
    for node in unnamed:
        print(f"no name: {node.getRoleName()} at {node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)}")
        failed = True
    seen = {}
    for node in controls:
        seen.setdefault(node.name.strip(), []).append(node.getRoleName())
    for name, roles in seen.items():
        if name and len(roles) > 1:
            print(f"{len(roles)} controls named {name!r}: {', '.join(roles)}")
            failed = True
    window = app.getChildAtIndex(0)
    if window.getRole() != pyatspi.ROLE_FRAME:
        print(f"the main window is reported as {window.getRoleName()!r}, not as a frame")
        failed = True
    names = {n.name for n in walk(app) if showing(n)}
    for name in expected:
        if name not in names:
            print(f"no control named {name!r}")
            failed = True
    sys.exit(1 if failed else 0)


main()
