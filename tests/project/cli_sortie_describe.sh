#!/bin/sh
# skyrell-cli sortie and describe: the folder tree and description file they
# write, and their refusals (exit status, message, nothing created or changed).
set -u
cli=$1
work=$2
root=$work/root
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work" && mkdir -p "$root"

# Names are trimmed; the date folder has no leading zeros.
sortie=$("$cli" sortie "$root" --sortie " 3 " --operator " op1 " --date 2013-01-05) ||
    fail "sortie exited $?"
[ "$sortie" = "$root/2013-1-5/op1/第3架次" ] || fail "printed $sortie"
for sub in 刺点片 点之记 现场照片 原始数据 坐标成果 过程数据; do [ -d "$sortie/$sub" ] || fail "$sub"; done

file=$sortie/过程数据/点位描述.txt
"$cli" describe "$sortie" P0002 路口 地面 "" "" && "$cli" describe "$sortie" p0002 街角 路面 "" 第四 ||
    fail "describe exited $?"
printf 'p0002,街角,路面,,第四\r\n' | iconv -f UTF-8 -t GBK |
    cmp - "$file" || fail "description file differs"
cp "$file" "$work/kept"

# Arguments (| between words), exit status, message.
while IFS='	' read -r args expected message; do
    IFS='|'
    # shellcheck disable=SC2086
    set -- $args
    IFS=' '
    "$cli" "$@" > /dev/null 2> "$work/err"
    status=$?
    [ $status -eq "$expected" ] && grep -qF -- "$message" "$work/err" ||
        fail "$args: exit $status, $(cat "$work/err")"
done <<END
sortie|$root|--sortie|4|--operator|a/b	1	刺点员姓名中含有不能用于文件夹名的字符“/”。
sortie|$root|--sortie|4|--operator|  	1	未输入刺点员。
sortie|$root|--sortie|4|--operator|op1|--date|2013-2-29	2	option --date
describe|$sortie|P0003|a|b|x|d,e	1	第四描述中不能包含逗号。
describe|$sortie| |a|b|x|x	1	未输入点名。
describe|$root/2013-1-5/op1|P0003|a|b|x|x	1	刺点片目录不存在。
END
[ "$(find "$root" -mindepth 1 -maxdepth 3 | wc -l)" -eq 3 ] || fail "a refused sortie made folders"
cmp "$file" "$work/kept" || fail "a refused description changed the file"
rm -rf "$work"
echo ok
