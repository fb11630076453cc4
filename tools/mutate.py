#!/usr/bin/env python3
"""Plants the faults listed in tools/mutants.txt one at a time and reports those no test caught.

Each mutant is planted in a scratch copy of the tree (build/mutate/tree), whose build folders are
kept between runs, so that a mutant rebuilds only what its file touches. The tests most likely to
catch it run first: the test that caught it last time, the native suite when the portable code
changed, then the Windows tests of the mutated file, of its folder, of files that include it, and
the rest. The first failing test ends the mutant's run. A mutant in a file the release packages
are made of is looked for by the packaging tests of build/win (ctest) too, which make the
packages first; they run before the Windows tests, being much quicker. A Windows mutant that no
Windows test catches is looked for last by the bar's tests in prefixes at other display scales.

  tools/mutate.py                run every mutant (make mutate)
  tools/mutate.py WORD...        run the mutants whose line holds one of the words
  tools/mutate.py --from K       run the list from its K-th mutant on (a long run taken up again)
  tools/mutate.py --check        only check the list: each original text occurs exactly once
  tools/mutate.py --sample N [--seed S] [--since COMMIT]
                                 draw lines at random from the product code (changed since
                                 COMMIT, or all of it), plant one simple fault in each and run
                                 them until N have built (make mutate-sample)

A line of the list reads `path :: original ==> replacement`: the path is relative to the
repository, the original a single-line snippet that occurs exactly once in that file, the
replacement may be empty. `#` starts a comment line.

A drawn mutant that no test can catch, because it cannot change what the program does, is listed
in tools/equivalent_mutants.txt as `path :: line ==> mutated line` (both stripped), under a
comment saying why; the sample's figure leaves it out.

The scratch tree sees the feed corpus that the repository sees (../shared, through a link): a run
without it says so, since the corpus tests then skip.
"""

import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

import mutant_draw

ROOT = Path(__file__).resolve().parent.parent
LIST = ROOT / "tools" / "mutants.txt"
WORK = ROOT / "build" / "mutate"
TREE = WORK / "tree"
PREFIX = WORK / "prefix"
KILLERS = WORK / "killers.json"
REPORT = WORK / "report.txt"
SAMPLE_REPORT = WORK / "sample-report.txt"
EQUIVALENTS = ROOT / "tools" / "equivalent_mutants.txt"
CORPUS = ROOT.parent / "shared"
TEST_TIMEOUT_S = 60
TEST_MACRO = re.compile(r"^\s*TEST(?:_F)?\(\s*(\w+)\s*,\s*(\w+)\s*\)", re.M)
RESOURCE_ID = re.compile(r"\bID[A-Z]?_\w+")
# The release packages: the files (or folders) they are made of, and the ctest tests of build/win
# that check them; those tests' fixture builds the dist target first.
PACKAGE_FILES = ("installer/", "cmake/dist.cmake", "res/Quorvel.rc")
PACKAGE_TESTS = r"^(dist_builds|dist_zip_contents|Installer\..+)$"
PACKAGE_TIMEOUT_S = 1800
CTEST_KILLER = "ctest:"  # how a ctest test is named in the record of killers
# The bar's tests again in prefixes at other display scales (ctest of build/win): a fault that
# shows only at another scale is looked for there, after the Windows tests, being slower.
SCALE_TESTS = r"^bar_at_[0-9]+_dpi$"
SCALE_TIMEOUT_S = 900


@dataclass
class Mutant:
    line_number: int
    line: str
    path: str
    original: str
    replacement: str
    at_line: int | None = None  # a drawn mutant replaces this whole line (0-based) of its file


@dataclass
class Outcome:
    verdict: str  # "killed", "survived" or "invalid"
    detail: str
    seconds: float


