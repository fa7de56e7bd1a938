#!/usr/bin/env python3
"""Runs the first fenced example of each `### Vnnn:` entry of docs/diagnostics.md through
`plotwright check`: it must report Vnnn, and no other code but those its entry allows.

    check_diagnostics.py PLOTWRIGHT DIAGNOSTICS.md

Between an entry's heading and its example, `<!-- example: also V102 V204 -->` allows other
codes, and `<!-- example: recipe EXPR -->` (one Python expression, str or bytes) gives a
scenario too large to show, for an entry with no example block.
"""

import os
import re
import subprocess
import sys
import tempfile

ENTRY = re.compile(r"^### (V\d{3}):")
MARKER = re.compile(r"^<!--\s*example:\s*(also|recipe)\s+(.*?)\s*-->\s*$")
CODE = re.compile(r"\[(V\d{3})\]$")


def read_entries(lines):
    """Yields (code, line number, scenario bytes or None, allowed codes) for each entry."""
    i = 0
    while i < len(lines):
        entry = ENTRY.match(lines[i])
        i += 1
        if not entry:
            continue
        start, scenario, allowed = i, None, set()
        while i < len(lines) and not lines[i].startswith("#") and scenario is None:
            marker = MARKER.match(lines[i])
            if marker and marker.group(1) == "also":
                allowed.update(marker.group(2).split())
            elif marker:
                scenario = eval(marker.group(2), {})  # pylint: disable=eval-used
            elif lines[i].startswith("```"):
                end = lines.index("```\n", i + 1)
                scenario, i = "".join(lines[i + 1 : end]), end
            i += 1
        if isinstance(scenario, str):
            scenario = scenario.encode()
        yield entry.group(1), start, scenario, allowed


def check(program, folder, code, scenario, allowed):
    """What is wrong with the example's diagnostics, or None."""
    path = os.path.join(folder, "example.vell")
    with open(path, "wb") as file:
        file.write(scenario)
    done = subprocess.run([program, "check", path], capture_output=True, timeout=120)
    lines = done.stdout.decode(errors="replace").splitlines()
    codes = {found.group(1) for found in map(CODE.search, lines) if found}
    if code not in codes:
        return f"{code} is not reported"
    if codes - allowed - {code}:
        return f"unexpected {' '.join(sorted(codes - allowed - {code}))}"
    return None


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    program, document = sys.argv[1:]
    with open(document, encoding="utf-8") as file:
        lines = file.readlines()
    failures = entries = 0
    with tempfile.TemporaryDirectory() as folder:
        for code, line, scenario, allowed in read_entries(lines):
            entries += 1
            problem = "no example" if scenario is None else check(
                program, folder, code, scenario, allowed)
            if problem:
                failures += 1
                print(f"FAIL: {document}:{line}: {code}: {problem}")
    print(f"{entries} entries, {failures} failed")
    sys.exit(1 if failures or not entries else 0)


if __name__ == "__main__":
    main()
