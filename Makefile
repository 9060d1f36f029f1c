# The two commands of the README:
#   make run   - install what is missing, build, start Quarvex (and Movaltic)
#   make test  - install what is missing, build, run every test headless,
#                then once more in a build with AddressSanitizer and UBSan,
#                Movaltic's once more with ThreadSanitizer, and every file
#                reader's fuzz target for a short time on its seeds
SHELL := /bin/bash
JOBS ?= $(shell nproc)

PACKAGES := g++ cmake ninja-build pkg-config make \
  qt6-base-dev libcups2-dev libgtest-dev libgmock-dev \
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev \
  fonts-dejavu-core fonts-liberation2 locales-all \
  ffmpeg imagemagick libsdl2-image-tests \
  clang libclang-rt-14-dev libtsan2

.PHONY: run test deps build build-asan build-tsan build-fuzz check check-asan check-tsan fuzz clean

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	  else \
	    echo "Missing Debian packages:$$missing"; \
	    echo "Install them with: sudo apt-get install$$missing"; exit 1; \
	  fi; \
	fi

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWERROR=ON
	cmake --build build -j$(JOBS)

build-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DWERROR=ON
	cmake --build build-asan -j$(JOBS)

# Movaltic's tests only: they run its threads (decoding ahead, rescaling,
# encoding); Quarvex runs on one thread.
build-tsan: deps
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE_THREAD=ON -DWERROR=ON
	cmake --build build-tsan -j$(JOBS) --target tests/movaltic/all

# The fuzz targets need clang (libFuzzer).
build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_FUZZERS=ON -DWERROR=ON
	cmake --build build-fuzz -j$(JOBS) --target fuzzers

run: build
	@build/movaltic/movaltic & build/quarvex/quarvex

# Tests never touch the user's own settings or display.
TEST_ENV := QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$$(mktemp -d) XDG_CONFIG_HOME=$$(mktemp -d)

check: build
	cd build && $(TEST_ENV) ctest --output-on-failure -j$(JOBS) --timeout 600

check-asan: build-asan
	cd build-asan && $(TEST_ENV) ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j$(JOBS) --timeout 900

check-tsan: build-tsan
	cd build-tsan/tests/movaltic && $(TEST_ENV) TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$(CURDIR)/tests/tsan.supp \
	  ctest --output-on-failure -j$(JOBS) --timeout 900

# Seconds each fuzz target runs after its seeds (README: longer runs by hand).
FUZZ_SECONDS ?= 20

fuzz: build-fuzz
	fuzz/run_fuzzers.sh build-fuzz $(FUZZ_SECONDS)

test: check check-asan check-tsan fuzz

clean:
	rm -rf build build-asan build-tsan build-fuzz fuzz-out
