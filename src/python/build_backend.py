"""The wheel's build backend (PEP 517), with nothing to fetch: `pip install .`, `pip wheel .`
and `python -m build` work from a clone with no network.

It configures the project's own CMake build for the Python interpreter that runs it, builds only
the module's target, and writes the wheel with the standard library: the package folder the
build leaves in BUILD/python/plotwright (the extension as its __init__, the typed stub, py.typed)
and the .dist-info (METADATA from pyproject.toml's [project] table, WHEEL, RECORD with sha256).

The build folder is a fresh temporary one, or the one named by the config setting `build-dir`
(`pip wheel . --config-settings build-dir=PATH`) or the environment
variable PLOTWRIGHT_WHEEL_BUILD_DIR, which later builds then reuse. CMAKE_GENERATOR and
CMAKE_BUILD_PARALLEL_LEVEL are CMake's own and are honoured.
"""

import base64
import csv
import hashlib
import io
import os
import re
import shutil
import subprocess
import sys
import sysconfig
import tarfile
import tempfile
import time
import tomllib
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
# Files that no build needs, left out of the source archive.
SDIST_SKIPPED = re.compile(r"^(\.git|build[^/]*|web/(node_modules|dist)|.*__pycache__)(/|$)")
# The earliest time a zip file can record (1980-01-01).
ZIP_EPOCH = 315532800
# The CMake options of a build that holds the Python module and nothing it does not need.
CMAKE_OPTIONS = [
    "-DCMAKE_BUILD_TYPE=Release",
    "-DBUILD_TESTING=OFF",
    "-DPLOTWRIGHT_GUI=OFF",
    "-DPLOTWRIGHT_BENCH=OFF",
    "-DPLOTWRIGHT_MAN_PAGES=OFF",
    "-DPLOTWRIGHT_LIBRARY=ON",
    "-DPLOTWRIGHT_PYTHON=ON",
    # A wheel has no libplotwright beside it: the module carries the engine itself.
    "-DPLOTWRIGHT_PYTHON_SHARED=OFF",
]


def project():
    """pyproject.toml's [project] table, with the version the CMake project declares."""
    with open(ROOT / "pyproject.toml", "rb") as f:
        table = dict(tomllib.load(f)["project"])
    cmake = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    table["version"] = re.search(r"project\(\w+ VERSION ([\d.]+)", cmake).group(1)
    return table


def metadata(table):
    """The METADATA (core metadata 2.1) of the [project] table."""
    lines = [
        "Metadata-Version: 2.1",
        f"Name: {table['name']}",
        f"Version: {table['version']}",
        f"Summary: {table['description']}",
        f"License: {table['license']['text']}",
        f"Requires-Python: {table['requires-python']}",
    ]
    lines += [f"Classifier: {c}" for c in table.get("classifiers", [])]
    lines += [f"Project-URL: {k}, {v}" for k, v in table.get("urls", {}).items()]
    readme = ROOT / table["readme"]
    lines += ["Description-Content-Type: text/markdown", "", readme.read_text(encoding="utf-8")]
    return "\n".join(lines)


def wheel_tag():
    """The tag of a wheel for this interpreter's extension modules: cp311-cp311-linux_x86_64."""
    interpreter = {"cpython": "cp", "pypy": "pp"}.get(sys.implementation.name, "py")
    interpreter += f"{sys.version_info.major}{sys.version_info.minor}"
    soabi = sysconfig.get_config_var("SOABI") or ""
    abi = interpreter if soabi.startswith(("cpython-", "pypy")) else "none"
    if sysconfig.get_config_var("Py_DEBUG"):
        abi += "d"
    platform = re.sub(r"[-.]", "_", sysconfig.get_platform())
    return f"{interpreter}-{abi}-{platform}"


def build_module(build_dir):
    """Configures and builds the module's target for this interpreter; returns its package folder."""
    python = f"-DPython3_EXECUTABLE={sys.executable}"
    # pybind11 looks for the interpreter under CMake's other name, Python.
    pybind_python = f"-DPython_EXECUTABLE={sys.executable}"
    configure = ["cmake", "-S", str(ROOT), "-B", str(build_dir), "--log-level=WARNING"]
    subprocess.run(configure + CMAKE_OPTIONS + [python, pybind_python], check=True)
    jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 1))
    build = ["cmake", "--build", str(build_dir), "--target", "plotwright_python", "-j", jobs]
    subprocess.run(build, check=True)
    return Path(build_dir) / "python" / "plotwright"


