"""Two `tryster-cli date create` runs, one right after the other (within the
same second, most likely), must give their dates object identifiers of
their own: read with the independent container reader, no two 'OBJD'
resources of the two files share one.

    check_date_identity.py PATH-TO-TRYSTER-CLI CHARACTER.json
"""

import os
import struct
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "resfile"))
import containers  # noqa: E402
from cli_checks import check, finish, run  # noqa: E402


def identifiers(path):
    data = open(path, "rb").read()
    containers.read_header(data)
    return [struct.unpack("<I", payload[28:32])[0]
            for _, rtype, _, _, _, _, payload in containers.walk(data, 76) if rtype == b"OBJD"]


def main():
    character = os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as work:
        game = os.path.join(work, "game")
        run("demo-world", game)
        found = []
        for name in ("Ann", "Ben"):
            out = os.path.join(game, "TemplateNPCs", name + ".srf")
            run("date", "create", "--game", game, "--character", character, "--out", out)
            ids = identifiers(os.path.join(game, "TemplateNPCs", name + ".iff"))
            check(len(ids) >= 2, "%s.iff has its object definitions" % name)
            found += ids
        check(len(set(found)) == len(found), "every identifier differs: %s" % ["%08X" % i for i in found])
    sys.exit(finish())


main()
