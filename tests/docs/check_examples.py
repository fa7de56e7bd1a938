#!/usr/bin/env python3
"""Runs every example of a Markdown document through plotwright and compares the stories.

    check_examples.py [--update] PLOTWRIGHT DOCUMENT.md
    check_examples.py --list DOCUMENT.md    (the examples as JSON, for the other front ends' tests)
    check_examples.py --diagnostics PLOTWRIGHT DIAGNOSTICS.md

The convention of the examples (<!-- run: ARGS; SETTINGS --> before a ```vell block, the
expected ```story and ```vus blocks after it, <!-- not run --> for a block that is no example)
is described at the end of docs/language.md. --update rewrites the expected blocks from the
program's output (the exit status is still compared, since it is written by hand).

With --diagnostics, the first fenced example of each `### Vnnn:` entry goes through `plotwright
check`: it must report Vnnn, and no other code but those its entry allows. Between the heading
and the example, `<!-- example: also V102 V204 -->` allows other codes, and `<!-- example:
recipe EXPR -->` (one Python expression, str or bytes) gives a scenario too large to show.
"""

import argparse
import difflib
import json
import os
import re
import shlex
import subprocess
import sys
import tempfile
from dataclasses import dataclass, field

SCENARIO = "story.vell"
STATISTICS = "story.vus"
RUN_TIMEOUT_SECONDS = 60

FENCE_OPEN = re.compile(r"^(`{3,})([A-Za-z0-9_-]*)\s*$")
RUN_COMMENT = re.compile(r"^<!--\s*run:(.*?)-->\s*$")
NOT_RUN_COMMENT = re.compile(r"^<!--\s*not run\b.*-->\s*$")
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*#*\s*$")
ENTRY = re.compile(r"^### (V\d{3}):")
MARKER = re.compile(r"^<!--\s*example:\s*(also|recipe)\s+(.*?)\s*-->\s*$")
CODE = re.compile(r"\[(V\d{3})\]$")


@dataclass
class Block:
    """A fenced block: its language, its text and where it stands (0-based line indexes)."""

    lang: str
    text: str
    open_line: int  # the opening fence
    close_line: int  # the closing fence


@dataclass
class Example:
    heading: str
    comment_line: int
    args: list
    status: int
    stats: bool
    runs: int
    scenario: Block
    expected: dict = field(default_factory=dict)  # "story" / "vus" -> the block's text
    last_line: int = 0  # the closing fence of its last block


class DocumentError(Exception):
    pass


def read_blocks(lines):
    """Yields ('line', index) for lines outside fences and ('block', Block) for fenced blocks."""
    i = 0
    while i < len(lines):
        match = FENCE_OPEN.match(lines[i])
        if not match:
            yield "line", i
            i += 1
            continue
        fence, lang = match.group(1), match.group(2)
        close = re.compile(r"^`{%d,}\s*$" % len(fence))
        end = next((j for j in range(i + 1, len(lines)) if close.match(lines[j])), None)
        if end is None:
            raise DocumentError(f"line {i + 1}: the fenced block is never closed")
        yield "block", Block(lang, "".join(lines[i + 1 : end]), i, end)
        i = end + 1


def parse_comment(text, line):
    parts = text.split(";")
    try:
        args = shlex.split(parts[0])
    except ValueError as error:
        raise DocumentError(f"line {line + 1}: {error}") from None
    settings = {"status": 0, "stats": False, "runs": 1}
    for part in (p.strip() for p in parts[1:]):
        if part == "stats":
            settings["stats"] = True
        elif re.fullmatch(r"(status|runs):\s*\d+", part):
            key, value = part.split(":")
            settings[key] = int(value)
        elif part:
            raise DocumentError(f"line {line + 1}: unknown setting '{part}' in the run comment")
    return args, settings


