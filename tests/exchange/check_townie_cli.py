"""Checks `tryster-cli townie` and `tryster-cli character` on a game folder
whose character files are written here from the format description alone
(tests/resfile/containers.py), and reads what the tool wrote back with the
same independent reader.

    check_townie_cli.py PATH-TO-TRYSTER-CLI
"""

import json
import os
import struct
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(HERE, "..", "resfile"), os.path.join(HERE, "..", "support")]
import containers  # noqa: E402
from cli_checks import check, finish, run  # noqa: E402
from containers import Resource, strings_minus3, strings_pascal_big_endian  # noqa: E402


def appearance(age, gender, tone):
    """The 28 strings of list 200 of an adult male (or whatever is given)."""
    strings = ["entry %d" % n for n in range(1, 29)]
    strings[0] = age
    strings[1] = "b003mafit_01,BODY=B003MAFit%s_bmoc" % tone
    strings[2] = "c011ma_repo,HEAD-HEAD=C011ma%s_rotc" % tone
    strings[12] = gender
    strings[14] = tone
    strings[15] = "u0fit_swim,BODY=u0fit%s_swim" % tone
    strings[16] = "u0fit_pjs,BODY=u0fit%s_pjs" % tone
    for n, hand in zip(range(17, 23), ["hmlo", "hmro", "hmlp", "hmrp", "hmlc", "hmrc"]):
        strings[n] = "%s,HAND=huao%s" % (hand, tone)
    strings[27] = "u0fit_formal,BODY=u0fit%s_formal" % tone
    return strings


def objd(identifier, native=True, size=200):
    data = bytearray((i * 3) & 0xFF for i in range(size))
    data[28:32] = struct.pack("<I" if native else ">I", identifier)
    return bytes(data)


def character(name, identifier, age="Adult", gender="Male", tone="lgt", pascal=False, filler=0):
    strings = appearance(age, gender, tone)
    if pascal:
        string_list = Resource(b"STR#", 200, strings_pascal_big_endian([s.encode("latin-1") for s in strings]))
    else:
        string_list = Resource(b"STR#", 200, strings_minus3([(0, s, "") for s in strings]), native=True)
    resources = [
        Resource(b"OBJD", 128, objd(identifier, native=not pascal), name="Original", native=not pascal),
        Resource(b"OBJD", 129, objd(identifier + 1), name="Second", native=True),
        string_list,
        Resource(b"CTSS", 2000, strings_minus3([(0, name, ""), (0, "Lives here.", "")]), native=True),
        Resource(b"BMP_", 1, b"BM" + b"\x11" * 62, name="Picture"),
    ]
    if filler:
        resources.append(Resource(b"DATA", 1, b"\x22" * filler))
    return resources


def write_sized(path, resources, size):
    """Writes the resources with the filler grown until the file is `size` bytes."""
    filler = resources[-1]
    containers.write_2x(path, resources)
    filler.data += b"\x22" * (size - os.path.getsize(path))
    containers.write_2x(path, resources)
    assert os.path.getsize(path) == size, path


def read_resources(path):
    """{(type, id): (flags, name, data)} of a 2.x file as the tool left it."""
    data = open(path, "rb").read()
    version, map_offset = containers.read_header(data)
    check(version == "2.5", "%s is written as 2.5" % path)
    out = {}
    for offset, rtype, size, rid, flags, name, payload in containers.walk(data, 76):
        if flags & containers.FREE or rtype == b"rsmp":
            continue
        out[(rtype, rid)] = (flags, name, payload)
    if map_offset:
        free_bytes, types = containers.parse_map(data[map_offset + 76:map_offset + struct.unpack(">I", data[map_offset + 4:map_offset + 8])[0]])
        listed = sum(len(entries) for _, entries in types)
        check(listed == len(out), "%s: the map lists every resource" % path)
    return out


def parse_minus3(payload):
    first, count = struct.unpack("<hH", payload[:4])
    check(first == -3, "string list written in form -3")
    pos, texts = 4, []
    for _ in range(count):
        pos += 1
        end = payload.index(b"\0", pos)
        texts.append(payload[pos:end].decode("latin-1"))
        pos = payload.index(b"\0", end + 1) + 1
    return texts


