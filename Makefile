# Convenience front end over CMake and CTest. Each target configures its own build folder.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

RELEASE := build/release
ASAN := build/asan
TSAN := build/tsan
FUZZ := build/fuzz
WINDOWS := build/windows
STATIC := build/static
FUZZ_SECONDS ?= 20
# Installs the Debian packages a target needs and the machine lacks (DEPS=: skips it).
DEPS ?= tools/install-deps

.PHONY: programs build run test windows static release asan tsan fuzz microbench bench package vsix clean

# unitcheck and unitlint with their man pages (all that cmake --install installs), in the release
# folder: neither the tests nor the data generator are configured, so their packages are not
# needed. `make build` turns them on again in the same folder, whose objects stay as they are.
programs:
	$(DEPS) programs
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DUNITCHECK_TESTS=OFF -DUNITCHECK_TOOLS=OFF \
	  $(CMAKE_FLAGS)
	cmake --build $(RELEASE) -j $(JOBS)

# Everything: the programs, the tests and the data generator.
build:
	$(DEPS) tests
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DUNITCHECK_TESTS=ON -DUNITCHECK_TOOLS=ON \
	  $(CMAKE_FLAGS)
	cmake --build $(RELEASE) -j $(JOBS)

# Validates the sample data directory shipped in examples/data.
run: programs
	./$(RELEASE)/unitcheck examples/data

test: build
	ctest --test-dir $(RELEASE) --output-on-failure -j $(JOBS)

# The Windows programs, cross-compiled with MinGW-w64: build/windows/unitcheck.exe, unitlint.exe
# and unitcheck-gen.exe, with the tests that run them under Wine (.ci/windows runs those).
windows:
	$(DEPS) windows
	cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DUNITCHECK_TESTS=ON -DUNITCHECK_TOOLS=ON $(CMAKE_FLAGS)
	cmake --build $(WINDOWS) -j $(JOBS)

# unitcheck and unitlint linked statically, for any x86-64 Linux whatever its C library.
static:
	$(DEPS) programs
	cmake -S . -B $(STATIC) -DCMAKE_BUILD_TYPE=Release -DUNITCHECK_TESTS=OFF -DUNITCHECK_TOOLS=OFF \
	  -DUNITCHECK_STATIC=ON $(CMAKE_FLAGS)
	cmake --build $(STATIC) -j $(JOBS)

# What a user downloads, in build/dist/: the Windows zip, the Linux archive, the Debian package
# and their SHA256SUMS (tools/release).
release: package windows static
	$(DEPS) windows
	tools/release

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan:
	$(DEPS) tests
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DUNITCHECK_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN) -j $(JOBS)
	ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

# The unit tests under ThreadSanitizer: unit lines are checked on several threads.
tsan:
	$(DEPS) tests
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUNITCHECK_TSAN=ON -DUNITCHECK_TOOLS=OFF $(CMAKE_FLAGS)
	cmake --build $(TSAN) -j $(JOBS) --target unitcheck_tests
	ctest --test-dir $(TSAN) --output-on-failure -j $(JOBS) -L unit

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS on its corpus.
fuzz:
	cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DUNITCHECK_FUZZ=ON -DUNITCHECK_TESTS=OFF -DUNITCHECK_TOOLS=OFF
	cmake --build $(FUZZ) -j $(JOBS)
	bash fuzz/run_fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

microbench:
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DUNITCHECK_BENCH=ON -DUNITCHECK_TOOLS=ON \
	  $(CMAKE_FLAGS)
	cmake --build $(RELEASE) -j $(JOBS)
	./$(RELEASE)/tools/unitcheck-microbench

# Times unitcheck and reference programs on generated tables of 10,000 to 1,000,000 rows.
bench: build
	bash tools/bench/run_bench.sh $(RELEASE)

# The Debian package of the release build (executable and man page), left in build/release/.
package: build
	cd $(RELEASE) && cpack -G DEB

# The VS Code extension, one package per platform whose unitlint is built, in build/dist/.
vsix: programs
	tools/make-vsix $(RELEASE)

clean:
	rm -rf build
