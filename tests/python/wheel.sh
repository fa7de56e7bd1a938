#!/bin/sh
# The wheel as a Python user gets it: `pip wheel .` from the source tree with nothing fetched,
# installed in a fresh virtual environment, the module's tests run against it, and mypy --strict
# on a program that uses every function.
# Usage: wheel.sh PYTHON SOURCE_DIR BUILD_DIR CLI
set -eu
python=$1 source=$2 build=$3 cli=$4
mypy=$(command -v mypy) ||
  { echo "SKIPPED: mypy is not installed (scripts/install-deps test installs it)"; exit 77; }
work=$build/wheel-test
rm -rf "$work" && mkdir -p "$work" && cd "$work"
export PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1 PYTHONDONTWRITEBYTECODE=1

# Debian's pytest comes from the system's packages; plotwright only from the wheel.
"$python" -m venv --system-site-packages venv
# The module's build folder is kept between runs, so that a run rebuilds only what changed.
venv/bin/pip wheel -q --no-deps -w dist --config-settings "build-dir=$build/wheel-build" "$source"
venv/bin/pip install -q dist/plotwright-*.whl
venv/bin/python -c 'import plotwright, sys; assert plotwright.__file__.startswith(sys.prefix)'

PLOTWRIGHT_CLI=$cli PLOTWRIGHT_EXAMPLES=$source/examples \
  venv/bin/python -m pytest -q -p no:cacheprovider "$source/tests/python"
"$mypy" --strict --no-incremental --python-executable venv/bin/python \
  "$source/tests/python/typed_example.py"
venv/bin/python "$source/tests/python/typed_example.py" "$source/examples" > /dev/null
