"""Walks the accessibility tree of the running vkcp and checks what a screen reader finds."""
import subprocess
import sys

import pyatspi
from gi.repository import GLib

# Per editor: its window, its edit fields, its check lists and drop-downs, its list caption and
# its buttons.
EDITORS = {
    "sounds": ("Sounds",
               ["Sound Name", "Sound Filename", "Loop start", "Loop end", "Outer cone volume",
                "Inner cone Angle", "Outer cone Angle", "Max distance", "Min distance",
                "Import adjust"],
               ["Flags"], [], "List of sounds", ["Add", "Delete", "Apply", "Close"]),
    "textures": ("Textures",
                 ["Name", "Bitmap name", "Destroy name", "Red", "Green", "Blue", "Alpha", "Speed",
                  "U Slide", "V Slide", "Reflectivity", "Damage", "Sound name", "Volume"],
                 ["Flags"], ["Corona Style"], "List of textures",
                 ["Add", "Delete", "Procedural", "Apply", "Close"]),
    "doors": ("Doors",
              ["Door name", "Model name", "Opening time", "Close time", "Open time", "Hit points",
               "Open sound", "Close sound", "Module name"],
              ["Flags"], [], "List of doors", ["Add", "Delete", "Apply", "Close"]),
    "weapons": ("Weapons",
                ["Weapon name", "HUD image", "Fire image", "Particle name", "Particle count",
                 "Particle life", "Particle size", "Spawn name", "Spawn count", "Robot spawn",
                 "Alternate", "Alternate %", "Gravity time", "G Size", "Homing FOV",
                 "Custom size", "Real size", "Thrust time", "Terrain damage size",
                 "Terrain damage depth", "Weapon alpha", "Explosion image", "Explode time",
                 "Explode size", "Player damage", "Object damage", "Impact size", "Impact time",
                 "Impact player", "Impact generic", "Impact force", "Lifetime",
                 "Recoil information", "Smoke name", "Scorch image", "Scorch size",
                 "Weapon icon"],
                ["Weapon flags"], [], "List of weapons",
                ["Add", "Delete", "Physics", "Lighting", "Sounds", "Apply", "Close"]),
    "generics": ("Generics",
                 ["Name", "Image name", "Med. Image name", "Small Image name", "Impact size",
                  "Impact time", "Damage", "Score", "Ammo", "Module name", "Script override",
                  "Medium LOD distance", "Low LOD distance", "Size", "Hit points",
                  "Respawn scalar"],
                 ["Flags"], ["Object type"], "List of generics",
                 ["Add", "Delete", "Physics", "Lighting", "AI", "Spew", "Classes", "Batteries",
                  "Sounds", "Death", "Apply", "Close"]),
    "ai": ("AI",
           ["AI FOV", "AI Max Velocity", "AI Max Delta Velocity", "AI Max Turn Rate",
            "AI Max Delta Turn Rate", "AI Circle Distance", "AI Attack Vel %", "AI Dodge %",
            "AI Dodge Vel %", "AI Flee %", "AI Melee Damage 1", "AI Melee Damage 2",
            "AI Melee Latency 1", "AI Melee Latency 2", "AI Curiousity", "AI Night Vision",
            "AI Fog Vision", "AI Lead Accuracy", "AI Lead Varience", "AI Fire Spread",
            "AI Fight Team", "AI Fight Same", "AI Agression", "AI Hearing", "AI Frustration",
            "AI Roaming", "AI Life Preservation", "AI Avoid Friends Distance",
            "AI Biased Flight Importance", "AI Biased Flight Min", "AI Biased Flight Max"],
           ["AI flags", "Notify flags"],
           ["AI Class", "AI Type", "AI Movement type", "Movement Subtype"], None,
           ["Apply", "Close"]),
    "spew": ("Spew", ["Spew %", "Spew number", "Spew object"], ["Spew flags"], [], None,
             ["Prev", "Next", "Apply", "Close"]),
    "objectsounds": ("Object sounds",
                     ["Sound name 1", "Sound name 2"] +
                     [f"AI Sound name {n}" for n in range(1, 6)], [], [], None,
                     ["Apply", "Close"]),
    "deathtypes": ("Death types",
                   ["Death delay min.", "Death delay max.", "Death probability",
                    "Number of deaths"],
                   ["Death flags"], [], None,
                   ["Previous death type", "Next death type", "Apply", "Close"]),
    "classes": ("Classes", ["From frame", "To frame", "Seconds per class", "Sound name"], [], [],
                None, ["Previous animation", "Next animation", "Prev", "Next", "Apply", "Close"]),
    "batteries": ("Weapon Batteries",
                  ["Energy usage", "Ammo usage", "Gunpoint Weapon Index", "Weapon name",
                   "Fire masks", "Fire wait time", "Animation time", "Animation start frame",
                   "Animation fire frame", "Animation end frame", "Sound", "Number masks",
                   "Aiming gunpoint index", "Aiming dot", "Aiming distance", "Aiming XZ dot",
                   "Quad fire mask"],
                  ["Aiming flags", "Flags"], [], None,
                  ["Previous gunpoint", "Next gunpoint", "Previous firing mask",
                   "Next firing mask", "Prev", "Next", "Apply", "Close"]),
    "ships": ("Ships",
              ["Ship name", "Cockpit filename", "HUD config filename", "Model name", "Dying model",
               "Med. model name", "Low model name", "Med. LOD distance", "Low LOD distance",
               "Size", "Armor scalar"],
              ["Flags"], [], "List of ships",
              ["Add", "Delete", "Weapons", "Physics", "Apply", "Close"]),
    "shipweapons": ("Ship weapons",
                    ["Fire sound name", "Release sound name", "Spew powerup name", "Max ammo",
                     "Energy usage", "Ammo usage", "Gunpoint Weapon Index", "Weapon name",
                     "Fire masks", "Fire wait time", "Animation time", "Animation start frame",
                     "Animation fire frame", "Animation end frame", "Sound", "Number masks",
                     "Aiming gunpoint index", "Aiming dot", "Aiming distance", "Aiming XZ dot",
                     "Quad fire mask"],
                    ["Fire flags", "Aiming flags", "Flags"], [], None,
                    ["Previous gunpoint", "Next gunpoint", "Previous firing mask",
                     "Next firing mask", "Prev", "Next", "Apply", "Close"]),
    # Check table, from the main menu: its list of findings and its buttons.
    "checktable": ("Check table", [], ["Findings"], [], None, ["Check again", "Close"]),
    # The table of the weapons, from the weapon editor: its filter, the table and its buttons.
    "weapontable": ("Weapons table", ["Filter"], ["Weapons"], [], None,
                    ["Columns...", "Edit", "Export CSV...", "Import CSV...", "Close"]),
    # The settings windows, opened over the weapon, ship and generic editors.
    "physics": ("Physics",
                ["Mass", "Drag", "Full thrust", "Rotational drag", "Rotational thrust",
                 "Bounces number", "Initial velocity", "Rotational Velocity X", "Y", "Z",
                 "Wiggle amplitude", "Wiggles per second", "Coefficient restitution",
                 "Hit death angle", "Max turn-roll date", "Turn-roll ratio"],
                ["Flags"], [], None, ["Apply", "Close"]),
    "lighting": ("Lighting",
                 ["Light distance", "Start red", "Start green", "Start blue", "Time interval",
                  "Flicker distance", "FOV", "End red", "End green", "End blue", "Time bits",
                  "Angle"],
                 ["Flags"], ["Lighting render type"], None, ["Apply", "Close"]),
    "soundslot": ("Sounds",
                  [f"Sound slot {slot}" for slot in range(1, 8)], [], [], None,
                  ["Apply", "Close"]),
}


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def find(root, name, roles):
    return next((n for n in walk(root) if n.name == name and n.getRoleName() in roles), None)