def parse_list(text):
    """The mutants of the list, and the problems of lines that cannot be one."""
    mutants, problems = [], []
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.rstrip("\r")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        path, sep, rest = line.partition(" :: ")
        if not sep:
            problems.append(f"line {number}: no ' :: '")
            continue
        original, sep, replacement = rest.partition(" ==> ")
        if not sep:
            if not rest.endswith(" ==>"):
                problems.append(f"line {number}: no ' ==> '")
                continue
            original, replacement = rest[: -len(" ==>")], ""
        mutants.append(Mutant(number, line, path.strip(), original, replacement))
    return mutants, problems


def check_mutant(mutant, root):
    """Why the mutant cannot be planted in the tree at root, or None."""
    file = root / mutant.path
    if not file.is_file():
        return f"line {mutant.line_number}: no file {mutant.path}"
    count = file.read_text(encoding="latin-1").count(mutant.original)
    if count != 1:
        return (f"line {mutant.line_number}: the original occurs {count} times in {mutant.path}, "
                "not once")
    if mutant.original == mutant.replacement:
        return f"line {mutant.line_number}: the replacement changes nothing"
    return None


def run(command, cwd, timeout=None, env=None):
    """Runs a command in a process group of its own, so that a timeout ends all of it. The output
    goes to a file: a Wine service that a test starts keeps a pipe open long after the test."""
    with tempfile.TemporaryFile("w+", errors="replace") as output:
        process = subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                   stdout=output, stderr=subprocess.STDOUT,
                                   start_new_session=True)
        try:
            code = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            code = None
        output.seek(0)
        return code, output.read()


def sync_tree():
    """Copies the repository's files into the scratch tree; unchanged files keep their times, so
    the scratch build folders rebuild only what changed since the last run. A changed file gets
    the time of its copy: its own time may be older than objects a mutant rebuilt since."""
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            cwd=ROOT, check=True, capture_output=True).stdout
    wanted = {name for name in listed.decode().split("\0") if name and (ROOT / name).is_file()}
    for name in wanted:
        source, target = ROOT / name, TREE / name
        if target.is_file() and target.read_bytes() == source.read_bytes():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)
        shutil.copymode(source, target)  # scripts stay runnable
    for folder, subfolders, files in os.walk(TREE):
        relative = Path(folder).relative_to(TREE).as_posix()
        if relative == ".":
            subfolders[:] = [name for name in subfolders if name != "build"]
        for name in files:
            path = name if relative == "." else f"{relative}/{name}"
            if path not in wanted:
                (TREE / path).unlink()


def build(kind, targets):
    """Builds targets of one scratch folder: (succeeded, output)."""
    folder = TREE / "build" / kind
    if not (folder / "build.ninja").is_file():
        code, output = run([str(TREE / "tools" / "configure.sh"), kind], TREE)
        if code != 0:
            return False, output
    code, output = run(["cmake", "--build", str(folder), "--target", *targets], TREE)
    return code == 0, output


def built_files(kind):
    """The repository files (relative paths) that the objects of a scratch folder are made of,
    headers included, as the last build recorded them; resource scripts for Windows."""
    folder = TREE / "build" / kind
    output = subprocess.run(["ninja", "-C", str(folder), "-t", "deps"], check=True,
                            capture_output=True, text=True).stdout
    files = set()
    for line in output.splitlines():
        if line.startswith("    "):
            path = Path(os.path.normpath(folder / line.strip()))
            if path.is_relative_to(TREE):
                files.add(path.relative_to(TREE).as_posix())
    if kind == "win":
        # Resource scripts, and the build's own scripts: ninja runs CMake again when they change.
        files |= {file.relative_to(TREE).as_posix() for file in TREE.glob("res/*.rc")}
        scripts = [*TREE.glob("cmake/*.cmake"), *TREE.glob("CMakeLists.txt"),
                   *TREE.glob("*/CMakeLists.txt")]
        files |= {path for path in (file.relative_to(TREE).as_posix() for file in scripts)
                  if not path.startswith("build/") and not is_packaged(path)}
    return files


