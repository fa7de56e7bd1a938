#!/usr/bin/env python3
"""Runs the golden cases: a scenario, a command line, and the exact output they must give.

    run_cases.py [--update] PLOTWRIGHT CASES_DIR [PATTERN...]

The files of a case and what they hold: tests/cases/README.md. PATTERNs (shell patterns over
SUBJECT/NAME) select cases; --update rewrites the expected files from the program's output.
"""

import argparse
import difflib
import functools
import fnmatch
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

INPUTS = (".vell", ".recipe", ".args")
DEFAULT_ARGS = "--seed 1 $FILE"
TIMEOUT_SECONDS = 120
BUILD = re.compile(rb"\(build [^)\n]*\)")


class Case:
    def __init__(self, cases_dir, name):
        self.name = name
        self.base = os.path.join(cases_dir, name)
        self.stem = os.path.basename(name)

    def read(self, suffix):
        try:
            with open(self.base + suffix, "rb") as file:
                return file.read()
        except FileNotFoundError:
            return None

    def scenario(self):
        recipe = self.read(".recipe")
        if recipe is None:
            return self.read(".vell")
        made = eval(recipe, {"__builtins__": {}, "range": range, "str": str})
        return made.encode() if isinstance(made, str) else made

    def expected(self):
        return {".out": self.read(".out") or b"", ".err": self.read(".err") or b"",
                ".status": self.read(".status") or b"0\n", ".vus": self.read(".vus")}


def find_cases(cases_dir, patterns):
    names = set()
    for subject in sorted(os.listdir(cases_dir)):
        if subject[0] not in "._" and os.path.isdir(os.path.join(cases_dir, subject)):
            for file in os.listdir(os.path.join(cases_dir, subject)):
                stem, suffix = os.path.splitext(file)
                if suffix in INPUTS:
                    names.add(f"{subject}/{stem}")
    return sorted(n for n in names if not patterns or any(fnmatch.fnmatch(n, p) for p in patterns))


def prepare(case, folder, scenario):
    """Writes the case's inputs into folder; the command line, as run there."""
    if scenario is not None:
        with open(os.path.join(folder, case.stem + ".vell"), "wb") as file:
            file.write(scenario)
    before = case.read(".vus.before")
    if before is not None:
        with open(os.path.join(folder, case.stem + ".vus"), "wb") as file:
            file.write(before)
    args = case.read(".args")
    words = shlex.split(DEFAULT_ARGS if args is None else args.decode())
    places = {"$FILE": os.path.join(folder, case.stem + ".vell"), "$DIR": folder, "$ROOT": ROOT}
    return [re.sub(r"\$(FILE|DIR|ROOT)", lambda m: places[m.group(0)], w) for w in words]


def run(binary, case, folder):
    """Runs the case in folder: the outputs under the suffixes of their expected files."""
    scenario = case.scenario()
    command = [binary] + prepare(case, folder, scenario)
    try:
        done = subprocess.run(command, cwd=folder, input=scenario or b"", capture_output=True,
                              timeout=TIMEOUT_SECONDS)
        out, err, status = done.stdout, done.stderr, done.returncode
    except subprocess.TimeoutExpired:
        out, err, status = b"", f"(no end after {TIMEOUT_SECONDS} seconds)\n".encode(), None
    statistics = os.path.join(folder, case.stem + ".vus")
    vus = open(statistics, "rb").read() if os.path.isfile(statistics) else None
    left = sorted(set(os.listdir(folder)) - {case.stem + ".vell", case.stem + ".vus"})
    if left:
        err += f"(left in $DIR: {' '.join(left)})\n".encode()
    return command, {".out": normalise(out, folder, binary),
                     ".err": normalise(err, folder, binary),
                     ".status": f"{status}\n".encode(), ".vus": vus}


def normalise(text, folder, binary):
    text = text.replace(folder.encode(), b"$DIR").replace(ROOT.encode(), b"$ROOT")
    version = build_version(binary)
    if version:  # as a JSON string too, as SARIF names the tool's version
        text = text.replace(b'"' + version + b'"', b'"$BUILD"')
    return BUILD.sub(b"(build $BUILD)", text)


@functools.lru_cache(maxsize=None)
def build_version(binary):
    """The build's version, as --version shows it in "(build VERSION)"."""
    shown = subprocess.run([binary, "--version"], capture_output=True, check=False).stdout
    found = BUILD.search(shown)
    return found.group(0)[len(b"(build "):-1] if found else None


def report(case, command, folder, expected, actual):
    redo = f" < {case.stem}.vell" if case.scenario() is not None else ""
    print(f"FAIL {case.name}\n  reproduce: cd {shlex.quote(folder)} && {shlex.join(command)}{redo}")
    for suffix, text in actual.items():
        if text != expected[suffix]:
            want = (expected[suffix] or b"").decode(errors="backslashreplace")
            got = (text or b"").decode(errors="backslashreplace")
            sys.stdout.writelines(difflib.unified_diff(
                want.splitlines(keepends=True), got.splitlines(keepends=True),
                f"expected {case.name}{suffix}", f"actual {case.name}{suffix}"))
            if want and not want.endswith("\n") or got and not got.endswith("\n"):
                print("\n  (no line end at the end of one of them)")


def update(case, actual):
    defaults = {".out": b"", ".err": b"", ".status": b"0\n", ".vus": None}
    for suffix, text in actual.items():
        path = case.base + suffix
        if text == defaults[suffix]:
            if os.path.exists(path):
                os.remove(path)
        else:
            with open(path, "wb") as file:
                file.write(text)


def check(binary, case, updating):
    folder = os.path.realpath(tempfile.mkdtemp(prefix=case.stem + "-"))
    command, actual = run(binary, case, folder)
    expected = case.expected()
    if actual == expected:
        shutil.rmtree(folder)
        return True
    if updating and actual[".status"] != b"None\n":
        update(case, actual)
        shutil.rmtree(folder)
        print(f"updated {case.name}")
        return True
    shutil.rmtree(folder)  # kept for reproducing the run, with its inputs only
    os.mkdir(folder)
    prepare(case, folder, case.scenario())
    report(case, command, folder, expected, actual)
    return False


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--update", action="store_true",
                        help="rewrite the expected files from the program's output")
    parser.add_argument("plotwright")
    parser.add_argument("cases_dir")
    parser.add_argument("patterns", nargs="*", metavar="PATTERN")
    options = parser.parse_args()
    names = find_cases(options.cases_dir, options.patterns)
    if not names:
        print("no case matches")
        return 2
    binary = os.path.abspath(options.plotwright)
    failed = sum(not check(binary, Case(options.cases_dir, name), options.update)
                 for name in names)
    print(f"{len(names)} cases, {failed} failed")
    return 1 if failed else 0


ROOT = os.path.realpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

if __name__ == "__main__":
    sys.exit(main())
