"""Writes the manual page of tryster-cli from the tool's own help: the
top-level help, then one section per subcommand (and per subcommand of
those), each with its description, usage and options as the tool prints
them. Run by the build, so the page always matches the tool.

    make-manpage.py TRYSTER-CLI VERSION OUTPUT.1.gz
"""

import gzip
import os
import re
import subprocess
import sys

# A subcommand line of CLI11's help: two spaces, the name, then its
# description after a gap (or on the next lines).
SUBCOMMAND = re.compile(r"^  ([A-Za-z0-9][\w-]*)(\s{2,}.*)?$")


def help_text(cli, path):
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
    result = subprocess.run([cli, *path, "--help"], capture_output=True, text=True, env=env)
    if result.returncode != 0:
        sys.exit("make-manpage: %s --help failed: %s" % (" ".join(path) or "tryster-cli", result.stderr))
    return result.stdout


def split_help(text):
    """(description, rest from the usage line on, subcommand names)."""
    lines = text.rstrip("\n").split("\n")
    usage = next((i for i, line in enumerate(lines) if line.startswith("Usage:")), 0)
    description = " ".join(line.strip() for line in lines[:usage] if line.strip())
    names, in_subcommands = [], False
    for line in lines[usage:]:
        if line.endswith(":") and not line.startswith(" "):
            in_subcommands = line == "Subcommands:"
            continue
        match = SUBCOMMAND.match(line) if in_subcommands else None
        if match:
            names.append(match.group(1))
    return description, lines[usage:], names


def roff_text(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text.startswith((".", "'")) else text


def verbatim(lines):
    return [".nf"] + [roff_text(line) for line in lines] + [".fi"]


def command_sections(cli, path, out):
    description, rest, names = split_help(help_text(cli, path))
    out.append('.SS "%s"' % roff_text(" ".join(["tryster-cli", *path])))
    if description:
        out.append(roff_text(description))
    out.append(".PP")
    out.extend(verbatim(rest))
    for name in names:
        command_sections(cli, [*path, name], out)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    cli, version, output = sys.argv[1:]
    description, rest, names = split_help(help_text(cli, []))
    if not names:
        sys.exit("make-manpage: the help lists no subcommands")
    page = [
        '.TH TRYSTER\\-CLI 1 "" "Tryster %s" "User Commands"' % version,
        ".SH NAME",
        "tryster\\-cli \\- the command\\-line tool of Tryster",
        ".SH SYNOPSIS",
        ".B tryster\\-cli",
        "\\fISUBCOMMAND\\fR [\\fIOPTIONS\\fR] [\\fIARGUMENTS\\fR]",
        ".SH DESCRIPTION",
        roff_text(description),
        ".PP",
        "Each subcommand below prints the same help with \\fB\\-\\-help\\fR. Failures print a message "
        "on standard error and end with exit status 1: the file, what was expected of it, what was found, then "
        "the library's code. With \\fB\\-\\-json\\fR the failure also comes as an \\fBerror\\fR object on "
        "standard output. A damaged container is read as far as it goes, with a warning; when nothing of it can "
        "be read, that is a failure.",
        ".SH OPTIONS",
        *verbatim(rest),
        ".SH SUBCOMMANDS",
    ]
    for name in names:
        command_sections(cli, [name], page)
    data = ("\n".join(page) + "\n").encode()
    # No name or time in the header, so the same help gives the same bytes.
    with open(output, "wb") as raw, gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=0) as packed:
        packed.write(data)


main()
