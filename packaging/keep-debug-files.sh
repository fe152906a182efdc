#!/usr/bin/env bash
# Copies the debug information of each binary into <dir>/.build-id/xx/yyyy.debug
# (its build id split after two digits), the layout debuggers look up.
# Usage: keep-debug-files.sh <dir> <binary>...
set -euo pipefail
dir="$1"
shift
for binary in "$@"; do
  id="$(readelf -n "${binary}" | awk '/Build ID:/ {print $3}')"
  if [[ -z "${id}" ]]; then
    echo "keep-debug-files: ${binary} has no build id" >&2
    exit 1
  fi
  mkdir -p "${dir}/.build-id/${id:0:2}"
  objcopy --only-keep-debug --compress-debug-sections "${binary}" \
    "${dir}/.build-id/${id:0:2}/${id:2}.debug"
done
