#!/usr/bin/env python3
"""Checks that the program's folders include each other in one direction only.

The layers, bottom first. A file may include its own folder and any folder of a lower rank; a
portable file (not under win32/) never includes a win32/ header or <windows.h>. Tests, tools,
benchmarks and fuzzers may include anything. Run by the build and by ./test.sh; exits 1 on a
wrong-way include or a folder-level cycle, naming each.
"""
import os
import re
import sys

LAYERS = [
    ["common", "res"],  # basics, resource ids
    ["export/codec"],  # the PNG, animated PNG and GIF encoders: on common/ alone
    ["hook"],  # the hook library: it takes header-only handle owners from common/ and links nothing of it
    ["state"],  # process-wide records
    ["output"],  # offset tables, patcher, bitmap files
    ["export/take"],  # what was recorded and how it was edited, read and checked; reads output's formats
    ["export/render"],  # the stage, the pointer and the captions drawn from the take
    # Folders of one rank never include each other.
    ["capture", "popup", "export"],  # sessions, window capture | the frame popup | the animation and the page
    ["app"],  # start-up, the main dialog
]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
# Folders that exist only for Windows, like every win32/ subfolder.
WINDOWS_ONLY = {"hook", "res"}
INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^>"]+)[>"]', re.M)


def folder_of(path):
    """The layer a file belongs to: its sub-layer where its folder has them ("export/take")."""
    parts = path.split("/")
    if len(parts) > 2 and "/".join(parts[:2]) in RANK:
        return "/".join(parts[:2])
    return parts[0] if len(parts) > 1 and parts[0] in RANK else None


def node(path):
    """The layer a file belongs to, with its win32/ part kept apart: "capture/win32"."""
    folder = folder_of(path)
    if folder is None:
        return None
    return folder + ("/win32" if "win32" in path.split("/")[1:-1] else "")


def sources(root):
    for folder in RANK:
        if "/" in folder:
            continue  # walked with its top folder
        for directory, _, names in os.walk(os.path.join(root, folder)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    problems = []
    edges = {}
    for path in sorted(sources(root)):
        source = node(path)
        folder = folder_of(path)
        portable = not source.endswith("/win32") and folder not in WINDOWS_ONLY
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for kind, target in INCLUDE.findall(text):
            if kind == "<":
                if portable and target.lower() == "windows.h":
                    problems.append(f"{path}: the portable core includes <windows.h>")
                continue
            included = node(target)
            if included is None:
                continue  # a file of the same folder, named without its path
            if portable and (included.endswith("/win32") or included.split("/")[0] in WINDOWS_ONLY):
                problems.append(f"{path}: the portable core includes {target}")
            target_folder = folder_of(target)
            if target_folder != folder and RANK[target_folder] >= RANK[folder]:
                problems.append(f"{path}: {folder}/ may not include {target} ({target_folder}/ is not below it)")
            if included != source:
                edges.setdefault(source, set()).add(included)

    def reaches(start, goal):
        seen, todo = set(), [start]
        while todo:
            for nxt in edges.get(todo.pop(), ()):
                if nxt == goal:
                    return True
                if nxt not in seen:
                    seen.add(nxt)
                    todo.append(nxt)
        return False

    cycles = sorted({tuple(sorted((a, b))) for a in edges for b in edges[a] if reaches(b, a)})
    problems += [f"folders include each other: {a} <-> {b}" for a, b in cycles]
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
