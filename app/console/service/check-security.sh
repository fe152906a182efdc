#!/bin/sh
# Fails unless systemd-analyze rates the unit's exposure at most the given
# level: check-security.sh UNIT-FILE MAXIMUM
unit=$1
maximum=$2
report=$(systemd-analyze security --offline=yes "$unit" 2>&1) || { echo "$report"; exit 1; }
level=$(printf '%s\n' "$report" | sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p')
echo "exposure level $level (at most $maximum)"
[ -n "$level" ] && awk -v l="$level" -v m="$maximum" 'BEGIN { exit !(l <= m) }' || {
    printf '%s\n' "$report" | grep '✗'
    exit 1
}
