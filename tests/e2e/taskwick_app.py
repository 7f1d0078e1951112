"""Drives one running taskwick from outside: its main window, its message boxes, the mouse,
the keyboard and the clipboard, all through xdotool and xclip on an XSession.

Used by the file and table tests. Every process started here is started through the
session, so the session stops it by its id.
"""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import time

from harness import HarnessError, wait_until

_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def _end_with_harness():
    """In each child started here: SIGTERM when the test process dies, as the harness does
    for its own children."""
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)

MAIN_CLASS = "TToDoForm"
LIST_FILE = "ToDoList.xml"


_PR_SET_CHILD_SUBREAPER = 36
_CHILD = re.compile(r"\('([^']+)', (?:objectpath )?'([^']+)'\)")
_STRING = re.compile(r"\(<?'((?:[^'\\]|\\.)*)'>?,\)")


class AccessibilityBus:
    """A private session bus with the accessibility bus behind it, so that the texts of the
    program's widgets (a message box's label above all) can be read as a screen reader reads
    them; X11 itself has no way to get at them.

    The accessibility launcher starts its own bus daemon and registry; this process becomes
    their subreaper, so they are reaped and, if still running, stopped by id on close."""

    def __init__(self, session):
        self.session = session
        self.env = session.env
        self.address = None

    LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

    def __enter__(self):
        for tool in ("dbus-daemon", "gdbus"):
            if shutil.which(tool) is None:
                raise HarnessError(f"{tool} is not installed (packages dbus-daemon, "
                                   "libglib2.0-bin)")
        if not os.access(self.LAUNCHER, os.X_OK):
            raise HarnessError(f"{self.LAUNCHER} is not installed (package at-spi2-core)")
        _libc.prctl(_PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                               env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               text=True, preexec_fn=_end_with_harness)
        self.session.started.append(bus)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        self.session.started.append(subprocess.Popen(
            [self.LAUNCHER, "--launch-immediately", "--a11y=1"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_end_with_harness))

        def address():
            result = subprocess.run(
                ["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path",
                 "/org/a11y/bus", "--method", "org.a11y.Bus.GetAddress"],
                env=self.env, capture_output=True, text=True, timeout=10)
            found = _STRING.search(result.stdout)
            return found.group(1) if result.returncode == 0 and found else None
        self.address = wait_until(address, 10, what="the accessibility bus")
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        """Reaps what the launcher left behind after the session stopped it."""
        own = os.getpid()
        deadline = time.monotonic() + 5
        quiet_since = None
        while time.monotonic() < deadline:
            orphans = []
            for entry in os.listdir("/proc"):
                if not entry.isdigit():
                    continue
                try:
                    with open(f"/proc/{entry}/stat") as stat:
                        fields = stat.read().rsplit(")", 1)[1].split()
                except OSError:
                    continue
                if int(fields[1]) == own:
                    orphans.append((int(entry), fields[0]))
            tracked = {proc.pid for proc in self.session.started}
            orphans = [(pid, state) for pid, state in orphans if pid not in tracked]
            if not orphans:
                # A registry may still be on its way out of a bus that just ended.
                quiet_since = quiet_since or time.monotonic()
                if time.monotonic() - quiet_since > 0.5:
                    return
                time.sleep(0.1)
                continue
            quiet_since = None
            for pid, state in orphans:
                if state == "Z":
                    os.waitpid(pid, os.WNOHANG)
                elif time.monotonic() > deadline - 3:
                    os.kill(pid, signal.SIGTERM)
            time.sleep(0.1)

    def app_env(self):
        return {"DBUS_SESSION_BUS_ADDRESS": self.env["DBUS_SESSION_BUS_ADDRESS"],
                "QT_ACCESSIBILITY": "1", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}

    def _call(self, dest, path, method, *args):
        result = subprocess.run(
            ["gdbus", "call", "--address", self.address, "--dest", dest, "--object-path", path,
             "--method", method, *args], env=self.env, capture_output=True, text=True,
            timeout=10)
        return result.stdout if result.returncode == 0 else ""

    def _string(self, dest, path, method, *args):
        """The one string a call returns, plain or as a variant, with gdbus's escapes undone."""
        found = _STRING.search(self._call(dest, path, method, *args))
        if found is None:
            return ""
        escapes = {"n": "\n", "r": "\r", "t": "\t"}
        return re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(1)), found.group(1))

    def bus_name_of(self, pid):
        """The unique name on the accessibility bus of the process with the given id."""
        names = re.findall(r"'(:[0-9.]+)'", self._call(
            "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.ListNames"))
        for name in names:
            owner = re.search(r"\(uint32 (\d+),\)", self._call(
                "org.freedesktop.DBus", "/org/freedesktop/DBus",
                "org.freedesktop.DBus.GetConnectionUnixProcessID", name))
            if owner and int(owner.group(1)) == pid:
                return name
        return None

    def labels(self, pid):
        """(role, name) of every accessible object of the process with the given id."""
        name = self.bus_name_of(pid)
        return self._walk(name) if name else []

    def _walk(self, name):
        found = []
        stack = ["/org/a11y/atspi/accessible/root"]
        seen = set()
        while stack:
            path = stack.pop()
            if path in seen:
                continue
            seen.add(path)
            found.append((self._string(name, path, "org.a11y.atspi.Accessible.GetRoleName"),
                          self._string(name, path, "org.freedesktop.DBus.Properties.Get",
                                       "org.a11y.atspi.Accessible", "Name")))
            children = self._call(name, path, "org.a11y.atspi.Accessible.GetChildren")
            stack += [child for bus, child in _CHILD.findall(children) if bus == name]
        return found