def labelled(root, caption, roles):
    """A drop-down is named by its current item; a reader announces its label."""
    for node in walk(root):
        if node.getRoleName() not in roles:
            continue
        for relation in node.getRelationSet():
            if relation.getRelationType() != pyatspi.RELATION_LABELLED_BY:
                continue
            if any(relation.getTarget(i).name == caption for i in range(relation.getNTargets())):
                return True
    return False


def focused_menu_items(presses):
    """The menu items that take the focus while the keyboard walks down the open menu: popup
    menus are not children of the application, a screen reader meets them through events."""
    seen = []

    def on_focus(event):
        if event.detail1 and event.source.getRoleName() == "menu item":
            seen.append(event.source.name)

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    steps = iter(range(presses))

    def press():
        if next(steps, None) is None:
            pyatspi.Registry.stop()
            return False
        subprocess.run(["xdotool", "key", "Down"], check=True)
        return True

    GLib.timeout_add(300, press)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")
    return seen


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    apps = [desktop.getChildAtIndex(i) for i in range(desktop.childCount)]
    return next((a for a in apps if a is not None and a.name in ("vkcp", "VK Control Panel")),
                None)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def windows_of(app):
    """Each window by its name, the one on screen before a hidden one of the same name (the
    weapon editor's "Sounds" and the sound editor's)."""
    windows = {}
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window is not None and (window.name not in windows or showing(window)):
            windows[window.name] = window
    return windows


