"""When the disk refuses the list: the real taskwick on a full file system, and with a memory
limit that leaves no room for its save thread. The typed tasks always reach a file.

Usage: taskwick_refusing_disk_test.py TASKWICK_BINARY [unittest options]
Needs root for the tmpfs mount; without it the full-disk tests are skipped.
"""

import glob
import os
import shutil
import subprocess
import tempfile
import unittest

from harness import HarnessError, ProgramTest, copy_binary, main, wait_until
from taskwick_app import AccessibilityBus, Taskwick

TWO_TASKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data",
                        "two_tasks.xml")
# The first task row's middle cell: (30 + 1 + 50 + 1 + 100, 30 + 1 + 25 + 12).
TASK_CELL = (182, 68)


class FullDisk:
    """A small tmpfs with room for the program and its list, then filled to the last byte."""

    def __init__(self, binary):
        self.mount = tempfile.mkdtemp(prefix="taskwick-full-")
        size = os.path.getsize(binary) + 2 * 1024 * 1024
        result = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs",
                                 self.mount], capture_output=True, text=True)
        if result.returncode != 0:
            os.rmdir(self.mount)
            raise unittest.SkipTest(f"no tmpfs mount here: {result.stderr.strip()}")

    def fill(self):
        filler = os.open(os.path.join(self.mount, "filler"), os.O_WRONLY | os.O_CREAT, 0o600)
        try:
            while os.write(filler, b"\0" * 4096) > 0:
                pass
        except OSError:
            pass  # full
        finally:
            os.close(filler)

    def close(self):
        subprocess.run(["umount", self.mount], check=False)
        os.rmdir(self.mount)


class TaskwickRefusingDiskTest(ProgramTest):
    folder_prefix = "taskwick-refusing-"

    def start_on_full_disk(self, a11y=None):
        disk = FullDisk(self.program)
        self.addCleanup(disk.close)
        self.binary = copy_binary(self.program, disk.mount)
        shutil.copy(TWO_TASKS, os.path.join(disk.mount, "ToDoList.xml"))
        app = Taskwick(self.session, self.binary, disk.mount, a11y=a11y)
        app.wait_main_window()
        app.activate(app.window)
        app.click(*TASK_CELL)
        app.type("pay the rent")
        app.key("Return")
        disk.fill()
        return disk, app

    def rescued(self):
        return glob.glob(os.path.join(self.session.state_dir, "taskwick",
                                      "ToDoList.xml.rescued-*"))

    def assert_rescued(self, disk, original):
        copies = self.rescued()
        self.assertEqual(len(copies), 1, copies)
        with open(copies[0], "rb") as copy:
            self.assertIn(b"<Text>pay the rent</Text>", copy.read())
        with open(os.path.join(disk.mount, "ToDoList.xml"), "rb") as listed:
            self.assertEqual(listed.read(), original)
        self.assertEqual(glob.glob(os.path.join(disk.mount, "ToDoList~tmp~*")), [])
        return copies[0]

    def test_aCloseOnAFullDisk_rescuesTheTypedTasks_andTheBoxNamesTheCopy(self):
        with open(TWO_TASKS, "rb") as file:
            original = file.read()
        a11y = AccessibilityBus(self.session).__enter__()
        self.addCleanup(a11y.close)
        disk, app = self.start_on_full_disk(a11y)

        def close_and_read_box():
            app.activate(app.window)
            app.key("alt+F4")  # the window manager's close
            box = app.wait_box("Save Error")

            def box_text():
                texts = [name for role, name in a11y.labels(app.proc.pid)
                         if role == "label" and name.startswith("Cannot save")]
                return texts[0] if texts else None
            return box, wait_until(box_text, 10, what="the save error's text")

        box, text = close_and_read_box()
        if "Until the list can be saved" in text:
            # The automatic save came first on a slow machine; the close follows.
            app.answer_box(box)
            box, text = close_and_read_box()
        copy = self.assert_rescued(disk, original)
        lines = text.splitlines()
        self.assertEqual(lines[1], disk.mount + "/")
        self.assertEqual(lines[-2:], ["Your tasks were saved instead as:", copy])
        app.answer_box(box)
        self.assertEqual(app.proc.wait(15), 0)

    def test_aSignalOnAFullDisk_rescuesWithoutABox_andEndsWithZero(self):
        with open(TWO_TASKS, "rb") as file:
            original = file.read()
        disk, app = self.start_on_full_disk()
        self.assertEqual(app.terminate(), 0)
        self.assert_rescued(disk, original)

    def test_noRoomForTheSaveThread_theSaveRunsAnywayAndTheCloseEnds(self):
        shutil.copy(TWO_TASKS, os.path.join(self.folder.name, "ToDoList.xml"))
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        app.activate(app.window)
        app.click(*TASK_CELL)
        app.type("water the plants")
        app.key("Return")
        # Within the two seconds before the automatic save: address space for what the
        # program has now and a little more, but not for the stack of another thread. (Not
        # before the typing: the toolkit's own painting then waits for threads of its own.)
        with open(f"/proc/{app.proc.pid}/status") as status:
            size_kb = next(int(line.split()[1]) for line in status if line.startswith("VmSize"))
        limit = (size_kb + 4096) * 1024
        result = subprocess.run(["prlimit", f"--pid={app.proc.pid}", f"--as={limit}:{limit}"],
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise HarnessError(f"prlimit: {result.stderr.strip()}")
        wait_until(lambda: b"<Text>water the plants</Text>" in app.saved_bytes(), 15,
                   what="the typed task saved")
        self.assertEqual(app.terminate(), 0)


if __name__ == "__main__":
    main()
