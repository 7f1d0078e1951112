"""The task table and the frame's buttons of the real taskwick executable as a screen reader
meets them: over the AT-SPI accessibility bus, on Xvfb with openbox, while the keys come from
xdotool.

Usage: taskwick_a11y_test.py TASKWICK_BINARY [unittest options]
Expects the English build (the default): it reads the English first-run texts and hints.
"""

import re
import subprocess
import time

from harness import ProgramTest, main, wait_until
from taskwick_app import AccessibilityBus, Taskwick


# Client coordinates of the first run's window (370 x 211): the table at (30, 30), columns
# 50/210/45 with a 1-pixel border and grid lines, rows 24 pixels high plus their line.
GRID_LEFT = 30
GRID_TOP = 30
ROW_PITCH = 25
ABOUT_TITLE = "Taskwick Version 1.2 (64bit)"

ROOT = "/org/a11y/atspi/accessible/root"
# AT-SPI roles (AtspiRole) that Qt names for itself: a table cell is "cell" to GetRoleName.
ROLE_TABLE_CELL = 56
ROLE_TABLE_COLUMN_HEADER = 57
# AT-SPI state bits (AtspiStateType).
FOCUSED = 12
SELECTED = 23
SHOWING = 25

_REFERENCE = re.compile(r"\('([^']+)', (?:objectpath )?'([^']+)'\)")
_TEXT = re.compile(r"""\(<?(?:'((?:[^'\\]|\\.)*)'|"((?:[^"\\]|\\.)*)")>?,\)""")
_NUMBER = re.compile(r"\(<?(?:int32 )?(-?\d+)>?,\)")
_STATE = re.compile(r"\(\[(?:uint32 )?(\d+), (?:uint32 )?(\d+)\],\)")


def task_cell_centre(row):
    """Middle of the task column (column 1) in a table row, the header being row 0."""
    return (GRID_LEFT + 1 + 50 + 1 + 100, GRID_TOP + 1 + ROW_PITCH * row + 12)


class ScreenReader:
    """Asks the accessibility bus what a screen reader asks: roles, names, states, children,
    the table's counts, captions and cells, and the actions of a button, all of one program."""

    def __init__(self, bus, pid):
        self.bus = bus
        self.app = wait_until(lambda: bus.bus_name_of(pid), 15,
                              what="the program on the accessibility bus")

    def _call(self, dest, path, method, *args):
        result = subprocess.run(
            ["gdbus", "call", "--address", self.bus.address, "--dest", dest, "--object-path",
             path, "--method", method, *map(str, args)],
            env=self.bus.env, capture_output=True, text=True, timeout=10)
        return result.stdout if result.returncode == 0 else ""

    def ask(self, path, method, *args):
        return self._call(self.app, path, method, *args)

    def text(self, path, method, *args):
        found = _TEXT.search(self.ask(path, method, *args))
        if found is None:
            return None
        quoted = found.group(1) if found.group(1) is not None else found.group(2)
        escapes = {"n": "\n", "r": "\r", "t": "\t"}
        return re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(1)), quoted)

    def number(self, path, method, *args):
        found = _NUMBER.search(self.ask(path, method, *args))
        return int(found.group(1)) if found else None

    def reference(self, path, method, *args):
        found = _REFERENCE.search(self.ask(path, method, *args))
        return found.group(2) if found and found.group(1) == self.app else None

    def role(self, path):
        return self.text(path, "org.a11y.atspi.Accessible.GetRoleName")

    def role_number(self, path):
        found = re.search(r"\(uint32 (\d+),\)", self.ask(path, "org.a11y.atspi.Accessible.GetRole"))
        return int(found.group(1)) if found else None

    def name(self, path):
        return self.text(path, "org.freedesktop.DBus.Properties.Get",
                         "org.a11y.atspi.Accessible", "Name")

    def states(self, path):
        found = _STATE.search(self.ask(path, "org.a11y.atspi.Accessible.GetState"))
        if found is None:
            return set()
        bits = int(found.group(1)) | int(found.group(2)) << 32
        return {bit for bit in range(64) if bits >> bit & 1}

    def children(self, path):
        return [child for bus, child in
                _REFERENCE.findall(self.ask(path, "org.a11y.atspi.Accessible.GetChildren"))
                if bus == self.app]

    def walk(self):
        """(path, role, name) of every object of the program, from the root down."""
        found = []
        stack = [ROOT]
        seen = set()
        while stack:
            path = stack.pop()
            if path in seen:
                continue
            seen.add(path)
            found.append((path, self.role(path), self.name(path)))
            stack += reversed(self.children(path))
        return found

    def table_property(self, table, name):
        return self.number(table, "org.freedesktop.DBus.Properties.Get",
                           "org.a11y.atspi.Table", name)

    def cell_at(self, table, row, column):
        return self.reference(table, "org.a11y.atspi.Table.GetAccessibleAt", row, column)

    def column_description(self, table, column):
        return self.text(table, "org.a11y.atspi.Table.GetColumnDescription", column)

    def column_header(self, table, column):
        return self.reference(table, "org.a11y.atspi.Table.GetColumnHeader", column)

    def action_names(self, path):
        count = self.number(path, "org.freedesktop.DBus.Properties.Get",
                            "org.a11y.atspi.Action", "NActions") or 0
        return [self.text(path, "org.a11y.atspi.Action.GetName", index)
                for index in range(count)]

    def do_action(self, path, index):
        return self.ask(path, "org.a11y.atspi.Action.DoAction", index)


