"""Reads what the window manager shows of the running vkcp: every window's title is its own
caption, with nothing appended, and a fixed-size window can be neither resized nor maximised.

    frames.py TITLE [fixed]
"""
import os
import re
import subprocess
import sys

PROGRAM = "VK Control Panel"


def xprop(*args):
    # Outside a UTF-8 locale xprop shows a title with a non-ASCII character as numbers.
    return subprocess.run(["xprop", *args], capture_output=True, text=True, check=True,
                          env=dict(os.environ, LC_ALL="C.UTF-8")).stdout


def clients():
    return re.findall(r"0x[0-9a-f]+", xprop("-root", "_NET_CLIENT_LIST").split("#", 1)[-1])


def titles(window):
    """WM_NAME and _NET_WM_NAME, as the window manager reads them."""
    found = {}
    for line in xprop("-id", window, "WM_NAME", "_NET_WM_NAME").splitlines():
        match = re.match(r'(\w+)\([A-Z0-9_]+\) = "(.*)"$', line)
        if match:
            found[match.group(1)] = match.group(2)
    return found


def main():
    title = sys.argv[1]
    fixed = len(sys.argv) > 2 and sys.argv[2] == "fixed"
    failures = []

    def expect(ok, what):
        print(("ok      " if ok else "WRONG   ") + what)
        if not ok:
            failures.append(what)

    shown = {window: titles(window) for window in clients()}
    for window, names in shown.items():
        for atom, name in names.items():
            # Qt appends the application's display name, when one is set, to every title.
            expect(name == PROGRAM or PROGRAM not in name, f"{atom} of {window} is \"{name}\"")
    matches = [w for w, names in shown.items()
               if names.get("WM_NAME") == title and names.get("_NET_WM_NAME") == title]
    expect(len(matches) == 1, f"one window titled \"{title}\"")
    if fixed and matches:
        window = matches[0]
        hints = xprop("-id", window, "WM_NORMAL_HINTS")
        minimum = re.search(r"minimum size: (\d+) by (\d+)", hints)
        maximum = re.search(r"maximum size: (\d+) by (\d+)", hints)
        expect(minimum and maximum and minimum.groups() == maximum.groups(),
               f"\"{title}\" has its minimum size as its maximum size")
        actions = xprop("-id", window, "_NET_WM_ALLOWED_ACTIONS")
        for action in ("_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                       "_NET_WM_ACTION_RESIZE"):
            expect(action not in actions, f"\"{title}\" does not allow {action}")
        motif = re.findall(r"0x[0-9a-f]+|\d+", xprop("-id", window, "_MOTIF_WM_HINTS")
                           .split("=", 1)[-1])
        flags, functions, decorations = (int(v, 0) for v in motif[:3])
        # Functions (flag 1): 8 minimise, 16 maximise. Decorations (flag 2): 32 minimise,
        # 64 maximise.
        expect(not (flags & 1 and functions & (1 | 8 | 16)),
               f"\"{title}\" asks for no minimise or maximise function")
        expect(not (flags & 2 and decorations & (1 | 32 | 64)),
               f"\"{title}\" asks for no minimise or maximise button")
    print(f"frames \"{title}\": {len(failures)} wrong" if failures
          else f"frames \"{title}\": as they should be")
    return 1 if failures else 0


sys.exit(main())
