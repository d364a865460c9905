#!/usr/bin/env python3
"""Usage: normalise-zip.py ARCHIVE.zip SOURCE_DATE_EPOCH

Rewrites a .zip so that its bytes depend only on its contents: entries sorted by name, dated
SOURCE_DATE_EPOCH, with their Unix modes and nothing else of the machine that built them."""

import sys
import time
import zipfile

path, epoch = sys.argv[1], int(sys.argv[2])
date = max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))  # the format starts in 1980
with zipfile.ZipFile(path) as source:
    entries = [(info, source.read(info)) for info in source.infolist()]
with zipfile.ZipFile(path, "w") as target:
    for info, data in sorted(entries, key=lambda entry: entry[0].filename):
        plain = zipfile.ZipInfo(info.filename, date)
        plain.create_system = 3  # Unix, so that the modes below are read
        plain.external_attr = info.external_attr & 0xFFFF0000
        plain.compress_type = zipfile.ZIP_DEFLATED
        target.writestr(plain, data, compresslevel=9)
