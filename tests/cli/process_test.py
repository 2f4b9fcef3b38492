#!/usr/bin/env python3
"""culvex-extract as a process: closed descriptors, signals during -o, streaming from a slow
pipe, and named pipes. Usage: process_test.py PATH-TO-culvex-extract"""
import csv
import io
import os
import random
import select
import signal
import subprocess
import sys
import tempfile
import threading
import time

program = sys.argv[1]
failures = []


def check(name, ok, detail=""):
    if not ok:
        failures.append(f"{name}: {detail}")


def closed_standard_error(folder):
    # With descriptor 2 closed, /dev/fd/2 is /dev/null opened for the program: it reads
    # as empty instead of failing, and nothing the program opens can take number 2.
    good = os.path.join(folder, "good.csv")
    with open(good, "w") as f:
        f.write("a,b\n")
    run = subprocess.run([program, "--comma", "/dev/fd/2", good], capture_output=False,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         preexec_fn=lambda: os.close(2))
    check("closed standard error", run.returncode == 0 and run.stdout == b"a\nb\n",
          f"{run.returncode} {run.stdout!r}")


def signal_during_output_file(folder, number):
    target = os.path.join(folder, "out.txt")
    with open(target, "w") as f:
        f.write("old")
    run = subprocess.Popen([program, "--comma", "-o", target, "-"], stdin=subprocess.PIPE)
    run.stdin.write(b"a,b\n" * 100000)
    run.stdin.flush()
    deadline = time.monotonic() + 10
    while len(os.listdir(folder)) < 2 and time.monotonic() < deadline:
        time.sleep(0.01)
    run.send_signal(number)
    status = run.wait(timeout=10)
    run.stdin.close()
    name = f"signal {signal.Signals(number).name} during -o"
    check(name, status == -number, f"status {status}")
    check(name, os.listdir(folder) == ["out.txt"], str(os.listdir(folder)))
    with open(target) as f:
        check(name, f.read() == "old", "target changed")


def read_within(stream, seconds):
    ready, _, _ = select.select([stream], [], [], seconds)
    return os.read(stream.fileno(), 4096) if ready else b""


def streams_from_a_slow_pipe(arguments, first, rest):
    run = subprocess.Popen([program, *arguments, "-"], stdin=subprocess.PIPE,
                           stdout=subprocess.PIPE)
    run.stdin.write(b"a,b\n")
    run.stdin.flush()
    got = read_within(run.stdout, 5)
    run.stdin.write(b"c,d\n")
    run.stdin.close()
    got_rest = run.stdout.read()
    run.wait()
    name = f"first row of a slow pipe, {arguments}"
    check(name, got == first, f"before the rest arrived: {got!r}")
    check(name, got_rest == rest, f"after: {got_rest!r}")


def reads_a_named_pipe(folder):
    fifo = os.path.join(folder, "fifo")
    os.mkfifo(fifo)

    def feed():
        with open(fifo, "wb") as f:
            f.write(b"p,q\n")

    writer = threading.Thread(target=feed)
    writer.start()
    run = subprocess.run([program, "--comma", fifo], capture_output=True, timeout=10)
    writer.join()
    check("named pipe", (run.returncode, run.stdout) == (0, b"p\nq\n"),
          f"{run.returncode} {run.stdout!r} {run.stderr!r}")


def quoted_records_read_back():
    # Records of quoted fields read by Python's csv module give the fields that were
    # written, separators, quotes and line breaks inside them included.
    rng = random.Random(28)
    records, text = [], ""
    for _ in range(300):
        fields = []
        for _ in range(rng.randint(2, 6)):
            if rng.random() < 0.5:
                value = "".join(rng.choice(["a", "b", " c", ",", '"', "\n", "\r\n", "\t", "\xe9"])
                                for _ in range(rng.randint(0, 6)))
                fields.append(value)
                text += '"' + value.replace('"', '""') + '"'
            else:
                value = "".join(rng.choice(["a", "b", "\xe9"]) for _ in range(rng.randint(0, 4)))
                fields.append(value)
                text += rng.choice(["", " "]) + value + rng.choice(["", "  "])
            text += ","
        text = text[:-1] + rng.choice(["\n", "\r\n"])
        records.append(fields)
    run = subprocess.run([program, "--comma", "--quoted", "--format", "records", "-"],
                         input=text.encode("latin-1"), capture_output=True)
    read = list(csv.reader(io.StringIO(run.stdout.decode("latin-1"), newline=""),
                           delimiter="\t"))
    check("records of quoted fields read back", (run.returncode, read) == (0, records),
          f"{run.returncode} {run.stderr!r} "
          f"{next((p for p in zip(read, records) if p[0] != p[1]), None)!r}")


with tempfile.TemporaryDirectory() as folder:
    closed_standard_error(folder)
quoted_records_read_back()
for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
    with tempfile.TemporaryDirectory() as folder:
        signal_during_output_file(folder, number)
streams_from_a_slow_pipe(["--comma"], b"a\nb\n", b"c\nd\n")
streams_from_a_slow_pipe(["--comma", "--format", "records"], b"a\tb\n", b"c\td\n")
streams_from_a_slow_pipe(["--comma", "--format", "comma"], b"a,\r\n", b"b,\r\nc,\r\nd\r\n")
with tempfile.TemporaryDirectory() as folder:
    reads_a_named_pipe(folder)
stdin_by_name = subprocess.run([program, "--comma", "/dev/stdin"], input=b"s,t\n",
                               capture_output=True)
check("/dev/stdin on a pipe", (stdin_by_name.returncode, stdin_by_name.stdout) == (0, b"s\nt\n"),
      f"{stdin_by_name.returncode} {stdin_by_name.stderr!r}")

for failure in failures:
    print("FAILED", failure)
sys.exit(1 if failures else 0)
