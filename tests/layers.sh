#!/bin/sh
# Every include runs downward: a subsystem folder includes only itself and the
# folders below it, and logic files (not named frm* or qt_*) include no Qt.
# The layers are the build's declared dependencies: TABLE (layers.txt in the
# build folder) has one line per folder, the folder and the folders it links
# directly; a folder may include those and, through them, the ones below.
# usage: layers.sh SRC TABLE
src=$1
table=$2
[ -f "$table" ] || { echo "no layer table $table"; exit 1; }
# The folders a folder may include: itself and every folder it reaches through
# the table, each followed by a space; nothing for a folder not in the table.
allowed() {
    awk -v start="$1" '
        { known[$1] = 1; for (i = 2; i <= NF; i++) below[$1] = below[$1] " " $i }
        END {
            if (!(start in known)) exit
            reached[start] = 1; queue[1] = start; n = 1
            for (q = 1; q <= n; q++) {
                count = split(below[queue[q]], step, " ")
                for (i = 1; i <= count; i++)
                    if (!(step[i] in reached)) { reached[step[i]] = 1; queue[++n] = step[i] }
            }
            for (name in reached) printf "%s ", name
        }' "$table"
}
status=0
for dir in "$src"/*/; do
    sub=$(basename "$dir")
    ok=$(allowed "$sub")
    [ -n "$ok" ] || { echo "$sub: folder without a layer"; status=1; continue; }
    for file in "$dir"*.h "$dir"*.cpp; do
        [ -f "$file" ] || continue
        name=$(basename "$file")
        for target in $(sed -n 's/^#include "\([^/"]*\)\/.*/\1/p' "$file" | sort -u); do
            case " $ok" in *" $target "*) ;; *) echo "$sub/$name includes $target"; status=1 ;; esac
        done
        # A header counts as logic when a logic source of its name exists.
        logic=$file
        case $name in *.h) logic=${file%.h}.cpp ;; esac
        case $name in frm* | qt_*) ;; *)
            if [ "$sub" != app ] && [ -f "$logic" ] && grep -q '^#include <Q' "$file"; then
                echo "$sub/$name is logic but includes Qt"; status=1
            fi ;;
        esac
    done
done
exit $status
