"""Saves under fire: the real taskwick executable is killed with SIGKILL at random moments
while it saves a large list, at the close and automatically. ToDoList.xml must always be
either the complete old or the complete new document, and a temporary file may be left only
by a save that was killed.

Usage: taskwick_fire_test.py TASKWICK_BINARY [unittest options]
FIRE_KILLS (default 24) sets how many kills during close saves, FIRE_AUTO_KILLS (default 4)
during automatic saves; `make trials` runs the long trial (600 and 60).
"""

import os
import random
import signal
import sys
import time

from harness import ProgramTest, main, wait_until
from taskwick_app import Taskwick

CLOSE_KILLS = int(os.environ.get("FIRE_KILLS", "24"))
AUTO_KILLS = int(os.environ.get("FIRE_AUTO_KILLS", "4"))
ROWS, COLUMNS = 100, 100


def large_list():
    """A 100 x 100 list whose middle column is too wide, so that every save writes another
    document than the one read (the column is fitted to the table)."""
    lines = ["\ufeff<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>", "<ToDoList>",
             "  <WindowPosition>", "    <Left>1510</Left>", "    <Top>434</Top>",
             "    <Width>370</Width>", "    <Height>211</Height>", "  </WindowPosition>",
             "  <ColumnInfo>", f"    <RowCount>{ROWS}</RowCount>",
             f"    <ColumnCount>{COLUMNS}</ColumnCount>",
             "    <HeaderTextBold>FALSE</HeaderTextBold>",
             "    <DrawGridLines>TRUE</DrawGridLines>", "  </ColumnInfo>", "  <Skin>",
             "    <SkinName>No Skin</SkinName>", "    <SkinPath/>", "  </Skin>",
             "  <ColumnHeader>"]
    for col in range(COLUMNS):
        lines += ["    <Column>", f"      <ColumnCaption>C{col}</ColumnCaption>",
                  f"      <ColumnWidth>{999 if col == 1 else 60}</ColumnWidth>",
                  "      <ColumnAlignment>LEFT</ColumnAlignment>", "    </Column>"]
    lines += ["  </ColumnHeader>", "  <ToDoContent>"]
    for row in range(ROWS):
        lines.append("    <Column>")
        lines += [f"      <Text>task {row}/{col} \u00e4\u00f6\u00fc &amp; more words</Text>"
                  for col in range(COLUMNS)]
        lines.append("    </Column>")
    lines += ["  </ToDoContent>", "</ToDoList>", ""]
    return "\r\n".join(lines).encode("utf-8")


def first_difference(content, expected):
    """The first line where content differs from expected, for the failure message."""
    for number, (got, want) in enumerate(zip(content.splitlines(), expected.splitlines())):
        if got != want:
            return f"line {number + 1} is {got[:80]!r}, expected {want[:80]!r}"
    return "one is a prefix of the other"


class TaskwickFireTest(ProgramTest):
    folder_prefix = "taskwick-fire-"

    def setUp(self):
        super().setUp()
        self.old = large_list()
        self.list_path = os.path.join(self.folder.name, "ToDoList.xml")

    def write_old(self):
        with open(self.list_path, "wb") as file:
            file.write(self.old)
        for name in self.temp_files():
            os.remove(os.path.join(self.folder.name, name))

    def temp_files(self):
        return [n for n in os.listdir(self.folder.name) if n.startswith("ToDoList~tmp~backup~")]

    def saved(self):
        with open(self.list_path, "rb") as file:
            return file.read()

    def start(self):
        self.write_old()
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window(timeout=30)
        return app

    def check_after_kill(self, app, documents, what):
        app.proc.wait(15)
        killed = app.proc.returncode == -signal.SIGKILL
        content = self.saved()
        if content not in documents:
            self.fail(f"{what}: a document that is neither old nor new ({len(content)} bytes); "
                      f"{first_difference(content, documents[-1])}")
        if not killed:
            self.assertEqual(self.temp_files(), [], f"{what}: a finished save left a file")
        return killed, content

    def test_sigkillDuringCloseSaves_leavesTheOldOrTheNewDocument(self):
        app = self.start()
        self.assertEqual(app.terminate(30), 0)
        new = self.saved()
        self.assertNotEqual(new, self.old)

        rng = random.Random(7)
        outcomes = {"old": 0, "new": 0, "temporary file left": 0}
        for attempt in range(CLOSE_KILLS):
            app = self.start()
            app.proc.send_signal(signal.SIGTERM)
            time.sleep(rng.uniform(0, 0.012))
            app.proc.kill()
            _, content = self.check_after_kill(app, (self.old, new), f"close kill {attempt}")
            outcomes["old" if content == self.old else "new"] += 1
            outcomes["temporary file left"] += bool(self.temp_files())
        print(f"close saves killed {CLOSE_KILLS} times: {outcomes}", file=sys.stderr)

    def test_sigkillDuringAutomaticSaves_leavesTheOldOrTheNewDocument(self):
        def edit(app):
            app.activate(app.window)
            app.click(30 + 1 + 60 + 1 + 20, 30 + 1 + 25 + 12)  # a cell of the first task row
            app.type("x")
            app.key("Return")
            return time.monotonic()

        app = self.start()
        edited = edit(app)
        wait_until(lambda: self.saved() != self.old, 10, what="the automatic save")
        time.sleep(0.5)
        new = self.saved()
        app.proc.kill()
        app.proc.wait(10)
        print(f"automatic save after {time.monotonic() - edited:.2f} s", file=sys.stderr)

        rng = random.Random(11)
        for attempt in range(AUTO_KILLS):
            app = self.start()
            edited = edit(app)
            time.sleep(max(0.0, 2.0 - (time.monotonic() - edited)) + rng.uniform(-0.05, 0.15))
            app.proc.kill()
            self.check_after_kill(app, (self.old, new), f"automatic kill {attempt}")


if __name__ == "__main__":
    main()