def build_dir_of(config_settings):
    """The build folder asked for, or None for a temporary one."""
    asked = (config_settings or {}).get("build-dir") or os.environ.get("PLOTWRIGHT_WHEEL_BUILD_DIR")
    return Path(asked).resolve() if asked else None


def record_line(name, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return [name, f"sha256={digest}", str(len(data))]


def zip_entry(name):
    """An entry readable by all, dated SOURCE_DATE_EPOCH when it is set (a repeatable wheel)."""
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    when = time.gmtime(max(int(epoch), ZIP_EPOCH)) if epoch else time.localtime()
    entry = zipfile.ZipInfo(name, when[:6])
    entry.compress_type = zipfile.ZIP_DEFLATED
    entry.external_attr = 0o644 << 16
    return entry


def write_wheel(path, files):
    """A wheel of `files` (archive name -> bytes), its RECORD last."""
    dist_info = next(name.split("/")[0] for name in files if ".dist-info/" in name)
    record = io.StringIO()
    writer = csv.writer(record, lineterminator="\n")
    with zipfile.ZipFile(path, "w") as wheel:
        for name, data in files.items():
            wheel.writestr(zip_entry(name), data)
            writer.writerow(record_line(name, data))
        writer.writerow([f"{dist_info}/RECORD", "", ""])
        wheel.writestr(zip_entry(f"{dist_info}/RECORD"), record.getvalue())


def dist_info_files(table, tag):
    """The .dist-info's files but RECORD, by archive name."""
    dist_info = f"{table['name']}-{table['version']}.dist-info"
    wheel = f"Wheel-Version: 1.0\nGenerator: plotwright build_backend\nRoot-Is-Purelib: false\nTag: {tag}\n"
    return {
        f"{dist_info}/METADATA": metadata(table).encode(),
        f"{dist_info}/WHEEL": wheel.encode(),
    }


# ---------------------------------------------------------------------------------------------
# The hooks of PEP 517

def get_requires_for_build_wheel(config_settings=None):
    return []


def get_requires_for_build_sdist(config_settings=None):
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    """The .dist-info alone, without building the module."""
    files = dist_info_files(project(), wheel_tag())
    for name, data in files.items():
        target = Path(metadata_directory) / name
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
    return next(iter(files)).split("/")[0]


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    table = project()
    tag = wheel_tag()
    asked = build_dir_of(config_settings)
    with tempfile.TemporaryDirectory(prefix="plotwright-wheel-") as scratch:
        package = build_module(asked or scratch)
        files = {f"plotwright/{p.name}": p.read_bytes() for p in sorted(package.iterdir())
                 if p.is_file()}
    files.update(dist_info_files(table, tag))
    name = f"{table['name']}-{table['version']}-{tag}.whl"
    write_wheel(Path(wheel_directory) / name, files)
    return name


def build_sdist(sdist_directory, config_settings=None):
    table = project()
    base = f"{table['name']}-{table['version']}"
    name = f"{base}.tar.gz"
    with tarfile.open(Path(sdist_directory) / name, "w:gz", format=tarfile.PAX_FORMAT) as sdist:
        for path in sorted(source_files()):
            sdist.add(ROOT / path, f"{base}/{path}", recursive=False)
        info = tarfile.TarInfo(f"{base}/PKG-INFO")
        data = metadata(table).encode()
        info.size = len(data)
        sdist.addfile(info, io.BytesIO(data))
    return name


def source_files():
    """The project's files, as git tracks them in a clone, or as they are in an unpacked sdist."""
    if (ROOT / ".git").exists() and shutil.which("git"):
        listed = subprocess.run(["git", "-C", str(ROOT), "ls-files", "-z"], check=True,
                                capture_output=True).stdout
        return [p for p in listed.decode().split("\0") if p and (ROOT / p).is_file()]
    found = (p.relative_to(ROOT).as_posix() for p in ROOT.rglob("*") if p.is_file())
    return [p for p in found if not SDIST_SKIPPED.match(p) and p != "PKG-INFO"]
