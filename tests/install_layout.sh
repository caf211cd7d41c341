#!/bin/sh
# Installs the build into a fresh prefix and checks the desktop layout: the
# programs in bin, their own files in share/skyrell, the desktop entry and the
# icons; then runs the installed command-line program.
# usage: install_layout.sh BUILD_DIR WORK_DIR
set -e
build=$1 prefix=$2/prefix
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" > /dev/null
for file in bin/skyrell bin/skyrell-cli \
    share/skyrell/help/index.html share/skyrell/help/user-guide.md \
    share/skyrell/点之记模板.doc share/applications/skyrell.desktop \
    share/icons/hicolor/scalable/apps/skyrell.svg \
    share/icons/hicolor/16x16/apps/skyrell.png share/icons/hicolor/256x256/apps/skyrell.png; do
    [ -f "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
"$prefix/bin/skyrell-cli" --version
