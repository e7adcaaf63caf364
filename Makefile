# The two commands a new user needs: `make run` and `make test`.
.PHONY: deps configure build run test bench asan tsan fuzz install deb clean

PREFIX ?= /usr/local

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default

# Builds only what it runs: the window program, and tabrino-play for a
# machine without a display. `make test` builds the rest.
run: configure
	@cmake --build --preset default --target tabrino_window tabrino-play
	@bash scripts/run.sh

test: build
	@ctest --preset default

bench: build
	@bash scripts/bench.sh

asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan
	@ctest --preset tsan

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@bash scripts/fuzz.sh $(or $(SECONDS),60)

install: build
	@cmake --install build/default --prefix $(PREFIX)

# A Debian package of the release build, in build/default/deb/.
deb: build
	@cd build/default && cpack

clean:
	rm -rf build