def make_game(root):
    chars = os.path.join(root, "UserData", "Characters")
    dates = os.path.join(root, "TemplateNPCs")
    os.makedirs(chars)
    os.makedirs(dates)
    containers.write_2x(os.path.join(root, "UserData", "Neighborhood.iff"), [Resource(b"NGBH", 1, b"\0" * 16)])
    write_sized(os.path.join(chars, "User00001.iff"), character("Fred", 0x11110000, filler=1), 60000)
    write_sized(os.path.join(chars, "User00002.iff"), character("Kid", 0x22220000, age="Child", filler=1), 60000)
    write_sized(os.path.join(chars, "User00003.iff"), character("Small", 0x33330000, filler=1), 57999)
    with open(os.path.join(chars, "User00004.iff"), "wb") as f:
        f.write(b"\x5a" * 58000)
    write_sized(os.path.join(chars, "User00005.iff"),
                character("Olga", 0x55550000, age="adult", gender="female", tone="med", pascal=True, filler=1), 58000)
    containers.write_2x(os.path.join(dates, "Date1.iff"), character("Bob", 0x0D0D0000, tone="drk"))
    containers.write_2x(os.path.join(dates, "GLM_Generic.iff"), character("Generic", 0x0E0E0000))
    containers.write_2x(os.path.join(dates, "glm_generic.IFF"), character("Other", 0x0F0F0000))
    return chars, dates


def check_lists(root, chars):
    hood = os.path.join(root, "UserData", "Neighborhood.iff")
    townies = json.loads(run("townie", "list", hood, "--json").stdout)
    check(townies == [
        {"file": "User00001.iff", "name": "Fred", "age": "Adult", "gender": "Male"},
        {"file": "User00004.iff", "name": "Unknown Character", "age": "Unknown Age", "gender": "Unknown Gender"},
        {"file": "User00005.iff", "name": "Olga", "age": "Adult", "gender": "Female"},
    ], "townie list: %s" % townies)
    dates = json.loads(run("townie", "dates", "--game", root, "--json").stdout)
    check([d["file"] for d in dates] == ["Date1.iff", "glm_generic.IFF"], "townie dates: %s" % dates)
    check(dates[0]["name"] == "Bob", "the date's name")

    olga = json.loads(run("character", "show", os.path.join(chars, "User00005.iff"), "--json").stdout)
    check(olga == {"name": "Olga", "age": "Adult", "gender": "Female", "skinTone": "Medium", "bodyType": "Fit",
                   "bodyMesh": "b003mafit_01", "bodyTexture": "b003mafitmed_bmoc", "headMesh": "c011ma_repo",
                   "headTexture": "c011mamed_rotc"}, "character show: %s" % olga)


