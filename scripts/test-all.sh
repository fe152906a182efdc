#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test in the
# default, asan and tsan presets, then builds the fuzz preset with clang and
# runs each fuzzer for 20 s from its corpus. This is the README's test
# command and what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

"$(dirname "$0")/install-deps.sh"

presets=(default asan tsan fuzz)
if [[ $# -gt 0 ]]; then presets=("$@"); fi

for preset in "${presets[@]}"; do
  echo "=== preset ${preset}: configure"
  cmake --preset "${preset}" >/dev/null
  echo "=== preset ${preset}: build"
  cmake --build --preset "${preset}" -j "$(nproc)"
  if [[ "${preset}" == fuzz ]]; then
    # The tests of this build also run in asan; here the fuzzers run.
    echo "=== preset ${preset}: fuzz"
    cmake --build --preset "${preset}" --target fuzz_run -j "$(nproc)"
  else
    echo "=== preset ${preset}: test"
    QT_QPA_PLATFORM=offscreen ctest --preset "${preset}"
  fi
done