def wait_for_tray_icon(session, proc, binary, timeout=10, alive=None):
    """The tray icon window of the program running as proc, once the tray host embedded it."""
    # Its class is the program's name, which is the executable's name.
    name = os.path.basename(binary)

    def find():
        if alive:
            alive()
        result = session.run(["xdotool", "search", "--all", "--pid", str(proc.pid),
                              "--class", f"^{name}$"])
        for line in result.stdout.split():
            window = int(line)
            info = session.window_info(window)
            # The About dialog has the same class; the icon is the small one.
            if session.wm_class(window) == (name, name) and info and \
                    info["map_state"] == "IsViewable" and info["width"] <= 64:
                return window
        return None
    return wait_until(find, timeout, what="the tray icon")


class Taskwick:
    """One start of the program from a copy in folder; the session ends it if the test
    does not."""

    def __init__(self, session, binary, folder, args=(), a11y=None, extra_env=None):
        self.session = session
        self.binary = binary
        self.folder = folder
        env = session.env
        env.update(extra_env or {})
        if a11y is None:
            # Keeps the accessibility bridge (and its bus) out; nothing here reads it.
            env["QT_ACCESSIBILITY"] = "0"
        else:
            env.update(a11y.app_env())
        self.proc = subprocess.Popen([binary, *args], cwd=folder, env=env, text=True,
                                     preexec_fn=_end_with_harness)
        session.started.append(self.proc)
        self.window = None

    @property
    def list_path(self):
        return os.path.join(self.folder, LIST_FILE)

    def _alive(self):
        if self.proc.poll() is not None:
            raise HarnessError(f"taskwick ended early with {self.proc.returncode}")

    def xdotool(self, *args, timeout=10):
        result = self.session.run(["xdotool", *map(str, args)], timeout=timeout)
        if result.returncode != 0:
            raise HarnessError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    # --- windows -----------------------------------------------------------------------------

    def find_main_window(self, timeout=15):
        """The main window once it exists, mapped or not (it is made before the load)."""
        def find():
            self._alive()
            found = self.session.windows_of_class(MAIN_CLASS, pid=self.proc.pid)
            return found[0] if found else None
        self.window = wait_until(find, timeout, what="the main window")
        return self.window

    def main_window_viewable(self):
        if self.window is None:
            found = self.session.windows_of_class(MAIN_CLASS, pid=self.proc.pid)
            if not found:
                return False
            self.window = found[0]
        return self.session.is_viewable(self.window)

    def wait_main_window(self, timeout=15):
        self.find_main_window(timeout)

        def mapped():
            self._alive()
            return self.session.is_viewable(self.window)
        wait_until(mapped, timeout, what="the main window mapped")
        return self.window

    def tray_icon(self, timeout=10):
        """The program's tray icon window, once the tray host has embedded it."""
        return wait_for_tray_icon(self.session, self.proc, self.binary, timeout,
                                  alive=self._alive)

    def centre(self, window):
        """The screen coordinates of the middle of window."""
        info = self.session.window_info(window)
        return info["x"] + info["width"] // 2, info["y"] + info["height"] // 2

    def visible_boxes(self, title):
        """Mapped windows of this process titled exactly title."""
        result = self.session.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                                   str(self.proc.pid), "--name", f"^{re.escape(title)}$"])
        return [int(line) for line in result.stdout.split() if line.isdigit()]

    def wait_box(self, title, timeout=10):
        def find():
            self._alive()
            boxes = self.visible_boxes(title)
            return boxes[0] if boxes else None
        return wait_until(find, timeout, what=f"a box titled {title!r}")

    def answer_box(self, box, key="Return"):
        self.activate(box)
        self.xdotool("key", "--clearmodifiers", key)
        wait_until(lambda: not self.session.is_viewable(box), 5, what="the box closed")

    def activate(self, window):
        self.xdotool("windowactivate", "--sync", window)
        wait_until(lambda: self.session.active_window() == window, 5, what="window activated")

    # --- input -------------------------------------------------------------------------------

    def click(self, x, y):
        """Left click at client coordinates of the main window."""
        self.xdotool("mousemove", "--window", self.window, x, y, "click", "1")

    def type(self, text):
        self.xdotool("type", "--delay", "20", "--clearmodifiers", text)

    def key(self, *keys):
        self.xdotool("key", "--clearmodifiers", *keys)

    def set_clipboard(self, text):
        """Owns the clipboard with text from a foreground xclip that the session stops."""
        owner = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                                 env=self.session.env, stdin=subprocess.PIPE,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 preexec_fn=_end_with_harness)
        self.session.started.append(owner)
        owner.stdin.write(text.encode("utf-8"))
        owner.stdin.close()
        owner.stdin = None
        wait_until(lambda: self.clipboard() == text, 5, what="the clipboard set")

    def clipboard(self):
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.session.env,
                                capture_output=True, timeout=10)
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else None

    # --- end ---------------------------------------------------------------------------------

    def terminate(self, timeout=15):
        """SIGTERM, which closes the window and saves; returns the exit code."""
        self.proc.send_signal(signal.SIGTERM)
        return self.proc.wait(timeout)

    def saved_bytes(self):
        with open(self.list_path, "rb") as file:
            return file.read()


def shows(a11y, app, text):
    """Whether a cell of the running program reads `text` to a screen reader."""
    return any(name == text for _, name in a11y.labels(app.proc.pid))


def type_at_once(edits):
    """Types into the windows of several programs step by step, one window after the other at
    each step, so that neither has saved before the other typed: `edits` holds
    (program, cell's client position, text), and each text ends with Return."""
    for app, _, _ in edits:
        app.activate(app.window)
    for app, cell, _ in edits:
        app.click(*cell)
    for app, _, text in edits:
        app.type(text)
    for app, _, _ in edits:
        app.key("Return")
