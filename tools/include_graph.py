#!/usr/bin/env python3
"""The folders' include arrows in product code, and whether the house stands.

Prints every arrow between folders with how many includes make it, then checks that no folder
includes a folder above it (app/ over the feature folders over framework/ over text/), that the
arrows between feature folders have no circle, and that text/ includes nothing of ours. Tests,
benchmarks, fuzz targets and testing/ are left out: they may reach anywhere. Exit status 1 when a
rule is broken. Usage: tools/include_graph.py [ROOT]
"""
import pathlib
import re
import sys
from collections import defaultdict

LEVEL = {"app": 3, "monitor": 2, "media": 2, "news": 2, "net": 2, "settings": 2, "ui": 2,
         "framework": 1, "res": 1, "text": 0}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)


def is_product(path):
    name = path.name
    return not ("test" in name or "bench" in path.parts or "fuzz" in path.parts
                or name.startswith("fuzz_"))


def arrows(root):
    found = defaultdict(int)
    for folder in LEVEL:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp") or not is_product(path):
                continue
            for target in INCLUDE.findall(path.read_text(errors="replace")):
                if target != folder and target in LEVEL:
                    found[(folder, target)] += 1
    return found


def circle(edges):
    """One circle among the arrows as a list of folders, or None."""
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for source, target in edges:
            if source != node:
                continue
            if state.get(target) == "open":
                return trail[trail.index(target):] + [target] if target in trail else [node, target]
            if target not in state:
                found = visit(target, trail + [target])
                if found:
                    return found
        state[node] = "done"
        return None

    for node in sorted({s for s, _ in edges}):
        if node not in state:
            found = visit(node, [node])
            if found:
                return found
    return None


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    found = arrows(root)
    broken = []
    for (source, target), count in sorted(found.items(), key=lambda a: (-LEVEL[a[0][0]], a[0])):
        upward = LEVEL[target] > LEVEL[source]
        print(f"  {source:>9} -> {target:<9} {count:3} include(s){'   UP' if upward else ''}")
        if upward:
            broken.append(f"{source}/ includes {target}/, which stands above it")
    found_circle = circle(list(found))
    if found_circle:
        broken.append("circle: " + " -> ".join(found_circle))
    if any(source == "text" for source, _ in found):
        broken.append("text/ includes a folder of ours")
    for line in broken:
        print("broken:", line)
    print("the house stands" if not broken else f"{len(broken)} rule(s) broken")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
