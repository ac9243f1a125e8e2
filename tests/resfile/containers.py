"""Container files of the game read from the format description alone (no
code of the program), to check what the program writes: the header of the
2.x and 1.0 layouts and the walk over their chunks. All numbers in file and
chunk headers are big-endian.
"""

import struct

SIGNATURE = b":TYPE FOLLOWED BY SIZE\0 WYNNE ARLEKAMP & ORVEL 1"
HEADER_10 = b"IFF FILE 1.0:TYPE FOLLOWED BY SIZE\0 WYNNE ARLEKAMP & ORVEL 1996\0"


def read_header(data):
    if data[:64] == HEADER_10:
        return "1.0", 0
    if data[:9] != b"IFF FILE " or data[10:11] != b"." or data[12:60] != SIGNATURE:
        raise ValueError("not a container header")
    version = data[9:12].decode()
    offset = struct.unpack(">I", data[60:64])[0] if version == "2.5" else 0
    return version, offset


def walk(data, header_size):
    """Chunks from offset 64: (offset, type, size, id, flags, name or key, payload)."""
    pos = 64
    out = []
    while pos + header_size <= len(data):
        rtype, size, rid, flags = struct.unpack(">4sIhH", data[pos:pos + 12])
        if size < header_size or pos + size > len(data):
            raise ValueError("bad chunk at %d" % pos)
        if header_size == 76:
            tail = data[pos + 12:pos + 76].split(b"\0")[0].decode("latin-1")
        else:
            tail = struct.unpack(">I", data[pos + 12:pos + 16])[0]
        out.append((pos, rtype, size, rid, flags, tail, data[pos + header_size:pos + size]))
        pos += size
    if pos != len(data):
        raise ValueError("trailing bytes after the last chunk")
    return out


def string_list(payload):
    """A string list's form and texts (bytes): form -3 holds a language and
    a comment with each text, form -1 the text alone."""
    form, count = struct.unpack("<hH", payload[:4])
    pos, out = 4, []
    for _ in range(count):
        if form == -3:
            pos += 1  # the language, plus 1
        end = payload.index(b"\0", pos)
        out.append(payload[pos:end])
        pos = end + 1
        if form == -3:
            pos = payload.index(b"\0", pos) + 1  # the comment
    return form, out
