#!/usr/bin/env bash
# The bar as a screen reader reads it over the accessibility bus: the close, minimise and
# menu panels and the four launch buttons as buttons named by what they do and by their
# captions, each launch button described by its program, the clock as text, no path holder
# or glyph. A launch button's press action starts its program; the menu panel's and the
# menu's actions open the options, whose tabs bring in their check boxes with their states.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_start_x
# The accessibility bus on a session bus of our own; Qt's bridge always on.
e2e_session_bus
export DBUS_SESSION_BUS_ADDRESS=$E2E_BUS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
e2e__remember_pid $!
# shellcheck disable=SC2016 # $1 is the marker script's own argument
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$E2E_TMP/launched" >"$E2E_TMP/mark.sh"
chmod +x "$E2E_TMP/mark.sh"
e2e_open_bar "$(printf '[Buttons]\n'
    for n in 1 2 3 4; do printf 'Button%sCaption=Tool &%s\nButton%sEXE=@TMP@/mark.sh slot%s\n' $n $n $n $n; done
    printf '[Options]\nLargeBevel=0\n3DText=0\nConfirmExit=1')"

/usr/bin/python3 - "$E2E_BAR_PID" "$E2E_TMP/mark.sh" "$E2E_TMP/launched" <<'PY'
import os, re, sys, time
import pyatspi

pid, script, marker = int(sys.argv[1]), sys.argv[2], sys.argv[3]

fail = lambda message: sys.exit("FAIL: " + message)  # noqa: E731

def poll(what):
    for _ in range(100):
        if what():
            return what()
        time.sleep(0.1)

def window(name):
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == pid]
    return next((w for a in apps for w in a if w and w.name == name), None)

def tree(node):
    yield node
    for child in node:
        yield from tree(child)

def button(root, name):
    found = [n for n in tree(root) if n.getRoleName() == "push button" and n.name == name]
    return found[0] if found else fail("no button %r in %r" % (name, root.name))

def press(root, name):
    actions = button(root, name).queryAction()
    actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))

bar = poll(lambda: window("TALVENDOK")) or fail("no window named by the bar's title")
button(bar, "Close"), button(bar, "Minimise")  # the menu panel is pressed below
if [button(bar, "Tool " + n).description for n in "1234"] != [script + " slot" + n for n in "1234"]:
    fail("the launch buttons are not described by their programs")
names = [(node.getRoleName(), node.name) for node in tree(bar)]
any(r == "label" and re.fullmatch(r"\d\d:\d\d:\d\d [AP]M", n) for r, n in names) or fail("no clock text")
if any(name in ("UNDEFINED", "r", ".. Menu ..") or name.startswith(script) for _, name in names):
    fail("a path holder or a glyph is in the tree: %r" % names)

press(bar, "Tool 2")
poll(lambda: os.path.exists(marker) and open(marker).read() == "slot2\n") or fail("slot 2 not started")

press(bar, "Menu")
press(poll(lambda: window("Menu")) or fail("the menu panel opened no menu"), "Options")
options = poll(lambda: window("Options")) or fail("the menu opened no options")
boxes = lambda: {n.name: n.getState().contains(pyatspi.STATE_CHECKED)
                 for n in tree(options) if n.getRoleName() == "check box"}
# Only the page shown is in the tree.
for tab, ticked in (("Appearance", "Button Background, Titlebar Text Shadow"),
                    ("Miscellaneous", "Confirm Upon Exit, Display Time")):
    press(options, tab)
    poll(lambda: {n for n, on in boxes().items() if on} == set(ticked.split(", ")) | {"Save Window Position"}
         and len(boxes()) == 5) or fail("%s: check boxes %r" % (tab, boxes()))
PY
