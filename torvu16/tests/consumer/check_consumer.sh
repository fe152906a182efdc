#!/usr/bin/env bash
# Installs the library's runtime and development files into a temporary
# prefix, then builds and runs a small program against them twice: with
# pkg-config and as a CMake project with find_package. Each must load the
# installed library and print its line.
# Usage: check_consumer.sh <build dir> <consumer source dir>
set -euo pipefail
build="$1"
source_dir="$2"
work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT
prefix="${work}/prefix"
for component in libtorvu16vc71-1 libtorvu16-dev; do
  cmake --install "${build}" --prefix "${prefix}" --component "${component}" >"${work}/install.log" \
    || { cat "${work}/install.log"; exit 1; }
done

fail() { echo "consumer: $*" >&2; exit 1; }
expect_line() {  # <program> <how>
  local out
  out="$("$1" "$2")" || fail "$1 failed with status $?"
  [[ "${out}" == "torvu16 2.0023 built with $2: ä€" ]] \
    || fail "$1 printed '${out}'"
  # The program must load the installed library, not the build tree's.
  local libraries
  libraries="$(ldd "$1")"
  grep -q "libtorvu16vc71.so.1 => ${prefix}/" <<<"${libraries}" \
    || fail "$1 does not load the library from ${prefix}: ${libraries}"
}

export PKG_CONFIG_PATH="$(dirname "$(find "${prefix}" -name torvu16.pc)")"
[[ -n "${PKG_CONFIG_PATH}" ]] || fail "no torvu16.pc installed"
libdir="$(pkg-config --variable=libdir torvu16)"
[[ "${libdir}" == "${prefix}"/lib* ]] || fail "torvu16.pc names libdir ${libdir}"
# shellcheck disable=SC2046
cc -std=c11 -Wall -Werror -o "${work}/by-pkg-config" "${source_dir}/consumer.c" \
   $(pkg-config --cflags --libs torvu16) -Wl,-rpath,"${libdir}"
expect_line "${work}/by-pkg-config" pkg-config
echo "pkg-config: ok ($(pkg-config --modversion torvu16))"

cmake -S "${source_dir}" -B "${work}/cmake" -DCMAKE_PREFIX_PATH="${prefix}" >"${work}/cmake.log" 2>&1 \
  && cmake --build "${work}/cmake" >>"${work}/cmake.log" 2>&1 || { cat "${work}/cmake.log"; exit 1; }
expect_line "${work}/cmake/consumer" find_package
echo "find_package: ok"

# The version file refuses a major version the library does not serve.
sed 's/find_package(torvu16 1.0 REQUIRED)/find_package(torvu16 2.0 REQUIRED)/' \
  "${source_dir}/CMakeLists.txt" >"${work}/CMakeLists.txt"
cp "${source_dir}/consumer.c" "${work}/"
if cmake -S "${work}" -B "${work}/cmake2" -DCMAKE_PREFIX_PATH="${prefix}" >"${work}/cmake2.log" 2>&1; then
  fail "find_package(torvu16 2.0) was satisfied by version 1"
fi
echo "find_package(torvu16 2.0): refused, as it should be"
