#!/usr/bin/env python3
"""How long a row of a slow pipe takes to come out of culvex-extract: writes one line at a
time into its standard input, 100 ms apart, and times each line's row on its standard
output (a pipe, so the program cannot tell a terminal). Prints the median and the largest.
Usage: bench/cli_first_row.py PATH-TO-culvex-extract [LINES] [ARGUMENTS...]
       (default 20 lines, arguments --comma --format records -)"""
import os
import select
import statistics
import subprocess
import sys
import time

program = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 20
arguments = sys.argv[3:] or ["--comma", "--format", "records", "-"]
run = subprocess.Popen([program, *arguments], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
delays = []
for i in range(count):
    time.sleep(0.1)
    start = time.monotonic()
    os.write(run.stdin.fileno(), f"a{i},b{i}\n".encode())
    if not select.select([run.stdout], [], [], 5)[0]:
        sys.exit(f"no row within 5 s of line {i}")
    os.read(run.stdout.fileno(), 4096)
    delays.append((time.monotonic() - start) * 1000)
run.stdin.close()
run.wait()
print(f"{' '.join(arguments)}: row after its line, median {statistics.median(delays):.2f} ms, "
      f"largest {max(delays):.2f} ms, {count} lines")
