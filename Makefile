# The two set-up commands of the README (make run, make test) and the other chores.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WEB_BUILD ?= build-web
WINDOWS_BUILD ?= build-windows
# Release strips plotwright.exe; RelWithDebInfo keeps its symbols for a debugger.
WINDOWS_BUILD_TYPE ?= Release
# Seconds each fuzz target runs in make fuzz; the size of the repeatable smoke run of make test.
FUZZ_SECONDS ?= 300
FUZZ_SMOKE_SCALE ?= 1
FUZZ_TARGETS := load_fuzzer statistics_fuzzer encoding_fuzzer c_api_fuzzer lsp_fuzzer
EXAMPLE ?= examples/the-lighthouse-keeper.vell
PREFIX ?= /usr/local
# No "Entering directory" lines from the builds that make runs below this one. Build folders
# made anew use Ninja (scripts/install-deps installs it): a build with nothing to do returns at
# once and says so in one line. A folder configured earlier keeps the generator it has.
MAKEFLAGS += --no-print-directory
export CMAKE_GENERATOR ?= Ninja

# What each build of $(BUILD) holds. The first story needs only the command-line program, so a
# folder that nothing has configured yet gets the smallest build; the full build (make build,
# and so make test) turns everything on. Options already set are kept otherwise, so make run
# after make test builds nothing anew.
SMALL_BUILD := -DBUILD_TESTING=OFF -DPLOTWRIGHT_GUI=OFF -DPLOTWRIGHT_BENCH=OFF \
  -DPLOTWRIGHT_LIBRARY=OFF -DPLOTWRIGHT_PYTHON=OFF -DPLOTWRIGHT_MAN_PAGES=OFF
FULL_BUILD := -DBUILD_TESTING=ON -DPLOTWRIGHT_GUI=ON -DPLOTWRIGHT_BENCH=ON \
  -DPLOTWRIGHT_LIBRARY=ON -DPLOTWRIGHT_PYTHON=ON -DPLOTWRIGHT_MAN_PAGES=ON
CONFIGURE = cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release --log-level=WARNING
# Configures $(BUILD) as the small build unless it is configured already.
CONFIGURE_ONCE = [ -f $(BUILD)/CMakeCache.txt ] || $(CONFIGURE) $(SMALL_BUILD) >/dev/null

.PHONY: deps build build-asan build-fuzz run gui install test unit-test asan-test fuzz \
        fuzz-smoke bench format clean screenshot editor-screenshot vsix package docs web \
        web-screenshot web-bench windows windows-zip playground vscode-screenshot

# Every group of packages (scripts/install-deps): what make test needs.
deps:
	@scripts/install-deps

# The full build: every program, the library, the Python module, the tests and benchmarks.
build:
	@scripts/install-deps run gui library test
	@$(CONFIGURE) $(FULL_BUILD)
	@cmake --build $(BUILD) -j$(JOBS)

# The first story: the command-line program alone, and only the packages it needs.
run:
	@scripts/install-deps run
	@$(CONFIGURE_ONCE)
	@cmake --build $(BUILD) -j$(JOBS) --target plotwright
	@./$(BUILD)/plotwright $(EXAMPLE)

# The desktop program, build/plotwright-gui.
gui:
	@scripts/install-deps run gui
	@$(CONFIGURE_ONCE)
	@$(CONFIGURE) -DPLOTWRIGHT_GUI=ON >/dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target plotwright-gui

# The command-line program into PREFIX/bin (PREFIX=~/.local puts it where a login shell looks).
install:
	@scripts/install-deps run
	@$(CONFIGURE_ONCE)
	@cmake --build $(BUILD) -j$(JOBS) --target plotwright
	@install -D -m 755 $(BUILD)/plotwright $(DESTDIR)$(PREFIX)/bin/plotwright
	@echo "installed $(DESTDIR)$(PREFIX)/bin/plotwright"

build-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPLOTWRIGHT_SANITIZE=ON \
	  -DPLOTWRIGHT_GUI=OFF -DPLOTWRIGHT_BENCH=OFF -DPLOTWRIGHT_PYTHON=OFF --log-level=WARNING
	@cmake --build $(ASAN_BUILD) -j$(JOBS)

# The fuzz targets (libFuzzer, with ASan and UBSan) need clang, the version whose runtime
# scripts/install-deps installs.
build-fuzz:
	@scripts/install-deps run test
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPLOTWRIGHT_FUZZ=ON -DPLOTWRIGHT_GUI=OFF -DPLOTWRIGHT_BENCH=OFF -DBUILD_TESTING=OFF \
	  -DPLOTWRIGHT_PYTHON=OFF \
	  --log-level=WARNING
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target $(FUZZ_TARGETS)

