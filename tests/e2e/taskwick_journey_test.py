"""One typical run of the real taskwick executable, end to end, under Xvfb with openbox and
trayer: start with an existing list, type a task into a cell, add a row with the + button,
fold with the red bar and unfold, minimise, come back through the tray icon, fold again, and
close from the tray icon's menu. The saved list must be exactly the expected bytes.

Usage: taskwick_journey_test.py TASKWICK_BINARY [unittest options]
The English and the German build take the same journey; only the menu's captions differ.
"""

import os
import time

from harness import ProgramTest, XSession, main, wait_until
from taskwick_app import Taskwick

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
# The two-task list's window: 370 x 211 at (1510, 434); the table's first column is 50 wide.
EMPTY_CELL = (30 + 1 + 25, 30 + 1 + 25 * 2 + 12)  # column 0 of the second task row
PLUS_ROW = (174 + 4, 176 + 4)
RED_BAR = (15, 100)
MINIMIZE_ICON = (327 + 8, 7 + 8)
FULL = (1510, 434, 370, 211)
BAR = (1850, 434, 30, 211)


def data(name):
    with open(os.path.join(DATA, name), "rb") as file:
        return file.read()


class TaskwickJourneyTest(ProgramTest):
    folder_prefix = "taskwick-journey-"

    def setUp(self):
        super().setUp()
        self.session.close()
        self.session = XSession(tray=True).__enter__()

    def geometry(self, app):
        info = self.session.window_info(app.window)
        return info["x"], info["y"], info["width"], info["height"]

    def wait_geometry(self, app, expected, what):
        wait_until(lambda: self.geometry(app) == expected, 10, what=what)

    def test_typicalRun_savesExactlyTheExpectedList(self):
        with open(os.path.join(self.folder.name, "ToDoList.xml"), "wb") as file:
            file.write(data("two_tasks.xml"))
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        self.assertEqual(self.geometry(app), FULL)  # the stored place
        app.activate(app.window)

        app.click(*EMPTY_CELL)
        app.type("Low")
        app.key("Return")
        app.click(*PLUS_ROW)

        app.click(*RED_BAR)
        self.wait_geometry(app, BAR, "the bar")
        app.click(*RED_BAR)
        self.wait_geometry(app, FULL, "the full window")

        icon = app.centre(app.tray_icon())
        app.click(*MINIMIZE_ICON)
        wait_until(lambda: not app.main_window_viewable(), 10, what="the window hidden")
        app.xdotool("mousemove", *icon, "click", "1")
        wait_until(app.main_window_viewable, 10, what="the window back")
        self.assertEqual(self.geometry(app), FULL)

        app.click(*RED_BAR)
        self.wait_geometry(app, BAR, "the bar again")

        # The tray icon's menu: its last item closes the program.
        app.xdotool("mousemove", *icon, "click", "3")
        time.sleep(0.5)
        app.key("Up")
        app.key("Return")
        self.assertEqual(app.proc.wait(15), 0)
        self.assertEqual(app.saved_bytes(), data("journey_saved.xml"))


if __name__ == "__main__":
    main()
