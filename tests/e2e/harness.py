"""Runs programs under a private X server for the end-to-end tests.

Each XSession starts its own Xvfb on a free display (the server picks the number through
-displayfd), optionally openbox, and stops everything it started by process id. Programs
started through the session get its DISPLAY and a private XDG_RUNTIME_DIR, so the instance
lock of one test never meets another test's or the user's.
"""

import argparse
import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

SCREEN = "1920x1080x24"


class HarnessError(Exception):
    pass


_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def _end_with_harness():
    """Runs in each started child: it gets SIGTERM when the harness dies (a test runner's
    timeout kills it without cleanup), so no server outlives its test."""
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    """Polls predicate until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise HarnessError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def stop_process(proc, timeout=5.0):
    """Ends one process this harness started, by its id: SIGTERM first, SIGKILL if it stays."""
    if proc.poll() is not None:
        return proc.returncode
    proc.send_signal(signal.SIGTERM)
    try:
        return proc.wait(timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        return proc.wait(timeout)


class XSession:
    def __init__(self, window_manager=False, tray=False, screen=SCREEN):
        self.window_manager = window_manager or tray
        self.tray = tray
        self.screen = screen
        self.display = None
        self.started = []  # processes in start order; stopped in reverse
        self.tmp = tempfile.TemporaryDirectory(prefix="taskwick-e2e-")
        self.runtime_dir = os.path.join(self.tmp.name, "runtime")
        os.mkdir(self.runtime_dir, 0o700)
        # The user's state folder, where a list that cannot be saved is rescued.
        self.state_dir = os.path.join(self.tmp.name, "state")
        # The user's data folder, where the list lives when the program's folder is not the
        # user's (and where skins are also looked for).
        self.data_dir = os.path.join(self.tmp.name, "data")

    def __enter__(self):
        try:
            self._start_server()
            if self.window_manager:
                self._start_openbox()
            if self.tray:
                self._start_trayer()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for proc in reversed(self.started):
            stop_process(proc)
            for stream in (proc.stdin, proc.stdout):
                if stream is not None:
                    stream.close()
        self.started.clear()
        self.tmp.cleanup()

    @property
    def env(self):
        env = dict(os.environ)
        env.update(
            DISPLAY=self.display,
            XDG_RUNTIME_DIR=self.runtime_dir,
            XDG_STATE_HOME=self.state_dir,
            XDG_DATA_HOME=self.data_dir,
            QT_QPA_PLATFORM="xcb",
            ASAN_OPTIONS="detect_leaks=0",
            UBSAN_OPTIONS="print_stacktrace=1",
        )
        # The programs must not reach a desktop outside this session.
        env.pop("WAYLAND_DISPLAY", None)
        # Without an address, libdbus would autolaunch a session bus bound to this X display
        # and leave it running after the test. A bus that does not exist fails at once.
        env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + os.path.join(self.runtime_dir, "no-bus")
        return env

    def _start_server(self):
        if shutil.which("Xvfb") is None:
            raise HarnessError("Xvfb is not installed")
        read_end, write_end = os.pipe()
        try:
            server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                preexec_fn=_end_with_harness)
        finally:
            os.close(write_end)
        self.started.append(server)
        number = b""
        deadline = time.monotonic() + 15
        with os.fdopen(read_end, "rb", buffering=0) as pipe:
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                chunk = pipe.read(16)
                if not chunk:
                    break
                number += chunk
        if not number.strip().isdigit():
            raise HarnessError("Xvfb did not report its display number")
        self.display = ":" + number.decode().strip()

    def _start_openbox(self):
        if shutil.which("openbox") is None:
            raise HarnessError("openbox is not installed")
        config = os.path.join(self.tmp.name, "config")
        os.mkdir(config)
        env = self.env
        env["XDG_CONFIG_HOME"] = config
        self.started.append(subprocess.Popen(
            ["openbox", "--sm-disable"], env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=_end_with_harness))
        wait_until(lambda: "window id" in self.xprop_root("_NET_SUPPORTING_WM_CHECK"), 15,
                   what="openbox")

    def _start_trayer(self):
        """A system tray host (XEmbed), for the program's tray icon."""
        if shutil.which("trayer") is None:
            raise HarnessError("trayer is not installed")
        self.started.append(subprocess.Popen(
            ["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
             "--height", "24", "--SetDockType", "true", "--transparent", "false"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_end_with_harness))
        wait_until(lambda: self.run(["xdotool", "search", "--class", "^trayer$"]).stdout.strip(),
                   15, what="trayer")

    def start(self, argv, cwd=None, stdin=None, stdout=None):
        """Starts a program in this session; the caller may end it, else close() does."""
        proc = subprocess.Popen(argv, cwd=cwd, env=self.env, stdin=stdin, stdout=stdout,
                                stderr=None, text=True, preexec_fn=_end_with_harness)
        self.started.append(proc)
        return proc

    def run(self, argv, timeout=10, **kwargs):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=timeout, **kwargs)

    # --- X queries -------------------------------------------------------------------------

    def xprop_root(self, prop):
        return self.run(["xprop", "-root", prop]).stdout

    def active_window(self):
        match = re.search(r"window id # (0x[0-9a-f]+)", self.xprop_root("_NET_ACTIVE_WINDOW"))
        return int(match.group(1), 16) if match else None

    def xprop(self, window, prop):
        return self.run(["xprop", "-id", str(window), prop]).stdout

    def wm_class(self, window):
        """(instance, class) of WM_CLASS, or None."""
        found = re.findall(r'"((?:[^"\\]|\\.)*)"', self.xprop(window, "WM_CLASS"))
        return tuple(found[:2]) if len(found) >= 2 else None

    def title(self, window):
        match = re.search(r'= "(.*)"$', self.xprop(window, "_NET_WM_NAME").strip())
        return match.group(1) if match else None

    def net_wm_state(self, window):
        text = self.xprop(window, "_NET_WM_STATE")
        if "=" not in text:
            return set()
        return {atom.strip() for atom in text.split("=", 1)[1].split(",") if atom.strip()}

    def window_info(self, window):
        """xwininfo's fields: map state, absolute position and size; None when it is gone."""
        result = self.run(["xwininfo", "-id", str(window)])
        if result.returncode != 0:
            return None
        info = {}
        for key, pattern in (("x", r"Absolute upper-left X:\s+(-?\d+)"),
                             ("y", r"Absolute upper-left Y:\s+(-?\d+)"),
                             ("width", r"Width:\s+(\d+)"), ("height", r"Height:\s+(\d+)")):
            match = re.search(pattern, result.stdout)
            info[key] = int(match.group(1)) if match else None
        match = re.search(r"Map State:\s+(\w+)", result.stdout)
        info["map_state"] = match.group(1) if match else None
        return info

    def tree(self, window):
        return self.run(["xwininfo", "-children", "-id", str(window)]).stdout

    def root(self):
        match = re.search(r"Window id: (0x[0-9a-f]+)", self.run(["xwininfo", "-root"]).stdout)
        return int(match.group(1), 16) if match else None

    def parent(self, window):
        match = re.search(r"Parent window id: (0x[0-9a-f]+)", self.tree(window))
        return int(match.group(1), 16) if match else None

    def map_state(self, window):
        info = self.window_info(window)
        return info["map_state"] if info else None

    def is_viewable(self, window):
        return self.map_state(window) == "IsViewable"

    def windows_of_class(self, class_name, pid=None):
        """Ids of all windows, mapped or not, whose WM_CLASS class part is class_name."""
        argv = ["xdotool", "search", "--class", f"^{re.escape(class_name)}$"]
        if pid is not None:
            argv[2:2] = ["--all", "--pid", str(pid)]
        result = self.run(argv)
        ids = [int(line) for line in result.stdout.split() if line.isdigit()]
        # xdotool's --class also matches the instance part; keep the class part only.
        return [w for w in ids if (self.wm_class(w) or ("", ""))[1] == class_name]


