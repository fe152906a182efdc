#!/usr/bin/env bash
# Builds the Debian packages of this build tree and checks them: the files
# each must carry, the unit naming the installed program, the library's
# SONAME, shlibs and ldconfig trigger, the development package's dependency
# on the runtime of the same version, stripped binaries with their debug
# files in the build tree, and lintian with no error on every package.
# Usage: check-package.sh <build dir>
set -euo pipefail
build="$1"
out="$(mktemp -d)"
trap 'rm -rf "${out}"' EXIT
fail() { echo "package check: $*" >&2; exit 1; }

cpack --config "${build}/CPackConfig.cmake" -B "${out}" >"${out}/cpack.log" 2>&1 || {
  cat "${out}/cpack.log"; exit 1; }
deb_of() { ls "${out}"/"$1"_*.deb 2>/dev/null || fail "no package $1 in: $(ls "${out}")"; }

# carries <package> <path>...
carries() {
  local deb contents
  deb="$(deb_of "$1")"
  shift
  contents="$(dpkg-deb -c "${deb}")"
  for f in "$@"; do
    grep -q " ${f}\( -> .*\)\?\$" <<<"${contents}" || fail "missing in ${deb##*/}: ${f}"
  done
}
multiarch="$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)"
doc() { echo "./usr/share/doc/$1/copyright ./usr/share/doc/$1/changelog.gz"; }

# shellcheck disable=SC2046
carries quorvel ./usr/bin/quorvel ./usr/bin/quorvel-console ./usr/bin/r3sim ./usr/bin/pellamy4 \
  ./usr/bin/quorvel-sessiondump ./usr/lib/systemd/system/quorvel@.service \
  ./usr/share/quorvel/scenarios/default.json $(doc quorvel) \
  ./usr/share/man/man1/quorvel.1.gz ./usr/share/man/man1/quorvel-console.1.gz \
  ./usr/share/man/man1/r3sim.1.gz ./usr/share/man/man1/pellamy4.1.gz \
  ./usr/share/man/man1/quorvel-sessiondump.1.gz
# shellcheck disable=SC2046
carries libtorvu16vc71-1 "./usr/lib/${multiarch}/libtorvu16vc71.so.1" \
  "./usr/lib/${multiarch}/libtorvu16vc71.so.1.0.0" $(doc libtorvu16vc71-1)
# shellcheck disable=SC2046
carries libtorvu16-dev ./usr/include/torvu16.h "./usr/lib/${multiarch}/libtorvu16vc71.so" \
  "./usr/lib/${multiarch}/pkgconfig/torvu16.pc" \
  "./usr/lib/${multiarch}/cmake/torvu16/torvu16Config.cmake" \
  "./usr/lib/${multiarch}/cmake/torvu16/torvu16ConfigVersion.cmake" \
  ./usr/share/man/man3/torvu16.3.gz $(doc libtorvu16-dev)

mkdir "${out}/x"
dpkg-deb -x "$(deb_of quorvel)" "${out}/x"
grep -q '^ExecStart=/usr/bin/quorvel-console ' "${out}/x/usr/lib/systemd/system/quorvel@.service" \
  || fail "the unit does not start /usr/bin/quorvel-console"

lib="$(deb_of libtorvu16vc71-1)"
dev="$(deb_of libtorvu16-dev)"
mkdir "${out}/dev"
dpkg-deb -x "${dev}" "${out}/dev"
grep -qx 'prefix=/usr' "${out}/dev/usr/lib/${multiarch}/pkgconfig/torvu16.pc" \
  || fail "torvu16.pc in ${dev##*/} does not name the prefix /usr"
version="$(dpkg-deb -f "${lib}" Version)"
mkdir "${out}/control"
dpkg-deb -e "${lib}" "${out}/control"
grep -qx "libtorvu16vc71 1 libtorvu16vc71-1 (>= ${version})" "${out}/control/shlibs" \
  || fail "shlibs of ${lib##*/}: $(cat "${out}/control/shlibs" 2>/dev/null)"
[[ "$(dpkg-deb -f "${dev}" Depends)" == *"libtorvu16vc71-1 (= ${version})"* ]] \
  || fail "libtorvu16-dev depends on: $(dpkg-deb -f "${dev}" Depends)"
grep -qx 'activate-noawait ldconfig' "${out}/control/triggers" \
  || fail "${lib##*/} does not trigger ldconfig"
mkdir "${out}/lib"
dpkg-deb -x "${lib}" "${out}/lib"
soname="$(objdump -p "${out}/lib/usr/lib/${multiarch}/libtorvu16vc71.so.1.0.0" | awk '$1 == "SONAME" {print $2}')"
[[ "${soname}" == libtorvu16vc71.so.1 ]] || fail "SONAME is '${soname}'"

# Every binary is stripped, and its debug information is kept by its build
# id in the build tree.
for deb in "${out}"/*.deb; do
  mkdir -p "${out}/all"
  dpkg-deb -x "${deb}" "${out}/all"
done
while IFS= read -r binary; do
  readelf -S "${binary}" | grep -q '\.debug_info' && fail "${binary#"${out}"/all} is not stripped"
  id="$(readelf -n "${binary}" | awk '/Build ID:/ {print $3}')"
  [[ -f "${build}/debug/.build-id/${id:0:2}/${id:2}.debug" ]] \
    || fail "no debug file for ${binary#"${out}"/all} (build id ${id})"
done < <(find "${out}/all" -type f \( -perm -u+x -o -name '*.so*' \) -exec sh -c \
           'head -c 4 "$1" | grep -q "ELF"' _ {} \; -print)

# lintian: no error on any package; warnings are listed (the README says
# which are kept and why).
command -v lintian >/dev/null || fail "lintian is not installed (scripts/install-deps.sh installs it)"
# One run for all packages: lintian's start-up is most of its time.
report="$(lintian --no-cfg --tag-display-limit 0 "${out}"/*.deb 2>&1 | grep -v 'running with root privileges' || true)"
[[ -n "${report}" ]] && echo "${report}"
status=0
if grep -q '^E: ' <<<"${report}"; then
  echo "lintian: errors in $(grep '^E: ' <<<"${report}" | cut -d: -f2 | sort -u | tr -d ' ' | tr '\n' ' ')" >&2
  status=1
fi
for deb in "${out}"/*.deb; do
  echo "${deb##*/}: $(dpkg-deb -f "${deb}" Package Version Depends | tr '\n' ' ')"
done
[[ ${status} -eq 0 ]] || exit 1
echo "packages: ok"
