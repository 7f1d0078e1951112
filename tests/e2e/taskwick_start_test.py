"""Start, single instance and end of the real taskwick executable under Xvfb and openbox.

Usage: taskwick_start_test.py TASKWICK_BINARY [--probe X11_PROBE] [--late-wm LATE_PLACING_WM]
With the probe (tests/platform's x11_probe), the tests with a foreign window run too; with
late_placing_wm (tests/e2e), the close after a window manager placed the window late.
Each test copies the binary into a folder of its own, since the program keeps its
ToDoList.xml beside the executable.
"""

import os
import re
import select
import shutil
import signal
import subprocess
import time

from harness import ProgramTest, XSession, arguments, run_tests, wait_until
from taskwick_app import wait_for_tray_icon

PROBE = None
LATE_WM = None
TWO_TASKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data",
                        "two_tasks.xml")  # the window at 1510, 434
MAIN_CLASS = "TToDoForm"
HIDDEN_STATES = ("IsUnMapped", "IsUnviewable")


class TaskwickStartTest(ProgramTest):
    folder_prefix = "taskwick-app-"

    def use_tray(self):
        """A session with a tray host: only there does "-m" hide the window."""
        self.session.close()
        self.session = XSession(tray=True).__enter__()

    def start(self, *args):
        return self.session.start([self.binary, *args], cwd=self.folder.name)

    def main_window(self, proc, timeout=15):
        """The main window of proc once it exists, mapped or not."""
        def find():
            self.assertIsNone(proc.poll(), "taskwick ended early")
            windows = self.session.windows_of_class(MAIN_CLASS, pid=proc.pid)
            return windows[0] if windows else None
        return wait_until(find, timeout, what="the main window")

    def wait_viewable(self, window, timeout=10):
        wait_until(lambda: self.session.is_viewable(window), timeout, what="the window mapped")

    def assert_stays_hidden(self, proc, window):
        """Hidden after the start timer ran: a window started hidden docks its tray icon then."""
        wait_for_tray_icon(self.session, proc, self.binary)
        self.assertIn(self.session.map_state(window), HIDDEN_STATES)

    def test_firstStart_showsWindowAtRightEdgeAndEndsCleanOnSigterm(self):
        proc = self.start()
        window = self.main_window(proc)
        self.wait_viewable(window)
        session = self.session
        self.assertEqual(session.wm_class(window)[1], "TToDoForm")
        self.assertEqual(session.title(window), "Taskwick")
        info = session.window_info(window)
        self.assertEqual((info["width"], info["height"]), (370, 211))
        # left = 1920 - 370 - 40; top = 1080 / 2 - 211 / 2 = 434.5, rounded to even.
        self.assertEqual((info["x"], info["y"]), (1510, 434))
        wanted = {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                  "_NET_WM_STATE_ABOVE"}
        wait_until(lambda: wanted <= session.net_wm_state(window), 5,
                   what="skip-taskbar, skip-pager and above states")

        # A first run also shows the About dialog, centred: its frame's corner at
        # 1920 / 2 - 483 / 2 = 718.5 (to even: 718) and 1080 / 2 - 456 / 2 = 312.
        found = session.run(["xdotool", "search", "--onlyvisible", "--pid", str(proc.pid),
                             "--name", "Version"]).stdout.split()
        abouts = [int(w) for w in found
                  if session.title(int(w)) == "Taskwick Version 1.2 (64bit)"]
        self.assertEqual(len(abouts), 1)
        about = abouts[0]
        info = session.window_info(about)
        self.assertEqual((info["width"], info["height"]), (477, 413))
        extents = [int(v) for v in
                   re.findall(r"\d+", session.xprop(about, "_NET_FRAME_EXTENTS").split("=")[-1])]
        left, _, top, _ = extents
        self.assertEqual((info["x"] - left, info["y"] - top), (718, 312))

        proc.send_signal(signal.SIGTERM)
        self.assertEqual(proc.wait(10), 0)
        # Ending through SIGTERM runs the ordinary close, which saves the task list.
        self.assertTrue(os.path.isfile(os.path.join(self.folder.name, "ToDoList.xml")))

    def test_hangupAndInterrupt_alsoCloseAndSave(self):
        for number in (signal.SIGHUP, signal.SIGINT):
            with self.subTest(signal=number.name):
                saved = os.path.join(self.folder.name, "ToDoList.xml")
                if os.path.exists(saved):
                    os.remove(saved)
                proc = self.start()
                self.wait_viewable(self.main_window(proc))
                proc.send_signal(number)
                self.assertEqual(proc.wait(10), 0)
                self.assertTrue(os.path.isfile(saved))

    def test_windowManagersClose_savesAndEndsWithZero(self):
        proc = self.start()
        window = self.main_window(proc)
        self.wait_viewable(window)
        self.session.run(["xdotool", "windowactivate", "--sync", str(window)])
        wait_until(lambda: self.session.active_window() == window, 5, what="window activated")
        # openbox's own binding for closing the active window: it sends WM_DELETE_WINDOW. Now
        # and then openbox lets a synthetic key right after an activation pass; the key is
        # pressed again then, as a user would.
        for _ in range(3):
            self.session.run(["xdotool", "key", "--clearmodifiers", "alt+F4"])
            try:
                proc.wait(3)
                break
            except subprocess.TimeoutExpired:
                continue
        self.assertEqual(proc.wait(5), 0)
        self.assertTrue(os.path.isfile(os.path.join(self.folder.name, "ToDoList.xml")))

    def hold_lock(self):
        """Holds this display's lock from outside, as an instance without a window would."""
        lock = os.path.join(self.session.runtime_dir, "ToDoMutex-" + self.session.display)
        holder = self.session.start(
            # --no-fork: the holder is the process started here, so stopping it by its id
            # leaves no child behind.
            ["flock", "--no-fork", "--nonblock", lock, "sleep", "60"])
        wait_until(lambda: os.path.exists(lock), 5, what="the lock file")
        time.sleep(0.2)
        self.assertIsNone(holder.poll(), "flock could not take the lock")
        return holder

    def test_lockHeldWithoutWindow_startsBesideTheHolder(self):
        self.hold_lock()
        proc = self.start()
        self.wait_viewable(self.main_window(proc))
        self.assertIsNone(proc.poll())

    def test_foreignMatchingWindowWithLockHeld_isShownAndStartEnds(self):
        if PROBE is None:
            self.skipTest("needs x11_probe (--probe)")
        self.hold_lock()
        foreign = self.session.start([PROBE, "own", "--hidden", "--no-marker", "--caption",
                                      "taskwick", "--wm-class", "TTODOFORM"],
                                     stdout=subprocess.PIPE)
        line = foreign.stdout.readline().split()
        self.assertEqual(line[:1], ["ready"])
        window = int(line[1], 16)
        proc = self.start()
        self.assertEqual(proc.wait(2), 0)
        self.wait_viewable(window, timeout=5)
        self.assertEqual(self.session.windows_of_class(MAIN_CLASS), [])

    def test_startHidden_leavesWindowUnmapped(self):
        self.use_tray()
        proc = self.start("-m")
        window = self.main_window(proc)
        self.assert_stays_hidden(proc, window)
        self.assertIsNone(proc.poll())

    def test_startHiddenWithoutATray_startsAsTheBarInstead(self):
        proc = self.start("-m")
        window = self.main_window(proc)
        self.wait_viewable(window)
        wait_until(lambda: self.session.window_info(window)["width"] == 30, 10,
                   what="the window folded to the bar")
        info = self.session.window_info(window)
        self.assertEqual((info["x"], info["y"]), (1850, 434))

    def test_argumentsOtherThanExactMinusM_startVisible(self):
        # Qt takes "-reverse" out of its own argument list; as typed, "-m" came second.
        for args in (["/m"], ["x", "-m"], ["-reverse", "-m"]):
            with self.subTest(args=args):
                proc = self.start(*args)
                window = self.main_window(proc)
                self.wait_viewable(window)
                proc.send_signal(signal.SIGTERM)
                self.assertEqual(proc.wait(10), 0)
        # An option nobody knows, "-M" among them, is refused: the program ends with 2.
        self.assertEqual(self.start("-M").wait(10), 2)

    def test_secondStart_showsHiddenFirstInstanceAndEnds(self):
        self.use_tray()
        first = self.start("-m")
        window = self.main_window(first)
        self.assert_stays_hidden(first, window)

        started = time.monotonic()
        second = self.start()
        self.assertEqual(second.wait(2), 0)
        self.assertLess(time.monotonic() - started, 2.0)

        self.wait_viewable(window, timeout=5)
        # Brought to the front where it was placed, with the focus.
        wait_until(lambda: self.session.active_window() == window, 5, what="window activated")
        info = self.session.window_info(window)
        self.assertEqual((info["x"], info["y"], info["width"], info["height"]),
                         (1510, 434, 370, 211))
        # The second process made no main window of its own, and the first still runs.
        self.assertEqual(self.session.windows_of_class(MAIN_CLASS), [window])
        self.assertIsNone(first.poll())

    def test_secondStart_restoresMinimisedFirstInstance(self):
        first = self.start()
        window = self.main_window(first)
        self.wait_viewable(window)
        self.session.run(["xdotool", "windowminimize", "--sync", str(window)])
        wait_until(lambda: not self.session.is_viewable(window), 5, what="window minimised")
        second = self.start()
        self.assertEqual(second.wait(2), 0)
        self.wait_viewable(window, timeout=5)
        wait_until(lambda: self.session.active_window() == window, 5, what="window activated")

    def test_secondStartWhileVisible_endsAndLeavesOneWindow(self):
        first = self.start()
        window = self.main_window(first)
        self.wait_viewable(window)
        second = self.start("-m")
        self.assertEqual(second.wait(2), 0)
        self.assertTrue(self.session.is_viewable(window))
        self.assertEqual(self.session.windows_of_class(MAIN_CLASS), [window])

    def test_twentySimultaneousStarts_endWithOneRunningInstance(self):
        procs = [self.start() for _ in range(20)]
        # Every start but one hands over to the first window and ends with 0.
        def settled():
            running = [p for p in procs if p.poll() is None]
            return running if len(running) == 1 else None
        running = wait_until(settled, 60, what="one instance left")
        self.assertEqual([p.returncode for p in procs if p is not running[0]], [0] * 19)
        windows = self.session.windows_of_class(MAIN_CLASS)
        self.assertEqual(len(windows), 1)
        self.wait_viewable(windows[0])
        running[0].send_signal(signal.SIGTERM)
        self.assertEqual(running[0].wait(10), 0)

    def test_closeAfterTheManagerPlacedTheWindowLate_savesWhereTheWindowIs(self):
        """The manager shows the window at 0, 0 and moves it to its place without a word to
        the program; a close then still saves the place."""
        if LATE_WM is None:
            self.skipTest("needs --late-wm")
        self.session.close()
        self.session = XSession().__enter__()
        manager = self.session.start([LATE_WM, "700"], stdout=subprocess.PIPE)

        def line():
            ready, _, _ = select.select([manager.stdout], [], [], 15)
            self.assertTrue(ready, "the window manager said nothing")
            return manager.stdout.readline().split()
        self.assertEqual(line(), ["ready"])
        shutil.copy(TWO_TASKS, os.path.join(self.folder.name, "ToDoList.xml"))
        proc = self.start()
        self.assertEqual(line(), ["placed", "1510", "434"])
        proc.send_signal(signal.SIGTERM)
        self.assertEqual(proc.wait(15), 0)
        with open(os.path.join(self.folder.name, "ToDoList.xml"), "rb") as file:
            saved = file.read()
        self.assertIn(b"<Left>1510</Left>\r\n    <Top>434</Top>", saved)

    def test_startAfterKilledInstance_runsNormally(self):
        # A killed instance saves nothing and leaves its lock file behind; the lock itself
        # went with the process.
        first = self.start()
        self.wait_viewable(self.main_window(first))
        first.kill()
        first.wait(10)
        second = self.start()
        self.wait_viewable(self.main_window(second))
        self.assertIsNone(second.poll())


if __name__ == "__main__":
    ARGUMENTS = arguments("program", options=("probe", "late-wm"))
    PROBE, LATE_WM = ARGUMENTS.probe, ARGUMENTS.late_wm
    run_tests(ARGUMENTS)
