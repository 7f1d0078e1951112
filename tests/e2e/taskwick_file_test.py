"""The task list file through the real taskwick executable under Xvfb and openbox: a saved
list comes back byte for byte, and an empty file is reported section by section.

Usage: taskwick_file_test.py TASKWICK_BINARY [unittest options]
The expected files are in tests/e2e/data/.
"""

import glob
import os
import time

from harness import ProgramTest, main, wait_until
from taskwick_app import AccessibilityBus, Taskwick

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")


def data_bytes(name):
    with open(os.path.join(DATA, name), "rb") as file:
        return file.read()


class TaskwickFileTest(ProgramTest):
    folder_prefix = "taskwick-file-"

    def write_list(self, content):
        with open(os.path.join(self.folder.name, "ToDoList.xml"), "wb") as file:
            file.write(content)

    def test_savedList_savesBackSameBytesExceptFittedMiddleColumnAndBlankEmptyCells(self):
        original = data_bytes("two_tasks.xml")
        self.write_list(original)
        app = Taskwick(self.session, self.binary, self.folder.name)
        window = app.wait_main_window()
        info = self.session.window_info(window)
        self.assertEqual((info["x"], info["y"], info["width"], info["height"]),
                         (1510, 434, 370, 211))
        self.assertEqual(app.visible_boxes("Exception"), [])

        self.assertEqual(app.terminate(), 0)
        saved = app.saved_bytes()
        # Two differences, both intended: the layout fits the columns to the 310 pixels of
        # the table (50 + 210 + 45, one grid line per column, the 2-pixel border), and the
        # loader stores an empty cell as a single blank, which is saved as that blank.
        expected = data_bytes("two_tasks_saved.xml")
        self.assertEqual(
            original.replace(b"<ColumnWidth>235<", b"<ColumnWidth>210<")
            .replace(b"<Text/>", b"<Text> </Text>"), expected)
        self.assertEqual(saved, expected)

    def test_zeroByteFile_reportsFourSectionsInOrderThenCentresAndSavesDefaults(self):
        self.write_list(b"")
        a11y = AccessibilityBus(self.session).__enter__()
        self.addCleanup(a11y.close)
        app = Taskwick(self.session, self.binary, self.folder.name, a11y=a11y)
        app.find_main_window()

        def box_text(seen):
            # The label of the box now shown: the only exception text not read before.
            texts = [name for role, name in a11y.labels(app.proc.pid)
                     if role == "label" and name.startswith("Exception") and name not in seen]
            return texts[0] if len(texts) == 1 else None

        reported = []
        while True:
            # Each box is modal and comes before the window is shown; after the last one the
            # window is mapped and no further box may follow.
            def next_step():
                boxes = app.visible_boxes("Exception")
                if boxes:
                    return ("box", boxes[0])
                if app.main_window_viewable():
                    return ("window", None)
                app._alive()
                return None
            kind, box = wait_until(next_step, 15, what="a box or the main window")
            if kind == "window":
                break
            self.assertLess(len(reported), 6, "boxes keep coming")
            text = wait_until(lambda: box_text(reported), 10, what="the text of the box")
            reported.append(text)
            app.answer_box(box)

        sections = ["Load WindowPosition", "Load ColumnInfo", "Load ColumnHeader",
                    "Load ToDoContent"]
        self.assertEqual(len(reported), len(sections), reported)
        for text, section in zip(reported, sections):
            with self.subTest(section=section):
                self.assertEqual(text.splitlines()[0], f"Exception in {section}")

        # (1920 - 370) / 2 = 775; 540 - 105.5 = 434.5, rounded to the even 434.
        info = self.session.window_info(app.window)
        self.assertEqual((info["x"], info["y"], info["width"], info["height"]),
                         (775, 434, 370, 211))
        time.sleep(0.5)
        self.assertEqual(app.visible_boxes("Exception"), [])

        # Five empty task rows in three columns; the columns keep the table's default widths
        # 50/235/45, fitted to 50/210/45. The skin section was skipped, so the skin name is
        # still the empty one the program starts with.
        self.assertEqual(app.terminate(), 0)
        self.assertEqual(app.saved_bytes(), data_bytes("zero_byte_saved.xml"))


