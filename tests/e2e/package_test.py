"""The Debian package: CPack makes it from the build tree as `make deb` does; it must hold
exactly the program, its command, the menu entry, the icons, the AppStream metadata, the
manual page and Debian's documents, declare the libraries it links, and pass lintian,
appstreamcli and desktop-file-validate. Unpacked into a temporary root whose program folder
nobody may write to (as /usr is), it answers --help and --version without a display, starts
under Xvfb and saves its list into the user's data folder.

Usage: package_test.py CPACK BUILD_TREE [unittest options]
BUILD_TREE is the CMake build folder of the executable under test (`make build`'s).
"""

import gzip
import os
import re
import subprocess
import sys
import tempfile
import unittest

from harness import HarnessError, XSession, arguments, run_tests
from readonly_install_test import make_unwritable
from taskwick_app import Taskwick

CPACK = None
BUILD_TREE = None
VERSION = "1.2"
LIST_FILE = "ToDoList.xml"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
PROGRAM = "usr/lib/taskwick/taskwick"
CONTENTS = {
    PROGRAM, "usr/bin/taskwick", "usr/share/applications/taskwick.desktop",
    "usr/share/icons/hicolor/scalable/apps/taskwick.svg",
    "usr/share/metainfo/org.taskwick.taskwick.metainfo.xml", "usr/share/man/man1/taskwick.1.gz",
    "usr/share/doc/taskwick/copyright", "usr/share/doc/taskwick/changelog.gz",
    "usr/share/lintian/overrides/taskwick",
} | {f"usr/share/icons/hicolor/{n}x{n}/apps/taskwick.png" for n in SIZES}
# What the executable links, by the packages that hold it.
LINKED = {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6dbus6",
          "libxcb1"}


def run(*argv, env=None, timeout=300):
    return subprocess.run(list(argv), capture_output=True, text=True, timeout=timeout, env=env)


