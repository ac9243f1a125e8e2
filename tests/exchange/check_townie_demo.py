"""Runs the Replace path and the save back through `tryster-cli` on the demo
game folder that `tryster-cli demo-world` makes, and checks each result
with the tool's own readers (`character show`, `iff get`, `iff list`).

    check_townie_demo.py PATH-TO-TRYSTER-CLI
"""

import json
import os
import struct
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from cli_checks import check, finish, run  # noqa: E402


def show(path):
    return json.loads(run("character", "show", path, "--json").stdout)


def first_object(path):
    return run("iff", "get", path, "OBJD", "128").stdout


def check_lists(game, chars, hood):
    expected = []
    for name in sorted(os.listdir(chars)):
        path = os.path.join(chars, name)
        if name.startswith("User") and name.endswith(".iff"):
            if show(path)["age"] == "Adult" and os.path.getsize(path) >= 58000:
                expected.append(name)
    sizes = [os.path.getsize(os.path.join(chars, n)) for n in os.listdir(chars)]
    check(57999 in sizes, "the demo holds an adult one byte short of a townie")
    listed = [t["file"] for t in json.loads(run("townie", "list", hood, "--json").stdout)]
    check(sorted(listed) == expected and expected, "townies %s, expected %s" % (listed, expected))

    dates = os.listdir(os.path.join(game, "TemplateNPCs"))
    check("GLM_Generic.iff" in dates and "glm_generic.iff" in dates, "the demo holds both generic spellings")
    offered = [d["file"] for d in json.loads(run("townie", "dates", "--game", game, "--json").stdout)]
    check(sorted(offered) == sorted(d for d in dates if d != "GLM_Generic.iff"), "dates offered: %s" % offered)
    return listed, offered


def check_replace(game, chars, hood, townie_name, date_name):
    townie = os.path.join(chars, townie_name)
    date = os.path.join(game, "TemplateNPCs", date_name)
    before = open(townie, "rb").read()
    identifier = first_object(townie)[28:32]
    out = run("townie", "replace", hood, townie_name, date).stdout.decode()
    check(out == townie + ".bak\n", "replace prints the backup: %r" % out)
    check(open(townie + ".bak", "rb").read() == before, "the backup holds the townie")
    check(run("iff", "get", townie + ".bak", "OBJD", "128").stdout[28:32] == identifier,
          "the backup reads as a container under its own name")
    check(show(townie) == show(date), "the replaced townie has the date's look")
    first = first_object(townie)
    check(first[28:32] == identifier, "the townie's identifier stays")
    check(struct.unpack("<H", first[18:20])[0] == 2, "field 18 is 2")
    check(first[140:144] == first_object(date)[28:32], "the date's identifier moved to 140")


def check_save_back(chars, path, look):
    before = open(path, "rb").read()
    names = sorted(os.listdir(chars))
    args = ["character", "save-back", path, "--body-mesh", look["bodyMesh"], "--body-texture", look["bodyTexture"],
            "--head-mesh", look["headMesh"], "--head-texture", look["headTexture"], "--skin-tone",
            str(["Light", "Medium", "Dark"].index(look["skinTone"])), "--body-type",
            str(["Fit", "Full", "Thin"].index(look["bodyType"]))]

    refused = run(*args[:-5], "", *args[-4:], expect_ok=False)
    check(refused.returncode == 1 and b"You must choose valid textures to save." in refused.stderr,
          "an empty head texture is refused: %s" % refused.stderr)
    check(open(path, "rb").read() == before and sorted(os.listdir(chars)) == names, "a refusal changes nothing")

    name = show(path)["name"]
    lines = run(*args).stdout.decode().splitlines()
    check(lines == [path + ".bak", "%s has been saved to the game. The next time you see %s this is what they "
                    "will look like." % (name, name)], "save back prints: %s" % lines)
    check(open(path + ".bak", "rb").read() == before, "the backup holds the old file")
    after = show(path)
    check(all(after[k] == look[k] for k in ["bodyMesh", "bodyTexture", "headMesh", "headTexture", "skinTone"]),
          "the look is written back: %s" % after)
    check(after["name"] == name, "the name stays")
    check(b"BMP_" not in run("iff", "list", path).stdout, "the pictures are removed")

    again = run(*args).stdout.decode().splitlines()
    check(again[:1] == [path + ".2.bak"], "a second backup does not overwrite the first: %s" % again)


def main():
    with tempfile.TemporaryDirectory() as game:
        run("demo-world", game)
        chars = os.path.join(game, "UserData", "Characters")
        hood = os.path.join(game, "UserData", "Neighborhood.iff")
        townies, dates = check_lists(game, chars, hood)
        if len(townies) >= 2 and dates:
            check_replace(game, chars, hood, townies[0], dates[0])
            look = show(os.path.join(game, "TemplateNPCs", dates[-1]))
            check_save_back(chars, os.path.join(chars, townies[1]), look)
    sys.exit(finish())


main()
