# The two commands a user needs: `make run` and `make test`. Both install missing Debian
# packages first, so a fresh machine needs nothing else.
JOBS      ?= 2
BUILD     := build
TESTBUILD := build-test
FUZZBUILD := build-fuzz
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
LANGUAGE  ?= English
FUZZ_SECONDS ?= 60
# The program and the tests compile a folder's files together (a unity build): on two cores
# the sanitizer build takes 3.5 minutes instead of 5. UNITY= builds file by file, as an IDE
# or a change to one file wants.
UNITY     ?= -DCMAKE_UNITY_BUILD=ON

.PHONY: run test bench trials fuzz format deps build build-test clean deb

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTASKWICK_LANGUAGE=$(LANGUAGE) -DTASKWICK_TESTS=OFF \
	    $(UNITY)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target taskwick

run: build
	@scripts/run-taskwick.sh $(BUILD)/taskwick

$(TESTBUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(TESTBUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DTASKWICK_SANITIZE=ON \
	    -DTASKWICK_E2E_BINARY=$(CURDIR)/$(BUILD)/taskwick $(UNITY)

build-test: build $(TESTBUILD)/CMakeCache.txt
	cmake --build $(TESTBUILD) -j $(JOBS)

# Every test, JOBS at a time: each end-to-end test has an X server and folders of its own, and
# each test case runs in a process of its own. `cd build-test && ctest -L unit` runs the quick
# ones alone (labels: unit, widget, e2e, slow).
test: build-test
	scripts/build-fuzzer.sh $(FUZZBUILD) $(JOBS)
	cd $(TESTBUILD) && FUZZ_BINARY=$(CURDIR)/$(FUZZBUILD)/fuzz_reader FUZZ_SECONDS=$(FUZZ_SECONDS) \
	    ctest --output-on-failure -j $(JOBS)

# Installs the program for the desktop: the executable in a folder of its own,
# $(PREFIX)/lib/taskwick, which also holds its ToDoList.xml for a user who may write there;
# the link $(PREFIX)/bin/taskwick; the menu entry, the icons, the AppStream metadata and the
# manual page below $(PREFIX)/share. With a prefix the user cannot write to (/usr/local, say)
# each user's list lives in ~/.local/share/taskwick/.
PREFIX ?= $(HOME)/.local
.PHONY: install
install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package $(BUILD)/taskwick_<version>_<arch>.deb, made by CPack from the build of
# `make build` (packaging/Package.cmake): the program in /usr/lib/taskwick, /usr/bin/taskwick,
# the menu entry, the icons, AppStream metadata and the manual page.
deb: build
	cd $(BUILD) && cpack -G DEB

bench: deps
	cmake -S . -B build-bench $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DTASKWICK_TESTS=OFF -DTASKWICK_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	scripts/run-benchmarks.sh build-bench $(BUILD)/taskwick

# The long trials (about an hour): kills during saves, hostile files, the soak, 30 minutes of
# fuzzing. `make test` runs a short version of each.
trials: build
	cmake -S . -B build-trials $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DTASKWICK_TEST_DIRS=soak \
	    -DTASKWICK_E2E_BINARY=$(CURDIR)/$(BUILD)/taskwick
	cmake --build build-trials -j $(JOBS) --target taskwick_soak
	scripts/build-fuzzer.sh $(FUZZBUILD) $(JOBS)
	scripts/run-trials.sh $(BUILD)/taskwick build-trials $(FUZZBUILD)/fuzz_reader

format:
	find app table storage frame texts skins info platform resources tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 -r clang-format -i

# Removes build products only. The task list of `make run` (build/ToDoList.xml) is kept.
clean:
	@if [ -f $(BUILD)/ToDoList.xml ]; then cp $(BUILD)/ToDoList.xml .ToDoList.xml.keep; fi
	rm -rf $(BUILD) $(TESTBUILD) $(FUZZBUILD) build-bench build-trials
	@if [ -f .ToDoList.xml.keep ]; then mkdir -p $(BUILD) && mv .ToDoList.xml.keep $(BUILD)/ToDoList.xml && echo "kept $(BUILD)/ToDoList.xml"; fi