class PackageTest(unittest.TestCase):
    """One package for all cases: making it and lintian take the most time."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="taskwick-package-")
        os.chmod(cls.tmp.name, 0o755)
        out = os.path.join(cls.tmp.name, "out")
        made = run(CPACK, "-G", "DEB", "--config", os.path.join(BUILD_TREE, "CPackConfig.cmake"),
                   "-B", out)
        if made.returncode != 0:
            raise HarnessError(f"cpack failed:\n{made.stdout}{made.stderr}")
        arch = run("dpkg", "--print-architecture").stdout.strip()
        cls.deb = os.path.join(out, f"taskwick_{VERSION}_{arch}.deb")
        if not os.path.isfile(cls.deb):
            raise HarnessError(f"no {os.path.basename(cls.deb)} in {os.listdir(out)}")
        cls.root = os.path.join(cls.tmp.name, "root")
        unpacked = run("dpkg-deb", "-x", cls.deb, cls.root)
        if unpacked.returncode != 0:
            raise HarnessError(f"dpkg-deb -x failed: {unpacked.stderr}")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def field(self, name):
        return run("dpkg-deb", "--field", self.deb, name).stdout.strip()

    def test_contents_areTheProgramItsDesktopFilesAndDocuments_ownedByRoot(self):
        listing = run("dpkg-deb", "--contents", self.deb)
        self.assertEqual(listing.returncode, 0, listing.stderr)
        files, owners = set(), set()
        for line in listing.stdout.splitlines():
            fields = line.split()
            owners.add(fields[1])
            path = fields[5][2:]  # "./usr/..."
            if not path.endswith("/"):
                files.add(path)
        self.assertEqual(files, CONTENTS)
        self.assertEqual(owners, {"root/root"})
        self.assertIn("-> ../lib/taskwick/taskwick", listing.stdout)
        self.assertRegex(listing.stdout, r"-rwxr-xr-x root/root +\d+ \S+ \S+ \./" + PROGRAM)
        # Stripped, as every Debian binary is: a tenth of the build's executable or less.
        self.assertLess(os.path.getsize(os.path.join(self.root, PROGRAM)),
                        os.path.getsize(os.path.join(BUILD_TREE, "taskwick")) // 10)
        with gzip.open(os.path.join(self.root, "usr/share/man/man1/taskwick.1.gz"), "rt") as page:
            self.assertIn(f'"Taskwick {VERSION}"', page.readline())

    def test_control_namesVersionAndTheLibrariesTheProgramLinks(self):
        self.assertEqual(self.field("Package"), "taskwick")
        self.assertEqual(self.field("Version"), VERSION)
        depends = {entry.split()[0] for entry in self.field("Depends").split(", ")}
        self.assertEqual(depends - {"libgcc-s1"}, LINKED)
        self.assertEqual(self.field("Recommends"), "fonts-wine")
        self.assertTrue(self.field("Description").startswith("small to-do list"))

    def test_lintianAppstreamAndDesktopValidator_findNoFault(self):
        lintian = run("lintian", "--fail-on", "error,warning", self.deb)
        faults = [line for line in lintian.stdout.splitlines() if re.match(r"[EW]: ", line)]
        self.assertEqual((lintian.returncode, faults), (0, []), lintian.stdout + lintian.stderr)
        # The metadata on its own, then with the entry and the icons it names.
        metainfo = os.path.join(self.root, "usr/share/metainfo/org.taskwick.taskwick.metainfo.xml")
        for argv in (["appstreamcli", "validate", "--no-net", "--pedantic", metainfo],
                     ["appstreamcli", "validate-tree", "--no-net", self.root],
                     ["desktop-file-validate",
                      os.path.join(self.root, "usr/share/applications/taskwick.desktop")]):
            result = run(*argv)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_commandLine_answersWithoutADisplay(self):
        env = {key: value for key, value in os.environ.items()
               if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        program = os.path.join(self.root, "usr/bin/taskwick")
        version = run(program, "--version", env=env, timeout=30)
        self.assertEqual((version.returncode, version.stdout, version.stderr),
                         (0, f"Taskwick {VERSION}\n", ""))
        usage = run(program, "--help", env=env, timeout=30)
        self.assertEqual(usage.returncode, 0)
        self.assertTrue(usage.stdout.startswith("Usage: taskwick [-m]"), usage.stdout)
        alone = run(program, env=env, timeout=30)
        self.assertEqual(alone.returncode, 1)
        self.assertEqual(len(alone.stderr.splitlines()), 1, alone.stderr)
        self.assertIn("DISPLAY", alone.stderr)

    def test_unpackedProgram_startsUnderXvfb_andSavesIntoTheDataFolder(self):
        folder = os.path.join(self.root, "usr/lib/taskwick")
        make_unwritable(self, folder)
        with XSession(window_manager=True) as session:
            data_list = os.path.join(session.data_dir, "taskwick", LIST_FILE)
            app = Taskwick(session, os.path.join(self.root, "usr/bin/taskwick"), self.tmp.name)
            app.answer_box(app.wait_box("Notice"))
            app.wait_main_window()
            self.assertEqual(os.readlink(f"/proc/{app.proc.pid}/exe"),
                             os.path.join(self.root, PROGRAM))
            self.assertEqual(app.terminate(), 0)
            with open(data_list, "rb") as file:
                self.assertIn(b"<ToDoContent>", file.read())
        self.assertEqual(os.listdir(folder), ["taskwick"])


if __name__ == "__main__":
    ARGUMENTS = arguments("cpack", "build_tree")
    CPACK, BUILD_TREE = ARGUMENTS.cpack, ARGUMENTS.build_tree
    if not os.path.isfile(os.path.join(BUILD_TREE, "CPackConfig.cmake")):
        sys.exit(f"{BUILD_TREE} is not a configured CMake tree of taskwick")
    run_tests(ARGUMENTS)
