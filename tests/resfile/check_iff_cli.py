"""Checks `tryster-cli iff` on container files made by containers.py:
listing, data, string sets, and files changed by put and rm read back with
the independent reader.

    check_iff_cli.py PATH-TO-TRYSTER-CLI
"""

import json
import os
import struct
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import cli_checks  # noqa: E402
import containers  # noqa: E402
from cli_checks import check  # noqa: E402
from containers import Resource, strings_minus3, strings_pascal_big_endian


def run(*args, expect_ok=True):
    return cli_checks.run("iff", *args, expect_ok=expect_ok)


def sample(with_variant):
    resources = [
        Resource(b"STR#", 200, strings_minus3([(0, "Bob", ""), (0, "A fine fellow", "desc"), (1, "Bobby", "")]),
                 name="names", native=True),
        Resource(b"OBJD", 128, bytes(range(200)), name="Bob.iff"),
        Resource(b"STR#", 201, strings_pascal_big_endian([b"it\xd5s", b"d\xa1g"])),
        Resource(b"BCON", 4096, struct.pack(">HHH", 2, 500, 65535), name="constants"),
        Resource(b"\x00CST", 7, b"junk ^caret one^ ^two^", native=True),
        Resource(b"BMP_", -5, b"\x00" * 1000, name="picture \xe9"),
    ]
    if with_variant:
        resources.append(Resource(b"BCON", 4096, b"\x00\x01", name="variant", variant=2))
    return resources


def expected_listing(fmt, resources, version_10=False):
    """The order the program's combined file lists: each container's types
    from its last position to its first. A 2.x container lists types in the
    order first met and resources in file order; a 1.0 container lists both
    newest first, so its types come out in the order first met and its
    resources newest first."""
    types = []
    for res in resources:
        for entry in types:
            if entry[0] == res.type:
                entry[1].append(res)
                break
        else:
            types.append((res.type, [res]))
    if version_10:
        types = [(t, list(reversed(rs))) for t, rs in types]
    else:
        types.reverse()
    out = {"format": fmt, "types": []}
    for rtype, rs in types:
        text = "".join(chr(b) if 0x20 <= b < 0x7F and b != 0x5C else "\\x%02X" % b for b in rtype)
        out["types"].append({
            "type": text, "code": "0x%08X" % int.from_bytes(rtype, "big"),
            "resources": [{"id": r.id, "variant": r.variant, "name": r.name, "native": r.native,
                           "size": len(r.data)} for r in rs]})
    return out


def type_arg(rtype):
    return "0x%08X" % int.from_bytes(rtype, "big")


def check_file(path, fmt, resources, version_10=False):
    listing = json.loads(run("list", "--json", path).stdout)
    check(listing == expected_listing(fmt, resources, version_10), "%s: listing %s" % (fmt, listing))
    for res in resources:
        got = run("get", path, type_arg(res.type), str(res.id), "--variant", str(res.variant)).stdout
        check(got == res.data, "%s: data of %r %d" % (fmt, res.type, res.id))
    names = json.loads(run("strings", "--json", path, "200").stdout)
    check([s["text"] for s in names["strings"]] == ["Bob", "A fine fellow"], "%s: strings 200: %s" % (fmt, names))
    check(names["name"] == "names", "%s: name of strings 200" % fmt)
    every = json.loads(run("strings", "--json", "--all-languages", path, "200").stdout)
    check([(s["number"], s["language"], s["text"]) for s in every["strings"]] ==
          [(1, 0, "Bob"), (2, 0, "A fine fellow"), (1, 1, "Bobby")], "%s: all languages: %s" % (fmt, every))
    french = json.loads(run("strings", "--json", "--language", "1", path, "200").stdout)
    check([s["text"] for s in french["strings"]] == ["Bobby"], "%s: language 1" % fmt)
    pascal = json.loads(run("strings", "--json", path, "201").stdout)
    check([s["text"] for s in pascal["strings"]] == ["it's", "dog"], "%s: strings 201: %s" % (fmt, pascal))
    caret = json.loads(run("strings", "--json", path, "7").stdout)
    check([s["text"] for s in caret["strings"]] == ["caret one", "two"], "%s: caret strings" % fmt)
    missing = run("get", path, "OBJD", "129", expect_ok=False)
    check(missing.returncode == 1 and b"kResNotFound (-98)" in missing.stderr, "%s: missing resource" % fmt)