class TaskwickAccessibilityTest(ProgramTest):
    folder_prefix = "taskwick-a11y-"

    def start(self):
        bus = AccessibilityBus(self.session).__enter__()
        self.addCleanup(bus.close)
        app = Taskwick(self.session, self.binary, self.folder.name, a11y=bus)
        # A first run opens the About dialog too, which comes to the front again once the main
        # window is there; it is closed first (Escape), so that the keys go to the main window.
        app.wait_main_window()
        app.answer_box(app.wait_box(ABOUT_TITLE), "Escape")
        app.activate(app.window)
        return app, ScreenReader(bus, app.proc.pid)

    def only(self, objects, role, name=None):
        found = [path for path, r, n in objects if r == role and (name is None or n == name)]
        self.assertEqual(len(found), 1, f"{role} {name!r} among {objects}")
        return found[0]

    def test_typedTask_isReadFromItsTableCell_withTheCaptionsAsColumnHeaders(self):
        app, reader = self.start()

        # The user clicks the task cell of the second task row and types; the editor stores
        # every keystroke in the cell, and the reader reads the cell while editing goes on.
        app.click(*task_cell_centre(2))
        app.type("Buy milk")
        objects = reader.walk()
        table = self.only(objects, "table")
        cell = reader.cell_at(table, 2, 1)
        self.assertIsNotNone(cell)
        self.assertEqual(reader.role_number(cell), ROLE_TABLE_CELL)
        wait_until(lambda: reader.name(cell) == "Buy milk", 5, what="the typed text in the cell")
        app.key("Return")

        # The reader walking the table finds the cell among the table's children by its text,
        # and it is the selected and focused one: the current cell.
        cells = reader.children(table)
        self.assertEqual(len(cells), 6 * 3)
        self.assertEqual([reader.name(child) for child in cells[6:9]], ["", "Buy milk", ""])
        self.assertEqual(cells[7], cell)
        wait_until(lambda: FOCUSED in reader.states(cell), 5, what="the cell focused")
        self.assertIn(SELECTED, reader.states(cell))
        self.assertIn(SHOWING, reader.states(cell))
        self.assertNotIn(SELECTED, reader.states(cells[10]))

        # Six rows (the captions and five tasks) of three columns; the first-run captions are
        # the column descriptions and the header cells of the caption row.
        self.assertEqual(reader.table_property(table, "NRows"), 6)
        self.assertEqual(reader.table_property(table, "NColumns"), 3)
        self.assertEqual([reader.column_description(table, column) for column in range(3)],
                         ["Prio", "Task", "Time"])
        header = reader.column_header(table, 1)
        self.assertEqual(reader.role_number(header), ROLE_TABLE_COLUMN_HEADER)
        self.assertEqual(reader.name(header), "Task")
        self.assertEqual(reader.name(reader.cell_at(table, 1, 1)), "...Click here for new task")

        # The next key moves the current cell, and the reader's view of it moves along.
        app.key("Down")
        below = reader.cell_at(table, 3, 1)
        wait_until(lambda: FOCUSED in reader.states(below), 5, what="the cell below focused")
        self.assertNotIn(SELECTED, reader.states(cell))
        self.assertEqual(app.terminate(), 0)

    def test_frameButtons_areFoundByName_andPressedThroughTheReader(self):
        app, reader = self.start()
        objects = reader.walk()
        for name in ("Exit", "Make small", "Minimize", "Add Row", "Delete Row", "Add Column",
                     "Delete Column", "To make small click on the red bar"):
            with self.subTest(name=name):
                button = self.only(objects, "push button", name)
                self.assertEqual(reader.action_names(button), ["Press"])

        # "Add Row" pressed by the reader adds a task row, which the table counts at once.
        table = self.only(objects, "table")
        self.assertEqual(reader.table_property(table, "NRows"), 6)
        reader.do_action(self.only(objects, "push button", "Add Row"), 0)
        wait_until(lambda: reader.table_property(table, "NRows") == 7, 5,
                   what="the added row counted")
        self.assertEqual(len(reader.children(table)), 7 * 3)

        # The red bar folds the window, and its name turns into the hint for unfolding.
        bar = self.only(objects, "push button", "To make small click on the red bar")
        reader.do_action(bar, 0)
        wait_until(lambda: reader.name(bar) == "To make big click on the red bar", 5,
                   what="the red bar renamed")
        # Let the fold finish before the close.
        time.sleep(0.5)
        self.assertEqual(app.terminate(), 0)


if __name__ == "__main__":
    main()
