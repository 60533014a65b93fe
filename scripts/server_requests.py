#!/usr/bin/env python3
"""Counts the requests a program's main thread makes to Wine's server from the
moment it opens its own image until its first top-level window is shown, in a
WINEDEBUG=+server trace. Unlike a time, the count does not move between runs.
Usage: server_requests.py TRACE PROGRAM.exe   (prints: total windows-made)"""
import re
import sys

SWP_SHOWWINDOW = 0x40
REQUEST = re.compile(r"([0-9a-f]{4}): ([a-z_]+)\(")


def count(lines, image):
    thread = None
    requests = windows = 0
    for line in lines:
        match = REQUEST.match(line)
        if not match or "() =" in line:  # replies are not requests
            continue
        if thread is None:
            if match.group(2) == "create_file" and image.lower() in line.lower():
                thread = match.group(1)
            continue
        if match.group(1) != thread:
            continue
        requests += 1
        if match.group(2) == "create_window":
            windows += 1
        flags = re.search(r"swp_flags=([0-9a-f]+)", line)
        if match.group(2) == "set_window_pos" and flags and int(flags.group(1), 16) & SWP_SHOWWINDOW:
            return requests, windows
    sys.exit(f"{image}: no window shown in the trace")


def main():
    with open(sys.argv[1], encoding="utf-8", errors="replace") as trace:
        requests, windows = count(trace, sys.argv[2])
    print(f"{requests} {windows}")


if __name__ == "__main__":
    main()
