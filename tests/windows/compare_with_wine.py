#!/usr/bin/env python3
"""Holds plotwright.exe, run under Wine, to the bytes of the Linux build.

    compare_with_wine.py LINUX_PLOTWRIGHT LINUX_CP932_DUMP WINDOWS_BUILD SOURCE_DIR SCRATCH_DIR

Compares the two builds' code page 932 converters code by code, then runs both programs alike
in twin folders (the examples, the scenarios beside this script, the golden cases, a Japanese
path) and compares output, error, status, statistics file and files left. Then what only the
Windows build does: the language server, --watch, runs saving at once, a read-only statistics
file, killed runs' temporary files, and the release zip (make windows-zip) run as its README says.
WINDOWS_BUILD holds plotwright.exe and plotwright_cp932_dump.exe (make windows); the Wine prefix
lives in SCRATCH_DIR. Exits 77 (skipped) when Wine or the Windows build is missing.
"""

import concurrent.futures
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

SKIPPED = 77
TIMEOUT_SECONDS = 120
# How long the wine server stays after its last run, if this script is stopped before it ends it.
SERVER_SECONDS = 900
# How long another server may take to end before it is stopped.
SERVER_WAIT_SECONDS = 20
# What Wine writes when it cannot run a program or loses its server.
WINE_MESSAGES = (b"wine client error", b"wine: ")
TWO_TITLES = b"title A\nOne.\ntitle B\nTwo.\n"
# What the Linux message of a look-alike code (see compare_converters) adds to the Windows one.
LOOK_ALIKE = re.compile(rb" of its own \(it would come back as U\+[0-9A-F]+ \([^)\n]*\)\)")
WAITED = re.compile(rb"plotwright: warning: [^\n]*: is locked by another program; "
                    rb"waiting for it to save the statistics\r?\n")
# The runs for each scenario (jobs.json): without statistics, then several on one statistics file.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "jobs.json"),
          encoding="utf-8") as f:
    JOBS = json.load(f)


def skip(reason):
    print(f"SKIPPED: {reason}; the Windows build was not run")
    sys.exit(SKIPPED)


def find_wine():
    found = shutil.which("wine") or shutil.which("wine64")
    return found or ("/usr/lib/wine/wine64" if os.access("/usr/lib/wine/wine64", os.X_OK) else None)


