#!/bin/sh
# Times skyrell-cli point-records on a generated sortie of POINTS control points
# with screenshots of about 300 KB each (best of three runs), and, in the same
# run on the documents it made, LibreOffice's headless conversion to PDF: the
# time another tool takes to touch every document once. Prints both and the ratio.
#
#   bench/point_records_bench.sh [BUILD_DIR] [POINTS]     (defaults: build 200)
#
# Every document is synced to disk before it is renamed into place, so on a
# busy disk most of the time is waiting for the disk; the processor time is
# printed too. Needs GNU time, ImageMagick (convert) and LibreOffice (soffice):
#   sudo apt-get install time imagemagick libreoffice-writer-nogui
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
points=${2:-200}
cli=$build/src/skyrell-cli
[ -x "$cli" ] || { echo "missing $cli: build first (cmake --build $build)"; exit 1; }
missing=""
[ -x /usr/bin/time ] || missing="$missing time"
command -v convert >/dev/null 2>&1 || missing="$missing imagemagick"
command -v soffice >/dev/null 2>&1 || missing="$missing libreoffice-writer-nogui"
if [ -n "$missing" ]; then
    echo "missing tools; install them with: sudo apt-get install$missing"
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sortie=$work/第1架次
mkdir -p "$sortie/刺点片" "$sortie/点之记" "$sortie/过程数据"
# One noisy 1280 x 960 screenshot (about 300 KB), copied for every point.
convert -size 1280x960 plasma:fractal -blur 0x1 -quality 92 "$work/shot.jpg"
i=1
while [ $i -le "$points" ]; do
    name=$(printf 'P%04d' $i)
    : > "$sortie/刺点片/${name}_IMG_$(printf '%04d' $i).jpg"
    cp "$work/shot.jpg" "$sortie/过程数据/$name.jpg"
    printf '%s,crossroads %d,ground,third,\r\n' "$name" $i >> "$sortie/过程数据/点位描述.txt"
    i=$((i + 1))
done
echo "$points points, screenshots of $(($(wc -c < "$work/shot.jpg") / 1024)) KB"

now() { date +%s.%N; }
best=""
cpu=""
for attempt in 1 2 3; do
    /usr/bin/time -f "%e %U %S" -o "$work/time.txt" \
        "$cli" point-records "$sortie" --sortie 1 --people a,b,c --dates d1,d2,d3 > /dev/null
    read -r wall user system < "$work/time.txt"
    if [ -z "$best" ] || awk -v a="$best" -v b="$wall" 'BEGIN { exit !(b < a) }'; then
        best=$wall
        cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
    fi
done
echo "documents written: $(ls "$sortie/点之记" | wc -l)," \
     "$(du -m "$sortie/点之记" | cut -f1) MiB"

mkdir "$work/pdf"
start=$(now)
soffice --headless "-env:UserInstallation=file://$work/profile" --convert-to pdf \
    --outdir "$work/pdf" "$sortie/点之记/"*.doc > /dev/null 2>&1
end=$(now)
office=$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')
echo "PDFs written: $(ls "$work/pdf" | wc -l)"

awk -v a="$best" -v b="$office" -v c="$cpu" -v n="$points" 'BEGIN {
    printf "skyrell point-records:      %7.2f s (target well under 5 s), processor %.2f s\n", a, c
    printf "soffice --convert-to pdf:   %7.2f s\n", b
    printf "point records: %.1fx the speed of LibreOffice touching the same %d documents\n", b / a, n
}'
