# Entry points: `make run` and `make test` (see README.md).
BUILD   ?= build
B       := $(abspath $(BUILD))
GEN     := -G Ninja
CMAKE   ?= cmake
CTEST   ?= ctest
JOBS    ?= $(shell nproc)

.PHONY: all bootstrap build host win32 win64 test test-host test-win32 test-win64 run screens clean

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
	@$(MAKE) --no-print-directory test-host test-win32 test-win64

test-host:
	$(CTEST) --test-dir $(B)/host --output-on-failure

test-win32:
	$(CTEST) --test-dir $(B)/win32 --output-on-failure

test-win64:
	WINEPREFIX=$(B)/win64/wineprefix scripts/test-session $(CTEST) --test-dir $(B)/win64 --output-on-failure -j $(JOBS)

run: build
	scripts/run-setup $(B)/win64

clean:
	rm -rf $(B) dist
