#!/usr/bin/env bash
# The main job: builds what is missing, starts the simulated R/3 system on its
# embedded default scenario and the collector against it. Ctrl-C ends both.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target r3sim

port_base="${QUORVEL_RFC_PORT_BASE:-3300}"
sim_log="$(mktemp -t r3sim.XXXXXX.log)"
./build/default/r3sim/r3sim --port-base "${port_base}" >"${sim_log}" 2>&1 &
sim_pid=$!
trap 'kill -TERM ${sim_pid} 2>/dev/null || true; wait ${sim_pid} 2>/dev/null || true' EXIT INT TERM

# Wait until the simulator says where it listens.
for _ in $(seq 1 50); do
  grep -q '^export QUORVEL_RFC_HOSTS=' "${sim_log}" && break
  kill -0 "${sim_pid}" 2>/dev/null || { cat "${sim_log}"; exit 1; }
  sleep 0.1
done
cat "${sim_log}"
eval "$(grep '^export ' "${sim_log}")"

console=./build/default/app/quorvel-console
if cmake --build --preset default -j "$(nproc)" --target quorvel-console >/dev/null 2>&1 && [[ -x ${console} ]]; then
  "${console}" "$@"
else
  echo
  echo "The simulated system is running (log: ${sim_log})."
  echo "The collector's front end is not part of this build yet; press Ctrl-C to stop."
  wait "${sim_pid}"
fi
