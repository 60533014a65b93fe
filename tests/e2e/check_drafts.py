#!/usr/bin/env python3
"""Checks the drafts that the e2e tests caught, with Python's email package as
an independent reader: each NAME.eml against NAME.json (recipient, subject
pattern, body, and each attachment's name and bytes, in order; the files a ZIP
attachment holds). A NAME.zip the program sent is read by Python's zipfile."""
import email
import email.header
import email.policy
import json
import pathlib
import io
import re
import sys
import zipfile
import zlib


def problems(raw, expected):
    found = []
    lines = raw.split(b"\r\n")
    if raw.replace(b"\r\n", b"").find(b"\n") >= 0 or raw.replace(b"\r\n", b"").find(b"\r") >= 0:
        found.append("a line does not end in CR LF")
    long_lines = [line for line in lines if len(line) > 78]
    if long_lines:
        found.append("line longer than 78 characters: %r" % long_lines[0][:100])
    message = email.message_from_bytes(raw, policy=email.policy.default)
    for part in message.walk():
        if part.defects:
            found.append("defects in %s: %s" % (part.get_content_type(), part.defects))
    if message["X-Unsent"] != "1":
        found.append("X-Unsent is %r" % message["X-Unsent"])
    if not str(message["X-Mailer"] or "").startswith("KdeskSupport "):
        found.append("X-Mailer is %r" % message["X-Mailer"])
    if message["From"] is not None:
        found.append("a From header is present")
    if message["MIME-Version"] != "1.0":
        found.append("MIME-Version is %r" % message["MIME-Version"])
    if message["Date"] is None or message["Date"].datetime is None:
        found.append("no readable Date")
    to = str(email.header.make_header(email.header.decode_header(raw_header(raw, "To"))))
    if to != expected["to"]:
        found.append("To is %r, expected %r" % (to, expected["to"]))
    subject = str(message["Subject"])
    if not re.fullmatch(expected["subject_pattern"], subject):
        found.append("Subject %r does not match %r" % (subject, expected["subject_pattern"]))
    if message.get_content_type() != "multipart/mixed":
        found.append("content type %s" % message.get_content_type())
        return found
    parts = list(message.iter_parts())
    body = parts[0]
    if body.get_content_type() != "text/plain" or body.get_content_charset() != "utf-8":
        found.append("first part is %s; charset %s" % (body.get_content_type(), body.get_content_charset()))
    # Lines lose their trailing blanks, which mail programs would take for flowed text.
    elif body.get_payload(decode=True).decode("utf-8") != re.sub(r"[ \t]+(?=[\r\n]|$)", "", expected["body"]):
        found.append("body differs: %r" % body.get_payload(decode=True).decode("utf-8")[:200])
    attachments = parts[1:]
    if "archive" in expected:
        if len(attachments) != 1 or attachments[0].get_content_type() != "application/zip":
            found.append("not one application/zip attachment")
        else:
            found += archive_problems(attachments[0].get_payload(decode=True), expected["archive"])
        return found
    wanted = expected["attachments"]
    if [a.get_filename() for a in attachments] != [w["name"] for w in wanted]:
        found.append("attachments %r, expected %r" % ([a.get_filename() for a in attachments],
                                                     [w["name"] for w in wanted]))
    for part, want in zip(attachments, wanted):
        if part.get_content_disposition() != "attachment":
            found.append("%s is not an attachment" % want["name"])
        if not same_bytes(part.get_payload(decode=True), want):
            found.append("bytes of %s differ" % want["name"])
    return found


def same_bytes(data, want):
    if "hex" in want:
        return data == bytes.fromhex(want["hex"])
    return len(data) == want["size"] and zlib.crc32(data) == want["crc32"]


def archive_problems(data, wanted):
    """The archive's entries: every one intact, named and holding the files' bytes."""
    try:
        archive = zipfile.ZipFile(io.BytesIO(data))
    except zipfile.BadZipFile as error:
        return ["not a ZIP archive: %s" % error]
    found = []
    names = [info.filename for info in archive.infolist()]
    if names != [w["name"] for w in wanted]:
        found.append("archive holds %r, expected %r" % (names, [w["name"] for w in wanted]))
    for info, want in zip(archive.infolist(), wanted):
        try:
            if not same_bytes(archive.read(info), want):
                found.append("bytes of %s in the archive differ" % want["name"])
        except (zipfile.BadZipFile, zlib.error) as error:
            found.append("entry %s is damaged: %s" % (want["name"], error))
    return found


def raw_header(raw, name):
    """The header's raw value, unfolded, as it stands in the file."""
    head = raw.split(b"\r\n\r\n", 1)[0].decode("utf-8")
    match = re.search(r"^%s:(.*(?:\r\n[ \t].*)*)" % name, head, re.MULTILINE)
    return re.sub(r"\r\n[ \t]", " ", match.group(1)).strip() if match else ""


def main():
    folder = pathlib.Path(sys.argv[1])
    cases = sorted(folder.glob("*.json")) if folder.is_dir() else []
    if not cases:
        print("no drafts to check in %s" % folder)
        return 1
    failed = 0
    for case in cases:
        draft = case.with_suffix(".eml")
        sent = case.with_suffix(".zip")
        expected = json.loads(case.read_text("utf-8"))
        if draft.exists():
            found = problems(draft.read_bytes(), expected)
        else:
            draft = sent
            found = archive_problems(sent.read_bytes(), expected["archive"]) if sent.exists() else ["missing"]
        print(("FAIL " if found else "ok   ") + draft.name)
        for problem in found:
            print("     " + problem)
        failed += bool(found)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
