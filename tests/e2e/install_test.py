"""The installed program: `cmake --install BUILD_TREE --prefix <temporary>` lays out the
program folder, the bin/ launcher, the desktop entry, the icons, the AppStream metadata and
the manual page; the entry passes desktop-file-validate and names the installed executable;
the installed program, started through the launcher under Xvfb, keeps its list beside the
real executable; and when the user may not write to the program folder, the list lives in
the user's data folder.

Usage: install_test.py CMAKE BUILD_TREE [unittest options]
BUILD_TREE is the CMake build folder of the executable under test (it holds `taskwick` and
cmake_install.cmake). Installing writes that folder's install_manifest.txt, as any install
from it does.
"""

import os
import re
import pwd
import shutil
import signal
import stat
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

import harness
from harness import HarnessError, XSession, arguments, run_tests, wait_until

CMAKE = None
BUILD_TREE = None
SOURCE = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
MAIN_CLASS = "TToDoForm"
LIST_FILE = "ToDoList.xml"

PROGRAM = "lib/taskwick/taskwick"
LAUNCHER = "bin/taskwick"
ENTRY = "share/applications/taskwick.desktop"
ICON = "share/icons/hicolor/{0}x{0}/apps/taskwick.png"
SCALABLE = "share/icons/hicolor/scalable/apps/taskwick.svg"
METAINFO = "share/metainfo/org.taskwick.taskwick.metainfo.xml"
MANUAL = "share/man/man1/taskwick.1.gz"
INSTALLED = {PROGRAM, LAUNCHER, ENTRY, SCALABLE, METAINFO, MANUAL} | \
    {ICON.format(size) for size in SIZES}

# Characters that the Exec key reserves: an argument holding one must be quoted.
EXEC_RESERVED = set(" \t\n\"'\\><~|&;$*?#()`")
# A prefix that needs every kind of escape in the entry's Exec line. (CMake installs to
# neither a backslash nor, in its manifest, a semicolon.)
AWKWARD_PREFIX = "pre fix & 100% $HOME \"q\" `b` 'a' (x)"


# --- reading a desktop entry ----------------------------------------------------------------


def read_entry(path):
    """{group: {key: raw value}} of a desktop entry."""
    groups, group = {}, None
    with open(path, encoding="utf-8") as file:
        for line in file.read().splitlines():
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("[") and line.endswith("]"):
                group = groups.setdefault(line[1:-1], {})
                continue
            key, value = line.split("=", 1)
            group[key.strip()] = value.lstrip()
    return groups


def string_value(raw):
    """A string value with its escapes (\\s \\n \\t \\r \\\\) undone; any other escape is an
    error in the file."""
    escapes = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}
    out, i = [], 0
    while i < len(raw):
        if raw[i] == "\\":
            if i + 1 >= len(raw) or raw[i + 1] not in escapes:
                raise ValueError(f"undefined escape in {raw!r}")
            out.append(escapes[raw[i + 1]])
            i += 2
        else:
            out.append(raw[i])
            i += 1
    return "".join(out)


def exec_arguments(raw):
    """The argument vector of an Exec value, read as a desktop reads it: the string escapes,
    then the quoting rules, then %% for a literal %. Raises on anything the key forbids."""
    text = string_value(raw)
    arguments, current, quoted, started, i = [], [], False, False, 0
    while i < len(text):
        c = text[i]
        if quoted:
            if c == "\\":
                if i + 1 >= len(text) or text[i + 1] not in "\"`$\\":
                    raise ValueError(f"undefined escape inside quotes in {text!r}")
                current.append(text[i + 1])
                i += 2
                continue
            if c == '"':
                quoted = False
            else:
                current.append(c)
        elif c == '"':
            if started:
                raise ValueError(f"a quote inside an argument in {text!r}")
            quoted = started = True
        elif c == " ":
            if started:
                arguments.append("".join(current))
                current, started = [], False
        elif c in EXEC_RESERVED:
            raise ValueError(f"reserved {c!r} outside quotes in {text!r}")
        else:
            current.append(c)
            started = True
        i += 1
    if quoted:
        raise ValueError(f"unterminated quote in {text!r}")
    if started:
        arguments.append("".join(current))

    def field_codes(argument):
        parts = argument.split("%%")
        if any("%" in part for part in parts):
            raise ValueError(f"a field code in {argument!r}")
        return "%".join(parts)

    return [field_codes(argument) for argument in arguments]


