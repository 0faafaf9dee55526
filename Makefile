# Tavisorn: the two commands for a fresh Debian machine are `make run` and
# `make check`; both install what is missing first.
BUILD  ?= build
JOBS   ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local

.PHONY: deps configure build run check install package bench screenshots clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  exec ./$(BUILD)/app/tavisorn; \
	else \
	  echo "No display found: starting Tavisorn under Xvfb (a virtual screen)."; \
	  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./$(BUILD)/app/tavisorn; \
	fi

check: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# Installs the programs, menu entry, icons and manual pages below PREFIX
# (DESTDIR in the environment is honoured as well).
install: build
	@cmake --install $(BUILD) --prefix "$(PREFIX)"

# Builds tavisorn_<version>_<arch>.deb in $(BUILD); install it with
# apt-get install ./$(BUILD)/tavisorn_*.deb to bring its dependencies along.
package: build
	@cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/tavisorn_*.deb

bench: build
	@bash bench/run.sh $(BUILD)

# Renders every window to docs/screenshots/, the maintenance window with a
# dictionary made from the real regedit resource scripts beside the project.
screenshots: build
	@./$(BUILD)/app/tavisorn-cli make-dictionary ../shared/corpus/regedit/en.rc \
	    ../shared/corpus/regedit/zh-TW.rc $(BUILD)/regedit.txt >/dev/null
	@QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$(BUILD)/screenshot-config \
	    ./$(BUILD)/app/tavisorn-screenshots docs/screenshots $(BUILD)/regedit.txt

clean:
	rm -rf $(BUILD)
