"""A list at 1k, 10k, 100k and 1M cells: taskwick against a plain Qt program (plain_table)
on the same list, started in turns on one Xvfb without a window manager, measured from
outside by window_probe. Prints a table of medians with the ratios and the machine's load.

Usage: compare_at_scale.py TASKWICK PLAIN_TABLE WINDOW_PROBE [--runs N] [--sizes 1000,...]
"""

import argparse
import os
import shutil
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import XSession, copy_binary  # noqa: E402

CLASS = "TToDoForm"
COLUMNS = 10
FIGURES = [
    ("start_ms", "start to window mapped (ms)"),
    ("rss_start", "memory after start (MiB)"),
    ("peak_start", "peak memory by then (MiB)"),
    ("key_median", "key to repaint, typing a word: median (ms)"),
    ("key_worst", "key to repaint: worst (ms)"),
    ("page_ms", "longest freeze while paging and after it (ms)"),
    ("save_ms", "longest freeze in the 4 s after an edit (ms)"),
    ("other_ms", "longest freeze in the 5 s after another program replaced the list (ms)"),
    ("close_ms", "unchanged close until the process is gone (ms)"),
    ("rss_end", "memory at the session's end (MiB)"),
    ("peak", "peak memory over the session (MiB)"),
]


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def cell_text(col, row):
    kinds = (
        f"Task {row}/{col}: call the plumber about the sink",
        f"Gr\u00fc\u00dfe an M\u00fcller {row}, bring the Stra\u00dfenkarte",
        f"\U0001F600 party on Friday \U0001F680 room {col}, snacks",
        f"Salt & pepper <{row}> x, and the olive oil too",
        f"Plain text cell number {row * 100 + col} of the list",
    )
    return kinds[(row + col) % len(kinds)]


def task_list(cells):
    """A list of `cells` cells (the caption row included) in ten columns, as the program
    writes it."""
    rows = cells // COLUMNS - 1
    out = ['<?xml version="1.0" encoding="utf-8" standalone="no"?>', "<ToDoList>",
           "  <WindowPosition>", "    <Left>0</Left>", "    <Top>0</Top>",
           "    <Width>800</Width>", "    <Height>600</Height>", "  </WindowPosition>",
           "  <ColumnInfo>", f"    <RowCount>{rows}</RowCount>",
           f"    <ColumnCount>{COLUMNS}</ColumnCount>", "    <HeaderTextBold>FALSE</HeaderTextBold>",
           "    <DrawGridLines>TRUE</DrawGridLines>", "  </ColumnInfo>",
           "  <Skin>", "    <SkinName>No Skin</SkinName>", "    <SkinPath/>", "  </Skin>",
           "  <ColumnHeader>"]
    for col in range(COLUMNS):
        out += ["    <Column>", f"      <ColumnCaption>Column {col}</ColumnCaption>",
                "      <ColumnWidth>80</ColumnWidth>", "      <ColumnAlignment>LEFT</ColumnAlignment>",
                "    </Column>"]
    out.append("  </ColumnHeader>")
    out.append("  <ToDoContent>")
    for row in range(1, rows + 1):
        out.append("    <Column>")
        for col in range(COLUMNS):
            out.append(f"      <Text>{escape(cell_text(col, row))}</Text>")
        out.append("    </Column>")
    out += ["  </ToDoContent>", "</ToDoList>"]
    return b"\xef\xbb\xbf" + "".join(line + "\r\n" for line in out).encode("utf-8")


def run_once(session, probe, argv, folder, content):
    # Every start is a first start on this list: no state kept from the run before, no copy
    # beside the list.
    for kept in (session.state_dir, session.data_dir):
        shutil.rmtree(kept, ignore_errors=True)
    for name in os.listdir(folder):
        if name != os.path.basename(argv[-1]):
            path = os.path.join(folder, name)
            shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
    with open(os.path.join(folder, "ToDoList.xml"), "wb") as file:
        file.write(content)
    result = session.run([probe] + argv, cwd=folder, timeout=600)
    if result.returncode != 0:
        raise SystemExit(f"{argv}: {result.stderr.strip() or 'failed'}")
    words = result.stdout.split()
    return {words[i]: float(words[i + 1]) for i in range(0, len(words), 2)}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("taskwick")
    parser.add_argument("plain")
    parser.add_argument("probe")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--sizes", default="1000,10000,100000,1000000")
    args = parser.parse_args()
    probe = os.path.abspath(args.probe)
    sizes = [int(s) for s in args.sizes.split(",")]
    load_before = os.getloadavg()[0]
    with XSession() as session, tempfile.TemporaryDirectory(prefix="taskwick-scale-") as root:
        programs = {}
        for name, binary, extra in (("taskwick", args.taskwick, ["--class", CLASS]),
                                    ("plain Qt", args.plain, [])):
            folder = os.path.join(root, name.replace(" ", "_"))
            os.mkdir(folder)
            programs[name] = (extra + [copy_binary(os.path.abspath(binary), folder)], folder)
        for cells in sizes:
            content = task_list(cells)
            results = {name: [] for name in programs}
            for _ in range(args.runs):
                for name, (argv, folder) in programs.items():  # in turns
                    results[name].append(run_once(session, probe, argv, folder, content))
            print(f"\n{cells:,} cells ({len(content) / 1e6:.1f} MB), medians of {args.runs} runs")
            print(f"| figure | taskwick | plain Qt | ratio |")
            print("|---|---|---|---|")
            for key, label in FIGURES:
                ours = statistics.median(r[key] for r in results["taskwick"])
                plain = statistics.median(r[key] for r in results["plain Qt"])
                ratio = f"{ours / plain:.2f}" if plain > 0 else "-"
                print(f"| {label} | {ours:.1f} | {plain:.1f} | {ratio} |")
            sys.stdout.flush()
    print(f"\nload average {load_before:.2f} before, {os.getloadavg()[0]:.2f} after; "
          f"{os.cpu_count()} cores")


if __name__ == "__main__":
    main()
