#!/usr/bin/env python3
"""The collector at scale: the headless collector against the simulated
system of r3sim/scenarios/large.json (200 application servers on 100 hosts,
1,000 dialog steps a minute each, two standalone database servers) for a
given number of minutes, on loopback only, stopping by itself.

It reports, from the threads' own writes (the modification times of the
files each capture appends to, sampled twice a second), not from messages:
  - per minute, the time from the tick until the last server's minute
    capture (its .drq append, the last of the minute's instance statistics)
    had finished;
  - per quarter hour, the time until the last server's dialog steps (.dss)
    were written, and how many;
  - the collector's peak and resting RSS, CPU seconds per minute, threads
    and open sockets;
  - lost or doubled captures: every server's .mem holds one record per
    minute tick it was in service, none twice.

  collect/bench/scale_benchmark.py [--build DIR] [--minutes 17] [--keep]
                                   [--soak] [--rotate hourly|daily|weekly]

--soak runs an hour unless --minutes says otherwise and adds the memory
verdict of a long run: the resting RSS (the least of each minute) every
minute, and its slope in MiB an hour after the first half hour, beside the
peak at the quarter hours.

Not part of the test suite: it runs for its minutes of wall-clock time.
"""

import argparse
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DIALOG_STEP_BYTES = 177
MEMORY_RECORD_BYTES = 28


def proc_status(pid):
    fields = {}
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                key, _, value = line.partition(":")
                fields[key] = value.strip()
    except OSError:
        return None
    return fields


def cpu_seconds(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            parts = f.read().rsplit(")", 1)[1].split()
        return (int(parts[11]) + int(parts[12])) / os.sysconf("SC_CLK_TCK")
    except OSError:
        return None


def open_sockets(pid):
    count = 0
    try:
        for fd in os.listdir(f"/proc/{pid}/fd"):
            try:
                if os.readlink(f"/proc/{pid}/fd/{fd}").startswith("socket:"):
                    count += 1
            except OSError:
                pass
    except OSError:
        return None
    return count


def kib(text):
    return int(text.split()[0]) if text else 0


def start_simulator(build, scenario, log):
    sim = subprocess.Popen([os.path.join(build, "r3sim", "r3sim"), "--scenario", scenario,
                            "--port-base", "0"], stdout=log, stderr=subprocess.STDOUT)
    exports = {}
    for _ in range(200):
        time.sleep(0.1)
        with open(log.name) as f:
            for line in f:
                m = re.match(r"export (\w+)=(.*)", line.strip())
                if m:
                    exports[m.group(1)] = m.group(2)
        if "QUORVEL_RFC_HOSTS" in exports:
            return sim, exports
        if sim.poll() is not None:
            break
    sim.kill()
    sys.exit("r3sim did not start; see " + log.name)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "default"))
    parser.add_argument("--minutes", type=int, default=None)
    parser.add_argument("--soak", action="store_true",
                        help="an hour or more; report the resting RSS slope")
    parser.add_argument("--rotate", choices=["hourly", "daily", "weekly"],
                        help="hand over to a new session folder each period")
    parser.add_argument("--scenario", default=os.path.join(ROOT, "r3sim", "scenarios", "large.json"))
    parser.add_argument("--keep", action="store_true", help="keep the session folder")
    args = parser.parse_args()
    if args.minutes is None:
        args.minutes = 60 if args.soak else 17
    args.build = os.path.abspath(args.build)
    args.scenario = os.path.abspath(args.scenario)

    work = tempfile.mkdtemp(prefix="quorvel-scale-")
    data = os.path.join(work, "DATA")
    os.makedirs(data)
    sim_log = open(os.path.join(work, "r3sim.log"), "w")
    sim, exports = start_simulator(args.build, args.scenario, sim_log)
    try:
        run(args, work, data, sim, exports)
    finally:
        if sim.poll() is None:
            sim.send_signal(signal.SIGTERM)
            sim.wait(timeout=60)
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)


