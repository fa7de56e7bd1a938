# The two set-up commands of the README (make run, make test) and the other chores.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
EXAMPLE ?= examples/the-lighthouse-keeper.vell

.PHONY: deps build build-asan run test unit-test asan-test bench fuzz format clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

build-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPLOTWRIGHT_SANITIZE=ON \
	  -DPLOTWRIGHT_GUI=OFF -DPLOTWRIGHT_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)

run: build
	./$(BUILD)/plotwright $(EXAMPLE)

unit-test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

asan-test: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS)

test: unit-test asan-test

bench: build
	./$(BUILD)/bench/plotwright_bench

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
