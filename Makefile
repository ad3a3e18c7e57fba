# The newcomer's commands: `make run` and `make test` (see README.md).
BUILD_DIR ?= build
ASAN_DIR  ?= build-asan
BENCH_DIR ?= build-bench
FUZZ_DIR  ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 3
SOAK_MINUTES ?= 60
SOAK_SPEEDUP ?= 10
JOBS      ?= $(shell nproc)

# Debian packages the build, the tests and the benchmarks need.
PACKAGES := cmake ninja-build g++ make pkg-config \
	qt6-base-dev qt6-qpa-plugins libgl-dev libxcb1-dev zlib1g-dev libzip-dev \
	libgtest-dev libgmock-dev libbenchmark-dev libproj-dev \
	proj-bin geographiclib-tools rtklib gpsd-clients \
	fonts-dejavu-core fonts-liberation2 xvfb xauth openbox x11-utils locales clang-format \
	imagemagick \
	python3-ezdxf gdal-bin clang libclang-rt-14-dev faketime

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build run test test-asan bench fuzz format clean screenshot soak demo

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing || exit 1; \
	fi
	@# One test writes and reads numbers under the Turkish locale (comma decimal separator).
	@locale -a 2>/dev/null | grep -qi '^tr_TR\.utf-\?8$$' || $(SUDO) localedef -i tr_TR -f UTF-8 tr_TR.UTF-8

# Configuring every time is cheap and picks up a subsystem folder that a pull has just added.
build: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/app/TavrinSD

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVRIN_SANITIZE=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) --timeout 600

# Every benchmark runs, even after one has failed; the target then fails and names them.
bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_BENCH=ON -DTAVRIN_TESTS=OFF
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@failed=; for b in $(BENCH_DIR)/bench/bench_*; do \
		[ -f "$$b" ] && [ -x "$$b" ] || continue; \
		QT_QPA_PLATFORM=offscreen "$$b" || failed="$$failed $$(basename $$b)"; \
	done; \
	[ -z "$$failed" ] || { echo "Benchmarks that failed:$$failed"; exit 1; }

# One libFuzzer target per reader of outside input (fuzz/), built with clang in its own tree and
# run for FUZZ_SECONDS each, FUZZ_JOBS at once; never part of `make test`.
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTAVRIN_FUZZ=ON -DTAVRIN_TESTS=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	FUZZ_DIR=$(FUZZ_DIR) FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_JOBS=$(FUZZ_JOBS) tools/run_fuzzers.sh

screenshot: build
	BUILD_DIR=$(BUILD_DIR) tools/screenshot.sh

# The survey soak of `make test` (SurveySoakTenMinutes) for SOAK_MINUTES simulated minutes at
# SOAK_SPEEDUP times real time (10: receiver epochs every 10 ms; 1: real time). It prints the
# soundings logged and lost and the memory by tenth of the run. Never part of `make test`.
soak: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen SOAK_MINUTES=$(SOAK_MINUTES) \
		SOAK_SPEEDUP=$(SOAK_SPEEDUP) ./tests/test_app --gtest_filter='SurveySoak.*'

# A survey without devices: two simulated devices on pseudo-terminals and the program set up
# to read them, with a temporary HOME (tools/demo.sh).
demo: build
	BUILD_DIR=$(BUILD_DIR) tools/demo.sh

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(BENCH_DIR) $(FUZZ_DIR)
