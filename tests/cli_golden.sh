#!/bin/sh
# Runs skyrell-cli and compares the file it wrote with a hand-written golden file.
# usage: cli_golden.sh CLI EXPECTED OUTPUT ARGUMENTS...
set -e
cli=$1 expected=$2 output=$3
shift 3
rm -f "$output"
"$cli" "$@"
cmp "$output" "$expected"