def wine_environment():
    """The environment of the Windows tests: a throwaway prefix of the scratch tree, one
    persistent server for the whole run."""
    script = (f'source "{ROOT}/tools/wine-env.sh" && use_wine_prefix "{PREFIX}" fresh >/dev/null '
              "&& wineserver -p >/dev/null 2>&1 && (wine cmd /c exit </dev/null >/dev/null 2>&1 || true) "
              "&& env -0")
    output = subprocess.run(["bash", "-c", script], check=True, capture_output=True).stdout
    return dict(item.split("=", 1) for item in output.decode().split("\0") if "=" in item)


class TestOrder:
    """The Windows tests with the file each is written in, ranked for a mutated file."""

    def __init__(self, names):
        written_in = {}
        for file in sorted(TREE.glob("*/*test*.cpp")):
            for suite, name in TEST_MACRO.findall(file.read_text(encoding="latin-1")):
                written_in[f"{suite}.{name}"] = file.relative_to(TREE).as_posix()
        self.tests = [(name, written_in.get(name, "")) for name in names]
        self.texts = {file: (TREE / file).read_text(encoding="latin-1")
                      for file in set(written_in.values())}

    def for_mutant(self, path, killer, original=""):
        """The tests in the order to try, and how many of them are aimed at the mutated file (or,
        in the resource script, at the resources its line names)."""
        folder, stem = os.path.split(os.path.splitext(path)[0])
        header = f'"{folder}/{stem}.h"'
        resources = set(RESOURCE_ID.findall(original))

        def rank(entry):
            name, file = entry
            if name == killer:
                return 0
            if os.path.basename(file).startswith(stem + "_"):
                return 1
            if os.path.dirname(file) == folder:
                return 2
            text = self.texts.get(file, "")
            if header in text or any(re.search(rf"\b{r}\b", text) for r in resources):
                return 3
            return 4

        ranked = sorted(self.tests, key=rank)
        return [name for name, _ in ranked], sum(1 for entry in ranked if rank(entry) < 4)


def list_windows_tests(env):
    binary = TREE / "build" / "win" / "bin" / "quorvel_wintests.exe"
    code, output = run(["wine", str(binary), "--gtest_list_tests"], TREE / "build" / "win",
                       timeout=120, env=env)
    if code != 0:
        raise SystemExit("cannot list the Windows tests:\n" + output)
    names, suite = [], ""
    for line in output.splitlines():
        if not line.strip() or line.startswith(("Running", "Note")):
            continue
        if not line.startswith(" "):
            suite = line.split()[0]
        else:
            names.append(suite + line.split()[0])
    return names


def is_packaged(path):
    return any(path == name or (name.endswith("/") and path.startswith(name))
               for name in PACKAGE_FILES)


def first_failing_ctest(output):
    failed = re.search(r"^\s*\d+ - (\S+) \(", output.partition("tests FAILED:")[2], re.M)
    return failed.group(1) if failed else None


def first_failing_native_test(output):
    failed = re.search(r"^\[  FAILED  \] (\S+)", output, re.M)
    return failed.group(1) if failed else "the native suite (crashed)"


