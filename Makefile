# Keyrack: the two everyday commands are `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := cmake g++ make qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
            qt6-svg-dev desktop-file-utils qt6-translations-l10n
PREFIX ?= $(HOME)/.local
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test deps build bench install clean

run: build
	cd $(BUILD_DIR) && ./keyrack

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

bench: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ./bench/keyrack_bench

# Installs only the Debian packages that are missing; does nothing when all are present.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The program, its catalogue, the menu entry and the icon under PREFIX (default ~/.local).
install: build
	cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

clean:
	rm -rf $(BUILD_DIR)
