#!/usr/bin/env python3
"""Writes a log export result file as the core daemon leaves it: the int32
entry count, then per entry the 672-byte log record and its 4096-byte
detail text. Entry n (from 1) gets main type 4, sub type 204, time
1767225600 + 60 n, parameter code 909, channel n % 64, the user and address
below and the detail of detail_text(n).

Usage: log_export_file.py COUNT PATH
As a module: entries(count) gives (user, address, detail) per entry."""
import struct
import sys

USERS = ["admin", "op,erator", 'say "hi"', "plain"]


def detail_text(number):
    kinds = [
        "Record schedule changed",
        "Camera 3, stream 1, \"main\" profile",
        "line one\nline two, with a comma",
        'quote " inside, and ""two""',
        "crlf\r\nafter",
        "",
    ]
    return "%s #%d" % (kinds[number % len(kinds)], number) if number % 6 != 5 else ""


def entry(number):
    return USERS[number % len(USERS)], "192.0.2.%d" % (number % 250 + 1), detail_text(number)


def record(number):
    user, address, detail = entry(number)
    fields = struct.pack("<iiqiiiii", 4, 0, 204, 0, 1767225600 + 60 * number, 909, 1, number % 64)
    fields += address.encode().ljust(46, b"\0") + user.encode().ljust(64, b"\0") + b"\0\0"
    fields += struct.pack("<i", 0) + b"\0" * 512 + b"\0" * 8
    assert len(fields) == 672
    return fields + detail.encode().ljust(4096, b"\0")


def write(count, path):
    with open(path, "wb") as out:
        out.write(struct.pack("<i", count))
        for number in range(1, count + 1):
            out.write(record(number))


if __name__ == "__main__":
    write(int(sys.argv[1]), sys.argv[2])
