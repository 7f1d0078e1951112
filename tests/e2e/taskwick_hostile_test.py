"""Hostile list files through the real taskwick executable: a million nested elements, 100 MB
of text, truncations of the two-task list and random byte flips. Each one loads without a
crash, and a close then ends the program with 0 and leaves a well-formed list.

Usage: taskwick_hostile_test.py TASKWICK_BINARY [unittest options]
HOSTILE_TRUNCATION_STEP (default 97) takes every n-th truncation, HOSTILE_FLIPS (default 12)
sets how many flipped files are tried; `make trials` runs every truncation and 400 flips.
"""

import os
import random
import time
import xml.etree.ElementTree as ElementTree

from harness import ProgramTest, main
from taskwick_app import Taskwick

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
TRUNCATION_STEP = int(os.environ.get("HOSTILE_TRUNCATION_STEP", "97"))
FLIPS = int(os.environ.get("HOSTILE_FLIPS", "12"))


class TaskwickHostileTest(ProgramTest):
    folder_prefix = "taskwick-hostile-"

    def list_path(self):
        return os.path.join(self.folder.name, "ToDoList.xml")

    def survive(self, content, what):
        """Starts on `content`, closes once the window exists (boxes may still be open), and
        checks the exit code and the saved list."""
        for name in os.listdir(self.folder.name):
            if name.startswith("ToDoList"):
                os.remove(os.path.join(self.folder.name, name))
        with open(self.list_path(), "wb") as file:
            file.write(content)
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.find_main_window(timeout=60)
        time.sleep(0.1)
        code = app.terminate(60)
        self.assertEqual(code, 0, what)
        with open(self.list_path(), "rb") as file:
            saved = file.read()
        self.assertTrue(saved.startswith(b"\xef\xbb\xbf"), what)
        root = ElementTree.fromstring(saved[3:])
        self.assertEqual(root.tag, "ToDoList", what)
        return saved

    def test_aMillionNestedElements_and100MegabytesOfText(self):
        nested = b"<ToDoList>" + b"<x>" * 1_000_000 + b"</x>" * 1_000_000 + b"</ToDoList>"
        self.survive(nested, "a million nested elements")
        text = (b"lorem ipsum dolor sit amet " * 64 + b"\n") * (100 * 1024 * 1024 // 1729)
        self.survive(text, "100 MB of text")
        # What could not be read was kept beside the list, byte for byte.
        kept = [n for n in os.listdir(self.folder.name) if ".unreadable-" in n]
        self.assertEqual(len(kept), 1)
        self.assertEqual(os.path.getsize(os.path.join(self.folder.name, kept[0])), len(text))

    def test_truncationsAndByteFlipsOfTheWorkedExample(self):
        with open(os.path.join(DATA, "two_tasks.xml"), "rb") as file:
            example = file.read()
        for length in range(0, len(example), TRUNCATION_STEP):
            self.survive(example[:length], f"the first {length} bytes")
        rng = random.Random(1234)
        for attempt in range(FLIPS):
            flipped = bytearray(example)
            for _ in range(rng.randint(1, 8)):
                flipped[rng.randrange(len(flipped))] ^= 1 << rng.randrange(8)
            self.survive(bytes(flipped), f"flipped file {attempt}")


if __name__ == "__main__":
    main()
