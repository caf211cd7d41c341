#!/bin/sh
# skyrell-cli prick: the printed files, refusals that exit 1 and change
# nothing (also a write cut short by a file-size limit), usage errors, and a
# sortie pricked only through the command line that gets its coordinate
# results and point records and passes the automatic check.
#
#   cli_prick.sh CLI DATA WORK
set -u
cli=$1
data=$2
work=$3
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work"
sortie=$work/第3架次
for sub in 刺点片 点之记 现场照片 原始数据 坐标成果 过程数据; do mkdir -p "$sortie/$sub"; done
mkdir -p "$work/flight"
# A 600 x 400 photo.
cp "$data/documents/sketch.jpg" "$work/flight/IMG_0286.jpg"
cp "$data/documents/sketch.jpg" "$work/flight/IMG_0287.JPG"

# run EXPECTED-STATUS ARGS...: stdout in $work/out, stderr in $work/err.
run() {
    expected=$1
    shift
    status=0
    "$cli" prick "$@" > "$work/out" 2> "$work/err" || status=$?
    [ "$status" -eq "$expected" ] || fail "prick $* exited $status, not $expected: $(cat "$work/err")"
}
state() { (cd "$sortie" && find . -print0 | sort -z | xargs -0 md5sum 2>&1) ; }

run 0 "$sortie" --point p0001 --photo "$work/flight/IMG_0286.jpg" --at 300,200.5
printf '已保存刺点片：%s\n已保存点位略图：%s\n' "$sortie/刺点片/P0001_IMG_0286.jpg" \
    "$sortie/过程数据/P0001.jpg" | cmp - "$work/out" || fail "hand-in output"
run 0 "$sortie" --point P0002 --photo "$work/flight/IMG_0287.JPG" --at 10,390 --sketch-width 121
run 0 "$sortie" --point P0001 --photo "$work/flight/IMG_0287.JPG" --at 1.5,2.25 --observation-only
printf '已记录观测：P0001 IMG_0287.JPG\n' | cmp - "$work/out" || fail "observation output"
printf '%s\r\n' '点名,航片,X,Y,刺点片' 'P0001,IMG_0286.jpg,300,200.5,是' \
    'P0002,IMG_0287.JPG,10,390,是' 'P0001,IMG_0287.JPG,1.5,2.25,否' |
    iconv -f UTF-8 -t GBK | cmp - "$sortie/过程数据/刺点记录.csv" || fail "record"

# Refusals: exit 1, the message, nothing changed.
before=$(state)
run 1 "$sortie" --point P0003 --photo "$work/flight/IMG_0286.jpg" --at 600,10
printf '刺点位置（600, 10）不在航片“IMG_0286.jpg”内（航片为600×400像素）。\n' | cmp - "$work/err" ||
    fail "outside message: $(cat "$work/err")"
run 1 "$work/flight" --point P0003 --photo "$work/flight/IMG_0286.jpg" --at 1,1
grep -q "不是架次文件夹" "$work/err" || fail "not a sortie: $(cat "$work/err")"
(ulimit -f 8; "$cli" prick "$sortie" --point P0001 --photo "$work/flight/IMG_0287.JPG" --at 5,5 \
    > /dev/null 2> "$work/err"); status=$?
[ "$status" -eq 1 ] || fail "file-size limit: exit $status"
grep -q "^无法写入文件" "$work/err" || fail "file-size limit: $(cat "$work/err")"
[ "$(state)" = "$before" ] || fail "a refusal changed the sortie"

# Wrong usage: exit 2.
run 2 "$sortie" --point P0003 --photo "$work/flight/IMG_0286.jpg" --at 1
run 2 "$sortie" --point P0003 --photo "$work/flight/IMG_0286.jpg" --at 1,2 --sketch-width 0
run 2 "$sortie" --point P0003 --at 1,2

# The rest of the sortie's files, then the results, the records and the check.
cp "$data/project/hitarget_raw.csv" "$sortie/原始数据/2012-11-18.csv"
cp "$data/documents/sketch.jpg" "$sortie/现场照片/P0001.jpg"
cp "$data/documents/sketch.jpg" "$sortie/现场照片/P0002.jpg"
printf 'P0001,a,b,,\r\nP0002,c,d,,\r\n' > "$sortie/过程数据/点位描述.txt"
"$cli" coordinate-results --make hi-target "$sortie/原始数据/2012-11-18.csv" "$sortie" \
    > /dev/null || fail "coordinate-results"
"$cli" point-records "$sortie" --sortie 3 --people a,b,c --dates d1,d2,d3 > /dev/null ||
    fail "point-records"
"$cli" check "$sortie" > "$work/out" || fail "check: $(cat "$work/out")"

# The GCP list of the same sortie: the zone of the first point, every pricking.
"$cli" gcp-export "$sortie" "$sortie/原始数据/2012-11-18.csv" "$work/gcp_list.txt" \
    --make hi-target --datum 2000 --zone 3 > "$work/out" || fail "gcp-export"
head -n 1 "$work/gcp_list.txt" | grep -qx '+proj=tmerc +lat_0=0 +lon_0=114 +k=1 +x_0=500000 +y_0=0 +a=6378137 +b=6356752.31414 +units=m +no_defs' ||
    fail "gcp projection: $(head -n 1 "$work/gcp_list.txt")"
printf '%s\n' '300 200.5 IMG_0286.jpg P0001' '10 390 IMG_0287.JPG P0002' \
    '1.5 2.25 IMG_0287.JPG P0001' > "$work/expected"
tail -n +2 "$work/gcp_list.txt" | cut -d' ' -f4- | cmp - "$work/expected" || fail "gcp lines"
status=0
"$cli" gcp-export "$sortie" "$sortie/原始数据/2012-11-18.csv" "$work/gcp2.txt" --datum 2000 \
    2> /dev/null || status=$?
[ $status -eq 2 ] && [ ! -e "$work/gcp2.txt" ] || fail "gcp-export --datum without --zone: $status"
exit 0
