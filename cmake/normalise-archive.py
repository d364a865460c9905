#!/usr/bin/env python3
"""Rewrites a .tar.gz or .zip so that its bytes depend only on its contents: entries sorted by
name, owned by root, dated SOURCE_DATE_EPOCH, with their modes and nothing else of the machine
that built them. CPack before CMake 4.3 keeps the builder's owner and the folder's listing order.

Usage: normalise-archive.py ARCHIVE SOURCE_DATE_EPOCH
"""

import gzip
import io
import sys
import tarfile
import time
import zipfile


def normalise_tar(path, epoch):
    with tarfile.open(path) as source:
        members = sorted(source.getmembers(), key=lambda member: member.name)
        contents = {m.name: source.extractfile(m).read() for m in members if m.isfile()}
    tar_bytes = io.BytesIO()
    with tarfile.open(fileobj=tar_bytes, mode="w", format=tarfile.GNU_FORMAT) as target:
        for member in members:
            member.uid = member.gid = 0
            member.uname = member.gname = "root"
            member.mtime = epoch
            data = contents.get(member.name)
            target.addfile(member, io.BytesIO(data) if data is not None else None)
    with open(path, "wb") as file, gzip.GzipFile(fileobj=file, mode="wb", compresslevel=9,
                                                 mtime=0, filename="") as compressed:
        compressed.write(tar_bytes.getvalue())


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
    archive, source_date_epoch = sys.argv[1], int(sys.argv[2])
    (normalise_zip if archive.endswith(".zip") else normalise_tar)(archive, source_date_epoch)
