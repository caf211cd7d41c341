#!/bin/sh
# Installs the dependencies, builds everything and runs every test; then the
# same tests again under AddressSanitizer and UndefinedBehaviorSanitizer (any
# report fails), every fuzz target for 20 seconds, and clang-tidy over src/.
# Both builds treat warnings as errors.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKYRELL_WERROR=ON
cmake --build build -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2

# -O1 and line tables only: this tree exists for the sanitizers' reports, which
# need no more, and a lighter build keeps the test command's time down.
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Sanitize -DSKYRELL_BUILD_BENCH=OFF -DSKYRELL_WERROR=ON \
    "-DCMAKE_CXX_FLAGS=-O1 -g1 $sanitize" "-DCMAKE_EXE_LINKER_FLAGS=$sanitize"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$(pwd)/tools/lsan.supp"
cmake --build build-sanitize -j2
QT_QPA_PLATFORM=offscreen ctest --test-dir build-sanitize --output-on-failure -j2

sh tools/fuzz.sh 20

# Last, so that a finding does not hide a failing test.
sh tools/lint.sh build
