#!/bin/sh
# Times skyrell-cli candidates against exiftool reading the same tags from the
# same photos, in one run: PHOTOS small JPEGs with a survey camera's full EXIF
# (made by build/bench/make_candidate_photos) and POINTS control points. Each
# side runs twice, alternating, so neither gains from a page cache the other
# filled; the best time and the highest peak memory (/usr/bin/time -v) count.
#
#   bench/candidates_bench.sh [BUILD_DIR] [PHOTOS] [POINTS]   (defaults: build 10000 1000)
#
# Needs `time` and exiftool (Debian: libimage-exiftool-perl); without exiftool
# it times Skyrell alone and says so.
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
photos=${2:-10000}
points=${3:-1000}
cli=$build/src/skyrell-cli
maker=$build/bench/make_candidate_photos
[ -x "$cli" ] && [ -x "$maker" ] || {
    echo "missing $cli or $maker: build first (cmake --build $build)"
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$maker" "$work/flight" "$photos" "$work/points.csv" "$points"
echo "photos: $photos in $work/flight, points: $points"

# Runs a command twice and prints "seconds peak_kb" of the best run and the
# highest peak.
measure() {
    seconds=
    memory=0
    for round in 1 2; do
        /usr/bin/time -v -o "$work/time.txt" "$@" >"$work/out.txt"
        s=$(awk -F': ' '/Elapsed \(wall clock\)/ {
                n = split($2, p, ":"); t = 0; for (i = 1; i <= n; i++) t = t * 60 + p[i]; print t }' \
            "$work/time.txt")
        m=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
        seconds=$(awk -v a="$seconds" -v b="$s" 'BEGIN { print (a == "" || b < a) ? b : a }')
        memory=$(awk -v a="$memory" -v b="$m" 'BEGIN { print (b > a) ? b : a }')
    done
    echo "$seconds $memory"
}

report() {
    printf '%-28s %7.2f s  peak %7.1f MB\n' "$1" "$2" "$(awk -v m="$3" 'BEGIN { print m / 1024 }')"
}

set -- $(measure "$cli" candidates "$work/points.csv" "$work/flight")
ours=$1
ours_memory=$2
report "skyrell-cli candidates" "$ours" "$ours_memory"
echo "sightings: $(wc -l <"$work/out.txt")"

if ! command -v exiftool >/dev/null 2>&1; then
    echo "exiftool not found (Debian: libimage-exiftool-perl): no ratio"
    exit 0
fi
set -- $(measure exiftool -n -csv -q -ImageWidth -ImageHeight -FocalLength \
    -FocalPlaneXResolution -FocalPlaneResolutionUnit -FocalLengthIn35mmFormat \
    -GPSLatitude -GPSLongitude -GPSAltitude "$work/flight")
theirs=$1
report "exiftool -n -csv (tags only)" "$theirs" "$2"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "ratio: %.1fx\n", b / a }'