def check_save_back(chars, demo):
    """Olga's look saved back, with names from the catalog of a demo game
    (the one made here has no skins), and names no game has refused."""
    path = os.path.join(chars, "User00005.iff")
    before = open(path, "rb").read()
    offered = json.loads(run("catalog", "--game", demo, "--gender", "female", "--body-type", "1", "--skin-tone", "2",
                             "--json").stdout)
    body_mesh, body_texture = offered["bodyMeshes"][0], offered["bodyTextures"][0]
    head_mesh, head_texture = offered["headMesh"], offered["headTexture"]
    look = ["--body-mesh", body_mesh, "--body-texture", body_texture, "--head-mesh", head_mesh,
            "--skin-tone", "2", "--body-type", "1", "--game", demo]
    refused = run("character", "save-back", path, *look, "--head-texture", "", expect_ok=False)
    check(refused.returncode == 1 and b"You must choose valid textures to save." in refused.stderr,
          "save-back refuses an empty head texture: %s" % refused.stderr)
    unknown = run("character", "save-back", path, *look, "--head-texture", "c020fadrk_ann", expect_ok=False)
    check(unknown.returncode == 1 and b'found the head texture "c020fadrk_ann"' in unknown.stderr
          and b"listed by: tryster-cli catalog --game" in unknown.stderr,
          "save-back refuses a name the game lacks and says how to list them: %s" % unknown.stderr)
    check(open(path, "rb").read() == before and sorted(os.listdir(chars)) == sorted(
        ["User%05d.iff" % n for n in range(1, 6)]), "a refused save-back changes nothing")

    out = run("character", "save-back", path, *look, "--head-texture", head_texture).stdout.decode()
    check(out == "%s.bak\nOlga has been saved to the game. The next time you see Olga this is what they will "
                 "look like.\n" % path, "save-back output: %r" % out)
    check(open(path + ".bak", "rb").read() == before, "the backup holds the old file")
    after = read_resources(path)
    strings = parse_minus3(after[(b"STR#", 200)][2])
    check(strings[1] == body_mesh + ",BODY=" + body_texture, "string 2: %s" % strings[1])
    check(strings[2] == head_mesh + ",HEAD-HEAD=" + head_texture, "string 3: %s" % strings[2])
    check(strings[14] == "drk" and strings[15] == "u0fat_swim,BODY=u0fatdrk_swim", "tone and outfits: %s" % strings[14:16])
    check(strings[18] == "hmro,HAND=huaodrk" and strings[27] == "u0fat_formal,BODY=u0fatdrk_formal", "hands, formal")
    check(strings[0] == "adult" and strings[12] == "female" and strings[3] == "entry 4", "other strings kept")
    check((b"BMP_", 1) not in after, "pictures removed")
    check(after[(b"OBJD", 128)][2] == objd(0x55550000, native=False), "objects kept byte for byte")
    shown = json.loads(run("character", "show", path, "--json").stdout)
    check(shown["skinTone"] == "Dark" and shown["bodyType"] == "Full", "the saved look reads back: %s" % shown)


def check_replace(root, chars, dates):
    hood = os.path.join(root, "UserData", "Neighborhood.iff")
    townie = os.path.join(chars, "User00001.iff")
    before = open(townie, "rb").read()
    child = run("townie", "replace", hood, "User00002.iff", os.path.join(dates, "Date1.iff"), expect_ok=False)
    check(child.returncode == 1 and b"found a child" in child.stderr, "a child is not replaced: %s" % child.stderr)

    out = run("townie", "replace", hood, "User00001.iff", os.path.join(dates, "Date1.iff")).stdout.decode()
    check(out == townie + ".bak\n", "replace prints the backup: %r" % out)
    check(open(townie + ".bak", "rb").read() == before, "the backup holds the townie")
    after = read_resources(townie)
    date = {(r.type, r.id): r for r in character("Bob", 0x0D0D0000, tone="drk")}
    flags, name, first = after[(b"OBJD", 128)]
    check(struct.unpack("<I", first[28:32])[0] == 0x11110000, "the townie's identifier stays")
    check(struct.unpack("<H", first[18:20])[0] == 2, "field 18 is 2")
    check(struct.unpack("<I", first[140:144])[0] == 0x0D0D0000, "the date's identifier moved to 140")
    check(name == "User00001.iff", "object name: %s" % name)
    second = after[(b"OBJD", 129)][2]
    check(struct.unpack("<I", second[28:32])[0] not in (0x11110000, 0x0D0D0001), "a fresh identifier for the rest")
    for key in [(b"STR#", 200), (b"CTSS", 2000), (b"BMP_", 1)]:
        check(after[key][2] == date[key].data, "%s %d copied" % key)
    listed = json.loads(run("townie", "list", hood, "--json").stdout)
    # The date is smaller than a townie, so the replaced file is no longer offered.
    check("User00001.iff" not in [t["file"] for t in listed], "the replaced townie: %s" % listed)


def main():
    with tempfile.TemporaryDirectory() as root, tempfile.TemporaryDirectory() as demo:
        chars, dates = make_game(root)
        run("demo-world", os.path.join(demo, "game"))
        check_lists(root, chars)
        check_save_back(chars, os.path.join(demo, "game"))
        check_replace(root, chars, dates)
    sys.exit(finish())


main()