def find_examples(lines):
    """The document's examples, in order; raises DocumentError for a broken convention."""
    examples = []
    heading = "(before the first heading)"
    pending = None  # (kind, line, parsed) of a run / not-run comment waiting for its block
    current = None  # the example whose expected blocks may still follow
    for kind, item in read_blocks(lines):
        if kind == "line":
            text = lines[item]
            if not text.strip():
                continue
            heading = HEADING.match(text).group(1) if HEADING.match(text) else heading
            run = RUN_COMMENT.match(text)
            pending = (("run", item, parse_comment(run.group(1), item)) if run else
                       ("not run", item, None) if NOT_RUN_COMMENT.match(text) else None)
            current = None
            continue
        block = item
        if block.lang == "vell":
            if pending is None:
                raise DocumentError(f"line {block.open_line + 1}: a vell block needs <!-- run: "
                                    "... --> or <!-- not run --> on a line before it")
            if pending[0] == "run":
                args, settings = pending[2]
                current = Example(heading, pending[1], args, scenario=block,
                                  last_line=block.close_line, **settings)
                examples.append(current)
            pending = None
        elif block.lang in ("story", "vus"):
            if current is None or block.lang in current.expected:
                raise DocumentError(f"line {block.open_line + 1}: " + (
                    f"a second {block.lang} block" if current else
                    f"a {block.lang} block that follows no example"))
            if block.lang == "vus" and not current.stats:
                raise DocumentError(f"line {block.open_line + 1}: a vus block needs 'stats'")
            current.expected[block.lang] = block.text
            current.last_line = block.close_line
        else:
            current = pending = None
    return examples


def command_of(binary, example):
    return [binary] + ([] if example.stats else ["--no-stats"]) + example.args + [SCENARIO]


def write_scenario(example, folder):
    with open(os.path.join(folder, SCENARIO), "w", encoding="utf-8", newline="\n") as file:
        file.write(example.scenario.text)
    return folder


def run_example(binary, example):
    """Runs the example in a folder of its own: (last run's exit status, {lang: text}, stderr)."""
    story, stderr, status = "", "", None
    with tempfile.TemporaryDirectory(prefix="language-example-") as folder:
        write_scenario(example, folder)
        for _ in range(example.runs):
            try:
                done = subprocess.run(command_of(binary, example), cwd=folder,
                                      capture_output=True, timeout=RUN_TIMEOUT_SECONDS)
            except subprocess.TimeoutExpired:
                story += f"(the run took longer than {RUN_TIMEOUT_SECONDS} seconds)\n"
                status = None
                break
            story += done.stdout.decode("utf-8", errors="replace")
            stderr += done.stderr.decode("utf-8", errors="replace")
            status = done.returncode
            if status != example.status:
                break
        path = os.path.join(folder, STATISTICS)
        vus = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
    return status, {"story": story, **({"vus": vus} if example.stats else {})}, stderr


def fenced(lang, text):
    """A fenced block holding text exactly; the fence is longer than any backtick run in it."""
    longest = max((len(run) for run in re.findall(r"`+", text)), default=0)
    fence = "`" * max(3, longest + 1)
    if text and not text.endswith("\n"):
        text += "\n"  # a fenced block cannot hold a text without its last line end
    return [f"{fence}{lang}\n", text, f"{fence}\n"]


def report(document, binary, example, number, status, actual, stderr):
    folder = write_scenario(example, tempfile.mkdtemp(prefix=f"language-example-{number}-"))
    print(f"FAIL: {document}:{example.comment_line + 1}: example {number} "
          f"under \"{example.heading}\"")
    times = f" (run it {example.runs} times)" if example.runs > 1 else ""
    print(f"  reproduce: cd {shlex.quote(folder)} && "
          f"{shlex.join(command_of(binary, example))}{times}")
    if status != example.status:
        print(f"  exit status {status}, expected {example.status}")
    for lang, text in actual.items():
        want = example.expected.get(lang)
        if want == text:
            continue
        if want is None:
            print(f"  no ```{lang} block follows the example (--update adds it)")
        sys.stdout.writelines(difflib.unified_diff(
            (want or "").splitlines(keepends=True), text.splitlines(keepends=True),
            f"expected {lang}", f"actual {lang}"))
    if stderr:
        print("  standard error:")
        print("".join("    " + line for line in stderr.splitlines(keepends=True)), end="")


