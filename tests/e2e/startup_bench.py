"""Start-up of taskwick on a large task list against its first run.

Usage: startup_bench.py TASKWICK MAP_TIMER [--runs N] [--size N]
On a private Xvfb without a window manager, measures launch to main window mapped
(e2e_map_timer) for two starts, taken in turns so that the machine's load hits both alike:
- loaded: ToDoList.xml holds a SIZE x SIZE table (default 100) of mixed texts: ASCII,
  umlauts, emoji, ampersands and angle brackets;
- first run: no ToDoList.xml (removed before every run, since each run saves one on SIGTERM).
Prints the medians and their ratio. Before timing, one start on the generated file checks
that the program saves it back unchanged but for the fitted second column, so the timed
starts read a file the program takes as its own.
"""

import argparse
import os
import statistics
import sys
import tempfile

from harness import XSession, copy_binary

CLASS = "TToDoForm"
COLUMN_WIDTH = 60


def escape(value):
    """A value as the program writes it: ASCII only, one reference per UTF-16 code unit."""
    named = {'"': "&quot;", "&": "&amp;", "'": "&apos;", "<": "&lt;", ">": "&gt;"}
    out = []
    units = value.encode("utf-16-le")
    for i in range(0, len(units), 2):
        unit = units[i] | (units[i + 1] << 8)
        char = chr(unit) if unit < 0xD800 or unit > 0xDFFF else None
        if char in named:
            out.append(named[char])
        elif unit in (9, 10, 13) or 32 <= unit <= 127:
            out.append(char)
        elif unit <= 255:
            out.append(f"&#x{unit:02X};")
        else:
            out.append(f"&#x{unit:04X};")
    return "".join(out)


def cell_text(col, row):
    kinds = (
        f"Task {row}/{col}",
        f"Gr\u00fc\u00dfe an M\u00fcller {row}",
        f"\U0001F600 party \U0001F680 {col}",
        f"Salt & pepper <{row}> x",
        f"Plain text cell number {row * 100 + col}",
    )
    return kinds[(row + col) % len(kinds)]


def task_list(size, column_one_width=COLUMN_WIDTH):
    """The bytes of a ToDoList.xml with a size x size table, in the program's own format."""
    lines = ['<?xml version="1.0" encoding="utf-8" standalone="no"?>', "<ToDoList>"]

    def leaf(depth, name, value):
        pad = "  " * depth
        lines.append(f"{pad}<{name}>{escape(value)}</{name}>" if value else f"{pad}<{name}/>")

    lines.append("  <WindowPosition>")
    for name, value in (("Left", 1510), ("Top", 434), ("Width", 370), ("Height", 211)):
        leaf(2, name, str(value))
    lines.append("  </WindowPosition>")
    lines.append("  <ColumnInfo>")
    leaf(2, "RowCount", str(size))
    leaf(2, "ColumnCount", str(size))
    leaf(2, "HeaderTextBold", "FALSE")
    leaf(2, "DrawGridLines", "TRUE")
    lines.append("  </ColumnInfo>")
    lines.append("  <Skin>")
    leaf(2, "SkinName", "No Skin")
    leaf(2, "SkinPath", "")
    lines.append("  </Skin>")
    lines.append("  <ColumnHeader>")
    for col in range(size):
        lines.append("    <Column>")
        leaf(3, "ColumnCaption", f"Column {col} & <more>")
        leaf(3, "ColumnWidth", str(column_one_width if col == 1 else COLUMN_WIDTH))
        leaf(3, "ColumnAlignment", ("LEFT", "CENTER", "RIGHT")[col % 3])
        lines.append("    </Column>")
    lines.append("  </ColumnHeader>")
    lines.append("  <ToDoContent>")
    for row in range(1, size + 1):
        lines.append("    <Column>")
        for col in range(size):
            leaf(3, "Text", cell_text(col, row))
        lines.append("    </Column>")
    lines.append("  </ToDoContent>")
    lines.append("</ToDoList>")
    return b"\xef\xbb\xbf" + "".join(line + "\r\n" for line in lines).encode("ascii")


def fitted_column_one(size, table_width=310):
    """Width the layout gives column 1: what is left of the table after the other columns,
    one grid line per column and the border, but at least 20."""
    return max(20, table_width - size - 2 - COLUMN_WIDTH * (size - 1))


def timed_start(session, timer, taskwick, folder):
    result = session.run([timer, "--class", CLASS, taskwick], cwd=folder, timeout=60)
    if result.returncode != 0:
        raise SystemExit(f"taskwick: {result.stderr.strip() or 'no window'}")
    return float(result.stdout.strip())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("taskwick")
    parser.add_argument("map_timer")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--size", type=int, default=100)
    args = parser.parse_args()

    content = task_list(args.size)
    with XSession() as session, tempfile.TemporaryDirectory(prefix="taskwick-bench-") as folder:
        taskwick = copy_binary(os.path.abspath(args.taskwick), folder)
        timer = os.path.abspath(args.map_timer)
        list_path = os.path.join(folder, "ToDoList.xml")

        def loaded():
            with open(list_path, "wb") as file:
                file.write(content)
            return timed_start(session, timer, taskwick, folder)

        def first_run():
            if os.path.exists(list_path):
                os.remove(list_path)
            return timed_start(session, timer, taskwick, folder)

        # Warm-up of both, and the check that the generated file is the program's format.
        loaded()
        with open(list_path, "rb") as file:
            saved = file.read()
        if saved != task_list(args.size, fitted_column_one(args.size)):
            raise SystemExit("the program did not save the generated list back unchanged")
        first_run()

        loaded_times, first_times = [], []
        for _ in range(args.runs):
            loaded_times.append(loaded())
            first_times.append(first_run())

    loaded_median = statistics.median(loaded_times)
    first_median = statistics.median(first_times)
    rows = (
        ("runs per start", f"{args.runs}"),
        ("file", f"{len(content)} bytes, {args.size} x {args.size} table"),
        ("large list (median)", f"{loaded_median:.1f} ms  "
                                f"(min {min(loaded_times):.1f}, max {max(loaded_times):.1f})"),
        ("first run, no file (median)", f"{first_median:.1f} ms  "
                                        f"(min {min(first_times):.1f}, max {max(first_times):.1f})"),
        ("ratio large list / first run", f"{loaded_median / first_median:.2f}"),
    )
    for label, value in rows:
        print(f"{label + ':':30} {value}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