class Runner:
    def __init__(self, env, order, killers):
        self.env, self.order, self.killers = env, order, killers
        self.native_files = built_files("native")
        self.windows_files = built_files("win")

    def try_mutant(self, mutant):
        started = time.monotonic()

        def outcome(verdict, detail):
            return Outcome(verdict, detail, time.monotonic() - started)

        built_into = self.windows_files | self.native_files
        if mutant.path not in built_into and not is_packaged(mutant.path):
            return outcome("invalid", "its file is not built")
        file = TREE / mutant.path
        original = file.read_text(encoding="latin-1")
        file.write_text(planted(mutant, original), encoding="latin-1")
        try:
            return self.catch(mutant, outcome)
        finally:
            file.write_text(original, encoding="latin-1")

    def catch(self, mutant, outcome):
        killer = self.killers.get(mutant.line, "")
        if killer.startswith(CTEST_KILLER) and re.match(PACKAGE_TESTS, killer[len(CTEST_KILLER):]):
            caught = self.package_tests("^" + re.escape(killer[len(CTEST_KILLER):]) + "$")
            if caught:
                return outcome("killed", caught[1])
        if mutant.path in self.native_files:
            built, output = build("native", ["quorvel_tests"])
            if not built:
                return outcome("invalid", "does not compile natively:\n" + tail(output))
            code, output = run([str(TREE / "build" / "native" / "quorvel_tests"),
                                "--gtest_fail_fast", "--gtest_brief=1"], TREE / "build" / "native",
                               timeout=300)
            if code != 0:
                return outcome("killed", first_failing_native_test(output) + " (native)")
        windows = mutant.path in self.windows_files
        order, aimed = self.order.for_mutant(mutant.path, killer, mutant.original)
        if windows:
            built, output = build("win", ["quorvel_wintests", "Quorvel"])
            if not built:
                return outcome("invalid", "does not compile for Windows:\n" + tail(output))
            if is_packaged(mutant.path):
                # The tests aimed at the resources a line names take seconds, the packages
                # minutes.
                caught = self.windows_tests(order[:aimed], mutant.line)
                if caught:
                    return outcome("killed", caught)
                order = order[aimed:]
        # The packaging tests first: a few minutes, where the Windows tests take many.
        if is_packaged(mutant.path):
            caught = self.package_tests(PACKAGE_TESTS)
            if caught:
                name, detail = caught
                if name:
                    self.killers[mutant.line] = CTEST_KILLER + name
                return outcome("killed", detail)
        if windows:
            caught = self.windows_tests(order, mutant.line)
            if caught:
                return outcome("killed", caught)
            caught = self.ctest(SCALE_TESTS, SCALE_TIMEOUT_S)
            if caught:
                name, detail = caught
                if name:
                    self.killers[mutant.line] = CTEST_KILLER + name
                return outcome("killed", detail)
        return outcome("survived", "no test failed")

    def windows_tests(self, names, line):
        """Runs the Windows tests one by one until one fails: its name (and whether it timed
        out), recorded as the killer of the mutant of that line; None when all pass."""
        binary = TREE / "build" / "win" / "bin" / "quorvel_wintests.exe"
        for name in names:
            code, _ = run(["wine", str(binary), f"--gtest_filter={name}"],
                          TREE / "build" / "win", timeout=TEST_TIMEOUT_S, env=self.env)
            if code != 0:
                self.killers[line] = name
                return name + (" (timed out)" if code is None else "")
        return None

    def package_tests(self, pattern):
        """Runs the packaging tests that match, which make the packages first: None when they
        pass, else the name of the first that failed (None when unknown) and a detail."""
        # The installer's tests list themselves when run: their program must be there.
        installer = ["quorvel_installer_wintests"] if shutil.which("makensis") else []
        built, output = build("win", ["Quorvel", *installer])
        if not built:
            return None, "the build of the packages' inputs fails:\n" + tail(output)
        return self.ctest(pattern, PACKAGE_TIMEOUT_S)

    def ctest(self, pattern, timeout):
        """Runs the ctest tests of build/win that match: None when they pass, else the name of
        the first that failed (None when unknown) and a detail."""
        code, output = run(["ctest", "--test-dir", str(TREE / "build" / "win"), "-R", pattern,
                            "-j1", "--stop-on-failure"], TREE, timeout=timeout, env=self.env)
        if code == 0:
            return None
        name = first_failing_ctest(output)
        detail = (name or "the ctest tests") + (" (timed out)" if code is None else " (ctest)")
        return name, detail


