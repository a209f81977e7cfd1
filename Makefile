# make run    build, then start korvane.exe under Wine (own Xvfb when $DISPLAY is unset) and
#             leave a screenshot in build/korvane-window.png
# make test   build both halves and run every test (native and under Wine)
# make bench  speed ratios, one "name: value" line each
# make fuzz   the decoders' libFuzzer targets (FUZZ_SECONDS each)
BUILD       ?= build
NATIVE      := $(BUILD)/native
WINDOWS     := $(BUILD)/windows
RELEASE     := $(BUILD)/native-release
FUZZDIR     := $(BUILD)/fuzz
JPEG_MINGW  := $(BUILD)/libjpeg-mingw
JOBS        ?= 2
FUZZ_SECONDS ?= 600
TOOLCHAIN   := $(CURDIR)/cmake/mingw-w64-x86_64.cmake

.PHONY: all setup native windows release test run bench fuzz clean
all: native windows

setup:
	@bash tools/setup.sh

native: setup
	@cmake -S . -B $(NATIVE) -DKORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

release: setup
	@cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

$(JPEG_MINGW)/install/lib/libjpeg.a:
	@bash tools/setup.sh
	@echo "building static libjpeg-turbo for mingw (cached in $(JPEG_MINGW))"
	@cmake -S $(BUILD)/src/libjpeg-turbo -B $(JPEG_MINGW)/build -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) \
	  -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
	  -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm \
	  -DCMAKE_INSTALL_PREFIX=$(CURDIR)/$(JPEG_MINGW)/install >$(JPEG_MINGW).log 2>&1
	@cmake --build $(JPEG_MINGW)/build -j $(JOBS) >>$(JPEG_MINGW).log 2>&1
	@cmake --install $(JPEG_MINGW)/build >>$(JPEG_MINGW).log 2>&1

windows: setup $(JPEG_MINGW)/install/lib/libjpeg.a
	@cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=$(TOOLCHAIN) -DCMAKE_BUILD_TYPE=Release \
	  -DKORVANE_JPEG_PREFIX=$(CURDIR)/$(JPEG_MINGW)/install >/dev/null
	@cmake --build $(WINDOWS) -j $(JOBS)

test: native windows
	@tools/with-display.sh tools/run-tests.sh $(NATIVE) $(WINDOWS)

run: windows
	@tools/with-display.sh tools/run-app.sh $(WINDOWS)/korvane.exe $(BUILD)/korvane-window.png

bench: release windows
	@tools/with-display.sh tools/run-bench.sh $(RELEASE) $(WINDOWS)

fuzz: setup
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZDIR) -DKORVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZDIR) -j $(JOBS)
	@tools/run-fuzz.sh $(FUZZDIR) $(FUZZ_SECONDS)

clean:
	rm -rf $(NATIVE) $(WINDOWS) $(RELEASE) $(FUZZDIR)
