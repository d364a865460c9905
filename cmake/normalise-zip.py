#!/usr/bin/env python3
"""Rewrites a .zip so that its bytes depend only on its contents: entries sorted by name, dated
SOURCE_DATE_EPOCH, with their Unix modes and nothing else of the machine that built them. CPack
before CMake 4.3 keeps the folder's listing order and the files' own dates.

Usage: normalise-zip.py ARCHIVE.zip SOURCE_DATE_EPOCH
"""

import sys
import time
import zipfile


def normalise_zip(path, epoch):
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


if __name__ == "__main__":
    normalise_zip(sys.argv[1], int(sys.argv[2]))
