# Two commands set everything up on a fresh Debian machine: `make run` and `make test`.
BUILD_DIR    ?= build
SAN_DIR      ?= build-sanitize
BENCH_DIR    ?= build-bench
PAKET_DIR    ?= build-package
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 600
WIN_DIR      ?= build-win
JOBS         ?= $(shell nproc 2>/dev/null || echo 2)
CTEST_FLAGS  ?= --output-on-failure --timeout 300

.PHONY: all deps build run test test-sanitize bench bench-build package package-check fuzz fuzz-ci fuzz-long format clean \
        windows-deps windows-configure windows windows-check windows-test

all: build

deps:
	@bash scripts/install-deps

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZK_WERROR=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/app/zielkunst

test: build
	cd $(BUILD_DIR) && ctest $(CTEST_FLAGS) -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DZK_WERROR=ON -DZK_SANITIZE=ON
	cmake --build $(SAN_DIR) -j $(JOBS)
	cd $(SAN_DIR) && ctest $(CTEST_FLAGS) -j $(JOBS)

# The benchmark programs built, not run (CI: an interface change cannot leave them broken).
bench-build: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DZK_WERROR=ON -DZK_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS) --target zk_benchmarks

bench: bench-build
	@for b in $(BENCH_DIR)/bench/bench_*; do if [ -f "$$b" ] && [ -x "$$b" ]; then "$$b" || exit 1; fi; done

# The Debian package zielkunst_<version>_amd64.deb, in the current folder.
package: deps
	cmake -S . -B $(PAKET_DIR) -DCMAKE_BUILD_TYPE=Release -DZK_WERROR=ON -DZK_TESTS=OFF -DZK_PAKET=ON
	cmake --build $(PAKET_DIR) -j $(JOBS)
	cd $(PAKET_DIR) && cpack -G DEB
	cp $(PAKET_DIR)/zielkunst_*.deb .

# What CI checks of the package: its files, menu entry, manual page, dependencies, and
# that the program taken from it starts.
package-check: package
	bash scripts/paket-pruefen zielkunst_*.deb

# The libFuzzer targets of every parser of outside input (clang, ASan, UBSan), only them.
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	    -DCMAKE_CXX_COMPILER=clang++ -DZK_FUZZ=ON -DZK_TESTS=OFF
	cmake --build $(FUZZ_DIR) --target zk_fuzz -j $(JOBS)

# What CI runs: every target about 30 s, failing on any crash, leak or oracle report.
fuzz-ci: fuzz
	bash tests/fuzz/laufen $(FUZZ_DIR) 30

# For a developer to leave running: every target FUZZ_SECONDS, one after another.
fuzz-long: fuzz
	FUZZ_JOBS=1 FUZZ_NICE="nice -n 19" bash tests/fuzz/laufen $(FUZZ_DIR) $(FUZZ_SECONDS)

# Windows, built here: Zielkunst-Setup-<version>.exe (NSIS, 64-bit) in the current folder,
# with the Qt for Windows that scripts/windows-qt makes ready in a cache folder.
windows-deps:
	@ZK_WINDOWS=1 bash scripts/install-deps

windows-configure: windows-deps
	cache=$$(bash scripts/windows-qt) && \
	"$$cache/zk-qt6-win/qt6-win/bin/qt-cmake" -S . -B $(WIN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DZK_WERROR=ON -DZK_TESTS=OFF -DZK_WIN_CACHE="$$cache"

windows: windows-configure
	cmake --build $(WIN_DIR) -j $(JOBS)
	rm -f $(WIN_DIR)/Zielkunst-Setup-*.exe
	cd $(WIN_DIR) && cpack -G NSIS
	cp $(WIN_DIR)/Zielkunst-Setup-*.exe .

# The installer under Wine: installed silently, the program used, uninstalled.
windows-check: windows
	bash scripts/windows-installiert-pruefen Zielkunst-Setup-*.exe

# The test programs that make sense on Windows, as .exe under Wine.
windows-test: windows-configure
	cmake --build $(WIN_DIR) -j $(JOBS) --target zk_windows_tests
	bash scripts/windows-tests $(WIN_DIR)

format:
	find platform core evening machine reports competition maintenance shotpicture rangeimport app tools tests bench \
	    -name '*.cpp' -o -name '*.h' 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR) $(BENCH_DIR) $(PAKET_DIR) $(FUZZ_DIR) $(WIN_DIR) \
	    zielkunst_*.deb Zielkunst-Setup-*.exe
