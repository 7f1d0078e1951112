"""The command line of the real executables, before any display is opened: --help and
--version print and end with 0, an unknown option gets one line and 2, a missing or
unreachable X display one line of the program's own (which variable, how to start one) and 1,
in the language the program was built in. Nothing of the toolkit's own messages shows.

Usage: taskwick_command_line_test.py TASKWICK_BINARY GERMAN_BINARY [unittest options]
"""

import os
import subprocess
import tempfile
import unittest

from harness import arguments, run_tests

ENGLISH = None
GERMAN = None


def environment(**settings):
    """This process's environment without any display, with settings added."""
    env = {key: value for key, value in os.environ.items()
           if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(settings)
    return env


def run(binary, *args, **settings):
    with tempfile.TemporaryDirectory(prefix="taskwick-cli-") as runtime:
        settings.setdefault("XDG_RUNTIME_DIR", runtime)
        result = subprocess.run([binary, *args], env=environment(**settings),
                                capture_output=True, text=True, timeout=60)
    return result.returncode, result.stdout, result.stderr


class CommandLineTest(unittest.TestCase):
    def test_helpAndVersion_printAndEndWithoutADisplay(self):
        code, out, err = run(ENGLISH, "--help")
        self.assertEqual((code, err), (0, ""))
        self.assertTrue(out.startswith("Usage: taskwick [-m] [Qt options]\n"), out)
        self.assertIn("~/.local/share/taskwick/", out)
        self.assertEqual(run(ENGLISH, "-m", "-h")[:2], (0, out))
        self.assertEqual(run(ENGLISH, "--version"), (0, "Taskwick 1.2\n", ""))
        code, out, err = run(GERMAN, "--help")
        self.assertEqual((code, err), (0, ""))
        self.assertTrue(out.startswith("Aufruf: taskwick [-m] [Qt-Optionen]\n"), out)

    def test_unknownOption_oneLineAndExitCode2_beforeTheDisplayIsLookedFor(self):
        self.assertEqual(run(ENGLISH, "-m", "--frobnicate"),
                         (2, "", "taskwick: unknown option '--frobnicate' "
                                 "(taskwick --help lists the options)\n"))
        self.assertEqual(run(GERMAN, "-x"),
                         (2, "", "taskwick: unbekannte Option '-x' "
                                 "(taskwick --help zeigt die Optionen)\n"))

    def test_noDisplay_oneLineOfItsOwn_namingTheVariableAndXvfbRun(self):
        code, out, err = run(ENGLISH)
        self.assertEqual((code, out), (1, ""))
        self.assertEqual(err, "taskwick: no X display: the variable DISPLAY is not set. Start "
                              "taskwick in a desktop session, or under a virtual X server: "
                              "xvfb-run taskwick\n")
        # A display that no X server serves: named, with the variable that named it.
        with tempfile.TemporaryDirectory() as nowhere:
            socket = os.path.join(nowhere, "none")
            code, out, err = run(ENGLISH, DISPLAY=f"unix:{socket}")
            self.assertEqual((code, out, len(err.splitlines())), (1, "", 1), err)
            self.assertIn(f"'unix:{socket}' that DISPLAY names", err)
            code, out, err = run(ENGLISH, "-display", f"unix:{socket}", DISPLAY=":0")
            self.assertEqual((code, len(err.splitlines())), (1, 1), err)
            self.assertIn("that -display names", err)
        code, out, err = run(GERMAN)
        self.assertEqual(code, 1)
        self.assertIn("die Variable DISPLAY ist nicht gesetzt", err)


if __name__ == "__main__":
    ARGUMENTS = arguments("program", "german")
    ENGLISH, GERMAN = ARGUMENTS.program, ARGUMENTS.german
    run_tests(ARGUMENTS)
