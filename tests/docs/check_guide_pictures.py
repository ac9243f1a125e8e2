"""The guide's pictures: the program that `make docs` runs writes every
picture it lists, each a PNG of a window's size, with no sanitizer report;
and the guide, the README and the committed docs/images name exactly the
pictures it lists, so none can go missing or be left behind unnoticed.

    check_guide_pictures.py TRYSTER_DOCSHOTS SOURCE_DIR
"""

import os
import re
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "support"))
from sanitizer import report_in  # noqa: E402

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
# Every picture holds a whole window or dialog.
MIN_WIDTH, MIN_HEIGHT = 200, 100


def png_size(path):
    head = path.read_bytes()[:24]
    if len(head) < 24 or head[:8] != PNG_SIGNATURE or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def names_in(text, prefix):
    return set(re.findall(re.escape(prefix) + r"([\w.-]+\.png)", text))


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    tool, source = sys.argv[1], Path(sys.argv[2])
    problems = []

    listing = subprocess.run([tool, "--list"], capture_output=True, text=True, check=True).stdout
    listed = [line.split("\t")[0] for line in listing.splitlines() if line.strip()]
    if not listed:
        problems.append("the program lists no pictures")

    with tempfile.TemporaryDirectory() as scratch:
        out = Path(scratch) / "images"
        run = subprocess.run([tool, "--work", os.path.join(scratch, "work"), str(out)], capture_output=True)
        report = report_in(run.stderr)
        if report:
            problems.append("sanitizer report: " + report)
        if run.returncode != 0:
            problems.append("exit status %d: %s" % (run.returncode, run.stderr.decode(errors="replace").strip()))
        written = sorted(p.name for p in out.iterdir()) if out.is_dir() else []
        if written != sorted(listed):
            problems.append("wrote %s, lists %s" % (written, sorted(listed)))
        for name in listed:
            path = out / name
            size = png_size(path) if path.is_file() else None
            if not size:
                problems.append("%s is no PNG" % name)
            elif size[0] < MIN_WIDTH or size[1] < MIN_HEIGHT:
                problems.append("%s is only %dx%d" % (name, size[0], size[1]))

    guide = names_in((source / "docs" / "guide.md").read_text(encoding="utf-8"), "images/")
    readme = names_in((source / "README.md").read_text(encoding="utf-8"), "docs/images/")
    if not readme:
        problems.append("the README shows no picture")
    committed = {p.name for p in (source / "docs" / "images").glob("*.png")}
    for names, missing, extra in ((guide, "the guide does not show %s", "the guide shows %s, which nothing makes"),
                                  (readme, None, "the README shows %s, which nothing makes"),
                                  (committed, "docs/images lacks %s (run make docs and commit it)",
                                   "docs/images keeps %s, which nothing makes any more")):
        problems += [missing % n for n in sorted(set(listed) - names) if missing]
        problems += [extra % n for n in sorted(names - set(listed))]

    for problem in problems:
        print("FAIL:", problem)
    if problems:
        return 1
    print("ok: %d pictures written, shown by the guide and committed" % len(listed))
    return 0


if __name__ == "__main__":
    sys.exit(main())
