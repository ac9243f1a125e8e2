"""Reads a replaced townie, its backup and the date that replaced it with the
independent container reader, and checks the replacement: the backup is
the old townie byte for byte; the townie holds the date's resources; its
first object definition keeps the townie's identifier at offset 28, has 2
in the 16-bit field at offset 18 and the date's identifier at offset 140;
its other object definitions have identifiers of their own.

    check_replaced_townie.py TOWNIE BACKUP DATE OLD-TOWNIE-COPY
"""

import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resfile"))
import containers  # noqa: E402

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def chunks(path):
    data = open(path, "rb").read()
    version, _ = containers.read_header(data)
    size = 76 if version != "1.0" else 16
    return [(rtype, rid, payload) for _, rtype, _, rid, _, _, payload in containers.walk(data, size)
            if rtype not in (b"XXXX", b"rsmp")]


def objects(path):
    return [payload for rtype, _, payload in chunks(path) if rtype == b"OBJD"]


def main():
    townie, backup, date, old = sys.argv[1:5]
    check(open(backup, "rb").read() == open(old, "rb").read(), "the backup is the old townie")
    # String lists may change their stored form in the copy; every other
    # resource is there with its type and id.
    kinds = lambda path: sorted((t, i) for t, i, _ in chunks(path) if t not in (b"OBJD", b"STR#", b"cst\0"))
    check(kinds(townie) == kinds(date), "the townie holds the date's resources: %s against %s" % (
        kinds(townie), kinds(date)))
    mine, theirs, before = objects(townie), objects(date), objects(old)
    check(len(mine) == len(theirs) and mine, "as many object definitions as the date")
    if mine and before and theirs:
        first = mine[0]
        check(first[28:32] == before[0][28:32], "the townie's identifier stays at 28")
        check(struct.unpack("<H", first[18:20])[0] == 2, "field 18 is 2")
        check(first[140:144] == theirs[0][28:32], "the date's identifier moved to 140")
        others = [o[28:32] for o in mine[1:]]
        check(all(o != t[28:32] for o, t in zip(others, theirs[1:])), "the others have fresh identifiers")
    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)
    print("all checks passed")


main()
