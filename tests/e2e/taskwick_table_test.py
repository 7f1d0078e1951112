"""Editing the task table of the real taskwick executable with mouse, keyboard and clipboard
under Xvfb and openbox, checked in the file it saves on SIGTERM.

Usage: taskwick_table_test.py TASKWICK_BINARY [unittest options]
Expects the English build (the default): it reads the English first-run texts and the
"Attention" box.
"""

import os
import time
import xml.etree.ElementTree as ElementTree

from harness import ProgramTest, XSession, main, wait_until
from taskwick_app import Taskwick


# Client coordinates of the first run's window (370 x 211): the table at (30, 30), columns
# 50/210/45 with a 1-pixel border and grid lines, rows 24 pixels high plus their line.
GRID_LEFT = 30
GRID_TOP = 30
ROW_PITCH = 25
# Centres of the 9 x 9 buttons that add and delete the last row.
PLUS_ROW = (174 + 4, 176 + 4)
MINUS_ROW = (185 + 4, 176 + 4)


def task_cell_centre(row):
    """Middle of the task column (column 1) in a table row, the header being row 0."""
    return (GRID_LEFT + 1 + 50 + 1 + 100, GRID_TOP + 1 + ROW_PITCH * row + 12)


def parse_saved(data):
    """Checks the file's outer form and returns (row count, column count, captions, rows)."""
    if not data.startswith(b"\xef\xbb\xbf"):
        raise AssertionError("no byte-order mark")
    body = data[3:]
    if not body.endswith(b"\r\n") or body.replace(b"\r\n", b"").count(b"\n") or \
            body.replace(b"\r\n", b"").count(b"\r"):
        raise AssertionError("lines do not all end with CR LF")
    root = ElementTree.fromstring(body)
    info = root.find("ColumnInfo")
    captions = [column.findtext("ColumnCaption") for column in root.find("ColumnHeader")]
    rows = [[text.text or "" for text in row] for row in root.find("ToDoContent")]
    return int(info.findtext("RowCount")), int(info.findtext("ColumnCount")), captions, rows


class TaskwickTableTest(ProgramTest):
    folder_prefix = "taskwick-table-"

    def assert_no_box(self, app, title, seconds=1.0):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.assertEqual(app.visible_boxes(title), [])
            time.sleep(0.1)

    def test_typePasteAddAndDeleteRows_savedFileHoldsExactlyTheEdits(self):
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        app.activate(app.window)

        # A click selects the cell; typing opens the editor and every key lands in the cell.
        app.click(*task_cell_centre(2))
        app.type("Buy milk")
        app.key("Return")

        # With the editor closed, Ctrl+V replaces the cell with the clipboard text, each line
        # break (CR LF here) turned into one blank and the trailing ones dropped.
        app.set_clipboard("first\r\nsecond\r\n")
        app.click(*task_cell_centre(3))
        app.key("ctrl+v")

        # First run: 5 task rows; two more.
        app.click(*PLUS_ROW)
        # Apart by more than the double-click interval, so each is a click of its own.
        time.sleep(0.6)
        app.click(*PLUS_ROW)

        # The last cell of the last row (row 7), reached by keys since it lies below the view.
        app.key("ctrl+End")
        app.type("last")
        app.key("Return")

        # A row with text is deleted only after the question, answered Yes by Enter.
        app.click(*MINUS_ROW)
        box = app.wait_box("Attention")
        app.answer_box(box, "Return")
        # The empty row above it goes without a question.
        time.sleep(0.6)
        app.click(*MINUS_ROW)
        self.assert_no_box(app, "Attention")

        self.assertEqual(app.terminate(), 0)
        row_count, column_count, captions, rows = parse_saved(app.saved_bytes())
        self.assertEqual((row_count, column_count), (5, 3))
        self.assertEqual(captions, ["Prio", "Task", "Time"])
        self.assertEqual(rows, [
            ["High", "...Click here for new task", "10min"],
            ["", "Buy milk", ""],
            ["", "first second", ""],
            ["", "", ""],
            ["", "", ""],
        ])

    def test_deleteRowAnsweredNo_keepsRowAndItsText(self):
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        app.activate(app.window)

        app.key("ctrl+End")
        app.type("keep me")
        app.key("Return")
        app.click(*MINUS_ROW)
        box = app.wait_box("Attention")
        app.answer_box(box, "Escape")

        self.assertEqual(app.terminate(), 0)
        row_count, _, _, rows = parse_saved(app.saved_bytes())
        self.assertEqual(row_count, 5)
        self.assertEqual(rows[-1], ["", "", "keep me"])


class TaskwickSurvivalTest(ProgramTest):
    """What the user typed is on the disk when the program ends without a close."""

    folder_prefix = "taskwick-survival-"

    # The program saves about two seconds after a change.
    SAVE_DELAY = 2.0

    def saved_rows(self, app):
        try:
            return parse_saved(app.saved_bytes())[3]
        except (OSError, AssertionError):
            return None

    def type_task(self, app, row, text):
        app.click(*task_cell_centre(row))
        app.type(text)
        app.key("Return")

    def test_typedTasks_surviveAKilledXServer_andSigkill(self):
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        app.activate(app.window)
        self.type_task(app, 2, "older than the delay")
        time.sleep(self.SAVE_DELAY + 1)
        self.assertEqual(self.saved_rows(app)[1][1], "older than the delay")

        # The last words have not been saved yet when the X server dies.
        self.type_task(app, 3, "last words")
        server = self.session.started[0]
        server.kill()
        server.wait(10)
        app.proc.wait(15)
        rows = self.saved_rows(app)
        self.assertEqual(rows[1][1], "older than the delay")
        self.assertEqual(rows[2][1], "last words")

        # A new X server, and a kill that gives the program no chance at all.
        self.session.close()
        self.session = XSession(window_manager=True).__enter__()
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        app.activate(app.window)
        self.type_task(app, 4, "before the kill")
        wait_until(lambda: (self.saved_rows(app) or [[]] * 4)[3][1:2] == ["before the kill"],
                   self.SAVE_DELAY + 5, what="the automatic save")
        app.proc.kill()
        app.proc.wait(10)
        rows = self.saved_rows(app)
        self.assertEqual([row[1] for row in rows[1:4]],
                         ["older than the delay", "last words", "before the kill"])
        self.assertEqual([name for name in os.listdir(self.folder.name)
                          if name.startswith("ToDoList~tmp~")], [])


if __name__ == "__main__":
    main()
