#!/usr/bin/env python3
"""tesral.run against the same run inside tesral-cli: octagonal, limits 10, theta 0-180,
qi max 1E9 (4 084 100 rows). Run by hand from the source tree after building:

    python3 bench/python_run_bench.py [build]

tesral-cli always writes; `list --columns none` to /dev/null writes the least (the row
number), which is what its time includes beyond the run. Times are the best of five; peak
memory is each one's maximum resident size in a process of its own.
"""

import os
import resource
import subprocess
import sys
import time

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
CLI = os.path.join(BUILD, "bin", "tesral-cli")
CLI_ARGS = ["list", "--system", "octagonal", "--limits", "10,10,10,10,10", "--thmin", "0",
            "--thmax", "180", "--qimax", "1E9", "--columns", "none", "--output", "/dev/null"]
PYTHON_RUN = """
import resource, sys, time
import tesral
best = float('inf')
for _ in range(5):
    start = time.perf_counter()
    r = tesral.run(system='octagonal', limits=10, theta=(0, 180), qi_max='1E9')
    best = min(best, time.perf_counter() - start)
    theta, xyz = r.theta, r.xyz  # views: no memory of their own
    del r, theta, xyz
print(best, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss)
"""
ROWS = 4_084_100


def main():
    env = dict(os.environ, PYTHONPATH=os.path.join(BUILD, "python"))
    seconds, python_kb = map(float, subprocess.run(
        [sys.executable, "-c", PYTHON_RUN], env=env, check=True, capture_output=True,
        text=True).stdout.split())
    cli_best = float("inf")
    for _ in range(5):
        start = time.perf_counter()
        subprocess.run([CLI, *CLI_ARGS], check=True)
        cli_best = min(cli_best, time.perf_counter() - start)
    cli_kb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    baseline_kb = float(subprocess.run(
        [sys.executable, "-c", "import resource, tesral; "
         "print(resource.getrusage(resource.RUSAGE_SELF).ru_maxrss)"],
        env=env, check=True, capture_output=True, text=True).stdout)
    print(f"rows {ROWS}, table {ROWS * 60 / 2**20:.0f} MiB")
    print(f"tesral.run      {seconds * 1e3:8.1f} ms   peak {python_kb / 1024:6.0f} MiB"
          f" ({(python_kb - baseline_kb) / 1024:.0f} MiB above the imported module)")
    print(f"tesral-cli list {cli_best * 1e3:8.1f} ms   peak {cli_kb / 1024:6.0f} MiB")
    print(f"ratio           {seconds / cli_best:8.2f}")


if __name__ == "__main__":
    main()
