"""Walks tvq-config's accessible tree on the AT-SPI bus and checks that every
operable control of the settings page is there with its role and name, then
opens and closes the sections and toggles a check box through their
accessible actions, as a screen reader does, and checks what follows."""
import os
import sys
import time

import pyatspi

DEADLINE_S = 60  # a loaded machine takes its time to bring up the bus and the tree

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
    ("push button", "Write all settings to the mouse again"),
    ("push button", "Program menu"),
    ("push button", "Buttons"),
    ("push button", "DPI stages"),
    ("push button", "Lighting"),
    ("push button", "Polling rate"),
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


def find(node, role, name):
    try:
        node_role = ROLE_ALIASES.get(node.getRoleName(), node.getRoleName())
        # A key button's name goes on with the function it holds.
        # A combo box goes by its description (its name is its current item).
        names = (node.name, node.description) if node_role == "combo box" else (node.name,)
        if node_role == role and any(n == name or n.startswith(name + ": ") for n in names):
            return node
        for child in node:
            if child is not None:
                found = find(child, role, name)
                if found is not None:
                    return found
    except Exception:
        pass
    return None


def showing(app, role, name):
    node = find(app, role, name)
    return node is not None and node.getState().contains(pyatspi.STATE_SHOWING)


def toggle(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Toggle":
            return action.doAction(i)
    raise RuntimeError(f"{node.name!r} has no Toggle action")


def until(condition, seconds=5):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


def toggles_follow(app):
    """Each section header shows and hides its section and says whether it
    is expanded; "Movement mode" reaches the stored profile."""
    sections = {
        "Buttons": ("push button", "Button 3 function"),
        "DPI stages": ("slider", "DPI stage 1 value"),
        "Lighting": ("combo box", "Lighting effect"),
        "Polling rate": ("radio button", "Polling rate 125 Hz"),
    }
    for header, inside in sections.items():
        node = find(app, "push button", header)
        for _ in range(2):  # closed, then open again
            before = showing(app, *inside)
            if not node.getState().contains(pyatspi.STATE_EXPANDABLE) or \
                    node.getState().contains(pyatspi.STATE_EXPANDED) != before:
                print(f"{header!r} does not say whether it is expanded", file=sys.stderr)
                return False
            toggle(node)
            if not until(lambda: showing(app, *inside) != before):
                print(f"toggling {header!r} did not {'hide' if before else 'show'} "
                      f"{inside[1]!r}", file=sys.stderr)
                return False
    store = os.path.join(os.environ["XDG_DATA_HOME"], "TERVANA TVQ-R270 WIRELESS MOUSE",
                         "ms_1", "pro.data")

    def stored():
        with open(store, "rb") as f:
            return f.read()
    before = stored()
    toggle(find(app, "check box", "Movement mode"))
    if not until(lambda: stored() != before):
        print("toggling 'Movement mode' did not reach the stored profile", file=sys.stderr)
        return False
    return True


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
    for control in [("push button", "Write all settings to the mouse again"), ("list", "Profiles"),
                    ("push button", "Buttons"), ("push button", "Button 3 function")]:
        if control not in focusable:
            print(f"not focusable: {control}", file=sys.stderr)
            return 1
    if not toggles_follow(find_program()):
        return 1
    print(f"accessible tree: all {len(expected)} controls found by role and name; "
          "the section headers' and check box's Toggle does what a click does")
    return 0


sys.exit(main())