# --- reading a PNG ----------------------------------------------------------------------------


def read_png(path):
    """(width, height, image data) of a PNG: the data as stored, filter bytes included, which
    is what render-icons.py writes and so what a fresh render must match."""
    with open(path, "rb") as file:
        data = file.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG")
    pos, size, compressed = 8, None, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos : pos + 8])
        if kind == b"IHDR":
            size = struct.unpack(">II", data[pos + 8 : pos + 16])
        elif kind == b"IDAT":
            compressed += data[pos + 8 : pos + 8 + length]
        pos += 12 + length
    return (*size, zlib.decompress(compressed))


# --- installing -------------------------------------------------------------------------------


def install(prefix):
    result = subprocess.run([CMAKE, "--install", BUILD_TREE, "--prefix", prefix],
                            capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise HarnessError(f"cmake --install failed:\n{result.stdout}{result.stderr}")
    return result


def installed_files(prefix):
    """Every file and link below prefix, relative to it."""
    found = set()
    for folder, _, files in os.walk(prefix):
        for name in files:
            found.add(os.path.relpath(os.path.join(folder, name), prefix))
    return found


class InstallTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="taskwick-install-")
        self.addCleanup(self.tmp.cleanup)

    def prefix(self, name):
        return os.path.join(self.tmp.name, name)

    def test_install_laysOutProgramFolderLauncherEntryAndIconsAndListsThemInTheManifest(self):
        prefix = self.prefix(AWKWARD_PREFIX)
        install(prefix)
        self.assertEqual(installed_files(prefix), INSTALLED)

        program = os.path.join(prefix, PROGRAM)
        mode = os.lstat(program).st_mode
        self.assertTrue(stat.S_ISREG(mode) and mode & stat.S_IXUSR)
        with open(program, "rb") as installed, open(os.path.join(BUILD_TREE, "taskwick"),
                                                      "rb") as built:
            self.assertTrue(installed.read() == built.read(), "the installed executable differs")

        # A relative link, so that it points right inside a DESTDIR staging tree too.
        launcher = os.path.join(prefix, LAUNCHER)
        self.assertTrue(os.path.islink(launcher))
        self.assertFalse(os.path.isabs(os.readlink(launcher)))
        self.assertEqual(os.path.realpath(launcher), os.path.realpath(program))

        with open(os.path.join(SOURCE, "resources", "app", "taskwick.svg"), "rb") as source, \
                open(os.path.join(prefix, SCALABLE), "rb") as svg:
            self.assertEqual(svg.read(), source.read())
        for size in SIZES:
            width, height, _ = read_png(os.path.join(prefix, ICON.format(size)))
            self.assertEqual((width, height), (size, size), f"the {size}x{size} icon")

        with open(os.path.join(BUILD_TREE, "install_manifest.txt"), encoding="utf-8") as file:
            manifest = set(file.read().splitlines())
        self.assertEqual(manifest, {os.path.join(prefix, name) for name in INSTALLED})

    def test_entry_passesValidatorAndItsExecLinesStartTheInstalledExecutable(self):
        if shutil.which("desktop-file-validate") is None:
            raise HarnessError("desktop-file-validate is not installed (desktop-file-utils)")
        prefix = self.prefix(AWKWARD_PREFIX)
        install(prefix)
        entry_path = os.path.join(prefix, ENTRY)
        result = subprocess.run(["desktop-file-validate", entry_path], capture_output=True,
                                text=True, timeout=30)
        # No error, no warning and no hint either.
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))

        program = os.path.join(prefix, PROGRAM)
        entry = read_entry(entry_path)
        main = entry["Desktop Entry"]
        self.assertEqual(exec_arguments(main["Exec"]), [program])
        self.assertTrue(os.access(exec_arguments(main["Exec"])[0], os.X_OK))
        self.assertEqual(string_value(main["TryExec"]), program)
        self.assertEqual(main["Actions"], "start-hidden;")
        self.assertEqual(exec_arguments(entry["Desktop Action start-hidden"]["Exec"]),
                         [program, "-m"])

        self.assertEqual((main["Type"], main["Name"], main["Terminal"], main["StartupNotify"]),
                         ("Application", "Taskwick", "false", "false"))
        self.assertNotEqual(main["Comment[de]"], main["Comment"])
        self.assertIn("Office", main["Categories"].split(";"))
        # The class the program gives its window, so a desktop can tie the window to the entry.
        self.assertEqual(main["StartupWMClass"], MAIN_CLASS)
        # The icon name is what the hicolor theme holds.
        self.assertTrue(os.path.isfile(os.path.join(prefix, ICON.format(48).replace(
            "taskwick.png", main["Icon"] + ".png"))))

    def test_reinstall_keepsTheListBesideTheExecutableAndTheLauncher(self):
        prefix = self.prefix("again")
        install(prefix)
        list_path = os.path.join(prefix, "lib", "taskwick", LIST_FILE)
        content = b"<?xml version=\"1.0\"?>\n<TaskwickList/>\n"
        with open(list_path, "wb") as file:
            file.write(content)
        install(prefix)
        with open(list_path, "rb") as file:
            self.assertEqual(file.read(), content)
        self.assertEqual(os.path.realpath(os.path.join(prefix, LAUNCHER)),
                         os.path.realpath(os.path.join(prefix, PROGRAM)))
        self.assertEqual(installed_files(prefix), INSTALLED | {"lib/taskwick/" + LIST_FILE})

    def test_icons_areTheRendersOfTheSvgThatTheScriptMakesNow(self):
        # A changed SVG or drawing script without new renders shows here.
        out = self.prefix("renders")
        subprocess.run([sys.executable, os.path.join(SOURCE, "packaging", "icons",
                                                     "render-icons.py"), out],
                       check=True, timeout=300)
        prefix = self.prefix("icons")
        install(prefix)
        for size in SIZES:
            with self.subTest(size=size):
                rendered = read_png(os.path.join(out, f"{size}x{size}", "taskwick.png"))
                installed = read_png(os.path.join(prefix, ICON.format(size)))
                self.assertEqual(installed, rendered)


