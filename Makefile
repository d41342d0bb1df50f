# The two commands of README.md: `make run` and `make test` set up a fresh Debian machine
# (apt-get, non-interactive, idempotent), build, then start Quillo or run the tests.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# Debian packages the build, the tests and the benchmarks need.
# Spell checking: Hunspell to build, and its French dictionary (hunspell-fr) to check with.
PACKAGES := cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-translations-l10n \
            libgl-dev libxkbcommon-dev libbenchmark-dev fonts-liberation fonts-dejavu-core \
            libhunspell-dev hunspell-fr
# Optional tools the tests use when present (LibreOffice for RTF interoperability checks).
TEST_PACKAGES := $(shell cat tools/test-packages.txt 2>/dev/null)
# What CPack needs to build the Debian package: dpkg-shlibdeps (dependencies) and file.
PACKAGE_TOOLS := dpkg-dev file
# The formatter of the style in .clang-format: Debian 12's clang-format, version 14.
CLANG_FORMAT ?= clang-format-14
FORMAT_TOOLS := clang-format-14
# Every C++ file of the repository that git knows.
FORMATTED_FILES = $(shell git ls-files '*.cpp' '*.h')

.PHONY: all deps test-deps package-deps format-deps configure build run test package screenshots bench \
        format format-check clean

all: build

deps:
	@missing=""; for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installation de :$$missing"; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi

test-deps: deps
	@missing=""; for p in $(TEST_PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installation de :$$missing"; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi

package-deps: deps
	@missing=""; for p in $(PACKAGE_TOOLS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installation de :$$missing"; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi

format-deps:
	@missing=""; for p in $(FORMAT_TOOLS); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  echo "Installation de :$$missing"; \
	  SUDO=$$( [ "$$(id -u)" = 0 ] || echo sudo ); \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi

# Configures with the "default" preset (CMakePresets.json), and again whenever BUILD_TYPE is not
# the build type the folder was configured with.
configure:
	@if [ ! -f $(BUILD_DIR)/build.ninja ] || \
	    ! grep -qx 'CMAKE_BUILD_TYPE:STRING=$(BUILD_TYPE)' $(BUILD_DIR)/CMakeCache.txt 2>/dev/null; then \
	  cmake --preset default -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE); \
	fi

build: deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/Quillo

test: test-deps configure
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Debian package of Quillo and Conversion, in $(BUILD_DIR)/quillo_<version>_<arch>.deb.
package: package-deps build
	cmake --build $(BUILD_DIR) --target package
	@ls $(BUILD_DIR)/quillo_*.deb

screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/quillo-screenshots $(BUILD_DIR)/screenshots
	@echo "Captures d'écran dans $(BUILD_DIR)/screenshots/"

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

# Rewrites every C++ file in the style of .clang-format; format-check only says which differ.
format: format-deps
	$(CLANG_FORMAT) -i $(FORMATTED_FILES)

format-check: format-deps
	$(CLANG_FORMAT) --dry-run --Werror $(FORMATTED_FILES)

clean:
	rm -rf $(BUILD_DIR)
