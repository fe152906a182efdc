#!/usr/bin/env bash
# Builds the library and its C tests with musl (musl-gcc), links them
# statically and runs them. musl defines no __GLIBC__, so the stream paths
# that read the GNU C library's FILE are compiled out and the portable ones
# run. Left out: the tests that replace malloc, and those that compare with
# the C library's own strtoll and sscanf at the edges where musl answers
# otherwise than glibc (test_scan keeps its own cases and drops the table).
# Usage: check_musl.sh <torvu16 source dir>
set -euo pipefail
src="$1"
work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT
cc=(musl-gcc -std=gnu11 -O2 -I"${src}/include" -I"${src}")

if "${cc[@]}" -dM -E - </dev/null | grep -q '__GLIBC__'; then
  echo "musl-gcc defines __GLIBC__: the portable paths would not be built" >&2
  exit 1
fi
for source in "${src}"/u16_*.c; do
  object="${work}/$(basename "${source}" .c).o"
  extra=()
  [[ "${source}" == */u16_transcode_avx2.c ]] && extra=(-mavx2)
  "${cc[@]}" "${extra[@]}" -Wall -Wextra -Werror -c "${source}" -o "${object}"
done
ar rcs "${work}/libtorvu16vc71.a" "${work}"/u16_*.o

status=0
for test in test_frame test_utf8 test_stream test_readers test_internal test_transcode \
            test_print test_print_vs_c test_scan; do
  "${cc[@]}" -I"${src}/tests" "${src}/tests/${test}.c" "${work}/libtorvu16vc71.a" \
    -static -lm -o "${work}/${test}"
  if readelf -l "${work}/${test}" | grep -q INTERP; then
    echo "${test}: not linked statically" >&2
    status=1
  fi
  if (cd "${work}" && "./${test}" >"${test}.log" 2>&1); then
    echo "musl ${test}: $(tail -n 1 "${work}/${test}.log")"
  else
    cat "${work}/${test}.log" >&2
    echo "musl ${test}: failed" >&2
    status=1
  fi
done
exit "${status}"
