"""A German executable under Xvfb and openbox: it starts without the box that reports
toolkit texts of the wrong language, fills a first run in German, titles its questions in
German and saves.

Usage: taskwick_german_test.py TASKWICK_GERMAN_BINARY
"""

import time

from harness import ProgramTest, main
from taskwick_app import Taskwick

MINUS_ROW = (189, 180)  # the middle of the delete-row button of a 370 x 211 window


class TaskwickGermanTest(ProgramTest):
    folder_prefix = "taskwick-german-"

    def test_firstRun_germanTextsAndToolkitTextsMatch(self):
        app = Taskwick(self.session, self.binary, self.folder.name)
        app.wait_main_window()
        # The language marker check would show its box ("Fehler") at start if the toolkit's
        # own texts were not German.
        time.sleep(0.5)
        self.assertEqual(app.visible_boxes("Fehler"), [])
        self.assertEqual(app.visible_boxes("Exception"), [])

        app.activate(app.window)
        app.key("ctrl+End")
        app.type("weg")
        app.key("Return")
        app.click(*MINUS_ROW)
        box = app.wait_box("Achtung")
        app.answer_box(box, "Return")

        self.assertEqual(app.terminate(), 0)
        saved = app.saved_bytes()
        self.assertIn(b"<ColumnCaption>Aufgabe</ColumnCaption>", saved)
        self.assertIn(b"<ColumnCaption>Zeit</ColumnCaption>", saved)
        self.assertIn(b"<Text>...Klicken f&#xFC;r neue Aufgabe</Text>", saved)
        self.assertIn(b"<RowCount>4</RowCount>", saved)
        self.assertNotIn(b"weg", saved)
        # The value that stands for no skin is never translated.
        self.assertIn(b"<SkinName>No Skin</SkinName>", saved)


if __name__ == "__main__":
    main()
