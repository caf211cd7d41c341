#!/bin/sh
# skyrell-cli divide: what it copies, what it prints and its exit status.
# Arguments: the skyrell-cli program, a scratch folder.
set -u
cli=$1
work=$2
fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work"
mkdir -p "$work/sortie" "$work/save/2"
for name in DSC0011.JPG DSC0012.jpg DSC0013.JPG DSC0014.JPG cover.JPG DSC0012.tif; do
    echo "$name" > "$work/sortie/$name"
done
echo old > "$work/save/2/DSC0013.JPG"

"$cli" divide "$work/sortie" "$work/save" --line 2 --from 13 --to 12 > "$work/out" 2> "$work/err"
[ $? -eq 0 ] || fail "divide exited $?"
printf '复制航片 1 张，已存在 1 张。\n' | cmp -s - "$work/out" || fail "stdout: $(cat "$work/out")"
printf '有 1 张航片的文件名末尾没有编号，未参与划分。\n' | cmp -s - "$work/err" ||
    fail "stderr: $(cat "$work/err")"
[ "$(ls -A "$work/save/2" | tr '\n' ' ')" = "DSC0012.jpg DSC0013.JPG " ] ||
    fail "line folder holds: $(ls -A "$work/save/2")"
[ "$(cat "$work/save/2/DSC0013.JPG")" = old ] || fail "an existing copy was replaced"

# Usage errors exit 2, a missing save folder 1; neither creates anything.
for args in "--line x --from 1 --to 2" "--line 1 --from 1.5 --to 2" "--line 1 --from 1"; do
    # shellcheck disable=SC2086
    "$cli" divide "$work/sortie" "$work/save" $args > /dev/null 2>&1
    status=$?
    [ $status -eq 2 ] || fail "divide $args exited $status"
done
"$cli" divide "$work/sortie" "$work/none" --line 1 --from 1 --to 2 > /dev/null 2>&1
[ $? -eq 1 ] || fail "a missing DST did not exit 1"
[ ! -e "$work/none" ] || fail "a missing DST was created"
[ "$(ls "$work/save")" = 2 ] || fail "save folder holds: $(ls "$work/save")"
echo ok
