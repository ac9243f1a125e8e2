"""Two `tryster-cli date create` runs, one right after the other (within the
same second, most likely), must give their dates object identifiers of
their own, as `date show` reads them.

    check_date_identity.py PATH-TO-TRYSTER-CLI CHARACTER.json
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
        found = []
        for name in ("Ann", "Ben"):
            base = os.path.join(game, "TemplateNPCs", name)
            run("date", "create", "--game", game, "--character", character, "--out", base + ".srf")
            objects = json.loads(run("date", "show", base + ".iff", "--json").stdout)["objects"]
            check(len(objects) >= 2, "%s.iff has its object definitions" % name)
            found += [o["identifier"] for o in objects]
        check(len(set(found)) == len(found), "every identifier differs: %s" % found)
    sys.exit(finish())


main()