def run(args, work, data, sim, exports):
    env = dict(os.environ)
    env.update(exports)
    env["XDG_CONFIG_HOME"] = os.path.join(work, "config")  # never the user's settings
    env["QUORVEL_PASSWORD"] = "SECRET"
    env["QUORVEL_HEADLESS"] = "1"
    console_log = open(os.path.join(work, "console.log"), "w")
    started = time.time()
    collector = subprocess.Popen(
        [os.path.join(args.build, "app", "console", "quorvel-console"), "--host", "host001",
         "--system-number", "00", "--client", "100", "--user", "COLLECTOR", "--language", "EN",
         "--data-dir", data, "--database", "QASDB1_SAPCCMSR", "--database", "QASDB2_SAPCCMSR",
         "--minutes", str(args.minutes)] + (["--rotate", args.rotate] if args.rotate else []),
        stdout=console_log, stderr=subprocess.STDOUT, cwd=work, env=env)

    samples = []          # (time, rss KiB, threads, sockets, cpu s, simulator rss KiB)
    last_mtime = {}       # file -> last modification time seen
    minute_ends = {}      # tick -> {server: end of its minute capture}
    quarter_ends = {}     # tick -> {server: end of its dialog-step write}
    deadline = started + args.minutes * 60 + 120
    while collector.poll() is None and time.time() < deadline:
        now = time.time()
        status = proc_status(collector.pid)
        sim_status = proc_status(sim.pid)
        if status:
            samples.append((now, kib(status.get("VmRSS")), int(status.get("Threads", 0)),
                            open_sockets(collector.pid), cpu_seconds(collector.pid),
                            kib(sim_status.get("VmRSS")) if sim_status else 0))
        for root, _, files in os.walk(data):
            for name in files:
                ext = name.rsplit(".", 1)[-1]
                if ext not in ("drq", "dss"):
                    continue
                path = os.path.join(root, name)
                try:
                    mtime = os.stat(path).st_mtime_ns / 1e9
                except OSError:
                    continue
                if last_mtime.get(path) == mtime:
                    continue
                last_mtime[path] = mtime
                tick = int(mtime // 60) * 60
                server = name.rsplit(".", 1)[0]
                target = minute_ends if ext == "drq" else quarter_ends
                if ext == "dss":
                    tick = int(mtime // 900) * 900
                target.setdefault(tick, {})[server] = mtime
        time.sleep(0.5)
    if collector.poll() is None:
        collector.send_signal(signal.SIGTERM)
    collector.wait(timeout=120)
    report(args, work, data, samples, minute_ends, quarter_ends, started)


def report(args, work, data, samples, minute_ends, quarter_ends, started):
    local = lambda t: time.strftime("%H:%M", time.localtime(t))
    print(f"scale benchmark: {args.scenario}, {args.minutes} minutes from {local(started)}")
    print("minute  servers  last capture ended after the tick")
    lags = []
    for tick in sorted(minute_ends):
        ends = minute_ends[tick]
        lag = max(ends.values()) - tick
        quarter = " (quarter hour)" if tick % 900 == 0 else ""
        print(f"{local(tick)}   {len(ends):4d}     {lag:6.1f} s{quarter}")
        if len(ends) >= 150:
            lags.append((lag, tick % 900 == 0))
    sizes = {}
    for root, _, files in os.walk(data):
        for name in files:
            if name.endswith(".dss"):
                sizes[name] = os.path.getsize(os.path.join(root, name)) // DIALOG_STEP_BYTES
    for tick in sorted(quarter_ends):
        ends = quarter_ends[tick]
        if tick < started:
            continue
        print(f"quarter hour {local(tick)}: dialog steps of {len(ends)} servers written "
              f"{max(ends.values()) - tick:.1f} s after the tick; {sum(sizes.values())} steps "
              f"in all .dss files")

    lost = doubled = 0
    for root, _, files in os.walk(data):
        for name in files:
            if not name.endswith(".mem"):
                continue
            with open(os.path.join(root, name), "rb") as f:
                raw = f.read()
            minutes = [int(struct.unpack_from("<d", raw, i)[0] * 1440 + 1e-6)
                       for i in range(0, len(raw) - MEMORY_RECORD_BYTES + 1, MEMORY_RECORD_BYTES)]
            doubled += len(minutes) - len(set(minutes))
            if minutes:
                lost += (max(minutes) - min(minutes) + 1) - len(set(minutes))
    servers = sum(1 for r, _, fs in os.walk(data) for n in fs if n.endswith(".mem"))
    print(f"instance statistics of {servers} servers: {lost} minutes lost, {doubled} doubled")

    if samples:
        rss = [s[1] for s in samples]
        peak = max(rss)
        tail = [s[1] for s in samples if s[0] > samples[-1][0] - 120]
        first = min(samples, key=lambda s: s[0])
        last = max(samples, key=lambda s: s[0])
        cpu = (last[4] - first[4]) / max(1e-9, (last[0] - first[0]) / 60)
        print(f"collector RSS peak {peak / 1024:.0f} MiB, last two minutes "
              f"{min(tail) / 1024:.0f}-{max(tail) / 1024:.0f} MiB; "
              f"CPU {cpu:.1f} s a minute; threads up to {max(s[2] for s in samples)}; "
              f"sockets up to {max(s[3] or 0 for s in samples)}; "
              f"simulator RSS peak {max(s[5] for s in samples) / 1024:.0f} MiB")
        per_minute = {}
        for s in samples:
            per_minute.setdefault(int(s[0] // 60) * 60, []).append(s)
        print("minute  CPU s  RSS MiB  threads  sockets")
        for tick in sorted(per_minute):
            ss = per_minute[tick]
            print(f"{local(tick)}   {ss[-1][4] - ss[0][4]:5.1f}  {max(x[1] for x in ss) / 1024:7.0f}"
                  f"  {max(x[2] for x in ss):7d}  {max(x[3] or 0 for x in ss):7d}")
    if args.soak and samples:
        soak_report(samples, started)
    if lags:
        print(f"worst minute {max(l for l, _ in lags):.1f} s, worst quarter-hour minute "
              f"{max([l for l, q in lags if q] or [0]):.1f} s after the tick")
    if args.keep:
        print("session kept in " + work)


def slope_per_hour(points):
    """Least-squares slope of (seconds, KiB) points, in MiB an hour."""
    n = len(points)
    if n < 2:
        return 0.0
    mx = sum(p[0] for p in points) / n
    my = sum(p[1] for p in points) / n
    sxx = sum((p[0] - mx) ** 2 for p in points)
    if sxx == 0:
        return 0.0
    sxy = sum((p[0] - mx) * (p[1] - my) for p in points)
    return sxy / sxx * 3600 / 1024


def soak_report(samples, started):
    resting = {}
    for s in samples:
        minute = int((s[0] - started) // 60)
        resting[minute] = min(resting.get(minute, s[1]), s[1])
    print("minute  resting RSS MiB")
    for minute in sorted(resting):
        print(f"{minute:6d}  {resting[minute] / 1024:8.1f}")
    late = [(m * 60, kib) for m, kib in resting.items() if m >= 30]
    quarter_peaks = [s[1] for s in samples if (s[0] % 900) < 120]
    peak = max(quarter_peaks) if quarter_peaks else max(s[1] for s in samples)
    if late:
        print(f"soak: resting RSS slope after the first half hour {slope_per_hour(late):+.2f} MiB "
              f"an hour over {len(late)} minutes; peak at the quarter hours {peak / 1024:.0f} MiB")
    else:
        print("soak: too short for a slope after the first half hour")


if __name__ == "__main__":
    main()
