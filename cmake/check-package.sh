#!/usr/bin/env bash
# Builds the Debian package of this build tree and checks that it carries
# the programs and the systemd unit, with the unit naming the installed program.
set -euo pipefail
build="$1"
out="$(mktemp -d)"
trap 'rm -rf "${out}"' EXIT
cpack --config "${build}/CPackConfig.cmake" -B "${out}" >"${out}/cpack.log" 2>&1 || {
  cat "${out}/cpack.log"; exit 1; }
deb="$(ls "${out}"/*.deb)"
contents="$(dpkg-deb -c "${deb}")"
for f in ./usr/bin/quorvel ./usr/bin/quorvel-console ./usr/bin/r3sim ./usr/bin/pellamy4 \
         ./usr/bin/quorvel-sessiondump ./usr/lib/systemd/system/quorvel@.service \
         ./usr/share/quorvel/scenarios/default.json; do
  grep -q " ${f}\$" <<<"${contents}" || { echo "missing in the package: ${f}"; exit 1; }
done
mkdir "${out}/x"
dpkg-deb -x "${deb}" "${out}/x"
grep -q '^ExecStart=/usr/bin/quorvel-console ' "${out}/x/usr/lib/systemd/system/quorvel@.service" || {
  echo "the unit does not start /usr/bin/quorvel-console"; exit 1; }
dpkg-deb -f "${deb}" Package Version Depends
echo "package ${deb##*/}: ok"