def check(phase, menu_items):
    """Prints what a reader finds of the phase's window; menu_items gives the names of the main
    menu's items as a reader meets them. Returns how many were missing."""
    app = application()
    if app is None:
        print("a11y-check: vkcp is not on the accessibility bus")
        return 1
    failures = []

    def expect(found, what):
        print(("found   " if found else "MISSING ") + what)
        if not found:
            failures.append(what)

    windows = windows_of(app)
    editor = EDITORS.get(phase)
    for title in ("VK Control Panel",) + ((editor[0],) if editor else ()):
        expect(title in windows, f"window \"{title}\"")
    main_window = windows.get("VK Control Panel")
    if main_window is not None and phase == "menu":
        for area in ("Textures", "Sounds", "Weapons", "Generics", "Doors", "Ships", "Main menu",
                     "Minimize", "Close", "About", "Website"):
            expect(find(main_window, area, {"push button"}), f"main window button \"{area}\"")
        items = menu_items()
        for item in ("New table file", "Load table file...", "Save table file...", "Check table",
                     "Check for new versions...", "Exit"):
            expect(item in items, f"menu item \"{item}\"")
    window = windows.get(editor[0]) if editor else None
    if window is not None:
        title, fields, lists, choices, list_caption, buttons = editor
        for field in fields:
            expect(find(window, field, {"text", "entry"}), f"{phase} field \"{field}\"")
        for field in lists:
            expect(find(window, field, {"list", "table", "list box", "tree", "tree table"}),
                   f"{phase} field \"{field}\"")
        for field in choices:
            expect(labelled(window, field, {"combo box"}), f"{phase} drop-down \"{field}\"")
        if list_caption:
            expect(find(window, list_caption, {"list", "table", "list box"}),
                   f"page list \"{list_caption}\"")
            expect(find(window, "Filter", {"text", "entry"}), f"{phase} filter field \"Filter\"")
        for button in buttons:
            expect(find(window, button, {"push button"}), f"button \"{button}\"")
    if window is not None and phase == "checktable":
        # The demo table is clean, and the window says so in words.
        expect(find(window, "No problems found.", {"label"}), "label \"No problems found.\"")
    print(f"a11y-check {phase}: {len(failures)} missing" if failures
          else f"a11y-check {phase}: all found")
    return len(failures)


if __name__ == "__main__":
    sys.exit(1 if check(sys.argv[1], lambda: focused_menu_items(7)) else 0)
