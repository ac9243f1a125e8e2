"""Container files of the game written and read from the format description
alone (no code of the program): the 2.x layout with and without its resource
map, and the 1.0 layout with its name list.

All numbers in file and chunk headers are big-endian; the map and the name
list are records whose fields are little-endian.
"""

import struct

SIGNATURE = b":TYPE FOLLOWED BY SIZE\0 WYNNE ARLEKAMP & ORVEL 1"
HEADER_10 = b"IFF FILE 1.0:TYPE FOLLOWED BY SIZE\0 WYNNE ARLEKAMP & ORVEL 1996\0"
FREE = 0x0004
INTERNAL = 0x0008
NATIVE = 0x0010


class Resource:
    def __init__(self, rtype, rid, data, name="", native=False, variant=0):
        self.type = rtype          # four bytes
        self.id = rid
        self.data = data
        self.name = name
        self.native = native
        self.variant = variant

    @property
    def flags(self):
        return (NATIVE if self.native else 0) | (self.variant << 8)


def header_2x(minor, map_offset):
    return b"IFF FILE 2." + minor + SIGNATURE + struct.pack(">I", map_offset)


def chunk_2x(rtype, rid, flags, name, data):
    field = name.encode("latin-1").ljust(64, b"\0")
    return rtype + struct.pack(">IhH", 76 + len(data), rid, flags) + field + data


def free_2x(size):
    return chunk_2x(b"XXXX", 0, FREE, "", b"\xAA" * (size - 76))


def record(rtype, body, version=0):
    """A record: swap flag 0, zero, version and type in little-endian order."""
    return struct.pack("<HHI", 0, 0, version) + rtype[::-1] + body


def padded_name(out, name):
    out += name.encode("latin-1") + b"\0"
    if len(out) % 2:
        out += b"\0"


def map_body(free_bytes, types):
    """types: [(type, [(offset, id, flags, name), ...]), ...]"""
    out = bytearray(struct.pack("<II", free_bytes, len(types)))
    for rtype, entries in types:
        out += struct.pack("<I", int.from_bytes(rtype, "big")) + struct.pack("<I", len(entries))
        # The 12-byte frame comes first, so a position is odd in the body
        # exactly when it is odd in the record.
        for offset, rid, flags, name in entries:
            out += struct.pack("<IhH", offset, rid, flags)
            padded_name(out, name)
    return bytes(out)


def write_2x(path, resources, minor=b"5", with_map=True, junk_offset=0):
    """Chunks in the given order with a free chunk after the second; a 2.5
    file ends with its map, which the header points at."""
    body = bytearray()
    offset = 64
    listed = []        # (type, [(offset, id, flags, name)]) in order first met
    free_bytes = 0
    for index, res in enumerate(resources):
        chunk = chunk_2x(res.type, res.id, res.flags, res.name, res.data)
        for rtype, entries in listed:
            if rtype == res.type:
                entries.append((offset, res.id, res.flags, res.name))
                break
        else:
            listed.append((res.type, [(offset, res.id, res.flags, res.name)]))
        body += chunk
        offset += len(chunk)
        if index == 1:
            body += free_2x(300)
            offset += 300
            free_bytes += 300
    map_offset = 0
    if minor == b"5" and with_map:
        map_offset = offset
        body += chunk_2x(b"rsmp", 0, NATIVE, "", record(b"rsmp", map_body(free_bytes, listed)))
    elif minor == b"0":
        map_offset = junk_offset
    with open(path, "wb") as f:
        f.write(header_2x(minor, map_offset) + body)
    return listed


def strings_minus3(entries):
    """A string list in form -3, stored natively: -3, count, then per entry
    the language byte (language + 1), the text and a comment."""
    out = struct.pack("<hH", -3, len(entries))
    for language, text, comment in entries:
        out += bytes([language + 1]) + text.encode("latin-1") + b"\0" + comment.encode("latin-1") + b"\0"
    return out


def strings_pascal_big_endian(texts):
    """Form n >= 1 as stored without the native flag: the first word
    big-endian, then each string as a length byte and its characters."""
    out = struct.pack(">h", len(texts))
    for text in texts:
        out += bytes([len(text)]) + text
    return out


def chunk_10(rtype, rid, flags, key, data):
    return rtype + struct.pack(">IhHI", 16 + len(data), rid, flags, key) + data


def write_10(path, resources):
    """The name list (record form, id 1) first, then the resources; named
    resources take keys 1, 2, ..."""
    pairs = []
    chunks = bytearray()
    for res in resources:
        key = 0xFFFFFFFF
        if res.name:
            key = len(pairs) + 1
            pairs.append((key, res.name))
        chunks += chunk_10(res.type, res.id, NATIVE if res.native else 0, key, res.data)
    names = bytearray(struct.pack("<I", len(pairs)))
    for key, name in pairs:
        names += struct.pack("<i", key)
        padded_name(names, name)
    # The name-list body starts after the 12-byte frame: even, like the body.
    name_list = chunk_10(b"NAME", 1, INTERNAL | NATIVE, 0xFFFFFFFF, record(b"NAME", bytes(names)))
    with open(path, "wb") as f:
        f.write(HEADER_10 + name_list + chunks)


# Reading, to check what the program writes.

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


def parse_map(payload):
    """The map record: (free bytes, [(type, [(offset, id, flags, name)])])."""
    swap, zero, version = struct.unpack("<HHI", payload[:8])
    if swap != 0 or payload[8:12] != b"pmsr":
        raise ValueError("not a map record")
    pos = 12
    free_bytes, count = struct.unpack("<II", payload[pos:pos + 8])
    pos += 8
    types = []
    for _ in range(count):
        code, n = struct.unpack("<II", payload[pos:pos + 8])
        pos += 8
        entries = []
        for _ in range(n):
            offset, rid, flags = struct.unpack("<IhH", payload[pos:pos + 8])
            pos += 8
            end = payload.index(b"\0", pos)
            name = payload[pos:end].decode("latin-1")
            pos = end + 1
            if pos % 2:
                pos += 1
            entries.append((offset, rid, flags, name))
        types.append((code.to_bytes(4, "big"), entries))
    if pos != len(payload):
        raise ValueError("map longer than its entries")
    return free_bytes, types


def parse_name_list(payload):
    swap, zero, version = struct.unpack("<HHI", payload[:8])
    if payload[8:12] != b"EMAN":
        raise ValueError("not a name list record")
    count = struct.unpack("<I", payload[12:16])[0]
    pos = 16
    pairs = {}
    for _ in range(count):
        key = struct.unpack("<i", payload[pos:pos + 4])[0]
        pos += 4
        end = payload.index(b"\0", pos)
        pairs[key] = payload[pos:end].decode("latin-1")
        pos = end + 1
        if pos % 2:
            pos += 1
    return pairs
