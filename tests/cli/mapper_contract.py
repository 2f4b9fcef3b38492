#!/usr/bin/env python3
"""culvex-extract as the mapper of a cluster job: input split into line-aligned parts (some
empty), one run per part with its arguments split on white space and the environment Hadoop
Streaming and Spark give a mapper, must give byte for byte what one run over the whole
input gives; a part that fails must exit non-zero.
Usage: mapper_contract.py PATH-TO-culvex-extract [SEED]"""
import os
import random
import subprocess
import sys

program = sys.argv[1]
seed = int(sys.argv[2]) if len(sys.argv) > 2 else 22
rng = random.Random(seed)

# The commands as a job gives them: one string, split on white space with no quoting; and
# the separator each one cuts at.
COMMANDS = [
    ("culvex-extract --comma -", b","),
    ("culvex-extract --comma --format records -", b","),
    ("culvex-extract --escapes --others=\\s|\\s --start 2 --end last --format records -", b" | "),
    ("culvex-extract --tab --start-marker k --format records --join=\\x2c -", b"\t"),
    ("culvex-extract --line-buffered --comma-space --start 2 -", b", "),
]

MAPPER_ENVIRONMENT = {
    "mapreduce_job_id": "job_1_0001",
    "mapreduce_task_id": "task_1_0001_m_000000",
    "mapreduce_task_attempt_id": "attempt_1_0001_m_000000_0",
    "mapreduce_task_partition": "0",
    "mapreduce_map_input_file": "hdfs://cluster/in/part-00000",
    "map_input_file": "hdfs://cluster/in/part-00000",
    "mapreduce_map_input_start": "0",
    "mapreduce_map_input_length": "1048576",
    "stream_map_streamprocessor": "culvex-extract",
    "SPARK_HOME": "/opt/spark",
    "SPARK_LOCAL_DIRS": "/tmp",
}

LINE_KINDS = [
    lambda: b"a, b ,c\n",
    lambda: b"k1,,v 1, \r\n",  # CR LF
    lambda: b"x\ry,z\n",  # a lone CR stays in its line
    lambda: b"\n",
    lambda: b"none at all\n",
    lambda: "é,ü | ß,k€\n".encode(),
    lambda: b"k\tv | w\tq\n",
    lambda: b"p | q | r , s\n",
    lambda: b"kk," + b"z" * rng.randint(1, 80) + b",\n",
]


def make_input(long_line):
    lines = [rng.choice(LINE_KINDS)() for _ in range(rng.randint(20, 200))]
    if long_line:  # longer than a read block
        lines.insert(rng.randrange(len(lines)), b"kx," + b"w" * (1 << 20) + b",y\n")
    text = b"".join(lines)
    return text[:-1] if rng.random() < 0.5 else text  # sometimes no final line break


def split_lines(text, parts):
    lines = [line + b"\n" for line in text.split(b"\n")]
    lines[-1] = lines[-1][:-1]
    cuts = sorted(rng.randint(0, len(lines)) for _ in range(parts - 1))
    bounds = [0, *cuts, len(lines)]
    return [b"".join(lines[a:b]) for a, b in zip(bounds, bounds[1:])]


def run(command, data):
    arguments = command.split()
    arguments[0] = program
    return subprocess.run(arguments, input=data, capture_output=True,
                          env={**os.environ, **MAPPER_ENVIRONMENT})


failures = []
for case in range(len(COMMANDS) * 2):
    command = COMMANDS[case % len(COMMANDS)][0]
    text = make_input(long_line=case == 1)
    parts = split_lines(text, rng.choice([1, 2, rng.randint(3, 64), 64]))
    whole = run(command, text)
    pieces = [run(command, part) for part in parts]
    joined = b"".join(p.stdout for p in pieces)
    statuses = {p.returncode for p in pieces} | {whole.returncode}
    if statuses != {0} or joined != whole.stdout or not whole.stdout:
        failures.append(f"seed {seed} case {case} '{command}' in {len(parts)} parts: "
                        f"statuses {statuses}, {len(joined)} vs {len(whole.stdout)} bytes")

# A part that fails exits non-zero: a line beyond the column index, an output that fills.
for command, separator in COMMANDS:
    rows = separator.join([b"k", b"b", b"c"]) + b"\n"
    if run(command, rows + separator * 40000 + b"\n").returncode == 0:
        failures.append(f"'{command}': a line beyond the column index exited 0")
    with open("/dev/full", "wb") as full:
        arguments = command.split()
        arguments[0] = program
        status = subprocess.run(arguments, input=rows * 10, stdout=full,
                                stderr=subprocess.DEVNULL).returncode
    if status == 0:
        failures.append(f"'{command}': a full output exited 0")

for failure in failures:
    print("FAILED", failure)
sys.exit(1 if failures else 0)