def copy_binary(binary, folder):
    """Copies the program into folder, where it keeps its ToDoList.xml, and returns the copy."""
    target = os.path.join(folder, os.path.basename(binary))
    shutil.copy2(binary, target)
    return target


class ProgramTest(unittest.TestCase):
    """Each test gets an X session of its own with openbox, and a copy of the program in a
    folder of its own, since the program keeps ToDoList.xml beside its executable."""

    program = None  # the executable under test; the test script sets it before running
    folder_prefix = "taskwick-"

    def setUp(self):
        self.session = XSession(window_manager=True).__enter__()
        self.folder = tempfile.TemporaryDirectory(prefix=self.folder_prefix)
        self.binary = copy_binary(self.program, self.folder.name)

    def tearDown(self):
        self.session.close()
        self.folder.cleanup()


def _existing_path(text):
    if not os.path.exists(text):
        raise argparse.ArgumentTypeError(f"{text} does not exist")
    return os.path.abspath(text)


def arguments(*paths, options=(), flags=()):
    """The command line of an end-to-end script: the files or folders named by paths, in that
    order, then optional "--OPTION PATH" for each of options and "--FLAG" for each of flags,
    and unittest's own options after them. A path named "program" is the executable under
    test and becomes ProgramTest.program. Returns the parsed arguments ("late-wm" as
    late_wm); a missing or wrong one ends the script with the usage and exit code 2."""
    parser = argparse.ArgumentParser(
        description=sys.modules["__main__"].__doc__,
        formatter_class=argparse.RawDescriptionHelpFormatter)
    for name in paths:
        parser.add_argument(name, type=_existing_path)
    for name in options:
        parser.add_argument(f"--{name}", type=_existing_path)
    for name in flags:
        parser.add_argument(f"--{name}", action="store_true")
    parsed, rest = parser.parse_known_args()
    parsed.unittest_argv = [sys.argv[0], *rest]
    if "program" in paths:
        ProgramTest.program = parsed.program
    return parsed


def run_tests(parsed):
    """Runs the test cases of the script with the unittest options left in parsed, and exits
    with unittest's code."""
    unittest.main(module="__main__", argv=parsed.unittest_argv, verbosity=2)


def main():
    """The whole command line of a script whose only argument is the program under test."""
    run_tests(arguments("program"))
