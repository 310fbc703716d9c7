"""Walks tvq-config's accessible tree on the AT-SPI bus and checks that every
operable control of the settings page is there with its role and name."""
import sys
import time

import pyatspi

DEADLINE_S = 30

expected = set()
# A key button is named after its button and the function it holds.
expected.add(("push button", "Button 1 function: Left click"))
for n in range(1, 19):
    expected.add(("push button", f"Button {n} function"))
for n in (1, 2):
    expected.add(("radio button", f"Button mode {n}"))
for n in range(1, 9):
    expected.add(("radio button", f"DPI stage {n}"))
    expected.add(("slider", f"DPI stage {n} value"))
    expected.add(("push button", f"DPI stage {n} colour"))
for hz in (125, 250, 500, 1000):
    expected.add(("radio button", f"Polling rate {hz} Hz"))
for role, name in [
    ("push button", "Macros"),
    ("list", "Profiles"),
    ("push button", "Add profile"),
    ("push button", "Delete profile"),
    ("push button", "Rename profile"),
    ("push button", "Import profile"),
    ("push button", "Export profile"),
    ("push button", "Restore profile defaults"),
    ("combo box", "Lighting effect"),
    ("combo box", "Lighting effect over Bluetooth"),
    ("slider", "Brightness"),
    ("slider", "Breathing speed"),
    ("push button", "Lighting colour"),
    ("slider", "Sleep timer"),
    ("check box", "Movement mode"),
    ("push button", "Desktop mouse settings"),
    ("push button", "Apply to mouse"),
    ("push button", "Minimise"),
    ("push button", "Close window"),
    ("check box", "Buttons"),
    ("check box", "DPI stages"),
    ("check box", "Lighting"),
    ("check box", "Polling rate"),
]:
    expected.add((role, name))

# Roles that AT-SPI may name differently for the same Qt control.
ROLE_ALIASES = {"list box": "list", "toggle button": "check box"}


def find_program():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name in ("tvq-config", "TERVANA TVQ-R270 WIRELESS MOUSE"):
            return app
    return None


def walk(node, seen, focusable):
    try:
        role = ROLE_ALIASES.get(node.getRoleName(), node.getRoleName())
        name = node.name
        # Qt names a combo box after its current item; what it is for is
        # its description.
        if role == "combo box" and node.description:
            name = node.description
        names = {name}
        if role == "push button" and " function: " in name:
            names.add(name.split(": ")[0])
        seen.update((role, n) for n in names)
        if node.getState().contains(pyatspi.STATE_FOCUSABLE):
            focusable.update((role, n) for n in names)
        for child in node:
            if child is not None:
                walk(child, seen, focusable)
    except Exception:  # a node that went away while walking
        pass


def main():
    end = time.monotonic() + DEADLINE_S
    missing = expected
    seen, focusable = set(), set()
    while time.monotonic() < end:
        app = find_program()
        if app is not None:
            seen, focusable = set(), set()
            walk(app, seen, focusable)
            missing = expected - seen
            if not missing:
                break
        time.sleep(0.2)
    if missing:
        print("missing from the accessible tree:", file=sys.stderr)
        for role, name in sorted(missing):
            print(f"  {role}: {name!r}", file=sys.stderr)
        named = sorted(x for x in seen if x[1])
        print(f"found {len(named)} named nodes, e.g. {named[:20]}", file=sys.stderr)
        return 1
    # The controls the user can operate now are reachable by keyboard.
    for control in [("push button", "Apply to mouse"), ("list", "Profiles"),
                    ("check box", "Buttons"), ("push button", "Button 3 function")]:
        if control not in focusable:
            print(f"not focusable: {control}", file=sys.stderr)
            return 1
    print(f"accessible tree: all {len(expected)} controls found by role and name")
    return 0


sys.exit(main())
