"""The Python module plotwright as installed: stories as the command line tells them,
diagnostics as named tuples, failures as exceptions, statistics as text."""
import ast
import errno
import os
import pickle
import subprocess
from pathlib import Path

import pytest

import plotwright

CLI = os.environ["PLOTWRIGHT_CLI"]
EXAMPLES = os.environ["PLOTWRIGHT_EXAMPLES"]
LIGHTHOUSE = os.path.join(EXAMPLES, "the-lighthouse-keeper.vell")
SJIS = os.path.join(EXAMPLES, "yoru-no-eki.sjis.vell")


def test_a_file_and_its_text_in_either_encoding_tell_the_same_story():
    sjis = Path(SJIS).read_bytes()
    from_bytes = plotwright.Scenario.from_text(sjis, encoding="shift_jis")
    from_str = plotwright.Scenario.from_text(sjis.decode("cp932"))
    story = from_bytes.story(seed=5)
    assert story == from_str.story(seed=5) == plotwright.Scenario.from_file(SJIS).story(seed=5)
    assert from_bytes.raw_story().decode("cp932").replace("\r\n", "\n") == story


def test_diagnostics_are_named_tuples():
    s = plotwright.Scenario.from_text("title A\n{Road}\nselect Road\nMarkt\n")
    first = s.diagnostics()[0]
    assert (first.line, first.column, first.severity, first.code) == (4, 1, "error", "V101")
    assert first.message == 'Scene "Markt" not found in select statement "Road"'
    assert first._fields[:4] == ("line", "column", "end_line", "end_column")
    assert pickle.loads(pickle.dumps(s.diagnostics())) == s.diagnostics()


def test_failures_are_exceptions(tmp_path):
    with pytest.raises(plotwright.FileError) as missing:
        plotwright.Scenario.from_file("/no/such/story.vell")
    assert isinstance(missing.value, OSError) and isinstance(missing.value, plotwright.Error)
    assert (missing.value.errno, missing.value.filename) == (errno.ENOENT, "/no/such/story.vell")
    assert str(missing.value) == "[Errno 2] No such file or directory: '/no/such/story.vell'"
    with pytest.raises(plotwright.FileError) as folder:
        plotwright.Scenario.from_file(tmp_path)
    assert (folder.value.errno, folder.value.filename) == (errno.EISDIR, str(tmp_path))
    with pytest.raises(plotwright.EncodingError, match=r"line 2: character U\+1F600"):
        plotwright.Scenario.from_text("title A\nA smile \N{GRINNING FACE}\n")
    with pytest.raises(plotwright.ScenarioError, match='Scene "Nowhere" not found'):
        plotwright.Scenario.from_text("title A\n{R}\nselect R\nNowhere\n").story(seed=1)
    with pytest.raises(ValueError, match="encoding"):
        plotwright.Scenario.from_file(LIGHTHOUSE, encoding="latin-1")


@pytest.mark.parametrize("seed,error", [
    (-1, ValueError), (-2**70, ValueError), (2**32, OverflowError), (2**70, OverflowError),
    ("7", TypeError), (7.0, TypeError)])
def test_seeds_outside_the_command_lines_range_are_refused(seed, error):
    s = plotwright.Scenario.from_text("title A\nAlpha.\n")
    with pytest.raises(error, match=f"^seed must be (an int|from 0 to 4294967295, not {seed})"):
        s.story(seed=seed)


def test_text_that_is_no_scenario_text_is_refused_as_the_files_are():
    with pytest.raises(plotwright.EncodingError, match=r"U\+D800 at index 8, a lone surrogate"):
        plotwright.Scenario.from_text("title A\n\ud800\n")
    s = plotwright.Scenario.from_text("title A\nAlpha.\ntitle B\nBeta.\n")
    with pytest.raises(plotwright.EncodingError, match=r"U\+DC80"):
        s.statistics = "\udc80"
    with pytest.raises(TypeError, match="str or bytes"):
        plotwright.Scenario.from_text(17)
    with pytest.raises(ValueError, match="^the scenario is longer than 256 MiB"):
        plotwright.Scenario.from_text(bytes((256 << 20) + 1))


def public(names):
    """The names a user sees: none with a leading underscore but these three."""
    return {n for n in names if not n.startswith("_") or n in ("__version__", "__enter__", "__exit__")}


def stub_names(nodes):
    """The public names a stub's statements declare, a class's with its members'."""
    names = {}
    for node in nodes:
        if isinstance(node, ast.ClassDef):
            names[node.name] = stub_names(node.body)
        elif isinstance(node, (ast.AnnAssign, ast.FunctionDef)):
            names[getattr(node, "name", None) or node.target.id] = None
    return {name: members for name, members in names.items() if public([name])}


def test_the_stub_names_what_the_module_has_and_everything_is_documented():
    with open(os.path.join(os.path.dirname(plotwright.__file__), "__init__.pyi")) as f:
        stub = stub_names(ast.parse(f.read()).body)
    assert set(stub) == public(vars(plotwright))
    for name, members in stub.items():
        value = getattr(plotwright, name)
        if members is not None:
            assert set(members) == public(vars(value)) and value.__doc__, name
            assert all(getattr(value, member).__doc__ for member in members), name


def test_statistics_go_out_and_come_back_as_text():
    s = plotwright.Scenario.from_text("title A\nAlpha.\ntitle B\nBeta.\n")
    first = s.story(seed=1)
    assert s.story(seed=1) == first  # until the statistics are saved
    counts = s.statistics
    assert len(counts.splitlines()) == 14
    s.save_statistics()
    t = plotwright.Scenario.from_text("title A\nAlpha.\ntitle B\nBeta.\n")
    t.statistics = counts
    assert t.story(seed=1) == s.story(seed=1) != first
    with pytest.raises(ValueError, match="do not fit"):
        t.statistics = "1 2\n"


def same_story_runs():
    """The runs of tests/frontends/same_story.txt: (path, seed, count, kept)."""
    root = os.path.join(os.path.dirname(__file__), "..", "..")
    with open(os.path.join(root, "tests", "frontends", "same_story.txt")) as table:
        for line in table:
            if line.strip() and not line.startswith("#"):
                path, seed, count, kept = line.split()
                yield os.path.join(root, path), int(seed), int(count), kept == "kept"


@pytest.mark.parametrize("path,seed,count,kept", list(same_story_runs()))
def test_the_shared_table_tells_what_the_program_prints(tmp_path, path, seed, count, kept):
    scenario = Path(path).read_bytes()
    (tmp_path / "story.vell").write_bytes(scenario)
    args = [CLI, "--seed", str(seed), "--count", str(count)] + ([] if kept else ["--no-stats"])
    printed = subprocess.run(args + ["story.vell"], cwd=tmp_path, capture_output=True).stdout
    s = plotwright.Scenario.from_text(scenario)
    try:
        told = [s.story(seed=seed)] + [s.regenerate() for _ in range(count - 1)]
    except plotwright.ScenarioError as error:
        told = [str(error) + "\n"]
    assert "\f\n".join(told).encode() == printed
    s.save_statistics()
    if kept:
        assert s.statistics == (tmp_path / "story.vus").read_text()
