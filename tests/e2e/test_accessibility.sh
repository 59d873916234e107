#!/usr/bin/env bash
# The bar as a screen reader sees it over the accessibility bus: the close, minimise and
# menu panels and the four launch buttons as buttons named by what they do and by their
# captions, each launch button described by its program, no path holder in the tree. A
# launch button's press action starts its program; the menu's and the options' buttons
# pressed the same way open the options window, whose check boxes read with their states.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

launcher=/usr/libexec/at-spi-bus-launcher
[[ -x $launcher ]] && /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
    e2e_fail "at-spi2-core and python3-pyatspi are needed (scripts/install-deps.sh --test)"

e2e_start_x
# A session bus of our own, and the accessibility bus on it.
dbus-daemon --session --nofork --print-address=3 3>"$E2E_TMP/bus-address" >/dev/null 2>&1 &
E2E_BUS_PID=$!
e2e__remember_pid "$E2E_BUS_PID"
e2e__poll "$E2E_TIMEOUT" test -s "$E2E_TMP/bus-address" || e2e_fail "no session bus"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/bus-address")
export DBUS_SESSION_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
"$launcher" --launch-immediately >"$E2E_TMP/a11y.log" 2>&1 &
a11y_pid=$!
e2e__remember_pid "$a11y_pid"
trap 'kill "$a11y_pid" 2>/dev/null || true; e2e__cleanup $?' EXIT

marker=$E2E_TMP/launched
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$marker" >"$E2E_TMP/mark.sh"
chmod +x "$E2E_TMP/mark.sh"
settings=$(e2e_settings_file)
mkdir -p "$(dirname "$settings")"
{
    printf '[Buttons]\n'
    for slot in 1 2 3 4; do
        printf 'Button%sCaption=Tool &%s\nButton%sEXE=%s slot%s\n' "$slot" "$slot" "$slot" \
            "$E2E_TMP/mark.sh" "$slot"
    done
    printf '\n[Options]\nLargeBevel=0\n3DText=0\nConfirmExit=1\n'
} >"$settings"

e2e_start_bar
bar=$(e2e_wait_window Form1)
e2e_wait_settled "$bar"

/usr/bin/python3 - "$E2E_BAR_PID" "$E2E_TMP/mark.sh" "$marker" <<'PY'
import os, re, sys, time
import pyatspi

pid, script, marker = int(sys.argv[1]), sys.argv[2], sys.argv[3]

def fail(message):
    sys.exit("FAIL: " + message)

def poll(what, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = what()
        if found:
            return found
        time.sleep(0.1)
    return None

def app():
    for a in pyatspi.Registry.getDesktop(0):
        if a is not None and a.get_process_id() == pid:
            return a

def window(name):
    a = app()
    return a and next((w for w in a if w is not None and w.name == name), None)

def tree(node, depth=0):
    yield depth, node
    for child in node:
        yield from tree(child, depth + 1)

def find(root, role, name):
    return next((n for _, n in tree(root) if n.getRoleName() == role and n.name == name), None)

def press(node):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if "Press" not in names:
        fail("%s has no press action: %s" % (node.name, names))
    actions.doAction(names.index("Press"))

bar = poll(lambda: window("TALVENDOK")) or fail("no window named by the bar's title")
for depth, node in tree(bar):
    print("%s%s %r %r" % ("  " * depth, node.getRoleName(), node.name, node.description))

names = {(n.getRoleName(), n.name): n for _, n in tree(bar)}
for panel in ("Close", "Minimise", "Menu"):
    if ("push button", panel) not in names:
        fail("no push button named %r" % panel)
for slot in "1234":
    button = names.get(("push button", "Tool " + slot)) or fail("no launch button " + slot)
    if button.description != "%s slot%s" % (script, slot):
        fail("launch button %s described as %r" % (slot, button.description))
if not any(n.getRoleName() == "label" and re.fullmatch(r"\d\d:\d\d:\d\d [AP]M", n.name)
           for _, n in tree(bar)):
    fail("no clock text")
if any(n.name in ("UNDEFINED", "r", ".. Menu ..") or n.name.startswith(script)
       for _, n in tree(bar)):
    fail("a path holder or a glyph is in the tree")

press(names[("push button", "Tool 2")])
poll(lambda: os.path.exists(marker)) or fail("the launch button's action started nothing")
if open(marker).read() != "slot2\n":
    fail("started: %r" % open(marker).read())

press(names[("push button", "Menu")])
menu = poll(lambda: window("Menu")) or fail("the menu panel's action opened no menu")
press(find(menu, "push button", "Options") or fail("no Options button in the menu"))
options = poll(lambda: window("Options")) or fail("the Options button opened no options")
def boxes():
    return {n.name: n.getState().contains(pyatspi.STATE_CHECKED)
            for _, n in tree(options) if n.getRoleName() == "check box"}

appearance = {"Button Background": True, "Large Button Bevel": False, "3D Button Text": False,
              "Titlebar Text Shadow": True, "Save Window Position": True}
miscellaneous = {"Minimize After Run": False, "Confirm Upon Exit": True,
                 "3 Button Selection": False, "Display Time": True, "Save Window Position": True}
# Only the page shown is in the tree; a tab pressed by its action brings in another.
for tab, expected in (("Appearance", appearance), ("Miscellaneous", miscellaneous)):
    press(find(options, "push button", tab) or fail("no tab " + tab))
    if not poll(lambda: boxes() == expected):
        fail("%s: check boxes %r, expected %r" % (tab, boxes(), expected))
    print(tab, "check boxes:", boxes())
PY
