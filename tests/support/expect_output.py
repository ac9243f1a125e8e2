"""Runs a command and checks how it ended: its exit status, a regular
expression that its output (standard output and error together) must match,
and no sanitizer report. A failure the test expects therefore has to be the
program's own, with its message, and not a crash that also exits non-zero.

    expect_output.py STATUS REGEX COMMAND [ARGS...]
"""

import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sanitizer import report_in  # noqa: E402


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    status, pattern, command = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    result = subprocess.run(command, capture_output=True)
    output = result.stdout + result.stderr
    problems = []
    report = report_in(result.stderr)
    if report:
        problems.append("sanitizer report: " + report)
    if result.returncode != status:
        problems.append("exit status %d, expected %d" % (result.returncode, status))
    if not re.search(pattern.encode(), output):
        problems.append("no output matches %r" % pattern)
    if problems:
        sys.stdout.write(output.decode(errors="replace"))
        for problem in problems:
            print("FAIL:", problem)
        return 1
    print("ok: exit %d, output matches %r" % (status, pattern))
    return 0


sys.exit(main())
