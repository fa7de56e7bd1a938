"""Random short stories from scenarios in the Vell language."""

from os import PathLike
from typing import Literal, NamedTuple, TypeAlias

_Encoding: TypeAlias = Literal["auto", "shift_jis", "utf-8"]

__version__: str

class Diagnostic(NamedTuple):
    """One thing `plotwright check` reports."""

    line: int
    column: int
    end_line: int
    end_column: int
    severity: Literal["error", "warning", "note"]
    code: str
    message: str

class Error(Exception):
    """The base class of every plotwright exception."""

class ScenarioError(Error):
    """The scenario tells no story."""

class EncodingError(Error):
    """A text that cannot be read or written in the encoding asked for."""

class StatisticsError(Error):
    """The statistics file could not be written."""

class FileError(Error, OSError):
    """A scenario file that cannot be read."""

class Scenario:
    """A scenario in the Vell language and its stories."""

    @staticmethod
    def from_file(
        path: str | PathLike[str], encoding: _Encoding = "auto", keep_statistics: bool = False
    ) -> Scenario: ...
    @staticmethod
    def from_text(text: str | bytes, encoding: _Encoding = "auto") -> Scenario: ...
    def story(self, seed: int | None = None) -> str: ...
    def regenerate(self) -> str: ...
    def raw_story(self) -> bytes: ...
    @property
    def statistics(self) -> str: ...
    @statistics.setter
    def statistics(self, text: str | bytes) -> None: ...
    def save_statistics(self) -> None: ...
    def diagnostics(self) -> list[Diagnostic]: ...
    def __enter__(self) -> Scenario: ...
    def __exit__(self, *args: object) -> None: ...