def planted(mutant, text):
    if mutant.at_line is None:
        return text.replace(mutant.original, mutant.replacement, 1)
    lines = text.split("\n")
    if lines[mutant.at_line] != mutant.original:
        raise SystemExit(f"{mutant.path}:{mutant.at_line + 1} changed since it was drawn")
    lines[mutant.at_line] = mutant.replacement
    return "\n".join(lines)


def tail(output, lines=12):
    return "\n".join(output.strip().splitlines()[-lines:])


def load_killers():
    try:
        return json.loads(KILLERS.read_text())
    except (OSError, ValueError):
        return {}


def selected(mutants, words):
    return [m for m in mutants if not words or any(word in m.line for word in words)]


def check_only(mutants, problems):
    problems += [p for p in (check_mutant(m, ROOT) for m in mutants) if p]
    for problem in problems:
        print(f"{LIST.relative_to(ROOT)}: {problem}", file=sys.stderr)
    print(f"{len(mutants)} mutants listed, {len(problems)} problems")
    return 1 if problems else 0


def option(arguments, name, default=None):
    if name not in arguments:
        return default
    index = arguments.index(name)
    if index + 1 >= len(arguments):
        raise SystemExit(f"{name} needs a value")
    return arguments[index + 1]


def link_corpus():
    """The scratch tree's ../shared is the repository's, so that the corpus tests count."""
    link = TREE.parent / "shared"
    if link.is_symlink() or link.exists():
        link.unlink()
    if not CORPUS.is_dir():
        print(f"WARNING: no feed corpus at {CORPUS}: the corpus tests skip in this run, and a "
              "fault only they would catch survives", flush=True)
        return False
    link.symlink_to(CORPUS, target_is_directory=True)
    print(f"The corpus tests read {CORPUS}", flush=True)
    return True


def main(arguments):
    if not LIST.is_file():
        raise SystemExit(f"no list at {LIST}")
    mutants, problems = parse_list(LIST.read_text(encoding="latin-1"))
    if "--check" in arguments:
        return check_only(mutants, problems)
    if not os.environ.get("DISPLAY"):
        # The Windows tests need a display: run again under one of our own.
        script = f'source "{ROOT}/tools/wine-env.sh" && ensure_display && "$0" "$@"'
        return subprocess.call(["bash", "-c", script, __file__, *arguments])
    sample_size = option(arguments, "--sample")
    if sample_size is None and check_only(mutants, problems):
        return 1

    started = time.monotonic()
    TREE.mkdir(parents=True, exist_ok=True)
    sync_tree()
    corpus = link_corpus()
    print("Building the scratch tree build/mutate/tree ...", flush=True)
    for kind, targets in (("native", ["quorvel_tests"]), ("win", ["quorvel_wintests", "Quorvel"])):
        built, output = build(kind, targets)
        if not built:
            raise SystemExit(f"the unchanged scratch tree does not build ({kind}):\n{tail(output)}")
    env = wine_environment()
    try:
        killers = load_killers()
        runner = Runner(env, TestOrder(list_windows_tests(env)), killers)
        if sample_size is None:
            first = int(option(arguments, "--from", 1))
            words = [a for i, a in enumerate(arguments)
                     if not a.startswith("--") and (i == 0 or arguments[i - 1] != "--from")]
            chosen = selected(mutants, words)[first - 1:]
            results = run_all(runner, chosen, len(chosen), killers)
        else:
            seed = int(option(arguments, "--seed", random.randrange(1, 2**31)))
            since = option(arguments, "--since")
            print(f"Sample: seed {seed}, {sample_size} mutants that build, drawn from the product "
                  f"code{' changed since ' + since if since else ''}", flush=True)
            drawn = (drawn_mutant(*entry) for entry in mutant_draw.draw(ROOT, seed, since))
            results = run_all(runner, drawn, int(sample_size), killers)
        # The next build of the scratch tree starts from the unchanged files.
        build("native", ["quorvel_tests"])
        build("win", ["quorvel_wintests", "Quorvel"])
    finally:
        subprocess.run(["wineserver", "-k"], env=env, check=False)
    seconds = time.monotonic() - started
    if sample_size is None:
        return summarise(results, seconds, corpus)
    return summarise_sample(results, seconds, corpus, seed, since)


