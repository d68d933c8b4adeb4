"""Reads the running program through AT-SPI, as a screen reader would.

Checks the accessible name of every focusable control that is showing, on each page of the
main window and on the help form, the announcement of the status text, and the text of the
message boxes. Keys and clicks go through xdotool, as from a person.
"""
import ctypes
import ctypes.util
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []
passed = []
announced = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    (passed if condition else failures).append(what)


def pump(seconds=0.0):
    context = GLib.MainContext.default()
    deadline = time.time() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.time() >= deadline:
            return
        time.sleep(0.05)


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def wait_for(find, what, seconds=15):
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = find()
        if found is not None:
            return found
        pump(0.2)
    check(False, "found " + what)
    finish()


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "quillaby":
            return app
    return None


def window(app, name):
    for i in range(app.childCount):
        child = app.getChildAtIndex(i)
        if child is not None and child.name == name and child.getState().contains(
                pyatspi.STATE_SHOWING):
            return child
    return None


def focusable_names(node):
    """The role and name of each focusable control that is showing. The role is compared as
    the number the program sends: the role's name is the AT-SPI library's own text, which
    differs between its releases ("push button" before 2.53, "button" since)."""
    names = []
    for item in walk(node):
        state = item.getState()
        if state.contains(pyatspi.STATE_FOCUSABLE) and state.contains(pyatspi.STATE_SHOWING):
            names.append((item.getRole(), item.name))
    return names


def alert_text(app):
    for item in walk(app):
        if item.getRole() == pyatspi.ROLE_ALERT and item.getState().contains(
                pyatspi.STATE_SHOWING):
            texts = [item.description] + [node.name for node in walk(item)]
            return " ".join(text for text in texts if text)
    return None


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True)
    pump(0.6)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)
    pump(0.3)


def click(node):
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = extents.x + extents.width // 2, extents.y + extents.height // 2
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)
    pump(0.8)


def named(node, role, name):
    for item in walk(node):
        if item.getRole() == role and item.name == name:
            return item
    return None


def expect_alert(app, text):
    shown = wait_for(lambda: alert_text(app), "a message box saying " + text)
    check(text in shown, "message box read as an alert: " + text)
    key("Return")


def finish():
    print("%d passed, %d failed" % (len(passed), len(failures)))
    sys.exit(1 if failures else 0)


def on_name_change(event):
    # Qt sends the label itself with the event; a screen reader then reads its name.
    if event.source is not None and event.source.getRole() == pyatspi.ROLE_LABEL:
        announced.append(event.source.name)


def focused(node):
    for item in walk(node):
        if item.getState().contains(pyatspi.STATE_FOCUSED):
            return item
    return None


def set_text(node, name, text):
    named(node, pyatspi.ROLE_TEXT, name).queryEditableText().setTextContents(text)


def close_window(title):
    """Asks the window to close as a window manager's close button does (WM_DELETE_WINDOW)."""
    window_id = int(subprocess.run(["xdotool", "search", "--name", "^%s$" % title],
                                   check=True, capture_output=True, text=True).stdout.split()[0])
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    display = x11.XOpenDisplay(None)
    event = Event()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window_id
    event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, window_id, 0, 0, ctypes.byref(event))
    x11.XFlush(display)
    x11.XCloseDisplay(display)


DEBT_PAGE_REFUSALS = [
    ("", "", "", "Balance can not be blank"),
    ("0.00", "", "", "Balance can not be zero"),
    (".", "", "", "Balance must be a number"),
    ("200", "", "", "Interest rate can not be blank"),
    ("200", "0", "", "Interest rate can not be zero"),
    ("200", "100.5", "", "Interest rate cannot be greater than 100%"),
    ("200", "1.2.3", "", "Interest rate must be a number"),
    ("200", "6", "", "Minimum payment can not be blank"),
    ("200", "6", "0.", "Minimum payment can not be zero"),
    ("200", "6", "..", "Minimum payment must be a number"),
]

# Each refusal of the help form, and what is then typed into the box that has the focus.
HELP_FORM_REFUSALS = [
    ("First name is required", ["Jo"]),
    ("Last name is required", ["Roe"]),
    ("Address is required", ["1 Elm St"]),
    ("City is required", ["Albany"]),
    ("State is required", ["NY"]),
    ("Zip code is required", ["12207-1"]),
    ("Zip code must be numeric", ["ctrl+a", "12207"]),
    ("Day Phone is required", ["555 0100"]),
    ("Day Phone must be numeric", ["ctrl+a", "5550100", "Tab", "late"]),
    ("Night phone must be numeric", ["ctrl+a", "BackSpace"]),
    ("An error occured. Please try again later.", []),  # no service answers here
]


