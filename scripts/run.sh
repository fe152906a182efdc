#!/usr/bin/env bash
# The main job: builds what is missing, starts the simulated R/3 system on its
# embedded default scenario and the collector against it: the main window on
# a desktop, the headless front end where there is no display (or with
# QUORVEL_HEADLESS=1). The settings are pre-filled for the simulated system on
# a first run, so Start and Finish through the wizard with the shown values
# collect. Ctrl-C ends both; arguments go to the headless collector (e.g.
# --minutes 20).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target r3sim quorvel quorvel-console quorvel-sessiondump pellamy4

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

# Session folders go to DATA/ under build/run, collector.log beside them.
mkdir -p build/run
cd build/run
if [[ -z "${QUORVEL_HEADLESS:-}" && ( -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ) ]]; then
  ../default/app/console/quorvel-console --prefill-simulator --store-only
  ../default/app/dialog/quorvel
else
  # The wizard runs unattended with the stored values.
  ../default/app/console/quorvel-console --prefill-simulator "$@"
fi
