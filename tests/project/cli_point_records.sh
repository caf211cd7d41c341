#!/bin/sh
# skyrell-cli point-records: the documents, the error log and the exit status;
# a failed check writes nothing. With "soffice" as fourth argument: a made
# document, converted to PDF by LibreOffice, shows the point name and the
# description (skipped, exit 77, when soffice or pdftotext is missing).
#
#   cli_point_records.sh CLI DATA WORK [soffice]
set -e
cli=$1
data=$2
work=$3
fail() { echo "$*"; exit 1; }

if [ "$4" = soffice ]; then
    command -v soffice >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1 || exit 77
    work=$work-soffice
fi
rm -rf "$work"
sortie=$work/第3架次
mkdir -p "$sortie/刺点片" "$sortie/点之记" "$sortie/过程数据"
: > "$sortie/刺点片/P0001_IMG_0286.jpg"
: > "$sortie/刺点片/P0002_IMG_0287.jpg"
cp "$data/documents/sketch.jpg" "$sortie/过程数据/P0001.jpg"
printf 'P0001,crossroads,ground,,\r\nP0002,bridge,deck,,\r\n' > "$sortie/过程数据/点位描述.txt"

status=0
"$cli" point-records "$sortie" --sortie 3 --people "a,b,c" --dates "d1,d2,d3" \
    > "$work/out.txt" || status=$?
[ $status -eq 3 ] || fail "point-records exited $status, not 3"
printf '未找到 P0002 截图文件。\r\n' | iconv -f UTF-8 -t GBK > "$work/log.txt"
cmp "$work/log.txt" "$sortie/过程数据/批量创建点之记错误记录.txt" || fail "error log differs"
[ -s "$sortie/点之记/P0001.doc" ] && [ -s "$sortie/点之记/P0002.doc" ] || fail "documents missing"

if [ "$4" = soffice ]; then
    soffice --headless "-env:UserInstallation=file://$work/profile" --convert-to pdf \
        --outdir "$work" "$sortie/点之记/P0001.doc" > /dev/null 2>&1
    pdftotext "$work/P0001.pdf" "$work/P0001.txt"
    grep -q P0001 "$work/P0001.txt" || fail "no point name in the PDF"
    # Words in another script may come out with a blank between them.
    grep -q "本点刺在 *crossroads，" "$work/P0001.txt" || fail "no description in the PDF"
    exit 0
fi

# A check that fails prints its message, exits 1 and writes nothing.
rm -f "$sortie/点之记/"* "$sortie/过程数据/批量创建点之记错误记录.txt"
status=0
"$cli" point-records "$sortie" --sortie 3 --people "a, ,c" --dates "d1,d2,d3" \
    > /dev/null 2> "$work/err.txt" || status=$?
[ $status -eq 1 ] || fail "incomplete names: exit $status, not 1"
grep -qx "点之记信息不完整。" "$work/err.txt" || fail "incomplete names: wrong message"
[ -z "$(ls "$sortie/点之记")" ] || fail "incomplete names: a document was written"
[ ! -e "$sortie/过程数据/批量创建点之记错误记录.txt" ] || fail "incomplete names: a log was written"
