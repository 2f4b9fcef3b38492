#!/usr/bin/env bash
# Writes the CSV the engine benchmarks read: ten columns of mixed widths, some fields with
# outer spaces, an 8 MiB block of random rows repeated up to the wanted size. With --quoted, a
# fifth of the fields are in double quotes, and a quoted field holds now and then a comma, a
# doubled quote or a line break (LF or CR LF).
#   bench/make_engine_csv.sh SIZE-IN-MIB FILE [--quoted]
set -euo pipefail
size_mib=$1
csv=$2
quoted=${3:-}
block="$csv.block"
python3 - "$block" "$quoted" <<'PY'
import random, sys
random.seed(7)
quoted = sys.argv[2] == "--quoted"
widths = [3, 12, 7, 1, 25, 5, 9, 2, 15, 6]
letters = "abcdefghijklmnopqrstuvwxyz0123456789"
inside = [",", '""', "\n", "\r\n"]
lines, size = [], 0
while size < 8 << 20:
    fields = []
    for w in widths:
        f = "".join(random.choice(letters) for _ in range(random.randint(0, w)))
        if quoted and random.random() < 0.2:
            if f and random.random() < 0.3:
                at = random.randint(0, len(f))
                f = f[:at] + random.choice(inside) + f[at:]
            f = '"' + f + '"'
        elif random.random() < 0.2:
            f = "  " + f + " "
        fields.append(f)
    line = ",".join(fields)
    lines.append(line)
    size += len(line) + 1
open(sys.argv[1], "w", newline="").write("\n".join(lines) + "\n")
PY
for ((i = 0; i < size_mib / 8; i++)); do cat "$block"; done >"$csv"
rm "$block"
