"""The X11 functions of platform/, tried with x11_probe under Xvfb.

Usage: x11_platform_test.py PROBE [--openbox]
"""

import subprocess
import unittest

from harness import HarnessError, XSession, arguments, run_tests, wait_until

PROBE = None
OPENBOX = False


class Owner:
    """An x11_probe that owns a main-window-like window and takes commands."""

    def __init__(self, session, *args):
        self.proc = session.start([PROBE, "own", *args], stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE)
        line = self.proc.stdout.readline().strip()
        if not line.startswith("ready "):
            raise HarnessError(f"probe did not start: {line!r}")
        self.window = int(line.split()[1], 16)

    def command(self, text):
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()
        return self.read_line()

    def read_line(self):
        return self.proc.stdout.readline().strip()


class X11PlatformTest(unittest.TestCase):
    def setUp(self):
        self.session = XSession(window_manager=OPENBOX).__enter__()

    def tearDown(self):
        self.session.close()

    def probe(self, *args):
        return self.session.run([PROBE, *args])

    def test_hiddenMarkedWindow_isFoundAndShowsItselfOnRequest(self):
        owner = Owner(self.session, "--hidden", "--widget")
        self.assertIn(self.session.map_state(owner.window), ("IsUnMapped", "IsUnviewable"))

        found = self.probe("find")
        self.assertEqual(found.returncode, 0, found.stdout)
        self.assertEqual(found.stdout.split()[:3], ["found", hex(owner.window), "marked"])

        shown = self.probe("find-and-show")
        self.assertEqual(shown.returncode, 0, shown.stdout)
        self.assertEqual(owner.read_line(), "shown")
        wait_until(lambda: self.session.is_viewable(owner.window), 5, what="window mapped")
        if OPENBOX:
            wait_until(lambda: self.session.active_window() == owner.window, 5,
                       what="window activated")

    def test_foreignWindowInOtherLetterCase_isMappedByTheSearcher(self):
        owner = Owner(self.session, "--hidden", "--no-marker", "--caption", "TASKWICK",
                      "--wm-class", "ttodoform")
        shown = self.probe("find-and-show")
        self.assertEqual(shown.returncode, 0, shown.stdout)
        self.assertEqual(shown.stdout.split()[:3], ["found", hex(owner.window), "foreign"])
        wait_until(lambda: self.session.is_viewable(owner.window), 5, what="window mapped")

    def test_minimisedWindows_areShownAgain(self):
        if not OPENBOX:
            self.skipTest("minimising needs a window manager")
        for args in (["--widget"], ["--widget", "--no-marker"]):
            with self.subTest(args=args):
                owner = Owner(self.session, *args)
                window = owner.window
                wait_until(lambda: self.session.is_viewable(window), 5, what="window mapped")
                self.session.run(["xdotool", "windowminimize", "--sync", str(window)])
                wait_until(lambda: not self.session.is_viewable(window), 5,
                           what="window minimised")
                shown = self.probe("find-and-show")
                self.assertEqual(shown.returncode, 0, shown.stdout)
                if "--no-marker" not in args:
                    self.assertEqual(owner.read_line(), "shown")
                wait_until(lambda: self.session.is_viewable(window), 5, what="window shown")
                self.assertEqual(owner.command("quit"), "done quit")
                owner.proc.wait(10)

    def test_showRequestForVanishedWindow_fails(self):
        owner = Owner(self.session, "--hidden")
        window = hex(owner.window)
        self.assertEqual(owner.command("quit"), "done quit")
        owner.proc.wait(10)
        wait_until(lambda: self.session.window_info(int(window, 16)) is None, 5,
                   what="window destroyed")
        result = self.probe("show-id", window)
        self.assertEqual(result.returncode, 2, result.stdout)
        self.assertEqual(result.stdout.strip(), "show request failed")
        self.assertNotIn("XCB error", result.stderr)

    def test_otherTitleOrClass_isNotFound(self):
        Owner(self.session, "--caption", "Taskwick Exit")
        Owner(self.session, "--wm-class", "TToDoForm2")
        Owner(self.session, "--hidden", "--wm-class", "Taskwick", "--caption", "TToDoForm")
        found = self.probe("find")
        self.assertEqual(found.returncode, 1, found.stdout)
        self.assertEqual(found.stdout.strip(), "none")

    def test_ownWindowIsPassedOver(self):
        found = self.probe("find-self")
        self.assertEqual(found.returncode, 1, found.stdout)
        # With a second owner present, that one is found instead.
        owner = Owner(self.session)
        found = self.probe("find-self")
        self.assertEqual(found.stdout.strip(), f"found {hex(owner.window)}")

    def test_windowProperties_classSkipStatesAndStayOnTop(self):
        for kind in ("--plain", "--widget"):
            with self.subTest(kind=kind):
                self.check_window_properties(Owner(self.session, kind))

    def check_window_properties(self, owner):
        session = self.session
        wait_until(lambda: session.is_viewable(owner.window), 5, what="window mapped")
        self.assertEqual(session.wm_class(owner.window), ("taskwick", "TToDoForm"))
        self.assertEqual(session.title(owner.window), "Taskwick")
        skip = {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}
        wait_until(lambda: skip | {"_NET_WM_STATE_ABOVE"} <= session.net_wm_state(owner.window),
                   5, what="skip and above states")
        if OPENBOX:
            # openbox reparents the window into a frame it made.
            self.assertNotEqual(self.session.parent(owner.window), self.session.root())

        # Hidden and shown again, the window keeps out of the taskbar.
        self.assertEqual(owner.command("hide"), "done hide")
        wait_until(lambda: not session.is_viewable(owner.window), 5, what="window unmapped")
        self.assertEqual(owner.command("show"), "done show")
        wait_until(lambda: session.is_viewable(owner.window), 5, what="window mapped again")
        wait_until(lambda: skip <= session.net_wm_state(owner.window), 5,
                   what="skip states after show")

        if not OPENBOX:
            return  # the states of a mapped window are the window manager's to change
        # Stay-on-top goes and comes back without the window being recreated.
        self.assertEqual(owner.command("above 0"), "done above 0")
        wait_until(lambda: "_NET_WM_STATE_ABOVE" not in session.net_wm_state(owner.window), 5,
                   what="above state removed")
        self.assertTrue(skip <= session.net_wm_state(owner.window))
        self.assertEqual(owner.command("above 1"), "done above 1")
        wait_until(lambda: "_NET_WM_STATE_ABOVE" in session.net_wm_state(owner.window), 5,
                   what="above state back")
        self.assertTrue(session.is_viewable(owner.window))

    def test_windowAtPlace_hasRequestedGeometry(self):
        owner = Owner(self.session)
        info = wait_until(lambda: (i := self.session.window_info(owner.window)) and
                          i["map_state"] == "IsViewable" and i, 5, what="window mapped")
        self.assertEqual((info["x"], info["y"], info["width"], info["height"]),
                         (1510, 434, 370, 211))


if __name__ == "__main__":
    ARGUMENTS = arguments("probe", flags=("openbox",))
    PROBE, OPENBOX = ARGUMENTS.probe, ARGUMENTS.openbox
    run_tests(ARGUMENTS)
