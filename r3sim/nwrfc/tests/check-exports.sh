#!/bin/sh
# Usage: check-exports.sh LIBRARY NAMES
# Passes when the library's defined dynamic symbols are exactly the names
# listed (one a line): the SDK's functions, nothing of our internals.
set -eu
library=$1
names=$2
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
nm -D --defined-only "$library" | awk '{print $NF}' | sort -u >"$actual"
if ! diff -u "$names" "$actual"; then
    echo "exported symbols of $library differ from the SDK's names (- missing, + extra)" >&2
    exit 1
fi
echo "$(wc -l <"$actual") SDK names exported, nothing else"
