"""Draws mutants at random from the product code, for tools/mutate.py --sample.

A drawn line gets one simple fault of the kinds a slip of the hand makes: a comparison turned, a
logical operator swapped, a negation dropped, a constant moved by one, a truth value flipped, or a
statement that is a call dropped. Strings, characters and comments are left alone.
"""

import random
import re
import subprocess

PRODUCT_FOLDERS = ("app", "framework", "media", "monitor", "net", "news", "settings", "ui")
NOT_PRODUCT = re.compile(r"test|fuzz|/bench/")

# Operators as clang-format spaces them: binary ones between spaces, so that template brackets,
# shifts and arrows are never taken for comparisons.
SWAPS = {" == ": " != ", " != ": " == ", " <= ": " < ", " >= ": " > ", " < ": " <= ",
         " > ": " >= ", " && ": " || ", " || ": " && "}
SWAP = re.compile("|".join(re.escape(op) for op in SWAPS))
NEGATION = re.compile(r"(?<=[(\s])!(?=[\w(])")
INTEGER = re.compile(r"(?<![\w.])(0x[0-9A-Fa-f]+|\d+)(?=[uUlL]*(?![\w.]))")
TRUTH = re.compile(r"\b(true|false)\b")
STATEMENT_START = re.compile(r"^(return|if|else|for|while|do|switch|case|default|break|continue|"
                             r"goto|using|namespace|template|typedef|static_assert|co_\w+)\b")
CALL_STATEMENT = re.compile(r"^[\w:.\->\[\]]+(<[^;]*>)?\(.*\);$")


def product_files(root):
    listed = subprocess.run(["git", "ls-files", "*.cpp", "*.h"], cwd=root, check=True,
                            capture_output=True, text=True).stdout.split()
    return [name for name in listed
            if name.split("/")[0] in PRODUCT_FOLDERS and not NOT_PRODUCT.search(name)]


def changed_lines(root, since, files):
    """{file: set of 0-based line numbers} changed in the work tree since the commit."""
    diff = subprocess.run(["git", "diff", "-U0", "--no-color", since, "--", *files], cwd=root,
                          check=True, capture_output=True, text=True).stdout
    changed, current = {}, None
    for line in diff.splitlines():
        if line.startswith("+++ "):
            current = line[6:] if line.startswith("+++ b/") else None
        elif line.startswith("@@") and current:
            start, _, count = re.search(r"\+(\d+)(,\d+)?", line).group(1, 1, 2)
            count = int(count[1:]) if count else 1
            changed.setdefault(current, set()).update(range(int(start) - 1,
                                                            int(start) - 1 + count))
    return changed


def masked(line):
    """The line with string and character literals and a trailing comment blanked, same length."""
    out, quote, index = [], None, 0
    while index < len(line):
        char = line[index]
        if quote:
            if char == "\\":
                out += "  "
                index += 2
                continue
            out.append(" " if char != quote else char)
            if char == quote:
                quote = None
        elif char in "\"'":
            quote = char
            out.append(char)
        elif line.startswith("//", index):
            out += " " * (len(line) - index)
            break
        else:
            out.append(char)
        index += 1
    return "".join(out)[: len(line)]


def edits(line, previous_code):
    """The one-fault versions of a line of code."""
    code = masked(line)
    stripped = code.strip()
    if not stripped or stripped.startswith(("#", "*", "/*")) or "static_assert" in stripped:
        return []
    found = []
    for match in SWAP.finditer(code):
        found.append(line[: match.start()] + SWAPS[match.group()] + line[match.end():])
    for match in NEGATION.finditer(code):
        found.append(line[: match.start()] + line[match.end():])
    for match in INTEGER.finditer(code):
        text = match.group(1)
        value = int(text, 16) + 1 if text.startswith("0x") else int(text) + 1
        moved = hex(value) if text.startswith("0x") else str(value)
        found.append(line[: match.start()] + moved + line[match.end():])
    for match in TRUTH.finditer(code):
        flipped = "false" if match.group(1) == "true" else "true"
        found.append(line[: match.start()] + flipped + line[match.end():])
    starts_statement = previous_code.endswith((";", "{", "}", ":")) or not previous_code
    if (starts_statement and CALL_STATEMENT.match(stripped)
            and not STATEMENT_START.match(stripped)):
        found.append("")
    return found


def candidates(root, since=None):
    """Every (file, 0-based line, text, one-fault versions) that can take a fault."""
    files = product_files(root)
    chosen_lines = changed_lines(root, since, files) if since else None
    found = []
    for name in files:
        lines = (root / name).read_text(encoding="latin-1").split("\n")
        previous_code = ""
        in_comment = False
        for number, line in enumerate(lines):
            stripped = line.strip()
            if in_comment or stripped.startswith("/*"):
                in_comment = "*/" not in stripped
                continue
            wanted = chosen_lines is None or number in chosen_lines.get(name, ())
            versions = edits(line, previous_code) if wanted else []
            if versions:
                found.append((name, number, line, versions))
            code = masked(line).strip()
            if code:
                previous_code = code
    return found


def draw(root, seed, since=None):
    """The candidates in a random order fixed by the seed, each with the fault drawn for it."""
    rng = random.Random(seed)
    lines = candidates(root, since)
    rng.shuffle(lines)
    return [(name, number, line, rng.choice(versions)) for name, number, line, versions in lines]