class TaskwickKeptListTest(ProgramTest):
    """A list the program cannot read, or one changed behind its back, is kept beside
    itself byte for byte before anything can overwrite it."""

    folder_prefix = "taskwick-kept-"

    def write_list(self, content):
        with open(os.path.join(self.folder.name, "ToDoList.xml"), "wb") as file:
            file.write(content)

    def kept(self, reason):
        return sorted(name for name in os.listdir(self.folder.name)
                      if name.startswith(f"ToDoList.xml.{reason}-"))

    def kept_bytes(self, name):
        with open(os.path.join(self.folder.name, name), "rb") as file:
            return file.read()

    def test_strayLessThan_isKeptBeforeTheFirstBox_andTheNoticeNamesTheCopy(self):
        broken = data_bytes("two_tasks.xml").replace(b"coffee", b"co<ffee")
        self.write_list(broken)
        a11y = AccessibilityBus(self.session).__enter__()
        self.addCleanup(a11y.close)
        app = Taskwick(self.session, self.binary, self.folder.name, a11y=a11y)

        box = app.wait_box("Exception")
        # Kept while the first box is still open.
        copies = self.kept("unreadable")
        self.assertEqual(len(copies), 1)
        self.assertRegex(copies[0], r"^ToDoList\.xml\.unreadable-\d{8}-\d{6}$")
        self.assertEqual(self.kept_bytes(copies[0]), broken)
        app.answer_box(box)

        notice = app.wait_box("Notice")
        copy_path = os.path.join(os.path.realpath(self.folder.name), copies[0])

        def notice_text():
            texts = [name for role, name in a11y.labels(app.proc.pid)
                     if role == "label" and name.startswith("The task list")]
            return texts[0] if texts else None
        text = wait_until(notice_text, 10, what="the notice's text")
        self.assertIn(copy_path, text.splitlines())
        app.answer_box(notice)
        app.wait_main_window()

        self.assertEqual(app.terminate(), 0)
        self.assertEqual(self.kept("unreadable"), copies)
        self.assertEqual(self.kept_bytes(copies[0]), broken)
        self.assertNotEqual(app.saved_bytes(), broken)

    def test_sigtermDuringALoadBox_endsOnceTheWholeListIsLoadedAndSaved(self):
        original = data_bytes("two_tasks.xml")
        start = original.index(b"  <WindowPosition>")
        end = original.index(b"</WindowPosition>") + len(b"</WindowPosition>\r\n")
        self.write_list(original[:start] + original[end:])
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_box("Exception")

        self.assertEqual(app.terminate(), 0)
        self.assertFalse(app.main_window_viewable())
        saved = app.saved_bytes()
        self.assertIn("Buy Br&#xF6;tchen &amp; coffee".encode(), saved)
        self.assertIn(b"<WindowPosition>", saved)
        self.assertEqual(len(self.kept("unreadable")), 1)

    def test_listEditedByHandWhileRunning_isMergedWithTheTyping_andKeptInTheStateFolder(self):
        self.write_list(data_bytes("two_tasks.xml"))
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        app.activate(app.window)

        edited = data_bytes("two_tasks.xml").replace(b"10min", b"15min")
        self.write_list(edited)
        # The first task row's middle cell: (30 + 1 + 50 + 1 + 100, 30 + 1 + 25 + 12).
        app.click(182, 68)
        app.type("x")
        app.key("Return")
        wait_until(lambda: b"<Text>x</Text>" in app.saved_bytes(), 10, what="the typed text saved")
        self.assertIn(b"<Text>15min</Text>", app.saved_bytes())
        self.assertEqual(self.kept("changed"), [])
        backups = glob.glob(os.path.join(self.session.state_dir, "taskwick", "lists", "*",
                                         "ToDoList.xml.displaced-*"))
        self.assertEqual(len(backups), 1)
        with open(backups[0], "rb") as file:
            self.assertEqual(file.read(), edited)
        self.assertEqual(app.terminate(), 0)
        self.assertIn(b"<Text>15min</Text>", app.saved_bytes())
        self.assertEqual(self.kept("changed"), [])

if __name__ == "__main__":
    main()
