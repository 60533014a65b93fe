#!/usr/bin/env python3
"""Reads back a ZIP archive the writer made, with readers that share no code
with it: Python's zipfile (through the central directory), a walk over the
local headers and data descriptors as a streaming reader sees them, and
Info-ZIP's `unzip -t`.

Usage: check_zip.py FOLDER
FOLDER holds archive.zip and what it must contain: names (UTF-8, one a line),
comment, zip64 ("yes" or "no") and the entries' bytes as files 0, 1, 2, ...
Prints each problem and exits 1 when there is one."""
import pathlib
import struct
import subprocess
import sys
import zipfile
import zlib

ZIP64_EXTRA = 0x0001


def expectations(folder):
    text = (folder / "names").read_text(encoding="utf-8")
    names = text.split("\n") if text else []
    contents = [(folder / str(i)).read_bytes() for i in range(len(names))]
    return names, contents, (folder / "comment").read_bytes(), (folder / "zip64").read_text() == "yes"


def has_zip64_extra(extra):
    while len(extra) >= 4:
        kind, size = struct.unpack("<HH", extra[:4])
        if kind == ZIP64_EXTRA:
            return True
        extra = extra[4 + size:]
    return False


def check_central(path, names, contents, comment, zip64):
    problems = []
    with zipfile.ZipFile(path) as archive:
        bad = archive.testzip()
        if bad is not None:
            problems.append(f"testzip: bad entry {bad!r}")
        infos = archive.infolist()
        if [info.filename for info in infos] != names:
            problems.append(f"names {[info.filename for info in infos]!r}, expected {names!r}")
        for info, expected in zip(infos, contents):
            if info.flag_bits & 0x0808 != 0x0808:
                problems.append(f"{info.filename!r}: flags {info.flag_bits:#x} lack data descriptor or UTF-8 bits")
            try:
                if archive.read(info) != expected:
                    problems.append(f"{info.filename!r}: bytes differ")
            except zipfile.BadZipFile as error:
                problems.append(f"{info.filename!r}: {error}")
        if archive.comment != comment:
            problems.append(f"comment {archive.comment!r}, expected {comment!r}")
        uses_zip64 = any(has_zip64_extra(info.extra) for info in infos)
    data = path.read_bytes()
    locator_at = len(data) - 22 - len(comment) - 20
    has_locator = locator_at >= 0 and data[locator_at:locator_at + 4] == b"PK\x06\x07"
    if zip64 != (has_locator and (uses_zip64 or not names)):
        problems.append(f"ZIP64 records: locator {has_locator}, extra fields {uses_zip64}, expected {zip64}")
    return problems


def descriptor_matches(data, at, fmt, content, compressed):
    if at + struct.calcsize(fmt) > len(data):
        return False
    fields = struct.unpack_from(fmt, data, at)
    return fields == (0x08074B50, zlib.crc32(content), compressed, len(content))


def check_stream(path, count):
    """Each local header, its deflate stream and the data descriptor after it."""
    problems = []
    data = path.read_bytes()
    at = 0
    for index in range(count):
        (signature, _, flags, method, _, _, _, _, _, name_size, extra_size) = struct.unpack_from("<IHHHHHIIIHH", data, at)
        if signature != 0x04034B50 or method != 8 or not flags & 0x08:
            return [f"entry {index}: no deflated local header with data descriptor at {at}"]
        extra = data[at + 30 + name_size:at + 30 + name_size + extra_size]
        at += 30 + name_size + extra_size
        start = at
        inflater = zlib.decompressobj(-15)
        content = inflater.decompress(data[at:])
        if not inflater.eof:
            return [f"entry {index}: deflate stream does not end"]
        at = len(data) - len(inflater.unused_data)
        # 64-bit sizes where the local header has a ZIP64 field; an entry that
        # grew past the threshold unannounced has them too, as libarchive allows.
        forms = ["<IIQQ"] if has_zip64_extra(extra) else ["<IIII", "<IIQQ"]
        matching = [fmt for fmt in forms if descriptor_matches(data, at, fmt, content, at - start)]
        if not matching:
            problems.append(f"entry {index}: no data descriptor matches the entry")
            return problems
        at += struct.calcsize(matching[0])
    return problems


def check_unzip(path, count):
    run = subprocess.run(["unzip", "-tq", str(path)], capture_output=True, text=True, errors="replace")
    # unzip warns (exit 1) about an archive without entries, and only about that.
    fine = run.returncode == 0 or (count == 0 and run.returncode == 1 and "zipfile is empty" in run.stdout)
    return [] if fine else [f"unzip -t exit {run.returncode}: {run.stdout}{run.stderr}"]


def main():
    folder = pathlib.Path(sys.argv[1])
    archive = folder / "archive.zip"
    names, contents, comment, zip64 = expectations(folder)
    problems = check_central(archive, names, contents, comment, zip64)
    problems += check_stream(archive, len(names)) + check_unzip(archive, len(names))
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
