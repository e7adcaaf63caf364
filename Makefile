# The two commands a new user needs: `make run` and `make test`.
.PHONY: deps build run test bench asan tsan fuzz install deb clean

PREFIX ?= /usr/local

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

run: build
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
