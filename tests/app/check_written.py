"""Reads what the window wrote with the project's independent container
reader (tests/resfile/containers.py), and readers of its own for the string
lists, the behaviour constants, the web exchange file and the JPEG headers.

    check_written.py date BASE EXPECTED.json

checks a saved date against what was typed into the window. BASE is the
chosen ".srf" path without its extension; EXPECTED holds the record as
entered: name, description (CR LF line breaks), gender, personality {neat,
active, playful, outgoing, nice}, ranking (15 interest ids, most liked
first), careerTrack, careerLevel, skinTone, bodyType, bodyMesh,
bodyTexture, headMesh, headTexture, templateIdentifier, and objectName
where the object's name is to be checked.

    check_written.py townie TOWNIE BACKUP DATE OLD-TOWNIE-COPY

checks a replacement: the backup is the old townie byte for byte; the
townie holds the date's resources; its first object definition keeps the
townie's identifier at offset 28, has 2 in the 16-bit field at offset 18
and the date's identifier at offset 140; its other object definitions
have identifiers of their own.
"""

import json
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "resfile"))
import containers  # noqa: E402
from cli_checks import check, finish  # noqa: E402

EXPORT_KEYS = ["Weather", "Hollywood", "Romance", "Technology", "Money", "Parties", "Travel", "Politics",
               "Sixties", "Style", "Sports", "Music", "Outdoors", "Food", "Exercise"]
# Constants 7 to 21: the interest each holds.
CONSTANT_INTERESTS = [6, 4, 7, 8, 0, 10, 11, 12, 14, 13, 5, 9, 1, 3, 2]
PRESETS = [  # Outgoing, Nice, Playful, Neat, Active
    (8, 3, 3, 5, 6), (5, 4, 8, 5, 3), (7, 3, 3, 4, 8), (3, 6, 4, 6, 6), (10, 3, 4, 4, 4), (2, 5, 3, 9, 6),
    (8, 7, 6, 2, 2), (5, 3, 3, 6, 8), (3, 4, 7, 2, 9), (4, 5, 8, 7, 1), (4, 6, 7, 4, 4), (3, 7, 3, 5, 7)]


def level(ranking, interest):
    place = ranking.index(interest) + 1
    return 10 if place <= 5 else 5 if place <= 10 else 1


def sign(p):
    """The nearest preset; the first of equally near ones."""
    vector = (p["outgoing"], p["nice"], p["playful"], p["neat"], p["active"])
    return min(range(len(PRESETS)), key=lambda i: sum((a - b) ** 2 for a, b in zip(vector, PRESETS[i])))


def resources(path):
    data = open(path, "rb").read()
    version, _ = containers.read_header(data)
    check(version == "2.5", "the date is a 2.5 container (%s)" % version)
    out = {}
    for _, rtype, _, rid, flags, name, payload in containers.walk(data, 76):
        if rtype != b"XXXX":
            out.setdefault(rtype, []).append((rid, flags, name, payload))
    return out


def the_one(res, rtype, rid):
    """The payload of the one resource of this type and id, or None."""
    found = [r[3] for r in res.get(rtype, []) if r[0] == rid]
    check(len(found) == 1, "one %r %d" % (rtype, rid))
    return found[0] if len(found) == 1 else None


def check_date(base, e):
    res = resources(base + ".iff")
    objects = res.get(b"OBJD", [])
    check(objects, "the date has object definitions")
    seen = set()
    for rid, flags, name, payload in objects:
        identifier = struct.unpack("<I", payload[28:32])[0]
        old = struct.unpack("<I", payload[140:144])[0]
        if "objectName" in e:
            check(name == e["objectName"], "OBJD %d is named %r" % (rid, name))
        check(identifier != old, "OBJD %d has a fresh identifier" % rid)
        seen.add(identifier)
    first = objects[0][3]
    check(struct.unpack("<I", first[140:144])[0] == e["templateIdentifier"],
          "the template's identifier moved to offset 140")
    check(len(seen) == len(objects), "every object has its own identifier")

    check(b"CATS" not in res, "no 'CATS' left")
    catalog = the_one(res, b"CTSS", 2000)
    if catalog:
        texts = containers.string_list(catalog)[1]
        check(texts == [e["name"].encode("cp1252"), e["description"].encode("cp1252")],
              "'CTSS' 2000 holds the name and the description: %r" % texts)

    payload = the_one(res, b"BCON", 4096)
    if payload:
        header = struct.unpack("<H", payload[:2])[0]
        values = struct.unpack("<%dH" % (header & 0x7FFF), payload[2:2 + 2 * (header & 0x7FFF)])
        p = e["personality"]
        expected = [e["careerTrack"] & 0xFFFF, e["careerLevel"], p["outgoing"] * 100, p["neat"] * 100,
                    p["active"] * 100, p["playful"] * 100, p["nice"] * 100]
        expected += [level(e["ranking"], i) * 100 for i in CONSTANT_INTERESTS]
        check(list(values[:22]) == expected, "'BCON' 4096 values %s, expected %s" % (list(values[:22]), expected))

    strings = the_one(res, b"STR#", 200)
    if strings:
        s = [t.decode("cp1252") for t in containers.string_list(strings)[1]]
        tone = ["lgt", "med", "drk"][e["skinTone"]]
        check(s[1] == e["bodyMesh"] + ",BODY=" + e["bodyTexture"], "string 2: %r" % s[1])
        check(s[2] == e["headMesh"] + ",HEAD-HEAD=" + e["headTexture"], "string 3: %r" % s[2])
        check(s[14] == tone, "string 15: %r" % s[14])
    check(b"BMP_" not in res, "the template's pictures are gone")


