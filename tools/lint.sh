#!/bin/sh
# Runs clang-tidy (the checks of .clang-tidy) over every source file in src/,
# two at a time, with the compile commands of a build folder. The folder is
# configured when it has none and brought up to date first, because some
# windows include code that moc generates. Fails on any finding.
# usage: tools/lint.sh [BUILD_FOLDER]   (default: build)
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/compile_commands.json" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
fi
cmake --build "$build" -j2 > /dev/null

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
find src -name '*.cpp' | sort |
    xargs -P2 -n4 clang-tidy -p "$build" --quiet > "$log" 2>&1 || status=1
# clang-tidy prints the count of warnings it kept quiet (system headers) on
# stderr; only the findings matter.
grep -v -e '^[0-9]* warnings\? \(and [0-9]* errors\? \)\?generated\.$' \
    -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter' -e '^$' "$log" || true
if [ $status -ne 0 ]; then
    echo "lint: clang-tidy reported findings" >&2
fi
exit $status
