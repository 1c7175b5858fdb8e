#!/usr/bin/env python3
"""Checks the includes of src/ against the layer table in src/layers.txt.

Usage: layer_check.py SRC_DIR        checks the tree, prints each include that
                                     breaks the table, exits 1 if there is one
       layer_check.py --self-test    checks the checker on small made-up trees

A file belongs to the first folder of its path under src/ (web/engine/X.cpp is
in web); files at the top of src/ are in ".". An include "folder/File.h" is
allowed from the same folder, from a folder whose line lists it, and between
two folders of one group only from a .cpp file. Includes without a folder
(generated files such as "X.moc") are not checked. The table must have no
cycle and must name every folder of src/.
"""
import os
import re
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def read_table(path):
    allowed, groups = {}, {}
    with open(path, encoding="utf-8") as table:
        for line in table:
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if words[0] == "group":
                for folder in words[2:]:
                    groups[folder] = words[1]
            else:
                allowed[words[0]] = {w for w in words[1:] if w != "-"}
    return allowed, groups


def cycle_in(allowed):
    """A cycle of the table as a list of layers, or None."""
    state = {}

    def visit(layer, path):
        state[layer] = "open"
        for other in sorted(allowed.get(layer, ())):
            if state.get(other) == "open":
                return path[path.index(other):] + [other]
            if other not in state:
                found = visit(other, path + [other])
                if found:
                    return found
        state[layer] = "done"
        return None

    for layer in sorted(allowed):
        if layer not in state:
            found = visit(layer, [layer])
            if found:
                return found
    return None


def problems(src):
    allowed, groups = read_table(os.path.join(src, "layers.txt"))
    found = []
    cycle = cycle_in(allowed)
    if cycle:
        found.append("layers.txt: the table has a cycle: " + " -> ".join(cycle))
    for name in allowed:
        for other in allowed[name]:
            if other not in allowed:
                found.append(f"layers.txt: {name} may include {other}, which has no line")

    def layer_of(folder):
        return groups.get(folder, folder)

    for entry in sorted(os.listdir(src)):
        if os.path.isdir(os.path.join(src, entry)) and layer_of(entry) not in allowed:
            found.append(f"{entry}/: a folder the table does not name")

    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(root, name), src)
            folder = path.split(os.sep)[0] if os.sep in path else "."
            with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
                text = f.read()
            for included in INCLUDE.findall(text):
                if "/" not in included:
                    continue
                target = included.split("/")[0]
                if target == folder:
                    continue
                mine, theirs = layer_of(folder), layer_of(target)
                if mine == theirs and mine != folder:
                    if name.endswith(".cpp"):
                        continue
                    found.append(f"{path}: includes {included}: another folder of {mine}, from a header")
                    continue
                if theirs not in allowed.get(mine, set()):
                    found.append(f"{path}: includes {included}: {mine} may not include {theirs}")
    return found


def self_test():
    table = "a -\nb a\nw a\n. a b w\ngroup w  w1 w2\n"
    cases = [
        ("a clean tree passes", {"b/B.h": '#include "a/A.h"\n', "w1/X.cpp": '#include "w2/Y.h"\n'}, table, 0),
        ("an include against the table fails", {"a/A.cpp": '#include "b/B.h"\n'}, table, 1),
        ("a window's header from another window's header fails", {"w1/X.h": '#include "w2/Y.h"\n'}, table, 1),
        ("a folder the table does not name fails", {"c/C.h": "\n"}, table, 1),
        ("a cycle in the table fails", {}, table.replace("a -", "a b"), 1),
        ("generated includes are not checked", {"a/A.cpp": '#include "A.moc"\n'}, table, 0),
    ]
    failures = 0
    for what, files, layers, expected in cases:
        with tempfile.TemporaryDirectory() as src:
            with open(os.path.join(src, "layers.txt"), "w") as f:
                f.write(layers)
            for folder in ("a", "b", "w1", "w2"):
                os.makedirs(os.path.join(src, folder))
            for path, text in files.items():
                os.makedirs(os.path.join(src, os.path.dirname(path)), exist_ok=True)
                with open(os.path.join(src, path), "w") as f:
                    f.write(text)
            got = 1 if problems(src) else 0
        print(("ok   - " if got == expected else "FAIL - ") + what)
        failures += got != expected
    print(f"{len(cases) - failures} passed, {failures} failed")
    return 1 if failures else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    found = problems(sys.argv[1])
    for line in found:
        print(line)
    print("layers: " + (f"{len(found)} includes against the table" if found else "every include keeps the table"))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
