"""One list on two computers kept in step by Syncthing: two devices on this machine, talking
over the loopback only (discovery, relays, NAT and STUN off), each with a program folder of
its own and a taskwick on a display of its own. Both users type at once; both lists end with
both words, and no conflict copy is left in either folder.

Usage: taskwick_syncthing_test.py TASKWICK_BINARY [unittest options]
"""

import glob
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

from harness import ProgramTest, XSession, copy_binary, main, stop_process, wait_until
from taskwick_app import AccessibilityBus, Taskwick, shows, type_at_once

TWO_TASKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data",
                              "two_tasks.xml")
FIRST_TASK = (182, 68)
SECOND_TASK = (182, 93)
# Only the list and the conflict copies Syncthing makes of it travel, not the program.
IGNORES = "!/ToDoList.xml\n!/ToDoList.sync-conflict-*\n*\n"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Device:
    """One Syncthing device: its home (keys, config, database) and the folder it shares."""

    def __init__(self, root, name, folder):
        self.home = os.path.join(root, name)
        self.folder = folder
        self.listen = free_port()
        self.gui = free_port()
        subprocess.run(["syncthing", "generate", f"--home={self.home}", "--no-default-folder",
                        "--skip-port-probing"], check=True, capture_output=True, timeout=60)
        self.id = subprocess.run(["syncthing", "serve", f"--home={self.home}", "--device-id"],
                                 check=True, capture_output=True, text=True,
                                 timeout=60).stdout.strip()
        self.proc = None

    def configure(self, other):
        path = os.path.join(self.home, "config.xml")
        tree = ElementTree.parse(path)
        root = tree.getroot()
        options = root.find("options")
        settings = {
            "listenAddress": f"tcp://127.0.0.1:{self.listen}",
            "globalAnnounceEnabled": "false", "localAnnounceEnabled": "false",
            "relaysEnabled": "false", "natEnabled": "false", "startBrowser": "false",
            "urAccepted": "-1", "autoUpgradeIntervalH": "0", "crashReportingEnabled": "false",
            "stunKeepaliveStartS": "0", "stunKeepaliveMinS": "0", "stunServer": "",
            "reconnectionIntervalS": "1", "setLowPriority": "false",
        }
        for key, value in settings.items():
            element = options.find(key)
            if element is None:
                element = ElementTree.SubElement(options, key)
            element.text = value
        root.find("gui").find("address").text = f"127.0.0.1:{self.gui}"
        peer = ElementTree.SubElement(root, "device", id=other.id, name="other",
                                      compression="metadata", introducer="false")
        ElementTree.SubElement(peer, "address").text = f"tcp://127.0.0.1:{other.listen}"
        folder = ElementTree.SubElement(root, "folder", id="tasks", label="tasks",
                                        path=self.folder, type="sendreceive",
                                        rescanIntervalS="5", fsWatcherEnabled="true",
                                        fsWatcherDelayS="1", ignorePerms="false")
        for device in (self.id, other.id):
            ElementTree.SubElement(folder, "device", id=device)
        # In this version an element of the folder, not an attribute: without it, conflicts
        # would silently leave no copy.
        ElementTree.SubElement(folder, "maxConflicts").text = "-1"
        tree.write(path)

    def start(self, session):
        self.log = open(os.path.join(self.home, "log.txt"), "w")
        env = dict(os.environ, STNOUPGRADE="1", STNORESTART="1", HOME=self.home)
        self.proc = subprocess.Popen(
            ["syncthing", "serve", f"--home={self.home}", "--no-browser", "--no-restart",
             "--no-upgrade"], env=env, stdout=self.log, stderr=subprocess.STDOUT)
        session.started.append(self.proc)

    def stop(self):
        if self.proc:
            stop_process(self.proc)
            self.log.close()


def read(path):
    try:
        with open(path, "rb") as file:
            return file.read()
    except OSError:
        return b""


