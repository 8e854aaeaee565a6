# The two commands of the quick start are `make run` and `make test`.
# Both install any missing Debian packages first, then configure and build.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
CMAKE_ARGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 30

.PHONY: run test build deps screenshots asan-test fuzz bench package format tidy clean

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# With a display it starts the program; without one it takes and saves a photo
# under Xvfb and prints where the photo and a screenshot went (scripts/run).
run: build
	@scripts/run $(BUILD)

# Every window rendered to a PNG in $(BUILD)/screenshots, for a look by eye.
screenshots: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target tst_screenshot
	ctest --test-dir $(BUILD) -R '^tst_screenshot$$' --output-on-failure
	@ls -1 $(BUILD)/screenshots/*.png

# In CI (CI=true) a second pass runs the whole suite under ASan + UBSan and
# the fuzz targets get a short run each.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
ifeq ($(CI),true)
	$(MAKE) asan-test
	$(MAKE) fuzz FUZZ_SECONDS=$(FUZZ_SECONDS)
endif

asan-test: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_ARGS) -DTANDEO_SANITIZE=ON -DTANDEO_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DTANDEO_FUZZ=ON -DTANDEO_BUILD_TESTS=OFF -DTANDEO_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@scripts/install-deps --bench
	@scripts/run-bench $(BUILD)

# A release build of its own, so that build/ stays the test build; the .deb
# lands in $(PACKAGE_BUILD)/.
package: deps
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DTANDEO_BUILD_TESTS=OFF -DTANDEO_BUILD_BENCH=OFF
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB
	@ls $(PACKAGE_BUILD)/*.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

tidy: $(BUILD)/build.ninja
	git ls-files 'src/*.cpp' | xargs clang-tidy -p $(BUILD) --quiet

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