def main():
    app = wait_for(application, "the program on the accessibility bus")
    main_window = wait_for(lambda: window(app, "Quillaby Calculator"), "the main window")
    pyatspi.Registry.registerEventListener(on_name_change,
                                           "object:property-change:accessible-name")
    # No window manager runs: keyboard focus follows the pointer, so keep it on the window.
    extents = main_window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", "--sync", str(extents.x + 130),
                    str(extents.y + 200)], check=True)

    names = focusable_names(main_window)
    check((pyatspi.ROLE_COMBO_BOX, "1") in names, "number-of-debts list is focusable and read")
    combo = named(main_window, pyatspi.ROLE_COMBO_BOX, "1")
    labels = [target.name for relation in combo.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for target in [relation.getTarget(i) for i in range(relation.getNTargets())]]
    check("How many non-secured debts do you have?" in labels,
          "the list is labelled by its question")
    check((pyatspi.ROLE_PUSH_BUTTON, "Next") in names, "Next is read as Next")
    check(all(name for _, name in names), "every focusable control on page 1 has a name")

    key("Return")
    names = focusable_names(main_window)
    for name in ("Balance", "Interest rate in percent", "Minimum payment", "Next", "Back"):
        check(any(shown == name for _, shown in names), "debt page control read as " + name)
    check(all(name for _, name in names), "every focusable control on the debt page has a name")

    for balance, rate, payment, message in DEBT_PAGE_REFUSALS:
        set_text(main_window, "Balance", balance)
        set_text(main_window, "Interest rate in percent", rate)
        set_text(main_window, "Minimum payment", payment)
        pump(0.2)
        key("Return")
        expect_alert(app, message)

    set_text(main_window, "Minimum payment", "20")
    pump(0.2)
    before_run = len(announced)
    key("Return")
    pump(1.0)
    names = focusable_names(main_window)
    check((pyatspi.ROLE_TEXT, "Results") in names, "the report box is read as Results")
    check((pyatspi.ROLE_PUSH_BUTTON, "Get Help Now!") in names
          and (pyatspi.ROLE_PUSH_BUTTON, "Back") in names,
          "Back and Get Help Now! are read on the results page")
    check(all(name for _, name in names), "every focusable control on the results page has a name")
    status_events = [name for name in announced[before_run:] if name == "Done"]
    check(len(status_events) == 2,
          "the status label announced both of its changes, Calculating and Done (%s)"
          % announced[before_run:])

    # Access keys: Alt+B goes back, Alt+N forward again.
    key("alt+b")
    check((pyatspi.ROLE_TEXT, "Balance") in focusable_names(main_window),
          "Alt+B goes back a page")
    key("alt+n")
    pump(1.0)
    check((pyatspi.ROLE_PUSH_BUTTON, "Get Help Now!") in focusable_names(main_window),
          "Alt+N runs the report again")

    # To "Get Help Now!" with Tab, pressed with the space bar.
    for _ in range(8):
        item = focused(main_window)
        if item is not None and item.name == "Get Help Now!":
            break
        key("Tab")
    check(focused(main_window) is not None and focused(main_window).name == "Get Help Now!",
          "Tab reaches Get Help Now!")
    key("space")
    help_form = wait_for(lambda: window(app, "Get Help Now!"), "the help form")
    extents = help_form.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", "--sync", str(extents.x + 150),
                    str(extents.y + 20)], check=True)
    names = focusable_names(help_form)
    for name in ("First name, required", "Last name, required", "Address, required",
                 "City, required", "State, required", "Zip code, required",
                 "Day phone, required", "Night phone", "Email", "OK", "Cancel"):
        check(any(shown == name for _, shown in names), "help form control read as " + name)
    check(all(name for _, name in names), "every focusable control of the help form has a name")

    # Every check of the form in turn, typed at the keyboard; Enter in a box presses OK.
    for message, typing in HELP_FORM_REFUSALS:
        key("Return")
        expect_alert(app, message)
        for step in typing:
            if step in ("ctrl+a", "Tab", "BackSpace"):
                key(step)
            else:
                type_text(step)

    key("alt+c")
    check(window(app, "Get Help Now!") is None, "Alt+C cancels the help form")

    # The close box of the main window ends the program (the runner checks its exit status).
    close_window("Quillaby Calculator")
    finish()


main()
