"""Drives one running taskwick from outside: its main window, its message boxes, the mouse,
the keyboard and the clipboard, all through xdotool and xclip on an XSession.

Used by the file and table tests. Every process started here is started through the
session, so the session stops it by its id.
"""

import os
import re
import signal
import subprocess
import time

from harness import HarnessError, _end_with_harness, wait_until

MAIN_CLASS = "TToDoForm"
LIST_FILE = "ToDoList.xml"


class Taskwick:
    """One start of the program from a copy in folder; the session ends it if the test
    does not."""

    def __init__(self, session, binary, folder, args=()):
        self.session = session
        self.folder = folder
        env = session.env
        # Keeps the accessibility bridge (and its bus) out; nothing here reads it.
        env["QT_ACCESSIBILITY"] = "0"
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

    def box_text(self, box):
        """The text of a message box, through the copy that Ctrl+C makes of it."""
        marker = f"no box text {time.monotonic()}"
        self.set_clipboard(marker)
        self.activate(box)
        self.xdotool("key", "--clearmodifiers", "ctrl+c")

        def copied():
            text = self.clipboard()
            return text if text and text != marker else None
        return wait_until(copied, 5, what="the box text in the clipboard")

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
