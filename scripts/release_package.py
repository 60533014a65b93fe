#!/usr/bin/env python3
"""Writes one release archive: KdeskSupport.exe and LEGGIMI.txt.

Usage: release_package.py ARCHIVE EPOCH EXE NOTE_TEMPLATE KEY=VALUE...

The note is the template with each @KEY@ replaced, CR LF line ends and a
UTF-8 byte order mark (so that Notepad on any Windows shows its accents).
The archive's bytes depend only on its contents and EPOCH: fixed entry order,
every entry dated EPOCH (UTC), mode 0644, no extra fields.
"""
import re
import sys
import time
import zipfile

ZIP_EPOCH_MIN = 315532800  # 1980-01-01, the first date a zip entry can hold


def render_note(template_path, values):
    with open(template_path, encoding="utf-8") as f:
        text = f.read()
    for key, value in values.items():
        text = text.replace(f"@{key}@", value)
    left = re.search(r"@[A-Z]+@", text)
    if left:
        raise SystemExit(f"{template_path}: {left.group()} was not given a value")
    return "\ufeff".encode("utf-8") + text.replace("\n", "\r\n").encode("utf-8")


def entry(name, epoch):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(max(epoch, ZIP_EPOCH_MIN))[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 3  # Unix, so that the mode below is the one recorded
    info.external_attr = 0o100644 << 16
    return info


def main(argv):
    if len(argv) < 5:
        raise SystemExit(__doc__)
    archive, epoch, exe, template = argv[1], int(argv[2]), argv[3], argv[4]
    values = dict(pair.split("=", 1) for pair in argv[5:])
    with open(exe, "rb") as f:
        program = f.read()
    with zipfile.ZipFile(archive, "w") as z:
        z.writestr(entry("KdeskSupport.exe", epoch), program, compresslevel=9)
        z.writestr(entry("LEGGIMI.txt", epoch), render_note(template, values), compresslevel=9)


if __name__ == "__main__":
    main(sys.argv)
