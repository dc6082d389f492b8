"""Reads what the window system is told of the running vkcp's windows: every window's title is
its own caption, with nothing appended, and a fixed-size window can be neither resized nor
maximised.

    frames.py TITLE [fixed]

On X11 it reads the window manager's properties. On Wayland (VK_A11Y_PROTOCOL_LOG names the
program's WAYLAND_DEBUG=client output) no other client may read a window's title or hints, so it
reads what the program asked the compositor for, and the window's state on the accessibility bus.
"""
import os
import re
import subprocess
import sys

import check
import pyatspi

PROGRAM = "VK Control Panel"
PROTOCOL_LOG = os.environ.get("VK_A11Y_PROTOCOL_LOG")


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


def check_x11_hints(window, title, expect):
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


def toplevels(log):
    """The program's xdg-shell windows on screen, as its requests left them: Qt destroys a
    window's toplevel when it hides it, and Wayland reuses the numbers of destroyed objects."""
    live = {}
    request = re.compile(r"-> ((xdg_surface|xdg_toplevel)@\d+)\.(\w+)\((.*)\)\s*$")
    with open(log, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            match = request.search(line)
            if not match:
                continue
            window, interface, name, args = match.groups()
            if interface == "xdg_surface":
                created = re.match(r"new id (xdg_toplevel@\d+)", args)
                if name == "get_toplevel" and created:
                    live[created.group(1)] = {}
            elif window not in live:
                continue
            elif name == "destroy":
                del live[window]
            elif name == "set_title":
                live[window]["title"] = args[1:-1]
            elif name in ("set_min_size", "set_max_size"):
                live[window][name] = tuple(int(v) for v in args.split(","))
    return live


def check_wayland_state(toplevel, title, fixed, expect):
    minimum, maximum = toplevel.get("set_min_size"), toplevel.get("set_max_size")
    if fixed:
        expect(minimum and minimum != (0, 0) and minimum == maximum,
               f"\"{title}\" asks for its minimum size as its maximum size")
    # The accessibility bus is what a screen reader reads of the window: its name, whether it
    # is on screen, whether it can be resized.
    app = check.application()
    window = app and check.windows_of(app).get(title)
    expect(window is not None and check.showing(window),
           f"the accessible window named \"{title}\" is showing")
    if window is not None and fixed:
        expect(not window.getState().contains(pyatspi.STATE_RESIZABLE),
               f"the accessible window \"{title}\" is not resizable")


def check_frames(title, fixed):
    """Prints what the window system shows of the window titled title. Returns how many
    things were wrong."""
    failures = []

    def expect(ok, what):
        print(("ok      " if ok else "WRONG   ") + what)
        if not ok:
            failures.append(what)

    if PROTOCOL_LOG:
        windows = toplevels(PROTOCOL_LOG)
        shown = {w: {k: v for k, v in state.items() if k == "title"}
                 for w, state in windows.items()}
        kinds = ("title",)
    else:
        shown = {window: titles(window) for window in clients()}
        kinds = ("WM_NAME", "_NET_WM_NAME")
    for window, names in shown.items():
        for kind, name in names.items():
            # Qt appends the application's display name, when one is set, to every title.
            expect(name == PROGRAM or PROGRAM not in name, f"{kind} of {window} is \"{name}\"")
    matches = [w for w, names in shown.items() if all(names.get(k) == title for k in kinds)]
    expect(len(matches) == 1, f"one window titled \"{title}\"")
    if PROTOCOL_LOG:
        check_wayland_state(windows[matches[0]] if matches else {}, title, fixed, expect)
    elif fixed and matches:
        check_x11_hints(matches[0], title, expect)
    print(f"frames \"{title}\": {len(failures)} wrong" if failures
          else f"frames \"{title}\": as they should be")
    return len(failures)


if __name__ == "__main__":
    sys.exit(1 if check_frames(sys.argv[1], len(sys.argv) > 2 and sys.argv[2] == "fixed")
             else 0)