def check_changes_2x(path, original_resources):
    with open(os.path.join(os.path.dirname(path), "in.bin"), "wb") as f:
        f.write(b"new data")
    inp = os.path.join(os.path.dirname(path), "in.bin")
    run("put", path, "NEW!", "300", "--name", "added", "--native", "-i", inp)
    run("rm", path, "BMP_", "-5")
    data = open(path, "rb").read()
    version, map_offset = containers.read_header(data)
    check(version == "2.5" and map_offset != 0, "after put: header %s %d" % (version, map_offset))
    chunks = containers.walk(data, 76)
    live = {(c[1], c[3], c[4] >> 8): c for c in chunks if not c[4] & containers.FREE and c[1] != b"rsmp"}
    check((b"NEW!", 300, 0) in live and live[(b"NEW!", 300, 0)][6] == b"new data", "new chunk on disk")
    check(live[(b"NEW!", 300, 0)][4] & 0xFF == containers.NATIVE, "new chunk is native")
    check(live[(b"NEW!", 300, 0)][5] == "added", "new chunk's name")
    check((b"BMP_", -5, 0) not in live, "removed chunk is free")
    for res in original_resources:
        if res.type == b"BMP_":
            continue
        chunk = live.get((res.type, res.id, res.variant))
        check(chunk is not None and chunk[6] == res.data, "kept %r %d" % (res.type, res.id))
    maps = [c for c in chunks if c[0] == map_offset]
    check(len(maps) == 1 and maps[0][1] == b"rsmp", "header points at the map")
    free_bytes, types = containers.parse_map(maps[0][6])
    listed = {(t, e[1], e[2] >> 8): e[0] for t, entries in types for e in entries}
    check(listed == {k: c[0] for k, c in live.items()}, "map lists every live chunk: %s" % listed)
    check(free_bytes == sum(c[2] for c in chunks if c[4] & containers.FREE), "map's free byte count")


def check_changes_10(path, original_resources):
    inp = os.path.join(os.path.dirname(path), "in.bin")
    run("put", path, "NEW!", "300", "--name", "added", "-i", inp)
    run("rm", path, "OBJD", "128")
    data = open(path, "rb").read()
    version, _ = containers.read_header(data)
    check(version == "1.0", "1.0 stays 1.0")
    chunks = containers.walk(data, 16)
    name_lists = [c for c in chunks if c[1] == b"NAME" and not c[4] & containers.FREE]
    check(len(name_lists) == 1 and name_lists[0][3] == 1 and name_lists[0][4] & containers.INTERNAL,
          "one internal name list")
    names = containers.parse_name_list(name_lists[0][6])
    new = [c for c in chunks if c[1] == b"NEW!" and not c[4] & containers.FREE]
    check(len(new) == 1 and new[0][6] == open(inp, "rb").read() and names.get(new[0][5]) == "added",
          "new resource and its name")
    check(not [c for c in chunks if c[1] == b"OBJD" and not c[4] & containers.FREE], "OBJD removed")
    check("Bob.iff" not in names.values(), "its name removed")
    listing = json.loads(run("list", "--json", path).stdout)
    check(listing["format"] == "1.0", "still listed as 1.0")


def main():
    with tempfile.TemporaryDirectory() as tmp:
        resources = sample(with_variant=True)
        path = os.path.join(tmp, "with-map.iff")
        containers.write_2x(path, resources, b"5")
        check_file(path, "2.5", resources)
        check_changes_2x(path, resources)

        path = os.path.join(tmp, "walked.iff")
        containers.write_2x(path, resources, b"0", junk_offset=0xFFFFFFF0)
        check_file(path, "2.0", resources)
        check_changes_2x(path, resources)

        plain = sample(with_variant=False)
        path = os.path.join(tmp, "old.iff")
        containers.write_10(path, plain)
        check_file(path, "1.0", plain, version_10=True)
        check_changes_10(path, plain)

        bad = run("list", os.path.join(tmp, "none.iff"), expect_ok=False)
        check(bad.returncode == 1 and b"found nothing there" in bad.stderr, "missing file: %s" % bad.stderr)
    return cli_checks.finish()


if __name__ == "__main__":
    sys.exit(main())
