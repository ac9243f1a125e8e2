"""Recognises a sanitizer's report in a program's error output, so that a
crash the sanitizers caught is never taken for the failure a test expects."""

import re

_REPORT = re.compile(rb"ERROR: (Address|Leak|Memory|Thread)Sanitizer|runtime error: |SUMMARY: \w+Sanitizer")


def report_in(stderr):
    """The first line of a sanitizer report in `stderr` (bytes), or None."""
    match = _REPORT.search(stderr)
    if not match:
        return None
    start = stderr.rfind(b"\n", 0, match.start()) + 1
    end = stderr.find(b"\n", match.end())
    return stderr[start:end if end >= 0 else len(stderr)].decode(errors="replace")
