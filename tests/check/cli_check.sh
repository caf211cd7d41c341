#!/bin/sh
# skyrell-cli check: the report file, its printed copy and the exit status.
# Arguments: the skyrell-cli program, tests/data/check, a scratch folder.
set -u
cli=$1
data=$2
work=$3
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work"
sortie="$work/第1架次"
for sub in 刺点片 点之记 现场照片 原始数据 坐标成果 过程数据; do mkdir -p "$sortie/$sub"; done
for name in P0001 P0002; do
    : > "$sortie/刺点片/${name}_IMG_0286.jpg"
    : > "$sortie/点之记/$name.doc"
    : > "$sortie/现场照片/$name.jpg"
done
: > "$sortie/原始数据/2013-1-5.csv"
printf '%s\r\n' '点名,北坐标,东坐标,高程,纬度,经度,大地高,观测次数,备注' \
    'P0001,1,2,3,30.1536N,120.3E,4,1,' 'P0002,1,2,3,30.1536N,120.3E,4,1,' |
    iconv -f UTF-8 -t GBK > "$sortie/坐标成果/坐标成果.csv"

# Everything but the time line is fixed.
same_report() {
    head -n -1 "$sortie/自动检查报告.txt" > "$work/written" &&
    head -n -1 "$data/$1" > "$work/expected" &&
    cmp "$work/written" "$work/expected" || fail "report differs from $1"
}

"$cli" check "$sortie" > "$work/out"; status=$?
[ $status -eq 0 ] || fail "passing check exited $status"
same_report report_all_passed.txt
iconv -f GBK -t UTF-8 "$sortie/自动检查报告.txt" | tr -d '\r' | cmp - "$work/out" ||
    fail "printed report differs from the file"

# A report that cannot reach standard output is a failure.
"$cli" check "$sortie" > /dev/full 2> "$work/err"; status=$?
[ $status -eq 1 ] || fail "check into a full standard output exited $status"
grep -q '无法写入标准输出' "$work/err" || fail "no message for the failed standard output"

rm -r "$sortie/现场照片"
"$cli" check "$sortie" > "$work/out"; status=$?
[ $status -eq 3 ] || fail "failing check exited $status"
same_report report_no_site_photo_folder.txt

"$cli" check "$work/第2架次" > "$work/out" 2> "$work/err"; status=$?
[ $status -eq 1 ] || fail "missing folder exited $status"
grep -q '项目文件夹不存在，无法进行检查。' "$work/err" || fail "missing folder message"
[ ! -e "$work/第2架次" ] || fail "a missing folder was created"

# A folder that is no sortie is refused and gets no report; "." names the
# folder it stands for.
mkdir -p "$work/2013-1-5"
"$cli" check "$work/2013-1-5/" > /dev/null 2> "$work/err"; status=$?
[ $status -eq 1 ] && [ -z "$(ls "$work/2013-1-5")" ] || fail "date folder: exit $status"
grep -q '项目路径未选择至“架次”文件夹，请重新选择。' "$work/err" || fail "no refusal message"
(cd "$sortie" && "$cli" check . > /dev/null); status=$?
[ $status -eq 3 ] || fail "check of . inside the sortie exited $status"

"$cli" check > /dev/null 2>&1; status=$?
[ $status -eq 2 ] || fail "missing argument exited $status"
rm -rf "$work"
echo ok
