#!/usr/bin/env python3
"""Makes the raster benchmark's test figure: a humanoid of 16 ellipsoid
parts, written in the benchmark's mesh format (u32 vertex count, u32 index
count, 8 little-endian floats per vertex: x y z nx ny nz u v, then u16
indices), and a 256 x 256 24-bit BMP skin texture.

    make-humanoid.py DETAIL MESH_OUT [TEXTURE_OUT]

DETAIL 1 gives about 4 800 vertices and 7 700 triangles; DETAIL 2 about
four times as many. Front faces wind clockwise as seen from outside."""

import math
import struct
import sys

# (centre x, y, z), (radius x, y, z) in body units (about 1.8 tall).
PARTS = [
    ((0.0, 1.66, 0.0), (0.10, 0.12, 0.11)),    # head
    ((0.0, 1.51, 0.0), (0.05, 0.05, 0.05)),    # neck
    ((0.0, 1.25, 0.0), (0.19, 0.24, 0.11)),    # chest
    ((0.0, 0.96, 0.0), (0.16, 0.10, 0.10)),    # pelvis
    ((-0.25, 1.30, 0.0), (0.05, 0.16, 0.05)),  # upper arms
    ((0.25, 1.30, 0.0), (0.05, 0.16, 0.05)),
    ((-0.27, 1.00, 0.02), (0.04, 0.15, 0.04)),  # forearms
    ((0.27, 1.00, 0.02), (0.04, 0.15, 0.04)),
    ((-0.28, 0.80, 0.03), (0.03, 0.06, 0.04)),  # hands
    ((0.28, 0.80, 0.03), (0.03, 0.06, 0.04)),
    ((-0.09, 0.70, 0.0), (0.07, 0.22, 0.07)),  # thighs
    ((0.09, 0.70, 0.0), (0.07, 0.22, 0.07)),
    ((-0.09, 0.28, 0.0), (0.05, 0.22, 0.05)),  # shins
    ((0.09, 0.28, 0.0), (0.05, 0.22, 0.05)),
    ((-0.09, 0.03, 0.05), (0.05, 0.03, 0.10)),  # feet
    ((0.09, 0.03, 0.05), (0.05, 0.03, 0.10)),
]


def ellipsoid(centre, radius, rings, segments, vertices, indices):
    base = len(vertices)
    cx, cy, cz = centre
    rx, ry, rz = radius
    for r in range(rings + 1):
        theta = math.pi * r / rings
        for s in range(segments + 1):
            phi = 2 * math.pi * s / segments
            ux, uy, uz = math.sin(theta) * math.cos(phi), math.cos(theta), math.sin(theta) * math.sin(phi)
            nx, ny, nz = ux / rx, uy / ry, uz / rz
            n = math.sqrt(nx * nx + ny * ny + nz * nz)
            vertices.append((cx + rx * ux, cy + ry * uy, cz + rz * uz, nx / n, ny / n, nz / n,
                             s / segments, r / rings))

    def add(a, b, c):
        pa, pb, pc = vertices[a], vertices[b], vertices[c]
        e1 = [pb[i] - pa[i] for i in range(3)]
        e2 = [pc[i] - pa[i] for i in range(3)]
        n = (e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0])
        out = [pa[i] + pb[i] + pc[i] - 3 * centre[i] for i in range(3)]
        if sum(n[i] * out[i] for i in range(3)) < 0:
            b, c = c, b
        indices.extend((a, b, c))

    for r in range(rings):
        for s in range(segments):
            a = base + r * (segments + 1) + s
            b, c = a + 1, a + segments + 1
            d = c + 1
            if r > 0:
                add(a, b, c)
            if r < rings - 1:
                add(b, d, c)


def texture(path):
    size = 256
    rows = []
    for y in range(size - 1, -1, -1):  # bottom row first
        row = bytearray()
        for x in range(size):
            stripe = 1.0 if (x // 16 + y // 16) % 2 else 0.8
            shade = 0.85 + 0.15 * math.sin(x * 0.2) * math.sin(y * 0.15)
            r, g, b = (int(min(255, c * stripe * shade)) for c in (235, 190, 160))
            row += bytes((b, g, r))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    detail = int(sys.argv[1])
    rings, segments = (11, 24) if detail == 1 else (22, 46)
    vertices, indices = [], []
    for centre, radius in PARTS:
        ellipsoid(centre, radius, rings, segments, vertices, indices)
    assert len(vertices) <= 65536
    with open(sys.argv[2], "wb") as f:
        f.write(struct.pack("<II", len(vertices), len(indices)))
        for v in vertices:
            f.write(struct.pack("<8f", *v))
        f.write(struct.pack("<%dH" % len(indices), *indices))
    print("%s: %d vertices, %d triangles" % (sys.argv[2], len(vertices), len(indices) // 3))
    if len(sys.argv) > 3:
        texture(sys.argv[3])


if __name__ == "__main__":
    main()
