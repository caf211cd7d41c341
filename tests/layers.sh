#!/bin/sh
# Every include runs downward: a subsystem folder includes only itself and the
# folders below it, and logic files (not named frm* or qt_*) include no Qt.
# usage: layers.sh SRC
src=$1
allowed() {
  case $1 in
    shell) echo "shell" ;;
    geodesy) echo "shell geodesy" ;;
    pos) echo "shell geodesy pos" ;;
    documents) echo "shell documents" ;;
    project) echo "shell documents project" ;;
    check) echo "shell documents project check" ;;
    photo) echo "shell geodesy photo" ;;
    docking) echo "shell docking" ;;
    app) echo "*" ;;
    *) echo "" ;;
  esac
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
      [ "$ok" = "*" ] && continue
      case " $ok " in *" $target "*) ;; *) echo "$sub/$name includes $target"; status=1 ;; esac
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
