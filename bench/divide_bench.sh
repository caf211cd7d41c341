#!/bin/sh
# Times skyrell-cli divide against cp on the same photos in the same run: FILES
# photos of SIZE_MB MiB each are divided into 10 flight lines, once by cp (one
# cp per line with that line's photos) and once by skyrell-cli divide (one run
# per line). Each timing includes the sync that puts the copies on disk, so
# neither side is measured by how much the page cache can hold. Best of two
# rounds each, alternating.
#
#   bench/divide_bench.sh [BUILD_DIR] [FILES] [SIZE_MB]   (defaults: build 2000 8)
#
# Needs FILES x SIZE_MB x 2 of free disk space in TMPDIR (32 GB by default).
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
files=${2:-2000}
size=${3:-8}
lines=10
cli=$build/src/skyrell-cli
[ -x "$cli" ] || { echo "missing $cli: build first (cmake --build $build)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/sortie"
head -c "${size}M" /dev/urandom > "$work/photo"
i=1
while [ $i -le "$files" ]; do
    cp "$work/photo" "$work/sortie/$(printf 'DSC%05d.JPG' $i)"
    i=$((i + 1))
done
rm "$work/photo"
sync
per_line=$((files / lines))
echo "photos: $files of $size MiB in $work/sortie, $lines lines of $per_line"

now() { date +%s.%N; }

# Both tools run twice, alternating, so that neither gains from a page cache
# the other has filled; the best of each counts.
# One flight line with cp: its photos named on one command line, as a user
# would type them.
line_cp() {
    mkdir "$work/out/$1"
    names=$(i=$2; while [ $i -le $3 ]; do printf "$work/sortie/DSC%05d.JPG " $i; i=$((i + 1)); done)
    # shellcheck disable=SC2086
    cp $names "$work/out/$1/"
}

# One flight line with skyrell-cli divide.
line_divide() {
    "$cli" divide "$work/sortie" "$work/out" --line "$1" --from "$2" --to "$3" >/dev/null
}

# Divides every line with line_$1 and times it, sync included; every photo
# must have arrived.
run() {
    mkdir "$work/out"
    start=$(now)
    line=1
    while [ $line -le $lines ]; do
        "line_$1" $line $(( (line - 1) * per_line + 1 )) $(( line * per_line ))
        line=$((line + 1))
    done
    sync
    seconds=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')
    copied=$(find "$work/out" -type f | wc -l)
    [ "$copied" -eq "$files" ] || { echo "$1 copied $copied photos, not $files"; exit 1; }
}

best() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }

cp_seconds=""
divide_seconds=""
for round in 1 2; do
    run cp
    cp_seconds=$(best "$cp_seconds" "$seconds")
    rm -rf "$work/out"
    sync
    run divide
    divide_seconds=$(best "$divide_seconds" "$seconds")
    rm -rf "$work/out"
    sync
done

awk -v c="$cp_seconds" -v d="$divide_seconds" -v n="$files" -v s="$size" 'BEGIN {
    printf "cp                 %7.2f s  %6.0f MiB/s\n", c, n * s / c
    printf "skyrell-cli divide %7.2f s  %6.0f MiB/s\n", d, n * s / d
    printf "divide: %.2fx the speed of cp (target >= 0.9)\n", c / d
}'
