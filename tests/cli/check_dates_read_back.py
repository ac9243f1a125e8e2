"""New dates read back as what they are: a female adult and a male child
made by `tryster-cli date create` (the save command's steps) on a demo game
say their age and gender in string list 200, as the independent container
reader reads it (tests/resfile/containers.py), as `character show` (the Load
command's reader) reads it, and, once the woman has replaced a townie, as
`townie list` shows her: still a townie, and female. Started where there is
no TR_Template.iff, `date create` takes the program's own; its two runs, one
right after the other, give their dates object identifiers of their own.

    check_dates_read_back.py PATH-TO-TRYSTER-CLI
"""

import json
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "resfile"))
import containers  # noqa: E402
from cli_checks import check, finish, run  # noqa: E402

DATES = {
    "Ann": ({"name": "Ann", "gender": "female", "skinTone": 1, "adult": True}, "Adult", "Female"),
    "Kit": ({"name": "Kit", "gender": "male", "adult": False}, "Child", "Male"),
}


def list_200(path):
    """Strings of list 200, read as the format describes form -3."""
    data = open(path, "rb").read()
    containers.read_header(data)
    for _, rtype, _, rid, _, _, payload in containers.walk(data, 76):
        if rtype == b"STR#" and rid == 200:
            form, texts = containers.string_list(payload)
            check(form == -3, "list 200 in form -3")
            return [t.decode("cp1252") for t in texts]
    check(False, "%s has a string list 200" % path)
    return []


def main():
    with tempfile.TemporaryDirectory() as work:
        game = os.path.join(work, "game")
        run("demo-world", game)
        os.chdir(work)
        identifiers = []
        for name, (description, age, gender) in DATES.items():
            character = os.path.join(work, name + ".json")
            with open(character, "w") as f:
                json.dump(description, f)
            base = os.path.join(game, "TemplateNPCs", name)
            run("date", "create", "--game", game, "--character", character, "--out", base + ".srf")
            strings = list_200(base + ".iff")
            check(strings[:1] == [age] and strings[12:13] == [gender],
                  "%s.iff: strings 1 and 13 are %s and %s: %s" % (name, age, gender, strings[:1] + strings[12:13]))
            shown = json.loads(run("character", "show", base + ".iff", "--json").stdout)
            check((shown["age"], shown["gender"]) == (age, gender), "character show %s: %s" % (name, shown))
            objects = json.loads(run("date", "show", base + ".iff", "--json").stdout)["objects"]
            identifiers += [o["identifier"] for o in objects]
        check(len(identifiers) >= 4 and len(set(identifiers)) == len(identifiers), "identifiers: %s" % identifiers)

        hood = os.path.join(game, "UserData", "Neighborhood.iff")
        run("townie", "replace", hood, "User00001.iff", os.path.join(game, "TemplateNPCs", "Ann.iff"))
        townies = json.loads(run("townie", "list", hood, "--json").stdout)
        check({"file": "User00001.iff", "name": "Ann", "age": "Adult", "gender": "Female"} in townies,
              "Ann stays a townie, a woman: %s" % townies)
    sys.exit(finish())


main()
