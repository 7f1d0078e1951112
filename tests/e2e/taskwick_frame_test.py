"""The window frame of the real taskwick executable under Xvfb and openbox: folding to the
bar and back with the red bar, dragging by the frame with snapping, resizing at the corner,
moves by the window manager and by a tool saved soon after, and minimising to the tray icon
(trayer as the tray host) and back.

Usage: taskwick_frame_test.py TASKWICK_BINARY [unittest options]
"""

import os
import re
import shutil
import time

from harness import ProgramTest, XSession, main, wait_until
from taskwick_app import Taskwick

# A first run on the 1920 x 1080 screen: 370 x 211 at (1510, 434).
FIRST_RUN = (1510, 434, 370, 211)
TWO_TASKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data",
                        "two_tasks.xml")  # a list with the window at (1510, 434)
RED_BAR = (15, 100)
MINIMIZE_ICON = (327 + 8, 7 + 8)


class TaskwickFrameTest(ProgramTest):
    folder_prefix = "taskwick-frame-"

    def geometry(self, app):
        info = self.session.window_info(app.window)
        return info["x"], info["y"], info["width"], info["height"]

    def wait_geometry(self, app, expected, what):
        return wait_until(lambda: self.geometry(app) == expected, 10, what=what)

    def saved_number(self, app, element):
        found = re.search(rf"<{element}>(-?\d+)</{element}>".encode(), app.saved_bytes())
        return int(found.group(1)) if found else None

    def drag(self, app, start, by):
        """Presses the left button at client coordinates, moves by (dx, dy), lets go."""
        app.xdotool("mousemove", "--window", app.window, *start, "mousedown", "1")
        app.xdotool("mousemove_relative", "--", *by)
        time.sleep(0.2)
        app.xdotool("mouseup", "1")

    def test_redBarFoldsToTheBarAndBack_andAFoldedWindowIsSavedUnfolded(self):
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        self.assertEqual(self.geometry(app), FIRST_RUN)

        app.click(*RED_BAR)
        # Right edge fixed at 1880, a bar 30 pixels wide.
        self.wait_geometry(app, (1850, 434, 30, 211), "the folded bar")
        app.click(*RED_BAR)
        self.wait_geometry(app, FIRST_RUN, "the unfolded window")
        app.click(*RED_BAR)
        self.wait_geometry(app, (1850, 434, 30, 211), "the bar again")

        self.assertEqual(app.terminate(), 0)
        self.assertEqual(self.saved_number(app, "Left"), 1510)
        self.assertEqual(self.saved_number(app, "Width"), 370)
        self.assertEqual(self.saved_number(app, "Height"), 211)

    def test_windowPastTheScreensEdge_foldsIntoABarWhollyOnTheScreen(self):
        with open(TWO_TASKS, "rb") as file:
            listed = file.read().replace(b"<Left>1510</Left>", b"<Left>1750</Left>")
        with open(os.path.join(self.folder.name, "ToDoList.xml"), "wb") as file:
            file.write(listed)
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        self.assertEqual(self.geometry(app), (1750, 434, 370, 211))

        app.click(*RED_BAR)
        # Keeping the right edge would put the bar at 2090, off the screen.
        self.wait_geometry(app, (1890, 434, 30, 211), "the bar at the screen's edge")
        # Unfolding asks for the place where the window stood; openbox keeps a window that a
        # program moves on the screen, so it comes back against the screen's right edge.
        app.click(*RED_BAR)
        self.wait_geometry(app, (1550, 434, 370, 211), "the window unfolded on the screen")
        self.assertEqual(app.terminate(), 0)
        self.assertEqual(self.saved_number(app, "Left"), 1550)

    def test_dragByTheTopStrip_snapsAtNineButNotTenPixels_andCornerResizes(self):
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        app.activate(app.window)

        # The left edge lands 9 pixels from the screen's left edge: it snaps flush.
        self.drag(app, (150, 15), (9 - 1510, 0))
        self.wait_geometry(app, (0, 434, 370, 211), "the window snapped to the left edge")
        self.drag(app, (150, 15), (10, 0))
        self.wait_geometry(app, (10, 434, 370, 211), "the window 10 pixels from the edge")

        # The bottom-right corner square resizes in both directions.
        self.drag(app, (360, 200), (40, 30))
        self.wait_geometry(app, (10, 434, 410, 241), "the window resized at its corner")
        self.assertEqual(app.terminate(), 0)
        self.assertEqual([self.saved_number(app, e) for e in ("Left", "Top", "Width", "Height")],
                         [10, 434, 410, 241])

    def test_aMoveByTheWindowManager_isSavedWithinTheAutomaticSavesDelay(self):
        # A list on the disk, so that nothing else is saved meanwhile.
        shutil.copy(TWO_TASKS, os.path.join(self.folder.name, "ToDoList.xml"))
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        app.activate(app.window)
        self.assertEqual(self.geometry(app), (1510, 434, 370, 211))

        def saved_place():
            return self.saved_number(app, "Left"), self.saved_number(app, "Top")

        # A task typed and saved first, so that no save of anything else is still to come.
        app.click(150, 70)
        app.type("water the plants")
        app.key("Return")
        wait_until(lambda: b"water the plants" in app.saved_bytes(), 5, what="the task saved")
        self.assertEqual(saved_place(), (1510, 434))

        # Alt+drag: openbox moves the window; the program is told only by the new place.
        app.xdotool("mousemove", "--window", app.window, 150, 100, "keydown", "alt",
                    "mousedown", "1")
        for _ in range(10):
            app.xdotool("mousemove_relative", "--", -40, -20)
            time.sleep(0.05)
        app.xdotool("mouseup", "1", "keyup", "alt")
        self.wait_geometry(app, (1110, 234, 370, 211), "the window moved by openbox")
        # The automatic save follows a change within two seconds; the file holds the place
        # without a close, so a crash keeps it too.
        wait_until(lambda: saved_place() == (1110, 234), 2 + 1.5,
                   what="the window manager's move saved")

        # A tool moves it (as a script or a window switcher does).
        app.xdotool("windowmove", app.window, 600, 300)
        self.wait_geometry(app, (600, 300, 370, 211), "the window moved by a tool")
        wait_until(lambda: saved_place() == (600, 300), 2 + 1.5, what="the tool's move saved")
        app.proc.kill()
        app.proc.wait(10)
        self.assertEqual(saved_place(), (600, 300))


class TaskwickTrayTest(ProgramTest):
    folder_prefix = "taskwick-tray-"

    def setUp(self):
        super().setUp()
        self.session.close()
        self.session = XSession(tray=True).__enter__()

    def test_minimiseIconHides_andAClickOnTheTrayIconBringsTheWindowBack(self):
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        icon = app.tray_icon()

        app.click(*MINIMIZE_ICON)
        wait_until(lambda: not app.main_window_viewable(), 10, what="the window hidden")
        app.xdotool("mousemove", *app.centre(icon), "click", "1")
        wait_until(app.main_window_viewable, 10, what="the window back")
        info = self.session.window_info(app.window)
        self.assertEqual((info["x"], info["y"], info["width"], info["height"]),
                         (1510, 434, 370, 211))

        # The tray host goes away and comes back: so does the icon.
        trayer = next(p for p in self.session.started if p.args[0] == "trayer")
        trayer.terminate()
        trayer.wait(10)
        self.session.started.remove(trayer)
        self.session._start_trayer()
        self.assertNotEqual(app.tray_icon(), icon)
        self.assertEqual(app.terminate(), 0)


if __name__ == "__main__":
    main()
