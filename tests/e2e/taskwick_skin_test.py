"""Skins through the real taskwick executable under Xvfb and openbox: a list naming a skin in
a skins folder beside the program dresses the frame, and "No Skin" restarts the program into
exactly one instance with the built-in frame.

Usage: taskwick_skin_test.py TASKWICK_BINARY [unittest options]
The skins are made by the test with ImageMagick.
"""

import os
import re
import signal
import subprocess
import time

from harness import ProgramTest, main, wait_until
from taskwick_app import Taskwick

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
OCEAN = (20, 60, 200)
# A point of the top strip that neither the logo nor a corner piece covers (client coordinates).
TOP_STRIP = (260, 15)
SKIN_FILES = (("Right.JPG", "30x180"), ("Top.JPG", "500x30"), ("Down.JPG", "500x30"),
              ("TopRight.JPG", "100x100"), ("DownRight.JPG", "100x100"),
              ("LeftZoomCorner.bmp", "30x30"), ("RightZoomCorner.bmp", "30x30"))


def make_skin(folder, color):
    os.makedirs(folder)
    for name, size in SKIN_FILES:
        subprocess.run(["convert", "-size", size, "xc:rgb({},{},{})".format(*color),
                        os.path.join(folder, name)], check=True, timeout=30)


class TaskwickSkinTest(ProgramTest):
    folder_prefix = "taskwick-skin-"

    def write_list(self, skin_name, skin_path):
        with open(os.path.join(DATA, "two_tasks.xml"), "rb") as file:
            content = file.read()
        content = content.replace(b"<SkinName>No Skin</SkinName>",
                                  f"<SkinName>{skin_name}</SkinName>".encode())
        content = content.replace(b"<SkinPath/>", f"<SkinPath>{skin_path}</SkinPath>".encode())
        with open(os.path.join(self.folder.name, "ToDoList.xml"), "wb") as file:
            file.write(content)

    def pixel(self, window, x, y):
        """The color of the screen at client coordinates of the window."""
        info = self.session.window_info(window)
        shot = os.path.join(self.folder.name, "shot.png")
        self.session.run(["import", "-window", "root", shot], timeout=30)
        out = subprocess.run(["convert", shot, "-crop", f"1x1+{info['x'] + x}+{info['y'] + y}",
                              "txt:-"], capture_output=True, text=True, timeout=30).stdout
        os.remove(shot)
        found = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
        return tuple(int(v) for v in found.groups())

    def near(self, color, expected):
        return all(abs(a - b) < 10 for a, b in zip(color, expected))

    def main_windows(self):
        return self.session.windows_of_class("TToDoForm")

    def pid_of(self, window):
        found = re.search(r"= (\d+)", self.session.xprop(window, "_NET_WM_PID"))
        return int(found.group(1)) if found else None

    def test_storedSkinDressesTheFrame_andNoSkinRestartsIntoOneInstanceWithTheBuiltInFrame(self):
        skins = os.path.join(os.path.realpath(self.folder.name), "Skins")
        make_skin(os.path.join(skins, "Ocean"), OCEAN)
        self.write_list("Ocean", skins + "/")
        app = Taskwick(self.session, self.binary, self.folder.name)
        window = app.wait_main_window()
        time.sleep(0.5)
        self.assertTrue(self.near(self.pixel(window, *TOP_STRIP), OCEAN))

        # Right click on the frame, the skin submenu by its access key, up to "No Skin".
        app.activate(window)
        app.xdotool("mousemove", "--window", window, 150, 15, "click", "3")
        time.sleep(0.5)
        app.key("s")
        time.sleep(0.3)
        app.key("Up")
        app.key("Return")
        notice = app.wait_box("Notice")
        app.answer_box(notice)

        # The old instance ends with 0; its successor is started detached, not by this test.
        self.assertEqual(app.proc.wait(15), 0)
        successor = wait_until(lambda: self.main_windows() or None, 15, what="the successor")
        pids = {self.pid_of(w) for w in successor}
        self.assertEqual(len(pids), 1)
        pid = pids.pop()
        self.addCleanup(lambda: _stop(pid))
        self.assertNotEqual(pid, app.proc.pid)
        window = successor[0]
        wait_until(lambda: self.session.is_viewable(window), 10, what="the successor shown")
        time.sleep(0.5)
        self.assertFalse(self.near(self.pixel(window, *TOP_STRIP), OCEAN))
        with open(os.path.join(self.folder.name, "ToDoList.xml"), "rb") as file:
            saved = file.read()
        self.assertIn(b"<SkinName>No Skin</SkinName>", saved)
        self.assertIn(b"<SkinPath> </SkinPath>", saved)
        # The old instance has ended, so no other successor can come: one instance is left.
        self.assertEqual(len({self.pid_of(w) for w in self.main_windows()}), 1)
        _stop(pid)  # before the session's X server goes


def _stop(pid):
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return
        time.sleep(0.1)
    os.kill(pid, signal.SIGKILL)


if __name__ == "__main__":
    main()
