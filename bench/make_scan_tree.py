#!/usr/bin/env python3
"""Builds the folder-scan benchmark tree: 5,000 folders (50 top-level folders of 99
sub-folders each) holding 20 small CSV files each, 100,000 files in all."""
import os
import sys

TOP, SUB, FILES = 50, 99, 20


def main(root):
    os.makedirs(root, exist_ok=True)
    line = b"id,name,value\n1,alpha,10\n"
    for t in range(TOP):
        top = os.path.join(root, f"region{t:02d}")
        folders = [top] + [os.path.join(top, f"site{s:02d}") for s in range(SUB)]
        for folder in folders:
            os.makedirs(folder, exist_ok=True)
            for f in range(FILES):
                with open(os.path.join(folder, f"data{f:02d}.csv"), "wb") as out:
                    out.write(line)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "/tmp/culvex-scan-tree")