def run_all(runner, mutants, wanted, killers):
    """Runs mutants until `wanted` of them have built (every one, for the list)."""
    results = []
    built = 0
    for mutant in mutants:
        if built == wanted:
            break
        result = runner.try_mutant(mutant)
        results.append((mutant, result))
        built += result.verdict != "invalid"
        # A drawn fault that does not build is no measure: its compiler output is left out.
        drawn_invalid = result.verdict == "invalid" and mutant.at_line is not None
        detail = result.detail.splitlines()[0] if drawn_invalid else result.detail
        print(f"[{built}/{wanted}] {result.verdict} in {result.seconds:.0f}s: "
              f"{mutant.line}\n    {detail}", flush=True)
        KILLERS.write_text(json.dumps(killers, indent=1, sort_keys=True))
    return results


def drawn_mutant(path, number, line, version):
    shown = f"{path}:{number + 1}: {line.strip()} ==> {version.strip()}"
    return Mutant(number + 1, shown, path, line, version, number)


def load_equivalents():
    """{(path, line, mutated line): why the fault cannot change behaviour}, all stripped."""
    if not EQUIVALENTS.is_file():
        return {}
    found, reason = {}, []
    for line in EQUIVALENTS.read_text(encoding="utf-8").splitlines():
        if line.startswith("#"):
            reason.append(line[1:].strip())
            continue
        path, sep, rest = line.partition(" :: ")
        original, sep2, replacement = rest.partition(" ==>")
        if sep and sep2:
            found[(path.strip(), original.strip(), replacement.strip())] = " ".join(reason)
        reason = []
    return found


def summarise_sample(results, seconds, corpus, seed, since):
    equivalents = load_equivalents()
    lines = [f"Sample of seed {seed}, drawn from the product code"
             f"{' changed since ' + since if since else ''}:"]
    counts = {"killed": 0, "survived": 0, "equivalent": 0, "invalid": 0}
    for mutant, result in results:
        verdict = result.verdict
        reason = equivalents.get((mutant.path, mutant.original.strip(),
                                  mutant.replacement.strip()))
        if verdict == "survived" and reason is not None:
            verdict = "equivalent"
        counts[verdict] += 1
        detail = reason if verdict == "equivalent" else result.detail.splitlines()[0]
        lines.append(f"  {verdict}: {mutant.line}\n      {detail}")
    measured = counts["killed"] + counts["survived"]
    share = 100 * counts["killed"] / measured if measured else 100
    lines.append(f"{counts['killed']} of {measured} mutants that can change behaviour killed "
                 f"({share:.0f} %); {counts['equivalent']} equivalent, {counts['invalid']} did "
                 f"not build; {seconds / 60:.1f} minutes.")
    if not corpus:
        lines.append("The corpus was missing: its tests did not count.")
    text = "\n".join(lines)
    print("\n" + text)
    SAMPLE_REPORT.write_text(text + "\n")
    return 0 if share >= 90 else 1


def summarise(results, seconds, corpus):
    lines = []
    for verdict in ("survived", "invalid"):
        hits = [(m, r) for m, r in results if r.verdict == verdict]
        if hits:
            lines.append(f"{len(hits)} {verdict}:")
            lines += [f"  line {m.line_number}: {m.line}" for m, _ in hits]
    killed = sum(r.verdict == "killed" for _, r in results)
    lines.append(f"{killed} of {len(results)} mutants killed in {seconds / 60:.1f} minutes.")
    if not corpus:
        lines.append("The corpus was missing: its tests did not count.")
    text = "\n".join(lines)
    print("\n" + text)
    REPORT.write_text(text + "\n")
    return 0 if killed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