# plotwright.exe for 64-bit Windows, one statically linked file, cross-built with Debian's
# mingw-w64 (docs/windows.md). Only the command-line program (Debian has no Qt for Windows) and
# the code page table that the Wine test compares.
windows:
	@scripts/install-deps run windows
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=$(WINDOWS_BUILD_TYPE) -DPLOTWRIGHT_GUI=OFF -DPLOTWRIGHT_BENCH=OFF -DBUILD_TESTING=OFF \
	  --log-level=WARNING
	@cmake --build $(WINDOWS_BUILD) -j$(JOBS) --target plotwright plotwright_cp932_dump

# The Windows release, $(WINDOWS_BUILD)/plotwright-VERSION-windows-x86_64.zip: the program, the
# examples, the language reference and a README for Windows users.
windows-zip: windows
	@scripts/windows-zip $(WINDOWS_BUILD)

# The Windows build is made first: a test runs it under Wine beside the Linux build. Tests that
# were skipped say why.
unit-test: build windows
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)
	@grep -h '^SKIPPED:' $(BUILD)/Testing/Temporary/LastTest.log || true

asan-test: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS)

fuzz: build-fuzz
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-smoke: build-fuzz
	@scripts/run-fuzzers $(FUZZ_BUILD) --smoke $(FUZZ_SMOKE_SCALE)

# The web package and the playground first: the unit tests run them in node and in Chromium.
test: deps web unit-test asan-test fuzz-smoke

# The Debian packages (debian/): plotwright, plotwright-gui, libplotwright1, libplotwright-dev
# and python3-plotwright, built by dpkg-buildpackage into $(BUILD)/debian.
package:
	@scripts/install-deps run gui library package
	@scripts/debian-package $(BUILD)/debian $(JOBS)

# A picture of the desktop program's window with a story from the example (seed 7), under Xvfb.
screenshot: build
	@scripts/install-deps pictures
	xvfb-run -a ./$(BUILD)/plotwright-gui-screenshot $(EXAMPLE) docs/window.png 7

# Neovim with the language server on a scenario with a mistake: a diagnostic and the outline, in
# xterm under Xvfb (docs/editor.png, shown in the README).
editor-screenshot: build
	@scripts/install-deps pictures
	scripts/editor-screenshot ./$(BUILD)/plotwright docs/editor.png

# The VS Code graph view's page on the English example, shaded by 1000 stories, in headless
# Chromium (VS Code itself is not needed): docs/vscode-graph.png.
vscode-screenshot: build
	@editors/vscode/scripts/ensure-deps.sh
	cd editors/vscode && node node_modules/typescript/bin/tsc -p . && \
	  node scripts/graph-screenshot.mjs ../../$(BUILD)/plotwright ../../$(EXAMPLE) ../../docs/vscode-graph.png

# The README's picture of the English example's scene graph, coloured by what 1000 stories
# reached (Graphviz, which scripts/install-deps installs). Repeatable: a fixed seed, no statistics.
docs: build
	./$(BUILD)/plotwright graph --coverage 1000 --seed 1 --no-stats $(EXAMPLE) | dot -Tsvg -o docs/graph.svg

# The VS Code extension for Vell scenarios, installable from $(BUILD)/plotwright-vell-*.vsix
# (docs/editors.md). Needs node and npm; installs the npm packages from package-lock.json.
vsix:
	@editors/vscode/scripts/package.sh $(BUILD)

# The engine's benchmarks, then the whole program on the peer-shaped story (bench/README.md).
bench: build
	@scripts/install-deps bench
	./$(BUILD)/bench/plotwright_bench
	bench/whole_process.sh $(BUILD)/plotwright

# The engine in WebAssembly, the npm package and the playground page, in web/dist
# (web/README.md). The code page 932 tables come from the regular build's generator, which asks
# glibc's iconv; emcc's post-processing needs Debian's node modules (NODE_PATH).
web:
	@scripts/install-deps run web
	@$(CONFIGURE_ONCE)
	@cmake --build $(BUILD) -j$(JOBS) --target plotwright_cp932_table
	@NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DPLOTWRIGHT_CP932_TABLE=$(abspath $(BUILD))/generated/cp932_table_data.cpp \
	  --log-level=WARNING >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build $(WEB_BUILD) -j$(JOBS) --target plotwright_engine_js
	@web/scripts/ensure-deps.sh
	@node web/scripts/build.mjs $(WEB_BUILD)/plotwright-engine.js

# The playground on this machine: builds what is missing of web/dist, then serves it on
# http://127.0.0.1:$(PORT)/ until interrupted.
PORT ?= 8000
playground: web
	@node web/scripts/serve.mjs $(PORT)

# docs/playground.png: the playground with the English example and seed 7, in headless Chromium.
web-screenshot: web
	node web/scripts/screenshot.mjs docs/playground.png
	node web/scripts/screenshot.mjs docs/playground-phone.png 400x850

# The web figures of bench/README.md: a 199,998-line compile and a story, in Chromium and node.
web-bench: build web
	node web/bench/web_bench.mjs $(BUILD)
	node web/bench/typing_bench.mjs $(BUILD)

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD) web/dist $(WINDOWS_BUILD)
