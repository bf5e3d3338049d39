# Keyrack: the two everyday commands are `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := cmake g++ make qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
            qt6-svg-dev desktop-file-utils qt6-translations-l10n pkg-config libsodium-dev
# The Debian package: dependencies from dpkg-shlibdeps, metadata checks, lintian.
PACKAGES += dpkg-dev appstream lintian file
# The fuzzers and their sanitizer runtimes.
PACKAGES += clang libclang-rt-14-dev
PREFIX ?= $(HOME)/.local
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test deps build bench install package clean test-sanitize fuzz

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

# keyrack_<version>_<arch>.deb here, installing into /usr; tools/check-package.sh checks it.
package: build
	rm -f keyrack_*.deb $(BUILD_DIR)/keyrack_*.deb
	cd $(BUILD_DIR) && cpack -G DEB
	mv $(BUILD_DIR)/keyrack_*.deb .

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer in a build folder of
# its own; any report fails the run.
SANITIZE_DIR ?= build-sanitize
SANITIZE_FLAGS := -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer

test-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)"
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure

# Runs each libFuzzer harness for FUZZ_SECONDS from the committed seeds; new inputs found go to
# the build folder, a failing one is left there as crash-* and fails the run.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZERS := StoreFuzzer CipherFuzzer CatalogueFuzzer ProtectedFuzzer
FUZZ_FLAGS := -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all \
  -fno-omit-frame-pointer

fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKEYRACK_FUZZ=ON \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$(FUZZ_FLAGS)"
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZERS)
	@for fuzzer in $(FUZZERS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$fuzzer && \
	  echo "$$fuzzer: $(FUZZ_SECONDS) s" && \
	  $(FUZZ_DIR)/fuzz/$$fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=16384 -timeout=10 \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/$$fuzzer- \
	    $(FUZZ_DIR)/corpus/$$fuzzer fuzz/corpus/$$fuzzer || exit 1; \
	done

clean:
	rm -rf $(BUILD_DIR) keyrack_*.deb
