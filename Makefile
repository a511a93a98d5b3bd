# Two commands do everything on a fresh machine: `make demo` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= Release
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all setup build test demo install generators clean

all: build

setup:
	@bash tools/setup.sh

build: setup
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

demo: build
	bash examples/demo.sh $(BUILD_DIR)/bin

# latfit and Cryslink into $(PREFIX)/bin, the databases into $(PREFIX)/share/cryslink,
# the space-group library of latfit into $(PREFIX)/share/latfit.
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# Installs what the data generators in tools/ need (only for regenerating data/).
generators:
	@bash tools/setup.sh --generators

clean:
	rm -rf $(BUILD_DIR)
