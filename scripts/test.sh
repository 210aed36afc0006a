#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: once in a plain
# build, once under AddressSanitizer and UndefinedBehaviorSanitizer, the
# fuzz targets for a few seconds each; then the ARM builds (arm64, and armel
# as a package) and the packages' own test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

echo "== Build and test"
cmake -S . -B build -DTARRAGON_TESTS=ON >/dev/null
cmake --build build -j2
(cd build && ctest --output-on-failure -j2)

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DTARRAGON_TESTS=ON -DTARRAGON_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j2
export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_leaks=1:exitcode=23"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=24"
(cd build-asan && ctest --output-on-failure -j2)

echo "== Fuzz the system setting reader"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DTARRAGON_FUZZ=ON >/dev/null
cmake --build build-fuzz -j2
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/fuzz/corpus/* "$corpus/"
build-fuzz/tests/fuzz/fuzz_systemsetting -max_total_time=8 -max_len=4096 "$corpus" 2>&1 | tail -n 1
echo "fuzz: no finding"

echo "== Cross builds and packages"
scripts/cross-build.sh arm64
scripts/package.sh amd64 armel
tests/package-test.sh
