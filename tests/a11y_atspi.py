"""Reads the running program through AT-SPI, as a screen reader would.

Checks the accessible name of every focusable control that is showing, on each page of the
main window and on the help form, the announcement of the status text, and the text of the
message boxes. Keys and clicks go through xdotool, as from a person.
"""
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
    names = []
    for item in walk(node):
        state = item.getState()
        if state.contains(pyatspi.STATE_FOCUSABLE) and state.contains(pyatspi.STATE_SHOWING):
            names.append((item.getRoleName(), item.name))
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
    if event.source is not None and event.source.getRole() == pyatspi.ROLE_LABEL:
        announced.append(event.source.name)


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
    check(("combo box", "1") in names, "number-of-debts list is focusable and read")
    combo = named(main_window, pyatspi.ROLE_COMBO_BOX, "1")
    labels = [target.name for relation in combo.getRelationSet()
              if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
              for target in [relation.getTarget(i) for i in range(relation.getNTargets())]]
    check("How many non-secured debts do you have?" in labels,
          "the list is labelled by its question")
    check(("push button", "Next") in names, "Next is read as Next")

    key("Return")
    names = focusable_names(main_window)
    for name in ("Balance", "Interest rate in percent", "Minimum payment"):
        check(("text", name) in names, "debt box read as " + name)
    check(("push button", "Back") in names, "Back is read as Back")
    check(all(name for _, name in names), "every focusable control on the debt page has a name")

    key("Return")  # nothing typed yet
    expect_alert(app, "Balance can not be blank")

    type_text("200")
    key("Tab")
    type_text("6")
    key("Tab")
    type_text("20")
    key("Return")
    pump(1.0)
    names = focusable_names(main_window)
    check(("text", "Results") in names, "the report box is read as Results")
    check(("push button", "Get Help Now!") in names, "Get Help Now! is read")
    check("Done" in announced, "the status change to Done was announced")

    # Access keys: Alt+B goes back, Alt+N forward again.
    key("alt+b")
    check(("text", "Balance") in focusable_names(main_window), "Alt+B goes back a page")
    key("alt+n")
    pump(1.0)
    check(("push button", "Get Help Now!") in focusable_names(main_window),
          "Alt+N runs the report again")

    click(named(main_window, pyatspi.ROLE_PUSH_BUTTON, "Get Help Now!"))
    help_form = wait_for(lambda: window(app, "Get Help Now!"), "the help form")
    extents = help_form.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", "--sync", str(extents.x + 150),
                    str(extents.y + 20)], check=True)
    names = focusable_names(help_form)
    for name in ("First name, required", "Last name, required", "Address, required",
                 "City, required", "State, required", "Zip code, required",
                 "Day phone, required", "Night phone", "Email"):
        check(("text", name) in names, "help box read as " + name)
    check(("push button", "OK") in names and ("push button", "Cancel") in names,
          "OK and Cancel are read")
    check(all(name for _, name in names), "every focusable control of the help form has a name")

    key("Return")  # every box empty
    expect_alert(app, "First name is required")
    for name, text in (("First name, required", "Jo"), ("Last name, required", "Roe"),
                       ("Address, required", "1 Elm St"), ("City, required", "Albany"),
                       ("State, required", "NY"), ("Zip code, required", "12207"),
                       ("Day phone, required", "5185550100")):
        named(help_form, pyatspi.ROLE_TEXT, name).queryEditableText().setTextContents(text)
    pump(0.3)
    key("alt+o")
    expect_alert(app, "An error occured. Please try again later.")  # no service runs here
    finish()


main()