class Wine:
    """Runs Windows programs in a prefix of their own, with one wine server for all runs."""

    def __init__(self, wine, prefix):
        self.wine = wine
        # No messages of Wine's own, no Mono or Gecko to offer, no menu entries in $HOME.
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEARCH="win64",
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        for name in ("DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)  # no windows: wineboot would show its progress in one
        server = os.path.join(os.path.dirname(os.path.realpath(wine)), "wineserver")
        self.server = server if os.access(server, os.X_OK) else shutil.which("wineserver")

    def start(self):
        """Creates the prefix on first use and starts one server and Wine's services for all
        runs. They are started with no output of ours open: a run's output is read to its end
        only when every process that holds it has ended."""
        quiet = dict(env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        started = time.monotonic()
        if not os.path.exists(os.path.join(self.env["WINEPREFIX"], "system.reg")):
            subprocess.run([self.wine, "wineboot", "--init"], check=True, **quiet)
            print(f"created the Wine prefix in {time.monotonic() - started:.0f} s")
        serve = [self.server, f"-p{SERVER_SECONDS}"]
        if self.server and subprocess.run(serve, **quiet).returncode != 0:
            # Another server holds the prefix: the one creating it left, which ends as soon as
            # it is idle (-p0), so a run could meet it on its way out; or one of an earlier run
            # that was stopped. Ours takes its place.
            try:
                subprocess.run([self.server, "-w"], timeout=SERVER_WAIT_SECONDS, **quiet)
            except subprocess.TimeoutExpired:
                subprocess.run([self.server, "-k"], **quiet)
            subprocess.run(serve, check=True, **quiet)
        subprocess.run([self.wine, "cmd", "/c", "exit"], **quiet)

    def stop(self):
        if self.server:
            subprocess.run([self.server, "-k"], env=self.env, stderr=subprocess.DEVNULL)


class Checks:
    def __init__(self, linux, exe, wine, scratch):
        self.linux, self.exe, self.wine, self.scratch = linux, exe, wine, scratch
        self.failures = self.jobs = 0
        # Each build's version (git describe), which --version and SARIF show: the two builds
        # may come from different states of the tree.
        self.versions = [build_version(self.run([linux, "--version"], scratch)[0]),
                         build_version(self.run_windows(["--version"], scratch)[0])]
        if self.versions[0] != self.versions[1]:
            print("note: the builds are of %s (Linux) and %s (Windows); make windows builds the "
                  "Windows program again" % tuple(version.decode() for version in self.versions))

    def fail(self, job, message):
        print(f"FAIL {job}: {message}")
        self.failures += 1

    def run(self, command, folder, stdin=b"", env=None):
        """Runs the command in the folder: its standard output, standard error and status.
        Both outputs go to files, which are read once the program has ended."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run(command, cwd=folder, input=stdin, stdout=out, stderr=err,
                                  env=env, timeout=TIMEOUT_SECONDS)
            out.seek(0)
            err.seek(0)
            return out.read(), err.read(), done.returncode

    def run_windows(self, args, folder, stdin=b"", exe=None):
        """Runs the Windows program (or `exe`), its paths in the folder shown as Linux shows
        them; a run that Wine itself broke is run once more."""
        command = [self.wine.wine, exe or self.exe] + args
        result = self.run(command, folder, stdin, self.wine.env)
        if wine_broke(result):
            print(f"note: Wine broke a run of {' '.join(args)} (status {result[2]}, "
                  f"standard error {result[1][:80]!r}); it was run again")
            result = self.run(command, folder, stdin, self.wine.env)
        return result[0], linux_paths(result[1], folder), result[2]

    def run_both(self, args, folders, stdin, statistics, exe=None):
        """Runs the Linux build with args[0] in folders[0] and the Windows build with args[1] in
        folders[1]: for each, what it wrote (its folder as $DIR), its status, the statistics
        file, the files left."""
        linux = self.run([self.linux] + args[0], folders[0], stdin)
        runs = [(linux[0], LOOK_ALIKE.sub(b"", linux[1]), linux[2]),
                self.run_windows(args[1], folders[1], stdin, exe)]
        results = []
        for (out, err, status), folder, version in zip(runs, folders, self.versions):
            out, err = (text.replace(folder.encode(), b"$DIR").replace(version, b"$BUILD")
                        for text in (out, err))
            kept = read(os.path.join(folder, statistics)) if statistics else None
            results.append({"standard output": out, "standard error": err, "exit status": status,
                            "statistics file": kept, "files left": sorted(os.listdir(folder))})
        return results

    def compare_results(self, name, want, got):
        for what, value in want.items():
            if got[what] == value:
                continue
            if isinstance(value, bytes) or value is None:
                self.fail(name, f"{what} differs:\n" + first_difference(value, got[what]))
            else:
                self.fail(name, f"{what}: Linux {value}, Windows {got[what]}")

    def twins(self):
        """A new folder for each build (all go with the scratch folder at the end)."""
        return [os.path.realpath(tempfile.mkdtemp(prefix=side + ".", dir=self.scratch))
                for side in ("linux", "windows")]

    def compare(self, job, files, runs, statistics=""):
        """Runs each (args, stdin) of `runs` with both builds, in turn, in twins with `files`."""
        self.jobs += 1
        folders = self.twins()
        for folder in folders:
            write(folder, files)
        for step, (args, stdin) in enumerate(runs):
            name = f"{job} [{' '.join(args)}]" + (f" (run {step + 1})" if len(runs) > 1 else "")
            self.compare_results(name, *self.run_both((args, args), folders, stdin, statistics))


def wine_broke(result):
    """A run that Wine itself broke, not the program: Wine's own message instead of the
    program's (its client lost the server), or a failure with no word at all, which the program
    never gives (each failure of its own says why on standard error). Anything else the program
    wrote is compared as it stands, so a real difference always fails."""
    out, err, status = result
    return err.startswith(WINE_MESSAGES) or (status != 0 and not out and not err)


def build_version(version_text):
    """The build's version in `plotwright --version`: "Plotwright(...) Ver1.00 (build V)"."""
    found = re.search(rb"\(build ([^)\n]+)\)", version_text)
    return found.group(1) if found else b"(no version)"


def linux_paths(text, folder):
    """Paths in the folder as Wine shows them (Z:\\tmp\\f\\b.vus) as Linux does (/tmp/f/b.vus)."""
    windows = re.escape(("Z:" + folder.replace("/", "\\")).encode())
    return re.sub(windows + rb"((?:\\[^\\:\n]+)*)",
                  lambda found: folder.encode() + found.group(1).replace(b"\\", b"/"), text)


def read(path):
    try:
        with open(path, "rb") as file:
            return file.read()
    except FileNotFoundError:
        return None


def first_difference(want, got):
    if want is None or got is None:
        return f"  Linux: {want!r:.80}, Windows: {got!r:.80}"
    at = next((i for i, (a, b) in enumerate(zip(want, got)) if a != b), min(len(want), len(got)))
    return (f"  at byte {at} of {len(want)} (Linux) and {len(got)} (Windows)\n"
            f"  Linux:   {want[max(0, at - 40):at + 40]!r}\n"
            f"  Windows: {got[max(0, at - 40):at + 40]!r}")


def read_table(path):
    """{('decode', code): character} and {('encode', character): code} from a table file."""
    lines = (read(path) or b"").decode().splitlines()
    return {(direction, key): value for direction, key, value in map(str.split, lines)}


def compare_converters(checks, linux_table, table_exe):
    """Every code and character converts alike, but for the look-alike codes that glibc gives
    a few characters: codes that decode to another character, which the codec refuses on both
    systems (only the message says more on Linux)."""
    checks.jobs += 1
    subprocess.run([linux_table, os.path.join(checks.scratch, "linux.txt")], check=True)
    checks.run_windows(["windows.txt"], checks.scratch, exe=table_exe)
    linux, windows = (read_table(os.path.join(checks.scratch, side + ".txt"))
                      for side in ("linux", "windows"))
    look_alikes = []
    for key in sorted(set(linux) | set(windows)):
        want, got = linux.get(key), windows.get(key)
        if want == got:
            continue
        if key[0] == "encode" and got is None and linux.get(("decode", want)) != key[1]:
            look_alikes.append(f"{key[1]} ({want})")
        else:
            checks.fail("code page 932", f"{key[0]} {key[1]}: Linux {want}, Windows {got}")
    if look_alikes:
        print(f"note: a look-alike code on Linux alone, no code on Windows (refused on both): "
              f"{', '.join(look_alikes)}")


def compare_scenarios(checks, folder):
    """Each scenario of the folder, as a file and on standard input, with and without the
    statistics file."""
    for name in sorted(glob.glob("*.vell", root_dir=folder)):
        files = {name: read(os.path.join(folder, name))}
        for args in JOBS["example_args"]:
            checks.compare(name, files, [(args + [name], b"")])
        checks.compare(name, files, [(["--no-stats", "--seed", "5", "-"], files[name])])
        runs = [(args + [name], b"") for args in JOBS["statistics_runs"]]
        checks.compare(name, files, runs, name[:-len(".vell")] + ".vus")


def compare_golden_cases(checks, cases_dir):
    """Each golden case (tests/cases/README.md) with both programs, as its runner runs it, but
    for those of Linux devices (/dev/stdin, /dev/zero, ...), which Windows does not have."""
    sys.path.insert(0, cases_dir)
    import run_cases  # pylint: disable=import-outside-toplevel
    linux_only = []
    for name in run_cases.find_cases(cases_dir, []):
        case = run_cases.Case(cases_dir, name)
        if b"/dev/" in (case.read(".args") or b""):
            linux_only.append(name)
            continue
        checks.jobs += 1
        scenario, folders = case.scenario(), checks.twins()
        args = [run_cases.prepare(case, folder, scenario) for folder in folders]
        results = checks.run_both(args, folders, scenario or b"", case.stem + ".vus")
        checks.compare_results(f"case {name}", *results)
    print(f"note: cases of Linux devices, not run on Windows: {', '.join(linux_only)}")


def compare_japanese_path(checks, source):
    """Japanese names for the folder and the file: the command line and file APIs in UTF-16."""
    content = read(os.path.join(source, "examples", "yoru-no-eki.vell"))
    path = "夜の駅/物語.vell"
    runs = [(["--seed", "4", path], b""), (["--seed", "4", "--count", "2", path], b"")]
    checks.compare("Japanese path", {path: content}, runs, "夜の駅/物語.vus")


# What only the Windows build does


def check_with_linux_tests(checks, source):
    """Tests written for the Linux build that take the program as an argument, given the
    Windows program instead: the language server's protocol, and --watch (saves in place and
    renamed over the file, a file briefly missing, Ctrl+C as SIGINT, which Wine hands to the
    console's control handler)."""
    script = f'#!/bin/sh\nexec {checks.wine.wine} {checks.exe} "$@"\n'.encode()
    write(checks.scratch, {"plotwright-under-wine": (script, 0o755)})
    program = os.path.join(checks.scratch, "plotwright-under-wine")
    tests = {"language server": [sys.executable, "tests/lsp/protocol_test.py", program],
             "--watch": ["bash", "tests/cli/watch.sh", program, "--portable"]}
    for name, command in tests.items():
        command[1] = os.path.join(source, command[1])
        done = subprocess.run(command, env=checks.wine.env, capture_output=True,
                              timeout=TIMEOUT_SECONDS)
        if done.returncode != 0:
            checks.fail(name, done.stdout.decode(errors="replace")[-2000:])


def check_saves(checks, name, files, runs, statistics, warning=b"", left=()):
    """`runs` stories of story.vell, eight at a time, in a folder holding `files` ({name: bytes
    or (bytes, mode)}): each a story with just `warning` on standard error (its folder as $DIR;
    a wait for its turn is no fault), then a statistics file that starts with `statistics` and
    no files but story.vell, story.vus and `left`."""
    folder = tempfile.mkdtemp(prefix="saves.", dir=checks.scratch)
    write(folder, dict(files, **{"story.vell": TWO_TITLES}))
    with concurrent.futures.ThreadPoolExecutor(8) as pool:
        for out, err, status in pool.map(
                lambda seed: checks.run_windows(["--seed", str(seed), "story.vell"], folder),
                range(runs)):
            err = WAITED.sub(b"", err.replace(folder.encode(), b"$DIR"))
            if status != 0 or b"One." not in out and b"Two." not in out or err != warning:
                checks.fail(name, f"status {status}: {out[:200]!r} {err.decode()[:300]}")
    got = read(os.path.join(folder, "story.vus")) or b""
    if not got.startswith(statistics):
        checks.fail(name, f"the statistics file starts {got[:40]!r}, not {statistics!r}")
    if sorted(os.listdir(folder)) != sorted(["story.vell", "story.vus", *left]):
        checks.fail(name, f"left {sorted(os.listdir(folder))}")


def check_release_zip(checks, source, windows_build):
    """The zip of make windows-zip as a user gets it: one folder, unpacked, its README's command
    run under Wine in it and the Linux build run the same way in a copy, for every example and a
    scenario on standard input."""
    checks.jobs += 1
    work = tempfile.mkdtemp(prefix="zip.", dir=checks.scratch)
    made = subprocess.run([os.path.join(source, "scripts", "windows-zip"), windows_build, work],
                          check=True, capture_output=True, text=True).stdout.strip()
    with zipfile.ZipFile(made) as archive:
        names = archive.namelist()
        top = {name.split("/")[0] for name in names}
        wanted = ["plotwright.exe", "README.txt", "language.md",
                  "examples/the-lighthouse-keeper.vell"]
        if len(top) != 1 or any(f"{min(top)}/{name}" not in names for name in wanted):
            return checks.fail("release zip", f"not one folder holding {wanted}: {names[:20]}")
        archive.extractall(os.path.join(work, "windows"))
    folders = [os.path.join(work, "linux", min(top)), os.path.join(work, "windows", min(top))]
    shutil.copytree(folders[1], folders[0])
    exe = os.path.join(folders[1], "plotwright.exe")
    objdump = shutil.which("x86_64-w64-mingw32-objdump")
    if objdump and ".debug" in subprocess.run([objdump, "-h", exe], capture_output=True,
                                              text=True).stdout:
        checks.fail("release zip", "plotwright.exe is not stripped")
    if b"plotwright.exe --seed 7 examples\\the-lighthouse-keeper.vell\r\n" not in read(
            os.path.join(folders[1], "README.txt")):
        checks.fail("release zip", "the README does not show the command it should")
    for example in sorted(glob.glob("examples/**/*.vell", root_dir=folders[1], recursive=True)):
        args = (["--seed", "7", example], ["--seed", "7", example.replace("/", "\\")])
        results = checks.run_both(args, folders, b"", example[:-len(".vell")] + ".vus", exe)
        # Windows writes the path as it was given; the Linux way is compared.
        results[1]["standard error"] = results[1]["standard error"].replace(b"\\", b"/")
        checks.compare_results(f"release zip {example}", *results)
    stdin = read(os.path.join(folders[1], "examples", "the-lighthouse-keeper.vell"))
    results = checks.run_both([["--seed", "3", "-"]] * 2, folders, stdin, "", exe)
    checks.compare_results("release zip, standard input", *results)


def write(folder, files):
    for name, content in files.items():
        content, mode = content if isinstance(content, tuple) else (content, None)
        os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
        with open(os.path.join(folder, name), "wb") as file:
            file.write(content)
        if mode is not None:
            os.chmod(os.path.join(folder, name), mode)


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    linux, linux_table, windows_build, source, scratch = sys.argv[1:]
    exe = os.path.abspath(os.path.join(windows_build, "plotwright.exe"))
    table_exe = os.path.abspath(os.path.join(windows_build, "plotwright_cp932_dump.exe"))
    wine = find_wine()
    if wine is None:
        skip("Wine is not installed (scripts/install-deps installs it)")
    for program in (exe, table_exe):
        if not os.path.isfile(program):
            skip(f"{program} is missing (make windows builds it; make test does too)")
    os.makedirs(scratch, exist_ok=True)
    started = time.monotonic()
    wine_runner = Wine(wine, os.path.join(os.path.abspath(scratch), "prefix"))
    wine_runner.start()
    checks = Checks(os.path.abspath(linux), os.path.abspath(exe), wine_runner,
                    tempfile.mkdtemp(prefix="runs.", dir=scratch))
    try:
        compare_converters(checks, linux_table, table_exe)
        compare_scenarios(checks, os.path.join(source, "examples"))
        compare_scenarios(checks, os.path.dirname(os.path.abspath(__file__)))
        compare_golden_cases(checks, os.path.join(source, "tests", "cases"))
        compare_japanese_path(checks, source)
        check_with_linux_tests(checks, source)
        check_release_zip(checks, source, windows_build)
        check_saves(checks, "runs at once", {}, 16, b"%12d%12d\n" % (16, 16))
        # A statistics file without write permission is left as it is, with a warning.
        read_only = b"%12d%12d\n" % (5, 5)
        check_saves(checks, "read-only statistics", {"story.vus": (read_only, 0o444)}, 1,
                    read_only, b"plotwright: warning: could not save statistics: "
                    b"$DIR/story.vus: is read-only; left as it is\n")
        # A temporary file of a run that no longer runs goes at the next save; another's stays.
        # Windows numbers processes in fours: no process has an odd number.
        stale, other = ".plotwright.4097.0a1b2c3d4e5f", ".plotwright.x.0a1b2c3d4e5f"
        check_saves(checks, "stale temporary file", {stale: b"", other: b""}, 1,
                    b"%12d%12d\n" % (1, 1), left=[other])
    finally:
        wine_runner.stop()
        shutil.rmtree(checks.scratch, ignore_errors=True)
    print(f"{checks.jobs} comparisons with the Linux build and 5 Windows checks "
          f"in {time.monotonic() - started:.0f} s: {checks.failures} failures")
    sys.exit(1 if checks.failures else 0)


if __name__ == "__main__":
    main()