def check_exchange_file(base, e):
    text = open(base + ".srf", "rb").read()
    check(text.startswith(b"[Tryster]\r\n"), "the file opens with its section")
    body = text.decode("cp1252")
    p = e["personality"]
    expected = [("Sign", str(sign(p) + 1)), ("CareerPath", str(e["careerTrack"])),
                ("CareerLevel", str(e["careerLevel"])), ("Gender", e["gender"]), ("Name", e["name"]),
                ("Description", e["description"]), ("SkinColor", ["LGT", "MED", "DRK"][e["skinTone"]]),
                ("Outgoing", str(p["outgoing"])), ("Nice", str(p["nice"])), ("Playful", str(p["playful"])),
                ("Neat", str(p["neat"])), ("Active", str(p["active"]))]
    expected += [(key, str(level(e["ranking"], i))) for i, key in enumerate(EXPORT_KEYS)]
    lines = "".join("%s=%s\r\n" % kv for kv in expected)
    check(body.startswith("[Tryster]\r\n" + lines), "the keys in order:\n%s" % body[:600])
    rest = body[len("[Tryster]\r\n" + lines):].split("\r\n")
    count = int(rest[0].split("=")[1]) if rest and rest[0].startswith("SkinFileCount=") else -1
    check(count >= 1, "a skin file count follows: %r" % rest[:1])
    files = [line.split("=", 1)[1] for line in rest[1:1 + max(count, 0)]]
    # Named as the game knows them: relative to the game folder (the base
    # lies in its TemplateNPCs), '\\' between folders, no home folder in them.
    game = os.path.dirname(os.path.dirname(base))
    check(all(f.startswith("GameData\\Skins\\") for f in files), "the skin files relative to the game: %s" % files)
    check(all(exists_ignoring_case(os.path.join(game, *f.split("\\"))) for f in files),
          "the listed skin files exist: %s" % files)
    check(len(set(files)) == len(files), "no skin file twice")
    return files


def exists_ignoring_case(path):
    """Whether the file is there, its name matched without regard to case
    (as the game's platform finds files)."""
    folder, name = os.path.split(path)
    return os.path.isdir(folder) and name.lower() in (n.lower() for n in os.listdir(folder))


def jpeg_size(path):
    data = open(path, "rb").read()
    check(data[:2] == b"\xff\xd8", "%s is a JPEG" % path)
    pos = 2
    while pos + 4 <= len(data):
        marker, length = data[pos + 1], struct.unpack(">H", data[pos + 2:pos + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            height, width = struct.unpack(">HH", data[pos + 5:pos + 9])
            return width, height
        pos += 2 + length
    return None


def chunks(path):
    data = open(path, "rb").read()
    version, _ = containers.read_header(data)
    size = 76 if version != "1.0" else 16
    return [(rtype, rid, payload) for _, rtype, _, rid, _, _, payload in containers.walk(data, size)
            if rtype not in (b"XXXX", b"rsmp")]


def objects(path):
    return [payload for rtype, _, payload in chunks(path) if rtype == b"OBJD"]


def check_townie(townie, backup, date, old):
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


def main():
    if sys.argv[1] == "townie":
        check_townie(*sys.argv[2:6])
    else:
        base = sys.argv[2]
        e = json.load(open(sys.argv[3]))
        check_date(base, e)
        files = check_exchange_file(base, e)
        check(jpeg_size(base + "head.jpg") == (45, 45), "the head snapshot is 45 x 45")
        check(jpeg_size(base + "body.jpg") == (100, 220), "the body snapshot is 100 x 220")
        print(json.dumps({"skinFiles": files}))
    sys.exit(finish())


main()
