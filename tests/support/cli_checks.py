"""Shared by the scripts that drive tryster-cli from the tests: the tool's
path (the script's first argument), running one of its commands, a folder's
files for byte-for-byte comparison, and checks that are counted instead of
stopping at the first failure.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sanitizer import report_in  # noqa: E402

CLI = sys.argv[1]
failures = []


def run(*args, expect_ok=True):
    """Runs `tryster-cli ARGS`; raises when it fails unless `expect_ok` is
    false, and always when a sanitizer reported something (an expected
    failure must be the tool's own)."""
    result = subprocess.run([CLI, *args], capture_output=True)
    report = report_in(result.stderr)
    if report:
        raise AssertionError("%s: %s" % (" ".join(args), report))
    if expect_ok and result.returncode != 0:
        raise AssertionError("%s failed: %s" % (" ".join(args), result.stderr.decode()))
    return result


def tree(folder, leave_out=()):
    """Every file under the folder (relative path) and its bytes, but those
    named in `leave_out`."""
    out = {}
    for root, _, files in os.walk(folder):
        for name in files:
            rel = os.path.relpath(os.path.join(root, name), folder)
            if rel not in leave_out:
                with open(os.path.join(folder, rel), "rb") as f:
                    out[rel] = f.read()
    return out


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def finish():
    """Prints the outcome and returns the script's exit status."""
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all checks passed")
    return 0
