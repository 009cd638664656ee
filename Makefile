# The two commands of the README: `make run` and `make test`. Everything
# else is a step of those two.
JOBS ?= $(shell nproc)
PORT ?= 8080
FUZZ_SECONDS ?= 10

.PHONY: all deps build asan fuzz arm test lint format run bench clean

all: build

deps:
	@./deploy/install-deps.sh

build: deps
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build -j$(JOBS)

# The sanitizer build (clang, ASan and UBSan) also links the libFuzzer
# targets: one more compilation of everything instead of two.
asan: deps
	@CC=clang CXX=clang++ cmake -S . -B build-asan -DNVR_SANITIZE=ON -DNVR_FUZZ=ON >/dev/null
	@cmake --build build-asan -j$(JOBS)

fuzz: asan

# The board's build: 32-bit ARM, its tests run under qemu-user.
arm: deps
	@cmake -S . -B build-arm -DCMAKE_TOOLCHAIN_FILE=cmake/armhf.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-arm -j$(JOBS)

test: build asan lint arm
	cd build && ctest --output-on-failure -j$(JOBS)
	# The runner's pattern matcher (std::regex) recurses per character of a
	# long answer, and the sanitizers' frames are large: a larger stack.
	cd build-asan && ulimit -s 262144 && ctest --output-on-failure -j$(JOBS)
	cd build-arm && ctest --output-on-failure -j$(JOBS)
	./deploy/run-fuzzers.sh build-asan/bin $(FUZZ_SECONDS)

lint: build
	@./deploy/lint.sh build

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

run: build
	@PORT=$(PORT) ./deploy/run.sh

bench: build
	@./bench/run.sh

clean:
	rm -rf build build-asan build-arm run
