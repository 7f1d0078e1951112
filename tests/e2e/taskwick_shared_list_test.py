"""The list shared with others: another writer changes the file while taskwick runs, and two
instances on two displays of one user work on one list. Nobody's version is lost.

Usage: taskwick_shared_list_test.py TASKWICK_BINARY [unittest options]
"""

import glob
import os
import shutil
import sys
import time

from harness import ProgramTest, XSession, main, wait_until
from taskwick_app import AccessibilityBus, Taskwick, shows, type_at_once

TWO_TASKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data",
                        "two_tasks.xml")
# Cells of the two-task list's window, at client coordinates: the middle cell of the first
# and of the second task row (30 + 1 + 50 + 1 + 100, 30 + 1 + 25 + 12 and one row further).
FIRST_TASK = (182, 68)
SECOND_TASK = (182, 93)


class TaskwickSharedListTest(ProgramTest):
    folder_prefix = "taskwick-shared-"

    def list_path(self):
        return os.path.join(self.folder.name, "ToDoList.xml")

    def read_list(self):
        with open(self.list_path(), "rb") as file:
            return file.read()

    def write_list(self, content):
        # As editors and sync tools do: a new file renamed over the old one.
        temporary = self.list_path() + ".incoming"
        with open(temporary, "wb") as file:
            file.write(content)
        os.replace(temporary, self.list_path())

    def start_on_two_displays(self):
        """The two-task list, and the same user's taskwick on this display and on a second one
        (one runtime folder for both), each read by a screen reader of its own."""
        shutil.copy(TWO_TASKS, self.list_path())
        second = XSession(window_manager=True).__enter__()
        self.addCleanup(second.close)
        shared = {"XDG_RUNTIME_DIR": self.session.runtime_dir}
        bus_a = AccessibilityBus(self.session).__enter__()
        self.addCleanup(bus_a.close)
        bus_b = AccessibilityBus(second).__enter__()
        self.addCleanup(bus_b.close)
        a = Taskwick(self.session, self.binary, self.folder.name, a11y=bus_a)
        a.wait_main_window()
        b = Taskwick(second, self.binary, self.folder.name, a11y=bus_b, extra_env=shared)
        b.wait_main_window()
        return second, a, bus_a, b, bus_b

    def changed_copies(self):
        return glob.glob(self.list_path() + ".changed-*")

    def test_anotherWriterWhileIdle_isShownAtOnce_andTheUsersTypingSavesBoth(self):
        shutil.copy(TWO_TASKS, self.list_path())
        a11y = AccessibilityBus(self.session).__enter__()
        self.addCleanup(a11y.close)
        app = Taskwick(self.session, self.binary, self.folder.name, a11y=a11y)
        app.wait_main_window()

        theirs = self.read_list().replace(b"10min", b"15min")
        written = time.monotonic()
        self.write_list(theirs)
        wait_until(lambda: shows(a11y, app, "15min"), 10, what="the other version shown")
        print(f"\nanother version shown {time.monotonic() - written:.2f} s after it was written",
              file=sys.stderr)

        type_at_once([(app, SECOND_TASK, "call the bank")])
        wait_until(lambda: b"<Text>call the bank</Text>" in self.read_list(), 10,
                   what="the typed task saved")
        self.assertIn(b"<Text>15min</Text>", self.read_list())
        self.assertEqual(self.changed_copies(), [])
        self.assertEqual(app.terminate(), 0)
        self.assertIn(b"<Text>15min</Text>", self.read_list())
        self.assertIn(b"<Text>call the bank</Text>", self.read_list())

    def test_twoDisplaysOfOneUser_runAtOnce_andTheirEditsMeetInOneList(self):
        second, a, bus_a, b, bus_b = self.start_on_two_displays()
        # Each holds the lock of its own display; neither waited for the other's window.
        for session in (self.session, second):
            lock = os.path.join(self.session.runtime_dir, "ToDoMutex-" + session.display)
            self.assertTrue(os.path.exists(lock), lock)

        type_at_once([(a, FIRST_TASK, "from A")])
        wait_until(lambda: shows(bus_b, b, "from A"), 15, what="A's task shown by B")
        type_at_once([(b, SECOND_TASK, "from B")])
        wait_until(lambda: shows(bus_a, a, "from B"), 15, what="B's task shown by A")

        self.assertEqual(a.terminate(), 0)
        self.assertEqual(b.terminate(), 0)
        saved = self.read_list()
        self.assertIn(b"<Text>from A</Text>", saved)
        self.assertIn(b"<Text>from B</Text>", saved)
        self.assertEqual(self.changed_copies(), [])

    def test_twoDisplaysTypingInTheSameSecond_endWithBothWordsInBothWindowsAndTheFile(self):
        _, a, bus_a, b, bus_b = self.start_on_two_displays()

        # Both type before either has saved: each save finds the other's version and merges.
        type_at_once([(a, FIRST_TASK, "typed on A"), (b, SECOND_TASK, "typed on B")])
        typed = time.monotonic()
        for bus, app in ((bus_a, a), (bus_b, b)):
            for word in ("typed on A", "typed on B"):
                wait_until(lambda: shows(bus, app, word), 15, what=f"{word} in each window")
        print(f"\nboth words in both windows {time.monotonic() - typed:.2f} s after typing",
              file=sys.stderr)
        self.assertEqual(a.terminate(), 0)
        self.assertEqual(b.terminate(), 0)
        saved = self.read_list()
        self.assertIn(b"<Text>typed on A</Text>", saved)
        self.assertIn(b"<Text>typed on B</Text>", saved)
        self.assertEqual(self.changed_copies(), [])


if __name__ == "__main__":
    main()
