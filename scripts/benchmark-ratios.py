"""Prints the table of ratios from the results folder of scripts/run-benchmarks.sh."""

import json
import os
import re
import sys

folder = sys.argv[1]


def times(name):
    with open(os.path.join(folder, name)) as file:
        runs = json.load(file)["benchmarks"]
    return {run["name"]: run["real_time"] for run in runs
            if run.get("run_type", "iteration") == "iteration" and "error_occurred" not in run}


def show(label, value, goal=""):
    text = f"{value:6.2f}" if value is not None else "   n/a"
    print(f"{label:58} {text}  {goal}")


def ratio(table, ours, theirs):
    if ours in table and theirs in table and table[theirs] > 0:
        return table[ours] / table[theirs]
    return None


def found(name, pattern):
    with open(os.path.join(folder, name)) as file:
        match = re.search(pattern, file.read(), re.MULTILINE)
    return float(match.group(1)) if match else None


storage = times("storage.json")
show("reader / libxml2 tree parser, 100 x 100",
     ratio(storage, "BM_Read/emoji:0", "BM_Libxml2Read/emoji:0"))
show("writer / reader, 100 x 100", ratio(storage, "BM_Write/emoji:0", "BM_Read/emoji:0"))
show("save / bare durable replace in C (alternating)",
     found("save.txt", r"^save / bare durable replace, alternating: ([0-9.]+)x"), "goal 1.5")
grid = times("grid.json")
show("grid / QTableWidget, repaint of the whole 100 x 100",
     ratio(grid, "BM_TaskGridRepaint/0", "BM_QTableWidgetRepaint/0"))
show("grid / QTableWidget, keystroke in the editor",
     ratio(grid, "BM_TaskGridKeystroke", "BM_QTableWidgetKeystroke"))
show("fold, click to bar / nominal 17 x 10 ms", found("fold.txt", r"^ratio[^:]*:\s*([0-9.]+)"),
     "goal 1.2")
show("worst GUI stall, automatic saves / none",
     found("autosave.txt", r"^ratio[^:]*:\s*([0-9.]+)"))
history = times("history.json")
show("undo of deleting a column / deleting it, 100 x 100",
     ratio(history, "BM_UndoDeleteColumn", "BM_DeleteColumn"), "goal 1.0")
show("deleting a column, recorded for undo / not recorded",
     ratio(history, "BM_DeleteColumn", "BM_DeleteColumnWithoutHistory"))
show("worst stall per keystroke, 1 MB cell / 1 kB cell",
     found("cell.txt", r"^ratio worst stall per keystroke, 1 MB[^:]*:\s*([0-9.]+)"))
show("worst stall while the cursor blinks, 1 MB cell / 1 kB cell",
     found("cell.txt", r"^ratio worst stall while the cursor blinks, 1 MB[^:]*:\s*([0-9.]+)"))
show("worst stall, 20 MB pasted into the open editor / the cell",
     found("paste.txt", r"^ratio worst stall, paste of 20 MB[^:]*:\s*([0-9.]+)"))
for label, key, goal in (
        ("start-up, first run / bare Qt window", r"first run / bare Qt window", "goal 1.25"),
        ("start-up, first run / Qt table + tray", r"first run / Qt table \+ tray", "goal 1.0"),
        ("start-up, 100 x 100 list / Qt table + tray 100 x 100",
         r"100 x 100 list / Qt table \+ tray 100 x 100", "goal 1.2"),
        ("resident memory, first run / Qt table + tray",
         r"memory, first run / Qt table \+ tray", "goal 1.2")):
    show(label, found("startup.txt", rf"^ratio {key}: ([0-9.]+)"), goal)
