# Quick start: `make run` starts Zelvora, `make test` runs every test.
# Both install the Debian packages that are missing first.
# `make install` copies the program under PREFIX (DESTDIR stages it elsewhere);
# `make package` builds the Debian package zelvora_<version>_amd64.deb in BUILD_DIR.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all deps configure build run test bench install package fuzz format clean

all: build

deps:
	@bash tools/setup-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/zelvora

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do echo "== $$b"; $$b; done

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

package: build
	cd $(BUILD_DIR) && cpack

# Fuzzes the outgoing message for FUZZ_SECONDS with libFuzzer, clang's address and
# undefined-behaviour checks, and prints the coverage reached at the end; new findings go to
# build-fuzz/corpus, crashes to build-fuzz/, the fuzzer's output to build-fuzz/fuzz.log.
FUZZ_SECONDS ?= 600
fuzz:
	@bash tools/setup-deps.sh fuzz
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DZELVORA_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_message
	@mkdir -p build-fuzz/corpus
	cd build-fuzz && { ./fuzz/fuzz_message -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
		-timeout=10 -print_final_stats=1 corpus ../fuzz/corpus 2>&1; echo $$? >fuzz.status; } \
		| tee fuzz.log; \
		grep -o 'cov: [0-9]*' fuzz.log | tail -n 1 | sed 's/^cov:/coverage reached (edges):/'; \
		exit $$(cat fuzz.status)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) build-fuzz
