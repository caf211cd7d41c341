#!/bin/sh
# Times skyrell-cli's POS conversions (best of three runs each) on a generated POS file and, in the same
# run on the same points, GDAL's ogr2ogr (CSV to KML) and PROJ's cs2cs (the same
# Gauss-Krueger projection), and prints the ratios and the peak memory.
#
#   bench/pos_bench.sh [BUILD_DIR] [LINES]     (defaults: build 1000000)
#
# Needs GNU time (/usr/bin/time), ogr2ogr and cs2cs:
#   sudo apt-get install time gdal-bin proj-bin
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
lines=${2:-1000000}
cli=$build/src/skyrell-cli
bench=$build/bench/pos_bench
for tool in "$cli" "$bench"; do
    [ -x "$tool" ] || { echo "missing $tool: build first (cmake --build $build)"; exit 1; }
done
missing=""
[ -x /usr/bin/time ] || missing="$missing time"
command -v ogr2ogr >/dev/null 2>&1 || missing="$missing gdal-bin"
command -v cs2cs >/dev/null 2>&1 || missing="$missing proj-bin"
if [ -n "$missing" ]; then
    echo "missing tools; install them with: sudo apt-get install$missing"
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --generate "$work" "$lines"
echo "POS file: $lines data lines, $(du -m "$work/pos.txt" | cut -f1) MiB"

# run NAME OUTPUT COMMAND...: runs the command three times under GNU time (the
# machine may be shared, so the best of three is the fair figure), prints the
# best wall time and the largest peak memory, and leaves the seconds in $seconds.
run() {
    name=$1
    output=$2
    shift 2
    seconds=""
    memory=0
    for attempt in 1 2 3; do
        # Every run starts without an earlier output (ogr2ogr would update it).
        rm -f "$output"
        /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null
        s=$(awk -F': ' '/Elapsed \(wall clock\)/ {
            n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' \
            "$work/time.txt")
        m=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
        seconds=$(awk -v a="$seconds" -v b="$s" 'BEGIN { print (a == "" || b < a) ? b : a }')
        memory=$(awk -v a="$memory" -v b="$m" 'BEGIN { print (b > a) ? b : a }')
    done
    printf '%-28s %7.2f s  peak %7.1f MB\n' "$name" "$seconds" "$(awk -v m="$memory" 'BEGIN { print m / 1024 }')"
}

run "skyrell KML points" "$work/points.kml" "$cli" pos-kml-point "$work/pos.txt" "$work/points.kml"
ours_kml=$seconds
run "skyrell DXF points" "$work/points.dxf" "$cli" pos-dxf-point "$work/pos.txt" "$work/points.dxf" \
    --datum 1954 --zone 3 --scale 500
ours_dxf=$seconds
run "skyrell ID,X,Y" "$work/points.txt" "$cli" pos-txt-xy "$work/pos.txt" "$work/points.txt" --datum 1954 --zone 3
ours_xy=$seconds
run "ogr2ogr CSV -> KML" "$work/gdal.kml" ogr2ogr -f KML "$work/gdal.kml" "$work/points.csv" \
    -oo X_POSSIBLE_NAMES=lon -oo Y_POSSIBLE_NAMES=lat -oo Z_POSSIBLE_NAMES=h \
    -oo KEEP_GEOM_COLUMNS=NO -a_srs EPSG:4326
gdal_kml=$seconds
ellipsoid="+a=6378245 +b=6356863.0188"
run "cs2cs tmerc" "$work/cs2cs.txt" sh -c "cs2cs -f %.3f +proj=longlat $ellipsoid +no_defs +to \
    +proj=tmerc $ellipsoid +lon_0=114 +x_0=500000 +k=1 +no_defs \
    < '$work/lonlat.txt' > '$work/cs2cs.txt'"
proj_xy=$seconds

echo
echo "bytes written: skyrell KML $(du -m "$work/points.kml" | cut -f1) MiB," \
     "ogr2ogr KML $(du -m "$work/gdal.kml" | cut -f1) MiB"
awk -v a="$ours_kml" -v b="$gdal_kml" -v c="$ours_xy" -v d="$proj_xy" -v e="$ours_dxf" 'BEGIN {
    printf "KML points: %.2fx the speed of ogr2ogr (target > 1)\n", b / a
    printf "ID,X,Y:     %.2fx the speed of cs2cs (target >= 2)\n", d / c
    printf "DXF points: %.2f s (target < 3 s)\n", e
}'
echo
echo "in-process timings, with the longest stretch between two progress calls:"
"$bench" "$lines"
