"""`tryster-cli date create` started in a folder without TR_Template.iff
takes the program's own from its data folder, as the program does; a
template named on the command line that is missing is still an error. Two
runs one right after the other (within the same second, most likely) give
their dates object identifiers of their own, as `date show` reads them.

    check_date_template.py PATH-TO-TRYSTER-CLI CHARACTER.json
"""

import json
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from cli_checks import check, finish, run  # noqa: E402


def main():
    character = os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as work:
        game = os.path.join(work, "game")
        run("demo-world", game)
        os.chdir(work)
        check(not os.path.exists("TR_Template.iff"), "the start folder holds no template")
        found = []
        for name in ("Ann", "Ben"):
            base = os.path.join(game, "TemplateNPCs", name)
            run("date", "create", "--game", game, "--character", character, "--out", base + ".srf")
            for suffix in (".iff", ".srf", "head.jpg", "body.jpg"):
                check(os.path.isfile(base + suffix), "date create wrote %s%s" % (name, suffix))
            objects = json.loads(run("date", "show", base + ".iff", "--json").stdout)["objects"]
            check(len(objects) >= 2, "%s.iff has its object definitions" % name)
            found += [o["identifier"] for o in objects]
        check(len(set(found)) == len(found), "every identifier differs: %s" % found)

        missing = os.path.join(work, "none.iff")
        result = run("date", "create", "--game", game, "--character", character,
                     "--out", os.path.join(work, "Cy.srf"), "--template", missing, expect_ok=False)
        check(result.returncode == 1 and b"expected the template" in result.stderr,
              "a missing template given by name is an error: %r" % result.stderr)
        check(not os.path.exists(os.path.join(work, "Cy.iff")), "nothing written without a template")
    sys.exit(finish())


main()
