#!/bin/sh
# Times skyrell-cli's batch rotation (180° and 90°) and batch resizing (50 %,
# quality 12) on a folder of generated 20-megapixel JPEGs against, in the same
# rounds on the same photos, ImageMagick's mogrify (quality 98) and a shell
# loop of the vips command-line tool (quality 95, the engine's quality 12).
# Each round runs the three tools one after another, so that a busy machine
# slows all three alike; the script prints the median wall and processor time
# of each, the largest peak memory, and the median of the rounds' ratios.
#
#   bench/photo_bench.sh [BUILD_DIR] [PHOTOS] [ROUNDS] [SET_FOLDER]
#                                          (defaults: build 6 5, a temporary set)
#
# A SET_FOLDER keeps the generated photos for the next run (making them takes
# some minutes); a folder that already holds PHOTOS of them is used as it is.
#
# Needs GNU time, ImageMagick and the vips tool:
#   sudo apt-get install time imagemagick libvips-tools
# ImageMagick is called by its Debian path: the first "convert" or "mogrify" on
# the PATH may be something else.
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
photos=${2:-6}
rounds=${3:-5}
set_folder=${4:-}
cli=$build/src/skyrell-cli
mogrify=/usr/bin/mogrify-im6.q16
[ -x "$cli" ] || { echo "missing $cli: build first (cmake --build $build)"; exit 1; }
missing=""
[ -x /usr/bin/time ] || missing="$missing time"
[ -x "$mogrify" ] || missing="$missing imagemagick"
command -v vips >/dev/null 2>&1 || missing="$missing libvips-tools"
if [ -n "$missing" ]; then
    echo "missing tools; install them with: sudo apt-get install$missing"
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"
src=${set_folder:-$work/src}
mkdir -p "$src"

# 5472 x 3648 photos (a 20-megapixel camera; whole 16 x 16 MCUs), 4:2:0,
# quality 95, like a flight's over rough ground: a fractal surface of soft
# detail, tinted differently in each band, under fine-grained noise of its own
# in every band and photo, so that each file is about 12 MB and its blocks
# hold coefficients of every frequency. The surface is made once and mirrored
# or turned from photo to photo.
photo() { printf '%s/DSC%05d.JPG' "$src" "$1"; }
if [ ! -f "$(photo "$photos")" ]; then
    rm -f "$src"/*.JPG
    vips fractsurf "$work/surface.v" 5472 3648 2.6
    i=1
    while [ "$i" -le "$photos" ]; do
        case $((i % 4)) in
            0) vips copy "$work/surface.v" "$work/d.v" ;;
            1) vips flip "$work/surface.v" "$work/d.v" horizontal ;;
            2) vips flip "$work/surface.v" "$work/d.v" vertical ;;
            3) vips rot "$work/surface.v" "$work/d.v" d180 ;;
        esac
        for band in "r 1.5 124" "g 1.4 128" "b 1.2 112"; do
            set -- $band
            vips linear "$work/d.v" "$work/l.v" "$2" "$(($3 + i))"
            vips gaussnoise "$work/n.v" 5472 3648 --mean 0 --sigma 13
            vips add "$work/l.v" "$work/n.v" "$work/$1.v"
        done
        vips bandjoin "$work/r.v $work/g.v $work/b.v" "$work/rgb.v"
        vips cast "$work/rgb.v" "$work/u.v" uchar
        vips copy "$work/u.v" "$work/s.v" --interpretation srgb
        vips jpegsave "$work/s.v" "$(photo "$i")" --Q 95 --subsample-mode on
        i=$((i + 1))
    done
    rm -f "$work"/*.v
fi
echo "$photos photos of 5472 x 3648, $(du -m "$src" | cut -f1) MiB in all; $rounds rounds;" \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"

# measure COMMAND...: one run into an empty output folder under GNU time;
# leaves the wall seconds, the processor seconds (user + system) and the peak
# memory in MB in $wall, $cpu and $peak.
measure() {
    rm -rf "$work/out"
    mkdir "$work/out"
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {
        n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' \
        "$work/time.txt")
    cpu=$(awk -F': ' '/(User|System) time \(seconds\)/ { c += $2 } END { print c }' "$work/time.txt")
    peak=$(awk -F': ' '/Maximum resident set size/ { print $2 / 1024 }' "$work/time.txt")
}

# median FILE: the median of the numbers in FILE, one a line.
median() {
    sort -g "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
largest() { sort -g "$1" | tail -n 1; }

# compare TITLE OURS MOGRIFY VIPS: ROUNDS rounds of the three commands (each a
# string for sh -c, given the source and output folders as $1 and $2), then
# one line per tool and the median ratios.
compare() {
    title=$1
    shift
    rm -f "$work"/*.log
    round=1
    while [ "$round" -le "$rounds" ]; do
        tool=0
        for command in "$@"; do
            tool=$((tool + 1))
            measure sh -c "$command" run "$src" "$work/out"
            echo "$wall" >>"$work/wall$tool.log"
            echo "$cpu" >>"$work/cpu$tool.log"
            echo "$peak" >>"$work/peak$tool.log"
            if [ "$tool" -gt 1 ]; then
                awk -v a="$wall" -v b="$ours_wall" 'BEGIN { print a / b }' >>"$work/ratio$tool.log"
                awk -v a="$cpu" -v b="$ours_cpu" 'BEGIN { print a / b }' >>"$work/cpuratio$tool.log"
            else
                ours_wall=$wall ours_cpu=$cpu
            fi
        done
        round=$((round + 1))
    done
    tool=0
    for name in skyrell mogrify "vips loop"; do
        tool=$((tool + 1))
        printf '%-14s %-10s wall %6.2f s (%s-%s)  cpu %6.2f s  peak %6.1f MB' "$title" "$name" \
            "$(median "$work/wall$tool.log")" "$(sort -g "$work/wall$tool.log" | head -n 1)" \
            "$(largest "$work/wall$tool.log")" "$(median "$work/cpu$tool.log")" \
            "$(largest "$work/peak$tool.log")"
        if [ "$tool" -gt 1 ]; then
            printf '  skyrell %.1fx faster (cpu %.1fx)' "$(median "$work/ratio$tool.log")" \
                "$(median "$work/cpuratio$tool.log")"
        fi
        echo
    done
}

magick() { echo "$mogrify -path \"\$2\" $1 -quality 98 \"\$1\"/*.JPG"; }
# A shell loop of the vips tool: one process per photo, as a user would write it.
loop() {
    echo "for f in \"\$1\"/*.JPG; do vips $1 \"\$f\" \"\$2/\${f##*/}[Q=95,optimize-coding,subsample-mode=on]\" $2; done"
}

compare "rotate 180" "$cli rotate \"\$1\" \"\$2\" --angle 180" "$(magick "-rotate 180")" "$(loop rot d180)"
compare "rotate 90" "$cli rotate \"\$1\" \"\$2\" --angle 90" "$(magick "-rotate 90")" "$(loop rot d90)"
compare "resize 50 %" "$cli resize \"\$1\" \"\$2\" --percent 50 --quality 12" "$(magick "-resize 50%")" \
    "$(loop resize "0.5 --kernel lanczos3")"
