"""The Windows release as a user gets it: the zip of make windows-zip, unpacked, its README's
command run under Wine in the unpacked folder and the Linux build run the same way in a copy
of it. Standard output, standard error, the exit status and the statistics file must be equal,
for every example and for a scenario read from standard input (which keeps no statistics and
says so).

Usage: windows_zip.py PLOTWRIGHT WINDOWS_BUILD SOURCE_DIR SCRATCH
Skipped (status 77) without Wine or without the Windows build."""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

SKIPPED = 77


def skip(reason):
    print(f"SKIPPED: {reason}; the Windows zip was not tried")
    sys.exit(SKIPPED)


def wine_env(prefix):
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEARCH="win64",
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    return env


def run(command, folder, env=None, stdin=None):
    result = subprocess.run(command, cwd=folder, env=env, stdin=stdin, capture_output=True)
    return result.returncode, result.stdout, result.stderr


def unpacked(zip_path, scratch):
    """The zip's one folder, unpacked in `scratch`, after checking what it holds."""
    with zipfile.ZipFile(zip_path) as archive:
        names = archive.namelist()
        top = {name.split("/")[0] for name in names}
        assert len(top) == 1, f"one folder in the zip, not {sorted(top)}"
        (folder,) = top
        for wanted in ("plotwright.exe", "README.txt", "language.md",
                       "examples/the-lighthouse-keeper.vell"):
            assert f"{folder}/{wanted}" in names, f"{wanted} missing from the zip"
        archive.extractall(scratch)
    return os.path.join(scratch, folder)


def debug_sections(exe):
    """The names of the exe's debug sections, or None when no objdump can tell."""
    objdump = shutil.which("x86_64-w64-mingw32-objdump")
    if not objdump:
        return None
    headers = subprocess.run([objdump, "-h", exe], check=True, capture_output=True, text=True)
    return [word for word in headers.stdout.split() if word.startswith(".debug")]


def main(linux, windows_build, source, scratch):
    wine = shutil.which("wine")
    if not wine:
        skip("Wine is not installed (scripts/install-deps installs it)")
    if not os.path.exists(os.path.join(windows_build, "plotwright.exe")):
        skip(f"there is no {windows_build}/plotwright.exe (make windows builds it)")
    os.makedirs(scratch, exist_ok=True)
    work = tempfile.mkdtemp(prefix="zip.", dir=scratch)
    made = subprocess.run([os.path.join(source, "scripts", "windows-zip"), windows_build, work],
                          check=True, capture_output=True, text=True).stdout.strip()
    windows = unpacked(made, os.path.join(work, "windows"))
    assert debug_sections(os.path.join(windows, "plotwright.exe")) in (None, []), "not stripped"
    readme = open(os.path.join(windows, "README.txt"), "rb").read()
    assert b"plotwright.exe --seed 7 examples\\the-lighthouse-keeper.vell\r\n" in readme
    linux_copy = os.path.join(work, "linux")
    shutil.copytree(windows, linux_copy)

    env = wine_env(os.path.join(scratch, "prefix"))
    if not os.path.exists(os.path.join(env["WINEPREFIX"], "system.reg")):
        subprocess.run([wine, "wineboot", "--init"], env=env, check=True, capture_output=True)
    failures = 0
    examples = sorted(os.path.relpath(p, windows)
                      for p in glob.glob(os.path.join(windows, "examples", "**", "*.vell"),
                                         recursive=True))
    for example in examples:
        args = ["--seed", "7", example]
        on_windows = run([wine, "plotwright.exe"] + args[:-1] + [example.replace("/", "\\")],
                         windows, env)
        on_linux = run([linux] + args, linux_copy)
        vus = example[:-len(".vell")] + ".vus"
        kept = [open(os.path.join(side, vus), "rb").read()
                if os.path.exists(os.path.join(side, vus)) else None
                for side in (windows, linux_copy)]
        # Windows writes the path as it was given; the Linux way is compared.
        on_windows = (on_windows[0], on_windows[1], on_windows[2].replace(b"\\", b"/"))
        if on_windows != on_linux or kept[0] != kept[1]:
            failures += 1
            print(f"{example}: Windows {on_windows!r:.300} {kept[0]!r:.80}\n"
                  f"   Linux {on_linux!r:.300} {kept[1]!r:.80}")
    # Standard input keeps no statistics, and both say so in the same words.
    example = os.path.join(windows, "examples", "the-lighthouse-keeper.vell")
    with open(example, "rb") as a, open(example, "rb") as b:
        from_stdin = [run([wine, "plotwright.exe", "--seed", "3", "-"], windows, env, a),
                      run([linux, "--seed", "3", "-"], linux_copy, None, b)]
    said = b"plotwright: warning: standard input: no statistics are kept for it\n"
    if from_stdin[0] != from_stdin[1] or from_stdin[1][2] != said:
        failures += 1
        print(f"standard input: Windows {from_stdin[0]!r:.300}\n   Linux {from_stdin[1]!r:.300}")
    shutil.rmtree(work)
    print(f"{len(examples) + 1} runs of the unpacked zip, {failures} differing")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
