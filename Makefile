# Entry points: `make run` and `make test` (see README.md).
BUILD   ?= build
B       := $(abspath $(BUILD))
GEN     := -G Ninja
CMAKE   ?= cmake
CTEST   ?= ctest
JOBS    ?= $(shell nproc)

.PHONY: all bootstrap build host win32 win64 test test-host test-win32 test-win64 run screens clean \
        fuzz-build fuzz fuzz-smoke bench

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@$(MAKE) --no-print-directory host win32 win64

host:
	$(CMAKE) -S . -B $(B)/host $(GEN) -DSCRIVORA_TREE=host -DCMAKE_BUILD_TYPE=Release >/dev/null
	$(CMAKE) --build $(B)/host -j $(JOBS)

win32: host
	$(CMAKE) -S . -B $(B)/win32 $(GEN) -DSCRIVORA_TREE=win32 -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake \
	  -DSCRIVORA_MKPAYLOAD=$(B)/host/bin/mkpayload >/dev/null
	$(CMAKE) --build $(B)/win32 -j $(JOBS)

win64: win32
	$(CMAKE) -S . -B $(B)/win64 $(GEN) -DSCRIVORA_TREE=win64 -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
	  -DSCRIVORA_MKPAYLOAD=$(B)/host/bin/mkpayload \
	  -DSCRIVORA_PAYLOAD=$(B)/win32/payload/FILES.bin >/dev/null
	$(CMAKE) --build $(B)/win64 -j $(JOBS)

test: build
	@$(MAKE) --no-print-directory test-host test-win32 test-win64 fuzz-smoke

test-host:
	$(CTEST) --test-dir $(B)/host --output-on-failure

test-win32:
	$(CTEST) --test-dir $(B)/win32 --output-on-failure

test-win64:
	WINEPREFIX=$(B)/win64/wineprefix scripts/test-session $(CTEST) --test-dir $(B)/win64 --output-on-failure -j $(JOBS)

# Fuzz targets: a host tree built with clang, libFuzzer, ASan and UBSan. New
# inputs go to $(B)/fuzz/corpus/<target>; the seeds in fuzz/corpus are only read.
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_RUNS ?= 20000
FUZZ_NAMES := archive updatelog
FUZZ_BIN := $(B)/fuzz/bin

fuzz-build: bootstrap
	$(CMAKE) -S . -B $(B)/fuzz $(GEN) -DSCRIVORA_TREE=host -DSCRIVORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	$(CMAKE) --build $(B)/fuzz -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_NAMES))

fuzz: fuzz-build
	@set -e; for t in $(FUZZ_NAMES); do \
	  mkdir -p $(B)/fuzz/corpus/$$t; \
	  $(FUZZ_BIN)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=$(B)/fuzz/ $(B)/fuzz/corpus/$$t fuzz/corpus/$$t; \
	done

# Bounded run for make test: the seeds and a fixed number of mutations.
fuzz-smoke: fuzz-build
	@set -e; for t in $(FUZZ_NAMES); do \
	  $(FUZZ_BIN)/fuzz_$$t -runs=$(FUZZ_SMOKE_RUNS) -seed=1 -artifact_prefix=$(B)/fuzz/ fuzz/corpus/$$t; \
	done

# Figures side by side with NSIS and plain Win32 programs: bench/results.md.
bench: build
	$(CMAKE) --build $(B)/win64 -j $(JOBS) --target bench_programs
	bench/run $(B)

run: build
	scripts/run-setup $(B)/win64

# The README's pictures of the six pages, taken by the end-to-end tests.
screens: build
	rm -f $(B)/screens/page*.bmp
	WINEPREFIX=$(B)/win64/wineprefix scripts/test-session $(CTEST) --test-dir $(B)/win64 \
	  -R '^(e2e_nav_navigation|e2e_finish)$$'
	for p in 0 1 2 3; do convert $(B)/screens/page$$p.bmp docs/page$$p.png; done
	convert $(B)/screens/page4-installing.bmp docs/page4.png
	convert $(B)/screens/page5-complete.bmp docs/page5.png

clean:
	rm -rf $(B) dist
