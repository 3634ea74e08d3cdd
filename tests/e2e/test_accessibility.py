"""The trainer as a screen reader drives it over AT-SPI.

Usage: test_accessibility.py MIDI_LOG PID. Finds the program's main window,
lists the twelve keys by name, plays "МИ" through its action, then runs a
notes exercise of three notes answering only through actions, and reads the
result box. Every wait is on a condition with a deadline.
"""

import sys
import time

import pyatspi

MIDI_LOG, PID = sys.argv[1], int(sys.argv[2])
KEYS = ["ДО", "ДО #", "РЕ", "РЕ #", "МИ", "ФА", "ФА #", "СОЛЬ", "СОЛЬ #", "ЛЯ", "ЛЯ #", "СИ"]
TITLE = "Ладотон"
LIMIT = 60


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def wait(what, condition, limit=LIMIT):
    """Polls condition until it answers something true; fails after limit s."""
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        try:
            value = condition()
        except Exception:  # the tree may change under us while it settles
            value = None
        if value:
            return value
        time.sleep(0.05)
    fail("%s: not within %d s" % (what, limit))


def fresh(acc):
    # Names and descriptions change under the client's cache.
    try:
        acc.clear_cache()
    except Exception:
        pass
    return acc


def descendants(acc, depth=0):
    if depth > 12:
        return
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child, depth + 1)


def find(root, name=None, role=None):
    for acc in descendants(root):
        if (name is None or acc.name == name) and (role is None or acc.getRole() == role):
            return acc
    return None


def the_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.get_process_id() == PID:
            return app
    return None


def press(acc):
    action = acc.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            action.doAction(i)
            return
    fail("'%s' has no action Press" % acc.name)


def midi_lines():
    with open(MIDI_LOG) as f:
        return [line.strip() for line in f if line.strip()]


def note_of(line):
    return int(line[4:6], 16)


app = wait("the program on the accessibility bus", the_app)
main = wait("the main window", lambda: find(app, TITLE, pyatspi.ROLE_FRAME) or find(app, TITLE))
if not main.description:
    fail("the main window has no description")

# The twelve keys, by name, each a button with the action Press.
keys = {}
for acc in descendants(main):
    if acc.name in KEYS and acc.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON):
        keys[acc.name] = acc
missing = [k for k in KEYS if k not in keys]
if missing:
    fail("keys not found by name: %s" % ", ".join(missing))
print("keys: " + ", ".join(KEYS))

# "МИ" through its action plays note 52.
before = len(midi_lines())
press(keys["МИ"])
wait("note 52 in the log", lambda: len(midi_lines()) > before and note_of(midi_lines()[before]) == 0x34)

# The notes exercise: three notes at the shortest pause, set through the
# spin boxes' values.
count = wait("the note count", lambda: find(main, "Количество нот", pyatspi.ROLE_SPIN_BUTTON))
pause = wait("the pause", lambda: find(main, "Пауза", pyatspi.ROLE_SPIN_BUTTON))
count.queryValue().currentValue = 3
pause.queryValue().currentValue = 10
wait("the count set", lambda: fresh(count).queryValue().currentValue == 3)
wait("the pause set", lambda: fresh(pause).queryValue().currentValue == 10)

start = find(main, "ЗАПУСТИТЬ")
status = wait("the status line", lambda: find(main, "Устройство MIDI успешно открыто.", pyatspi.ROLE_LABEL))
before = len(midi_lines())
press(start)
played = wait("three notes played", lambda: len(midi_lines()) >= before + 3 and midi_lines()[before:before + 3])
wait("the status line", lambda: fresh(status).name == 'Запущено упражнение "ноты"')
notes = [note_of(line) for line in played]
print("played: %s" % notes)
for n, note in enumerate(notes):
    semitone = note - 48
    if not 0 <= semitone < 12:
        fail("note %d is outside the first octave" % note)
    press(keys[KEYS[semitone]])
    wait("answer %d played" % (n + 1), lambda: len(midi_lines()) >= before + 4 + n)

# The result box: its text, the lamps behind it, then OK.
def result_box():
    for i in range(app.childCount):
        w = app.getChildAtIndex(i)
        if w is not None and w.name == "Поздравляем!":
            return w
    return None


box = wait("the result box", result_box)
text = " ".join(a.name for a in descendants(box) if a.getRole() == pyatspi.ROLE_LABEL and a.name)
print("result: " + text)
if "Вы угадали всю последовательность" not in text:
    fail("the result box says '%s'" % text)
for n in range(1, 4):
    lamp = find(main, "Ответ %d" % n)
    if lamp is None or fresh(lamp).description != "верно":
        fail("lamp %d says '%s'" % (n, lamp.description if lamp else None))
press(find(box, "OK", pyatspi.ROLE_PUSH_BUTTON))
wait("the status line after the box", lambda: fresh(status).name == 'Упражнение "ноты" закончено')
wait("the lamps reset", lambda: fresh(find(main, "Ответ 1")).description == "нет ответа")
print("the notes exercise was answered through actions")