class InstalledProgramTest(unittest.TestCase):
    """The installed program under Xvfb and openbox."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="taskwick-installed-")
        self.addCleanup(self.tmp.cleanup)
        # Readable for every user: the test as root runs the program as another one.
        os.chmod(self.tmp.name, 0o755)
        self.prefix = os.path.join(self.tmp.name, "my programs")
        install(self.prefix)
        self.folder = os.path.join(self.prefix, "lib", "taskwick")
        self.session = XSession(window_manager=True).__enter__()
        self.addCleanup(self.session.close)

    def start(self, argv, cwd, env=None, stderr=None):
        """Starts argv in the session; the session stops it by its id if the test does not."""
        environment = dict(self.session.env if env is None else env)
        environment["QT_ACCESSIBILITY"] = "0"
        proc = subprocess.Popen(argv, cwd=cwd, env=environment, stderr=stderr,
                                preexec_fn=harness._end_with_harness)
        self.session.started.append(proc)
        return proc

    def main_window_viewable(self, proc):
        def find():
            if proc.poll() is not None:
                raise HarnessError(f"taskwick ended early with {proc.returncode}")
            found = self.session.windows_of_class(MAIN_CLASS, pid=proc.pid)
            return found[0] if found and self.session.is_viewable(found[0]) else None
        return wait_until(find, 20, what="the main window mapped")

    def test_startedThroughLauncherAndEntry_keepsListBesideTheRealExecutable(self):
        elsewhere = os.path.join(self.tmp.name, "elsewhere")
        os.mkdir(elsewhere)
        proc = self.start([os.path.join(self.prefix, LAUNCHER)], cwd=elsewhere)
        self.main_window_viewable(proc)
        self.assertEqual(os.readlink(f"/proc/{proc.pid}/exe"),
                         os.path.join(self.prefix, PROGRAM))
        proc.send_signal(signal.SIGTERM)
        self.assertEqual(proc.wait(15), 0)
        self.assertTrue(os.path.isfile(os.path.join(self.folder, LIST_FILE)))
        self.assertEqual(os.listdir(elsewhere), [])
        self.assertEqual(sorted(os.listdir(os.path.join(self.prefix, "bin"))), ["taskwick"])

        # The entry's action, started as a desktop starts it: "-m" with no tray makes the
        # bar. It reads and saves the same list, and nothing lands anywhere else.
        entry = read_entry(os.path.join(self.prefix, ENTRY))
        proc = self.start(exec_arguments(entry["Desktop Action start-hidden"]["Exec"]),
                          cwd=elsewhere)
        self.main_window_viewable(proc)
        self.assertEqual(os.readlink(f"/proc/{proc.pid}/exe"),
                         os.path.join(self.prefix, PROGRAM))
        proc.send_signal(signal.SIGTERM)
        self.assertEqual(proc.wait(15), 0)
        # No copy of an unreadable or foreign list either: the same file came back.
        self.assertEqual(sorted(os.listdir(self.folder)), [LIST_FILE, "taskwick"])
        self.assertEqual(os.listdir(elsewhere), [])

    def test_programFolderNotWritable_keepsTheListInTheUsersDataFolder(self):
        elsewhere = os.path.join(self.tmp.name, "elsewhere")
        os.mkdir(elsewhere)
        os.chmod(elsewhere, 0o777)
        home = os.path.join(self.tmp.name, "home")
        os.mkdir(home, 0o700)
        env = dict(self.session.env)
        # The data folder by default: ~/.local/share/taskwick/, made on this first start.
        env.pop("XDG_DATA_HOME")
        env["HOME"] = home
        if os.geteuid() == 0:
            # Permissions do not stop root: the program runs as nobody, whom the folder
            # (root's, 0755) does not let write.
            if shutil.which("setpriv") is None:
                self.skipTest("setpriv (util-linux) is needed to run as another user")
            nobody = pwd.getpwnam("nobody")
            runtime = os.path.join(self.tmp.name, "runtime")
            os.mkdir(runtime, 0o700)
            for folder in (runtime, home):
                os.chown(folder, nobody.pw_uid, nobody.pw_gid)
            env.update(XDG_RUNTIME_DIR=runtime, USER="nobody", LOGNAME="nobody")
            argv = ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}",
                    "--clear-groups", "--", os.path.join(self.prefix, LAUNCHER)]
        else:
            os.chmod(self.folder, 0o555)
            self.addCleanup(os.chmod, self.folder, 0o755)
            argv = [os.path.join(self.prefix, LAUNCHER)]
        proc = self.start(argv, cwd=elsewhere, env=env, stderr=subprocess.PIPE)

        # A first start there says once where the list lives, before the window shows; a
        # signal while the notice is open closes it and saves all the same.
        def notice():
            if proc.poll() is not None:
                raise HarnessError(f"taskwick ended early with {proc.returncode}")
            return self.session.run(["xdotool", "search", "--onlyvisible", "--pid",
                                     str(proc.pid), "--name", "^Notice$"]).stdout.split()
        wait_until(notice, 20, what="the notice of the data folder")
        proc.send_signal(signal.SIGTERM)
        _, log = proc.communicate(timeout=30)
        self.assertEqual(proc.returncode, 0)
        log = log.decode("utf-8", "replace")
        self.assertNotIn("Save Error", log)
        data_list = os.path.join(home, ".local", "share", "taskwick", LIST_FILE)
        with open(data_list, "rb") as file:
            self.assertIn(b"<ToDoContent>", file.read())
        self.assertEqual(stat.S_IMODE(os.stat(os.path.dirname(data_list)).st_mode), 0o700)
        # Nothing was written beside the program, not even a temporary file, and nothing
        # had to be rescued.
        self.assertEqual(os.listdir(self.folder), ["taskwick"])
        self.assertEqual(os.listdir(elsewhere), [])
        self.assertFalse(os.path.exists(self.session.state_dir))


if __name__ == "__main__":
    ARGUMENTS = arguments("cmake", "build_tree")
    CMAKE, BUILD_TREE = ARGUMENTS.cmake, ARGUMENTS.build_tree
    if not all(os.path.isfile(os.path.join(BUILD_TREE, name))
               for name in ("cmake_install.cmake", "taskwick")):
        sys.exit(f"{BUILD_TREE} is not a built CMake tree of taskwick")
    run_tests(ARGUMENTS)
