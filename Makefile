# Entry points: `make run` and `make test` do everything from a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
PROGRAM_DIR = $(BUILD)/program
FUZZ_SECONDS ?= 20

export QT_QPA_PLATFORM ?= offscreen
export SDL_AUDIODRIVER ?= dummy

.PHONY: all deps configure build run test test-unit test-asan test-fuzz test-install package bench look look-keyboard look-workbench look-uniqueness clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(PROGRAM_DIR) && env -u QT_QPA_PLATFORM ./TEKUCROS.EXE

test: test-fuzz test-asan test-unit test-install

test-unit: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Installs into a temporary prefix and starts the installed program as a desktop would.
test-install: build
	env -u QT_QPA_PLATFORM bash scripts/check-install.sh $(BUILD) $(BUILD)/look

package: build
	cmake --build $(BUILD) --target package

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTEKU_SANITIZE=ON -DTEKU_GUI=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTEKU_FUZZ=ON -DTEKU_GUI=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTEKU_BENCH=ON -DTEKU_GUI=OFF
	cmake --build build-bench -j $(JOBS) --target benchmarks
	bash scripts/run-benchmarks.sh build-bench
	bash scripts/bench-startup.sh $(PROGRAM_DIR)
	bash scripts/bench-process.sh $(PROGRAM_DIR) build-bench

look: build
	env -u QT_QPA_PLATFORM bash scripts/look-authoring.sh $(PROGRAM_DIR) $(BUILD)/look

look-uniqueness: build
	env -u QT_QPA_PLATFORM bash scripts/look-uniqueness.sh $(PROGRAM_DIR) $(BUILD)/look-uniqueness

look-keyboard: build
	env -u QT_QPA_PLATFORM bash scripts/look-keyboard.sh $(PROGRAM_DIR) $(BUILD)/look-keyboard

# The printed pages of both samples as PDF and as PNG pictures in build/look-print/.
.PHONY: look-print
look-print: build
	bash scripts/look-print.sh $(PROGRAM_DIR) $(BUILD)/look-print

look-workbench: build
	env -u QT_QPA_PLATFORM bash scripts/look-workbench.sh $(PROGRAM_DIR) $(BUILD)/look-workbench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) build-bench
