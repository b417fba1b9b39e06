#!/usr/bin/env python3
"""The bench's product: 2,000 files of 1 KB to 2 MB, 200 MB in all, with the
Pellwick.ipi that installs them and list.txt for copyloop.exe, written into
FOLDER. Used by scripts/bench-install --silent and scripts/bench-pack.

    scripts/bench-files.py FOLDER
"""
import os, random, sys
folder = sys.argv[1]
rnd = random.Random(19)
digits = "0123456789abcdefghijklmnopqrstuvwxyz"
names = ["%s%s%s" % ("fg"[i // 1296], digits[i // 36 % 36], digits[i % 36]) for i in range(2000)]
# Mostly small files, some large: 1 KB to 2 MB, scaled to 200 MB in all.
sizes = [int(1024 * 2 ** rnd.uniform(0, 11)) for _ in names]
scale = 200 * 1048576 / sum(sizes)
sizes = [max(1, int(s * scale)) for s in sizes]
sizes[-1] += 200 * 1048576 - sum(sizes)
block = os.urandom(2 * 1048576 + 4096)
with open(os.path.join(folder, "Pellwick.ipi"), "w", newline="\r\n") as ipi:
    ipi.write("[Settings]\nApplication=Bench Silent\nDirectory=c:\\benchsilent\n[FilesIn]\n")
    ipi.writelines(n + "=\n" for n in names)
    ipi.write("[FilesOut]\n")
    ipi.writelines(n + "=0\n" for n in names)
with open(os.path.join(folder, "list.txt"), "w") as lst:
    for i, (n, size) in enumerate(zip(names, sizes)):
        with open(os.path.join(folder, n), "wb") as f:
            f.write(block[i % 4096:i % 4096 + size])
        lst.write("%s|C:\\copyloop\\%s\n" % (n, n))
