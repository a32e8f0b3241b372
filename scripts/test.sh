#!/usr/bin/env bash
# Installs what is missing, then builds from scratch in a folder of its own and
# runs every test through CTest, the tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz harness for a short while on its
# seed corpus; cross-builds for Windows, runs the core's tests and dravik-cli.exe
# under Wine and leaves dist/dravik-cli-VERSION-windows-x86_64.zip
# (scripts/windows.sh). Fails when any of them fails; prints the time each
# stage took.
# DRAVIK_FUZZ_SECONDS sets the time of each harness (20 s);
# DRAVIK_KEEP_BUILD=1 keeps the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
fuzz_seconds=${DRAVIK_FUZZ_SECONDS:-20}

scripts/install-deps.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/dravik-test.XXXXXX")
started=$SECONDS
finish() {
    local status=$?
    if [ "$status" -ne 0 ]; then
        echo "==> FAILED (exit status $status) after $((SECONDS - started)) s"
    fi
    if [ -n "${DRAVIK_KEEP_BUILD:-}" ]; then
        echo "==> build folder kept: $work"
    else
        rm -rf "$work"
    fi
}
trap finish EXIT
# Whatever a test or harness leaves in the temporary folder goes with the build.
# Tests that act as an ordinary user in a child must reach their folders.
chmod 755 "$work"
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
chmod 1777 "$TMPDIR"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

stage() {
    local name=$1 start=$SECONDS
    shift
    echo "==> $name"
    "$@"
    echo "==> $name: $((SECONDS - start)) s"
}

build() { # FOLDER [CMAKE OPTIONS...]
    local folder=$1
    shift
    cmake -S "$top" -B "$folder" -G Ninja "$@"
    cmake --build "$folder" -j2
}

run_tests() { # FOLDER
    ctest --test-dir "$1" --output-on-failure --no-tests=error -j2
}

build_fuzzers() {
    CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$work/fuzz" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVIK_FUZZ=ON -DDRAVIK_BUILD_TESTS=OFF \
        -DDRAVIK_BUILD_APP=OFF -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
    cmake --build "$work/fuzz" -j2 --target dravik_fuzzers
    fuzz/make-corpus.sh "$work/seeds" "$work/main/cli/dravik-cli"
}

# Each harness mutates a copy of its seeds; an input that breaks a property is
# kept in fuzz/findings/.
run_fuzzers() {
    local fuzzer name failed=0
    mkdir -p "$top/fuzz/findings"
    for fuzzer in "$work"/fuzz/fuzz/*_fuzzer; do
        name=$(basename "$fuzzer" _fuzzer)
        mkdir -p "$work/corpus/$name"
        if "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
            -artifact_prefix="$top/fuzz/findings/$name-" \
            "$work/corpus/$name" "$work/seeds/$name" > "$work/$name.log" 2>&1; then
            echo "$name: $(grep -m1 -o 'number_of_executed_units: [0-9]*' "$work/$name.log" |
                cut -d' ' -f2) executions, no finding"
        else
            echo "$name: FAILED"
            tail -n 60 "$work/$name.log"
            failed=1
        fi
    done
    return "$failed"
}

stage "build" build "$work/main" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRAVIK_WERROR=ON
stage "tests" run_tests "$work/main"
# Unoptimised, the sanitizer build compiles faster; its tests stay quick.
stage "build with sanitizers" build "$work/sanitize" -DCMAKE_BUILD_TYPE=Debug \
    -DDRAVIK_WERROR=ON -DDRAVIK_SANITIZE=ON -DDRAVIK_BUILD_APP=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
stage "tests with sanitizers" run_tests "$work/sanitize"
stage "build fuzz harnesses" build_fuzzers
stage "fuzz ${fuzz_seconds} s each" run_fuzzers
stage "Windows: cross-build, tests under Wine, release zip" \
    scripts/windows.sh "$work/windows" "$work/main/cli/dravik-cli"
echo "==> all stages passed in $((SECONDS - started)) s"
