# Two commands do all the set-up: `make run` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
SAMPLE := $(BUILD)/sample
TARVO := $(BUILD)/cli/tarvo
EDITOR := $(BUILD)/src/app/Tarvo_Riviza_Editor
# The fuzz targets: a clang build with AddressSanitizer and UBSan (CI's sanitizer build is one).
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_CMAKE := -DCMAKE_CXX_COMPILER=clang++-14 -DTARVO_SANITIZE=ON -DTARVO_FUZZ=ON -DTARVO_BENCH=OFF

# The core, `tarvo` and the core tests cross-built for Windows and run under wine. The wine prefix
# lives in the build folder, so nothing is written into the home folder. A test that fails is run
# once more: wine's own server now and then drops a client ("recvmsg: Connection reset by peer").
WINDOWS_BUILD ?= build-windows
WINDOWS_ENV := WINEPREFIX=$(abspath $(WINDOWS_BUILD))/wine WINEDEBUG=-all

.PHONY: all deps configure build programs test test-windows run sample screenshots bench fuzz package package-check clean

# The .deb: a release build with Debian's hardening flags, no tests and no benchmarks.
PACKAGE_BUILD ?= build-package

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The Linux `tarvo` is built too: one test compares the output bytes of both builds.
test-windows:
	@scripts/install-deps windows
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS) --target tarvo
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DTARVO_GUI=OFF -DTARVO_BENCH=OFF \
	  -DTARVO_HOST_TARVO=$(abspath $(TARVO))
	@test -d $(WINDOWS_BUILD)/wine || $(WINDOWS_ENV) wineboot --init
	$(WINDOWS_ENV) cmake --build $(WINDOWS_BUILD) -j$(JOBS)
	cd $(WINDOWS_BUILD) && $(WINDOWS_ENV) ctest --output-on-failure -j$(JOBS) --repeat until-pass:2

# `make run` builds only the two programs.
programs: configure
	cmake --build $(BUILD) -j$(JOBS) --target tarvo $$(test -d $(BUILD)/src/app && echo Tarvo_Riviza_Editor)

# The sample disc is made once; what the program writes into it stays until `make clean`.
sample: programs
	@test -f $(SAMPLE)/sample.bin || $(TARVO) make-sample $(SAMPLE)

run: sample
	@if [ -x $(EDITOR) ]; then $(EDITOR) $(SAMPLE)/sample.bin; else $(TARVO) info $(SAMPLE)/sample.bin; fi

screenshots: build sample
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/screenshots $(SAMPLE) docs/screenshots

bench: build sample
	$(BUILD)/bench/tarvo_bench --sample $(SAMPLE)
	$(BUILD)/bench/tarvo_input_bench

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(FUZZ_CMAKE) $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_targets
	scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

package:
	@scripts/install-deps package
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTARVO_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_BUILD) -j$(JOBS)
	cd $(PACKAGE_BUILD) && cpack
	@ls $(PACKAGE_BUILD)/*.deb

# The package as installed: lintian, the desktop and AppStream files, and the installed programs
# run from a temporary root, so that a file missing from the package fails here.
package-check: package
	scripts/check-package $(PACKAGE_BUILD)/*.deb

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(PACKAGE_BUILD)
