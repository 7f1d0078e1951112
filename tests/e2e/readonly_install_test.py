"""An install into a folder the user cannot write to, as a system-wide install is: the
program folder is made immutable (chattr +i, which stops root too) or, where the file system
has no such flag, a read-only bind mount; for another user than root its permission bits do.
The installed program keeps its list in the user's data folder ($XDG_DATA_HOME/taskwick/):
its first start says so once, Open File Folder shows that list, the typed words are saved
there and come back at the next start, and nothing lands beside the program.

Usage: readonly_install_test.py CMAKE BUILD_TREE [unittest options]
BUILD_TREE is the CMake build folder of the executable under test, as for install_test.py.
"""

import glob
import os
import re
import subprocess
import sys
import tempfile
import unittest

import install_test
from harness import HarnessError, XSession, arguments, run_tests, wait_until, _end_with_harness
from taskwick_app import AccessibilityBus, Taskwick

LIST_FILE = "ToDoList.xml"
WORDS = "Water the ferns"
# Client coordinates of a first run's window: the table at (30, 30), columns 50/210/45,
# rows 24 pixels high plus their line; the task column of the second task row.
TASK_CELL = (30 + 1 + 50 + 1 + 100, 30 + 1 + 25 * 2 + 12)


def make_unwritable(test, folder):
    """Makes folder one the running user cannot make files in, undone when the test ends.
    Returns how."""
    def run(*argv):
        return subprocess.run(list(argv), capture_output=True, text=True, timeout=30)

    if os.geteuid() != 0:
        os.chmod(folder, 0o555)
        test.addCleanup(os.chmod, folder, 0o755)
        return "permissions"
    if run("chattr", "+i", folder).returncode == 0:
        test.addCleanup(run, "chattr", "-i", folder)
        return "immutable"
    if run("mount", "--bind", folder, folder).returncode == 0:
        test.addCleanup(run, "umount", folder)
        if run("mount", "-o", "remount,bind,ro", folder).returncode == 0:
            return "read-only mount"
    test.skipTest("neither chattr +i nor a read-only bind mount works here")
    return None


class ReadOnlyInstallTest(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory(prefix="taskwick-readonly-")
        self.addCleanup(tmp.cleanup)
        os.chmod(tmp.name, 0o755)
        self.prefix = os.path.join(tmp.name, "usr")
        install_test.install(self.prefix)
        self.program_folder = os.path.realpath(os.path.join(self.prefix, "lib", "taskwick"))
        self.how = make_unwritable(self, self.program_folder)
        with self.assertRaises(OSError, msg=f"the program folder is writable ({self.how})"):
            open(os.path.join(self.program_folder, "probe"), "wb").close()

        self.elsewhere = os.path.join(tmp.name, "elsewhere")
        os.mkdir(self.elsewhere)
        # Cleanups run last in, first out: the session stops its programs before the bus
        # reaps what its launcher left.
        self.session = XSession(window_manager=True).__enter__()
        self.a11y = AccessibilityBus(self.session)
        self.addCleanup(self.a11y.close)
        self.addCleanup(self.session.close)
        self.a11y.__enter__()
        self.data_list = os.path.join(self.session.data_dir, "taskwick", LIST_FILE)

    def start(self):
        return Taskwick(self.session, os.path.join(self.prefix, install_test.LAUNCHER),
                        self.elsewhere, a11y=self.a11y)

    def watch_file_manager_requests(self):
        """What the program asks the desktop's file manager, as dbus-monitor sees it on the
        program's session bus; returns the file the monitor writes."""
        log = os.path.join(self.session.tmp.name, "file-manager.log")
        with open(log, "wb") as out:
            monitor = subprocess.Popen(
                ["dbus-monitor", "--address", self.a11y.env["DBUS_SESSION_BUS_ADDRESS"],
                 "type='method_call',interface='org.freedesktop.FileManager1'"],
                stdout=out, stderr=subprocess.DEVNULL, preexec_fn=_end_with_harness)
        self.session.started.append(monitor)

        def listening():
            with open(log, encoding="utf-8", errors="replace") as file:
                return "NameAcquired" in file.read() or monitor.poll() is not None
        wait_until(listening, 10, what="dbus-monitor listening")
        if monitor.poll() is not None:
            raise HarnessError("dbus-monitor ended")
        return log

    def visible_windows(self, app):
        result = self.session.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                                   str(app.proc.pid), "--name", ""])
        return set(result.stdout.split())

    def test_listLivesInTheDataFolder_toldOnce_shown_andTheTypedWordsComeBack(self):
        requests = self.watch_file_manager_requests()
        app = self.start()

        # The first start says where the list lives before the window shows.
        notice = app.wait_box("Notice")

        def notice_text():
            texts = [name for role, name in self.a11y.labels(app.proc.pid)
                     if role == "label" and name.startswith("Taskwick cannot save")]
            return texts[0] if texts else None
        lines = wait_until(notice_text, 10, what="the notice's text").splitlines()
        self.assertIn(self.program_folder + "/", lines)
        self.assertIn(self.data_list, lines)
        app.answer_box(notice)
        app.wait_main_window()
        app.activate(app.window)
        app.click(*TASK_CELL)
        app.type(WORDS)
        app.key("Return")

        # Open File Folder, by its access key in the menu of a right click, asks the file
        # manager to show the list in the data folder.
        before = self.visible_windows(app)
        app.xdotool("mousemove", "--window", app.window, *TASK_CELL, "click", "3")
        wait_until(lambda: self.visible_windows(app) - before, 5, what="the menu")
        app.key("o")

        def shown():
            with open(requests, encoding="utf-8", errors="replace") as file:
                return re.findall(r'string "(file://[^"]*)"', file.read())
        uris = wait_until(shown, 10, what="the file manager asked to show the list")
        self.assertEqual(uris, ["file://" + self.data_list.replace(" ", "%20")])

        self.assertEqual(app.terminate(), 0)
        with open(self.data_list, "rb") as file:
            self.assertIn(WORDS.encode(), file.read())
        self.assertEqual(os.listdir(self.program_folder), ["taskwick"])
        self.assertEqual(os.listdir(self.elsewhere), [])
        self.assertEqual(glob.glob(os.path.join(self.session.state_dir, "**", "*.rescued-*"),
                                   recursive=True), [], "something was rescued")

        # The next start reads that list. Its window comes up only after any box of the start
        # is answered: nobody answers one here, so none was shown.
        again = self.start()
        again.wait_main_window()

        def words_shown():
            return [name for _, name in self.a11y.labels(again.proc.pid) if name == WORDS]
        wait_until(words_shown, 10, what="the typed words in the table")
        self.assertEqual(again.terminate(), 0)
        self.assertEqual(os.listdir(self.program_folder), ["taskwick"])


if __name__ == "__main__":
    ARGUMENTS = arguments("cmake", "build_tree")
    install_test.CMAKE, install_test.BUILD_TREE = ARGUMENTS.cmake, ARGUMENTS.build_tree
    if not all(os.path.isfile(os.path.join(ARGUMENTS.build_tree, name))
               for name in ("cmake_install.cmake", "taskwick")):
        sys.exit(f"{ARGUMENTS.build_tree} is not a built CMake tree of taskwick")
    run_tests(ARGUMENTS)
