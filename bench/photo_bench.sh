#!/bin/sh
# Times skyrell-cli's batch rotation (180°) and batch resizing (50 %, quality
# 12) on a folder of generated 20-megapixel JPEGs against, in the same run on
# the same photos, ImageMagick's mogrify (quality 98) and a shell loop of the
# vips command-line tool (quality 95, the engine's quality 12), and prints the
# ratios and the peak memory of each (best of three runs).
#
#   bench/photo_bench.sh [BUILD_DIR] [PHOTOS]     (defaults: build 6)
#
# Needs GNU time, ImageMagick and the vips tool:
#   sudo apt-get install time imagemagick libvips-tools
# ImageMagick is called by its Debian path: the first "convert" or "mogrify" on
# the PATH may be something else.
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
photos=${2:-6}
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
mkdir "$work/src" "$work/out"

# 5472 x 3648 photos (a 20-megapixel camera; whole 16 x 16 MCUs), 4:2:0, with
# fine-grained detail so that each file is about as large as a real one.
i=1
while [ "$i" -le "$photos" ]; do
    for band in r g b; do
        vips gaussnoise "$work/$band.v" 5472 3648 --mean $((100 + i)) --sigma 16
    done
    vips bandjoin "$work/r.v $work/g.v $work/b.v" "$work/rgb.v"
    vips cast "$work/rgb.v" "$work/u.v" uchar
    vips copy "$work/u.v" "$work/s.v" --interpretation srgb
    vips jpegsave "$work/s.v" "$work/src/DSC$(printf %05d "$i").JPG" --Q 95 --subsample-mode on
    i=$((i + 1))
done
rm -f "$work"/*.v
echo "$photos photos of 5472 x 3648, $(du -m "$work/src" | cut -f1) MiB in all"

# run NAME COMMAND...: three runs into an empty output folder under GNU time;
# prints the best wall time, the best processor time (user + system, which
# other programs on a shared machine disturb less) and the largest peak
# memory, and leaves the seconds in $seconds and $cpu.
run() {
    name=$1
    shift
    seconds=""
    cpu=""
    memory=0
    for attempt in 1 2 3; do
        rm -rf "$work/out"
        mkdir "$work/out"
        /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null
        s=$(awk -F': ' '/Elapsed \(wall clock\)/ {
            n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' \
            "$work/time.txt")
        m=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
        c=$(awk -F': ' '/(User|System) time \(seconds\)/ { c += $2 } END { print c }' "$work/time.txt")
        seconds=$(awk -v a="$seconds" -v b="$s" 'BEGIN { print (a == "" || b < a) ? b : a }')
        cpu=$(awk -v a="$cpu" -v b="$c" 'BEGIN { print (a == "" || b < a) ? b : a }')
        memory=$(awk -v a="$memory" -v b="$m" 'BEGIN { print (b > a) ? b : a }')
    done
    printf '%-26s %7.2f s  cpu %7.2f s  peak %7.1f MB\n' "$name" "$seconds" "$cpu" \
        "$(awk -v m="$memory" 'BEGIN { print m / 1024 }')"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1fx", a / b }'; }
report() {
    echo "$1: wall $(ratio "$magick" "$ours") faster than mogrify, $(ratio "$vipsloop" "$ours") than the vips loop;" \
        "cpu $(ratio "$magick_cpu" "$ours_cpu") and $(ratio "$vips_cpu" "$ours_cpu")"
}

# A shell loop of the vips tool: one process per photo, as a user would write it.
loop='for f in "$1"/*.JPG; do vips "$3" "$f" "$2/${f##*/}[Q=95,optimize-coding,subsample-mode=on]" "$4" $5; done'

run "skyrell rotate 180" "$cli" rotate "$work/src" "$work/out" --angle 180
ours=$seconds ours_cpu=$cpu
run "mogrify -rotate 180" "$mogrify" -path "$work/out" -rotate 180 -quality 98 "$work/src"/*.JPG
magick=$seconds magick_cpu=$cpu
run "vips rot loop" sh -c "$loop" loop "$work/src" "$work/out" rot d180
vipsloop=$seconds vips_cpu=$cpu
report "rotate 180"

run "skyrell resize 50 % q12" "$cli" resize "$work/src" "$work/out" --percent 50 --quality 12
ours=$seconds ours_cpu=$cpu
run "mogrify -resize 50%" "$mogrify" -path "$work/out" -resize 50% -quality 98 "$work/src"/*.JPG
magick=$seconds magick_cpu=$cpu
run "vips resize loop" sh -c "$loop" loop "$work/src" "$work/out" resize 0.5 "--kernel lanczos3"
vipsloop=$seconds vips_cpu=$cpu
report "resize 50 %"
