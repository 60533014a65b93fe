#!/usr/bin/env python3
"""Checks the messages that the e2e tests uploaded to the local drop box, with
Python's mailbox and email packages as independent readers: every message of
the Maildir is a finished message (From, To, Subject, Date, Message-ID and
X-Mailer; no X-Unsent) whose report names the test installation's serial
number and whose attachments are byte for byte the files the test listed.

Usage: check_uploads.py MAILDIR EXPECTED_FILES_FOLDER SUPPORT_MAILBOX"""
import email.policy
import mailbox
import pathlib
import re
import sys

SERIAL = "99MEY012345"


def problems(message, expected, support):
    found = [f"defects in {part.get_content_type()}: {part.defects}" for part in message.walk() if part.defects]
    domain = re.escape(support.split("@")[-1])
    headers = {
        "From": re.escape(f"KdeskSupport {SERIAL} <{support}>"),
        "To": re.escape(support),
        "Subject": rf"VelAutoMail_{SERIAL}_\d{{8}}_\d{{6}}",
        "Message-ID": rf"<[0-9a-f]{{32}}@{domain}>",
        "X-Mailer": r"KdeskSupport \d+\.\d+\.\d+\.\d+",
        "MIME-Version": r"1\.0",
    }
    for name, pattern in headers.items():
        if not re.fullmatch(pattern, str(message[name] or "")):
            found.append(f"{name} is {message[name]!r}")
    if message["X-Unsent"] is not None:
        found.append("X-Unsent is present")
    if message["Date"] is None or message["Date"].datetime is None or message["Date"].datetime.tzinfo is None:
        found.append(f"Date {message['Date']!r} is not a date with its offset")
    parts = list(message.iter_parts())
    if not parts:
        return found + ["no parts"]
    report = parts[0].get_content()
    for line in (f"Matricola: {SERIAL}", "Stampante ferma", "Cordiali saluti"):
        if line not in report:
            found.append(f"the report lacks {line!r}")
    names = []
    for part in parts[1:]:
        name = part.get_filename()
        names.append(name)
        source = expected / name
        if not source.is_file():
            found.append(f"attachment {name!r} was not listed")
        elif part.get_content() != source.read_bytes():
            found.append(f"attachment {name!r} differs from the listed file")
    if sorted(names) != sorted(p.name for p in expected.iterdir()):
        found.append(f"attachments {names} are not the listed files")
    return found


def main():
    folder, expected, support = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), sys.argv[3]
    box = mailbox.Maildir(folder, factory=None, create=False)
    keys = box.keys()
    if not keys:
        print(f"no message in {folder}")
        return 1
    failed = 0
    for key in keys:
        with box.get_file(key) as raw:
            message = email.message_from_binary_file(raw, policy=email.policy.default)
        found = problems(message, expected, support)
        print(f"{key}: {'; '.join(found) or 'ok'}")
        failed += bool(found)
    print(f"{len(keys)} uploaded messages checked, {failed} with problems")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
