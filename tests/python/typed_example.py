"""Every function of the module, as a typed program uses it: checked by mypy --strict against
the package's stub, then run. Usage: typed_example.py EXAMPLES_DIR"""
import sys
import tempfile
from pathlib import Path

import plotwright


def tell(path: Path) -> str:
    with plotwright.Scenario.from_file(path, encoding="auto", keep_statistics=True) as s:
        first: str = s.story(seed=7)
        raw: bytes = s.raw_story()
        return first + raw.decode("cp932") + s.regenerate()


def check(text: str) -> list[plotwright.Diagnostic]:
    found = plotwright.Scenario.from_text(text.encode(), encoding="utf-8").diagnostics()
    for d in found:
        print(f"{d.line}:{d.column}-{d.end_line}:{d.end_column} {d.severity} {d.code} {d.message}")
    return found


def main(examples: Path) -> None:
    print(plotwright.__version__)
    with tempfile.TemporaryDirectory() as folder:
        copy = Path(folder) / "story.vell"
        copy.write_bytes((examples / "the-lighthouse-keeper.vell").read_bytes())
        assert tell(copy) and (Path(folder) / "story.vus").exists()
    s = plotwright.Scenario.from_text("title A\nAlpha.\ntitle B\nBeta.\n")
    s.story()
    counts: str = s.statistics
    s.statistics = counts
    s.save_statistics()
    check("title A\n{Road}\nselect Road\nMarkt\n")
    errors: tuple[type[plotwright.Error], ...] = (plotwright.ScenarioError,
                                                 plotwright.EncodingError,
                                                 plotwright.StatisticsError)
    try:
        plotwright.Scenario.from_file(examples / "missing.vell")
    except plotwright.FileError as error:
        print(error.errno, error.strerror, error.filename)
    except errors:
        raise


if __name__ == "__main__":
    main(Path(sys.argv[1]))
