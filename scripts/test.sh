#!/usr/bin/env bash
# Sets up, builds and runs every test: a normal build, a build under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the fuzz targets over
# their seed corpora.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
jobs=$(nproc)

echo "== normal build =="
"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTR4_WERROR=ON
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
"$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DTR4_WERROR=ON -DTR4_SANITIZE=ON
# Damaged levels may ask for arrays larger than the sanitizer allows: such an
# allocation fails (std::bad_alloc) instead of aborting the test.
ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs"

echo "== fuzz targets over their corpora =="
"$root/scripts/build.sh" build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTR4_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
ctest --test-dir "$root/build-fuzz" --output-on-failure -j "$jobs" --no-tests=ignore