def listed(example):
    """An example as the web package's tests read it: its line, run settings and blocks."""
    return {"line": example.comment_line + 1, "args": example.args, "status": example.status,
            "stats": example.stats, "runs": example.runs, "vell": example.scenario.text,
            **example.expected}


def diagnostic_entries(lines):
    """[code, line, scenario bytes or None, allowed codes] of each entry of the diagnostics."""
    entries, current = [], None  # current: the entry whose example may still follow
    for kind, item in read_blocks(lines):
        text = lines[item] if kind == "line" else ""
        marker = MARKER.match(text)
        if kind == "block" or marker and marker.group(1) == "recipe":
            if current:
                made = item.text if kind == "block" else eval(marker.group(2), {})  # noqa: S307
                current[2] = made.encode() if isinstance(made, str) else made
            current = None
        elif marker and current:
            current[3].update(marker.group(2).split())
        elif text.startswith("#"):
            current = ENTRY.match(text) and [ENTRY.match(text).group(1), item + 1, None, set()]
            entries += [current] if current else []
    return entries


def check_diagnostics(binary, document, lines):
    """Each entry's example must report its code and no other but those the entry allows."""
    failures, entries = 0, diagnostic_entries(lines)
    with tempfile.TemporaryDirectory() as folder:
        for code, line, scenario, allowed in entries:
            problem = "no example"
            if scenario is not None:
                with open(os.path.join(folder, "example.vell"), "wb") as file:
                    file.write(scenario)
                done = subprocess.run([binary, "check", "example.vell"], cwd=folder,
                                      capture_output=True, timeout=RUN_TIMEOUT_SECONDS)
                found = {m.group(1) for m in map(CODE.search, done.stdout.decode(
                    errors="replace").splitlines()) if m}
                others = found - allowed - {code}
                problem = (f"{code} is not reported" if code not in found else
                           f"unexpected {' '.join(sorted(others))}" if others else None)
            if problem:
                failures += 1
                print(f"FAIL: {document}:{line}: {code}: {problem}")
    print(f"{len(entries)} entries, {failures} failed")
    return 1 if failures or not entries else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    for flag in ("--update", "--list", "--diagnostics"):  # the module's text tells what they do
        parser.add_argument(flag, action="store_true")
    parser.add_argument("plotwright", nargs="?" if "--list" in sys.argv else None)
    parser.add_argument("document")
    options = parser.parse_args()

    with open(options.document, encoding="utf-8") as file:
        lines = file.readlines()
    if options.diagnostics:
        return check_diagnostics(os.path.abspath(options.plotwright), options.document, lines)
    try:
        examples = find_examples(lines)
    except DocumentError as error:
        print(f"{options.document}: {error}", file=sys.stderr if options.list else sys.stdout)
        return 2
    if options.list:
        print(json.dumps([listed(example) for example in examples], ensure_ascii=False))
        return 0
    binary = os.path.abspath(options.plotwright)

    failures, edits = 0, []  # edits: (first line, end line, new lines) of the document
    for number, example in enumerate(examples, 1):
        status, actual, stderr = run_example(binary, example)
        same = example.expected == actual
        if status != example.status or not (same or options.update):
            failures += 1
            report(options.document, binary, example, number, status, actual, stderr)
        if options.update and not same:
            # Only blank lines stand between the expected blocks: they are written anew.
            new = [line for lang, text in actual.items() for line in ["\n"] + fenced(lang, text)]
            edits.append((example.scenario.close_line + 1, example.last_line + 1, new))

    if edits:
        for first, end, new in reversed(edits):  # from the end, so that line numbers hold
            lines[first:end] = new
        with open(options.document, "w", encoding="utf-8", newline="") as file:
            file.writelines(lines)
        print(f"{options.document}: the expected blocks of {len(edits)} example(s) rewritten")
    print(f"{len(examples)} examples, {failures} failed")
    return 1 if failures or not examples else 0


if __name__ == "__main__":
    sys.exit(main())