class TaskwickSyncthingTest(ProgramTest):
    folder_prefix = "taskwick-sync-a-"

    def test_twoComputersTypingAtOnce_bothListsEndWithBothWords(self):
        if shutil.which("syncthing") is None:
            self.skipTest("syncthing is not installed")
        other = tempfile.TemporaryDirectory(prefix="taskwick-sync-b-")
        self.addCleanup(other.cleanup)
        homes = tempfile.TemporaryDirectory(prefix="taskwick-sync-homes-")
        self.addCleanup(homes.cleanup)
        folder_a, folder_b = self.folder.name, other.name
        binary_b = copy_binary(self.program, folder_b)
        for folder in (folder_a, folder_b):
            with open(os.path.join(folder, ".stignore"), "w") as file:
                file.write(IGNORES)
        shutil.copy(TWO_TASKS, os.path.join(folder_a, "ToDoList.xml"))

        a, b = Device(homes.name, "a", folder_a), Device(homes.name, "b", folder_b)
        a.configure(b)
        b.configure(a)
        for device in (a, b):
            device.start(self.session)
            self.addCleanup(device.stop)
        list_a = os.path.join(folder_a, "ToDoList.xml")
        list_b = os.path.join(folder_b, "ToDoList.xml")
        wait_until(lambda: read(list_b) == read(list_a), 90, interval=0.2,
                   what="the list synced to the second device")

        second = XSession(window_manager=True).__enter__()
        self.addCleanup(second.close)
        bus_a = AccessibilityBus(self.session).__enter__()
        self.addCleanup(bus_a.close)
        bus_b = AccessibilityBus(second).__enter__()
        self.addCleanup(bus_b.close)
        app_a = Taskwick(self.session, self.binary, folder_a, a11y=bus_a)
        app_a.wait_main_window()
        app_b = Taskwick(second, binary_b, folder_b, a11y=bus_b)
        app_b.wait_main_window()

        type_at_once([(app_a, FIRST_TASK, "typed on A"), (app_b, SECOND_TASK, "typed on B")])
        typed = time.monotonic()

        words = (b"<Text>typed on A</Text>", b"<Text>typed on B</Text>")

        def converged():
            lists = (read(list_a), read(list_b))
            copies = glob.glob(os.path.join(folder_a, "ToDoList.sync-conflict-*")) + \
                glob.glob(os.path.join(folder_b, "ToDoList.sync-conflict-*"))
            return not copies and all(w in content for w in words for content in lists)

        try:
            wait_until(converged, 120, interval=0.2, what="both words in both lists")
        except Exception:
            for folder in (folder_a, folder_b):
                print(folder, sorted(os.listdir(folder)), file=sys.stderr)
                content = read(os.path.join(folder, "ToDoList.xml"))
                print([w for w in words if w in content], file=sys.stderr)
            raise
        for bus, app in ((bus_a, app_a), (bus_b, app_b)):
            for word in ("typed on A", "typed on B"):
                wait_until(lambda: shows(bus, app, word), 30, what=f"{word} in each window")
        print(f"\nboth words in both lists and windows {time.monotonic() - typed:.1f} s after "
              "typing", file=sys.stderr)

        # The notices of the merge may stand over the table: read, they are closed.
        for app in (app_a, app_b):
            for box in app.visible_boxes("Notice"):
                app.answer_box(box)
        # Then one user types alone: how long the other computer's window takes to show it.
        type_at_once([(app_a, SECOND_TASK, "later on A")])
        typed = time.monotonic()
        try:
            wait_until(lambda: shows(bus_b, app_b, "later on A"), 60,
                       what="A's later word shown by B")
        except Exception:
            print("B shows", [n for _, n in bus_b.labels(app_b.proc.pid)], file=sys.stderr)
            for path in (list_a, list_b):
                print(path, [t for t in read(path).split(b"<Text>") if b"on " in t],
                      file=sys.stderr)
            raise
        print(f"a word typed on A shown on B {time.monotonic() - typed:.1f} s later",
              file=sys.stderr)

        self.assertEqual(app_a.terminate(), 0)
        self.assertEqual(app_b.terminate(), 0)
        for content in (read(list_a), read(list_b)):
            for word in (b"<Text>typed on A</Text>", b"<Text>later on A</Text>"):
                self.assertIn(word, content)
        self.assertEqual(glob.glob(os.path.join(folder_a, "ToDoList.xml.changed-*")), [])
        self.assertEqual(glob.glob(os.path.join(folder_b, "ToDoList.xml.changed-*")), [])


if __name__ == "__main__":
    main()
