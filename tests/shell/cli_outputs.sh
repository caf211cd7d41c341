#!/bin/sh
# What the command-line program's outputs may replace: never the input or a
# FIFO; past the file-size limit the command fails cleanly (the writer's own
# cases are in atomic_file_test.cpp).
# Arguments: the skyrell-cli program, tests/data, a scratch folder.
set -u
cli=$1
data=$2
work=$3
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$work"
mkdir -p "$work/real"
cp "$data/pos/flight.txt" "$work/in.txt"
cp "$data/pos/other_data.csv" "$work/data.csv"
ln -s in.txt "$work/in-link.txt"
ln -s ../data.csv "$work/real/data-link.csv"
mkfifo "$work/fifo"

# refused CALL... ; expected text: exit 1, the text on stderr, inputs unchanged.
refused() {
    text=$1
    shift
    "$cli" "$@" > /dev/null 2> "$work/err"; status=$?
    [ $status -eq 1 ] || fail "$* exited $status"
    grep -q "$text" "$work/err" || fail "$*: $(cat "$work/err")"
    cmp -s "$work/in.txt" "$data/pos/flight.txt" || fail "$*: the input changed"
    cmp -s "$work/data.csv" "$data/pos/other_data.csv" || fail "$*: the data changed"
    [ -p "$work/fifo" ] || fail "$*: the FIFO was replaced"
}
refused 就是输入文件 pos-txt-bl "$work/in.txt" "$work/in-link.txt"
refused 就是输入文件 pos-kml-point "$work/in-link.txt" "$work/in.txt"
refused 就是输入文件 other-to-pos "$work/data.csv" "$work/real/data-link.csv" \
    --separator comma --lat-column 1 --lon-column 2
refused 不是普通文件 pos-txt-bl "$work/in.txt" "$work/fifo"

# Over the file-size limit: exit 1, the old file intact, no temporary file.
echo old > "$work/big.kml"
(ulimit -f 1; "$cli" pos-kml-point "$work/in.txt" "$work/big.kml" 2> "$work/err"); status=$?
[ $status -eq 1 ] || fail "write over the size limit exited $status"
[ "$(cat "$work/big.kml")" = old ] || fail "the old file was not kept"
[ -z "$(find "$work" -name '.skyrell-*')" ] || fail "a temporary file was left"
rm -rf "$work"
echo ok
