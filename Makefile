# Thin wrapper around CMake: `make run` and `make test` are all a user needs.
BUILD     := build
SAN_BUILD := build-sanitize
JOBS      := -j2
RUNS      ?= 200
SEED      ?=

# The sources lint reads: the program, the importer's folders, the unit tests.
LINT_TIDY   := $(wildcard src/*.cpp import/*.cpp import/*/*.cpp)
LINT_FORMAT := $(wildcard src/*.h import/*.h import/*/*.h) $(LINT_TIDY) \
               $(wildcard tests/unit/*.cpp tests/unit/import/*.cpp tests/unit/import/*/*.cpp)

.PHONY: all build run test test-sanitize stress bench bench-import lint clean

all: build

CONFIGURE := cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build:
	@bash .ci/deps --make
	$(CONFIGURE)
	cmake --build $(BUILD) $(JOBS)

# Runs the program on the sample data in examples/; needs only a compiler and
# CMake, not the test libraries.
run:
	$(CONFIGURE)
	cmake --build $(BUILD) $(JOBS) --target quorvell
	cd examples && ../$(BUILD)/quorvell

test: build
	cd $(BUILD) && ctest --output-on-failure --no-tests=error $(JOBS)

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# stopping at the first report.
test-sanitize:
	@bash .ci/deps --make
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUORVELL_SANITIZE=ON \
	      -DQUORVELL_STRESS_RUNS=$(RUNS) >/dev/null
	cmake --build $(SAN_BUILD) $(JOBS)
	cd $(SAN_BUILD) && \
	  ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure --no-tests=error $(JOBS)

# Any number of random sessions on demand: make stress RUNS=5000 [SEED=42]
stress: build
	python3 tests/stress/stress.py $(BUILD)/quorvell --runs $(RUNS) $(if $(SEED),--seed $(SEED))

# Wall time and peak memory on large generated data sets: the program, then
# the importer on a bulk archive of SEC company facts against Python.
bench: build
	python3 bench/run.py $(BUILD)/quorvell
	python3 bench/import_bench.py $(BUILD)/quorvell-import
	python3 bench/ixbrl_bench.py $(BUILD)/quorvell-import

bench-import: build
	python3 bench/import_bench.py $(BUILD)/quorvell-import
	python3 bench/ixbrl_bench.py $(BUILD)/quorvell-import

lint:
	clang-format --dry-run --Werror $(LINT_FORMAT)
	cmake -S . -B $(BUILD) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	clang-tidy --quiet -p $(BUILD) $(LINT_TIDY)

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
