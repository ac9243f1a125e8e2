#!/usr/bin/env python3
"""Checks `tryster-cli anim pose` and `anim skin` against a computation of
its own.

Writes a small game folder straight from the file formats' description (a
text character file with hand-made layout, text meshes, a binary character
file, a compressed and a raw frame file), asks the tool to pose and skin a
character in it, and works out the same poses here from the formulas:
bone linking by parent name, the frame decoder, playback with its loop
modes and fading, forward kinematics, bounds and skinning.

Usage: pose_check.py TRYSTER_CLI
Standard library only.
"""

import json
import math
import os
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
from sanitizer import report_in  # noqa: E402


def f32(x):
    """x rounded to single precision, as the program stores it."""
    return struct.unpack('<f', struct.pack('<f', x))[0]


# ---------------------------------------------------------------------------
# Quaternions (x, y, z, w), Hamilton product.

def qmul(a, b):
    ax, ay, az, aw = a
    bx, by, bz, bw = b
    return (aw * bx + ax * bw + ay * bz - az * by,
            aw * by - ax * bz + ay * bw + az * bx,
            aw * bz + ax * by - ay * bx + az * bw,
            aw * bw - ax * bx - ay * by - az * bz)


def conj(q):
    return (-q[0], -q[1], -q[2], q[3])


def rotate(q, v):
    r = qmul(qmul(q, (v[0], v[1], v[2], 0.0)), conj(q))
    return r[:3]


def row_matrix(q):
    """v·M turns v as q does: the textbook matrix of (x, y, z, -w)."""
    x, y, z, w = q[0], q[1], q[2], -q[3]
    return [[1 - 2 * y * y - 2 * z * z, 2 * x * y - 2 * w * z, 2 * x * z + 2 * w * y],
            [2 * x * y + 2 * w * z, 1 - 2 * x * x - 2 * z * z, 2 * y * z - 2 * w * x],
            [2 * x * z - 2 * w * y, 2 * y * z + 2 * w * x, 1 - 2 * x * x - 2 * y * y]]


def apply(v, m, p=(0.0, 0.0, 0.0)):
    return tuple(v[0] * m[0][j] + v[1] * m[1][j] + v[2] * m[2][j] + p[j] for j in range(3))


def about(axis, angle):
    s = math.sin(angle / 2)
    return (f32(axis[0] * s), f32(axis[1] * s), f32(axis[2] * s), f32(math.cos(angle / 2)))


def lerp_rotation(q0, u, q1):
    """q0 weighted u, q1 weighted 1 - u, along the shorter arc, normalised."""
    w1 = 1 - u
    if sum(a * b for a, b in zip(q0, q1)) < 0:
        w1 = -w1
    r = tuple(u * a + w1 * b for a, b in zip(q0, q1))
    n = math.sqrt(sum(c * c for c in r))
    return tuple(c / n for c in r) if n > 0 else (0.0, 0.0, 0.0, 1.0)


# ---------------------------------------------------------------------------
# The assets.

# name, parent name, translation, rotation, can-blend
BONES = [
    ('ROOT', 'NULL', (0.0, 1.0, 0.0), (0.0, 0.0, 0.0, 1.0), 1),
    ('SPINE', 'ROOT', (0.0, 0.5, 0.0), about((1, 0, 0), 0.2), 1),
    ('HEAD', 'SPINE', (0.0, 0.6, 0.1), about((0, 1, 0), 0.3), 1),
    ('ARM', 'SPINE', (0.3, 0.4, 0.0), about((0, 0, 1), -0.5), 0),
    ('TAIL', 'GHOST', (0.0, 0.2, -0.4), about((0, 1, 0), 1.0), 1),
]

# The compressed translation pool (16 entries: ROOT's 8 frames, then
# ARM's), component-major, as decoder operations: a float, a delta byte,
# or a repeat entry yielding n + 1 values.
WAVE_TRANSLATION_OPS = (
    [('float', 0.0), ('repeat', 5), ('float', 0.125)]          # x: ROOT 0 x7, 0.125
    + [('float', 0.3)] + [('delta', 150)] * 7                  # x: ARM, creeping
    + [('delta', 200)] + [('delta', 180)] * 3 + [('delta', 60)] * 4  # y: ROOT, carried on from ARM's x
    + [('float', 0.4), ('repeat', 5), ('delta', 252)]          # y: ARM
    + [('float', 0.0), ('repeat', 14)]                         # z: all 0
)
WAVE_FRAMES = 8


def wave_rotations():
    spine = [about((1, 0, 0), 0.1 * f) for f in range(WAVE_FRAMES)]
    arm = [about((0, 0, 1), -0.5 + 0.15 * f) for f in range(WAVE_FRAMES)]
    return spine + arm


# Outfit "body": two parts. Vertices are (position, normal).
BODY_MESH = {
    'name': 'xskin-body-BODY', 'texture': 'tex-light',
    'bones': ['SPINE', 'ARM'],
    'faces': [(0, 1, 2), (0, 2, 3), (3, 4, 5), (0, 1, 99)],
    # bone, first rigid, rigid count, first blended, blended count
    'bindings': [(0, 0, 4, 1, 1), (1, 4, 2, 0, 1)],
    'uv': [(0, 0), (1, 0), (1, 1), (0, 1), (0.5, 0.5), (0.5, 1)],
    # (vertex, weight)
    'blends': [(3, 16384), (5, 8000)],
    'vertices': [((-0.2, 0.0, 0.1), (0, 0, 1)), ((0.2, 0.0, 0.1), (0, 0, 1)),
                 ((0.2, 0.5, 0.1), (0, 0, 1)), ((-0.2, 0.5, 0.1), (0, 0.6, 0.8)),
                 ((0.0, 0.0, 0.05), (1, 0, 0)), ((0.0, -0.3, 0.05), (1, 0, 0)),
                 ((0.0, 0.05, 0.0), (0, 1, 0)), ((0.1, 0.5, 0.1), (0, 0, 1))],
}
HEAD_MESH = {
    'name': 'xskin-head-HEAD', 'texture': 'tex-head',
    'bones': ['HEAD'],
    'faces': [(0, 1, 2), (0, 2, 3)],
    'bindings': [(0, 0, 4, 0, 0)],
    'uv': [(0, 0), (1, 0), (1, 1), (0, 1)],
    'blends': [],
    'vertices': [((-0.1, 0.0, 0.0), (0, 0, -1)), ((0.1, 0.0, 0.0), (0, 0, -1)),
                 ((0.1, 0.2, 0.0), (0, 0, -1)), ((-0.1, 0.2, 0.0), (0, 0, -1))],
}


# ---------------------------------------------------------------------------
# The frame decoder.

K = f32(1.0 / 252.0)
DELTA = [f32(math.copysign(1.0, s) * s ** 4 * 0.1 if s != 0 else 0.0)
         for s in (2.0 * b * K - 1.0 for b in range(253))] + [0.0]


def cfp_bytes(ops):
    out = bytearray()
    for kind, value in ops:
        if kind == 'float':
            out += bytes([255]) + struct.pack('<f', value)
        elif kind == 'delta':
            out.append(value)
        else:
            out += bytes([254]) + struct.pack('<H', value)
    return bytes(out)


def cfp_decode_pool(data, pos, count, components):
    v, r = 0.0, 0
    out = [[0.0] * components for _ in range(count)]
    for c in range(components):
        for i in range(count):
            if r > 0:
                r -= 1
            else:
                b = data[pos]
                pos += 1
                if b == 255:
                    v = struct.unpack_from('<f', data, pos)[0]
                    pos += 4
                elif b == 254:
                    r = struct.unpack_from('<H', data, pos)[0]
                    pos += 2
                else:
                    v = f32(v + DELTA[b])
            out[i][c] = v
    return [tuple(e) for e in out], pos


# ---------------------------------------------------------------------------
# Writing the files.

def cmx_text():
    """A text character file laid out by hand: CRLF line ends, blank lines,
    numbers sharing lines, quaternions with and without bars."""
    lines = ['// a character file written by the checker', 'version whatever', '1', '', 'adult',
             str(len(BONES))]
    for i, (name, parent, t, q, blend) in enumerate(BONES):
        lines += [name, parent]
        if name == 'HEAD':
            lines += ['1', '2', 'colour', 'red', 'colour', 'pale']
        else:
            lines.append('0')
        lines.append('| %r %r %r |' % t)
        quat = '%r %r %r %r' % q
        lines.append('|%s|' % quat if i % 2 else quat)
        lines.append('1 1 %d 0 0' % blend)
    lines += ['1', 'Body', '0', '0', '2',
              'SPINE', BODY_MESH['name'], '1', '0',
              'HEAD', HEAD_MESH['name'], '2', '1', '1', 'hat', 'none']
    tracks = [('ROOT', 1, 0, 0, 0), ('SPINE', 0, 1, 0, 0), ('ARM', 1, 1, 8, 8), ('NOSE', 1, 1, 0, 0)]
    lines += ['1', 'wave', 'wave', '1000', '0', '0', '16', '16', str(len(tracks))]
    for bone, has_t, has_r, t_off, r_off in tracks:
        lines += [bone, str(WAVE_FRAMES), '1000', str(has_t), str(has_r), str(t_off), str(r_off), '0']
        if bone == 'ARM':
            lines += ['1', '1', '500', '1', 'sound', 'wave.wav']
        else:
            lines.append('0')
    return '\r\n'.join(lines) + '\r\n'


def bstring(s):
    b = s.encode()
    return (bytes([len(b)]) if len(b) < 255 else bytes([255]) + struct.pack('<I', len(b))) + b


def bcf_nod():
    """A binary character file: one animation, "nod", 4 frames of HEAD."""
    out = struct.pack('<I', 0) + struct.pack('<I', 0) + struct.pack('<I', 1)
    out += bstring('nod') + bstring('nod') + struct.pack('<ffIII', 400.0, 0.0, 0, 0, 4)
    out += struct.pack('<I', 1) + bstring('HEAD') + struct.pack('<IfIIII', 4, 400.0, 0, 1, 0, 0)
    out += struct.pack('<I', 0) + struct.pack('<I', 0)
    return out


NOD_ROTATIONS = [about((1, 0, 0), -0.2 * f) for f in range(4)]


def skn_text(mesh):
    lines = [mesh['name'], mesh['texture'], str(len(mesh['bones']))] + mesh['bones']
    lines.append(str(len(mesh['faces'])))
    lines += ['%d %d %d' % f for f in mesh['faces']]
    lines.append(str(len(mesh['bindings'])))
    lines += [' '.join(str(v) for v in b) for b in mesh['bindings']]
    lines.append(str(len(mesh['uv'])))
    lines += ['%r %r' % uv for uv in mesh['uv']]
    lines.append(str(len(mesh['blends'])))
    lines += ['%d %d' % b for b in mesh['blends']]
    lines.append(str(len(mesh['vertices'])))
    lines += ['%r %r %r %r %r %r' % (p + n) for p, n in mesh['vertices']]
    return '\n'.join(lines) + '\n'


def write_game(root):
    def put(path, data):
        full = os.path.join(root, *path.split('/'))
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, 'wb') as f:
            f.write(data if isinstance(data, bytes) else data.encode())

    put('GameData/cmx/people.cmx', cmx_text())
    translations_bytes = cfp_bytes(WAVE_TRANSLATION_OPS)
    rotations = wave_rotations()
    rotation_ops = []
    for c in range(4):
        for q in rotations:
            rotation_ops.append(('float', q[c]))
    put('GameData/cmx/wave.cfp', translations_bytes + cfp_bytes(rotation_ops))
    put('GameData/cmx2/nod.bcf', bcf_nod())
    put('GameData/cmx2/nod.bin', b''.join(struct.pack('<4f', *q) for q in NOD_ROTATIONS))
    put('GameData/Skins/%s.skn' % BODY_MESH['name'], skn_text(BODY_MESH))
    put('GameData/Skins/%s.skn' % HEAD_MESH['name'], skn_text(HEAD_MESH))
    data = cfp_bytes(WAVE_TRANSLATION_OPS) + cfp_bytes(rotation_ops)
    t, pos = cfp_decode_pool(data, 0, 16, 3)
    q, pos = cfp_decode_pool(data, pos, 16, 4)
    assert pos == len(data)
    return t, q


# ---------------------------------------------------------------------------
# The skeleton, linked by parent name.

class Skeleton:
    def __init__(self, bones):
        self.names = []
        self.parent, self.child, self.sibling = [], [], []
        self.root = -1
        self.t, self.q, self.blend = [], [], []
        for name, parent_name, t, q, blend in bones:
            i = len(self.names)
            parent = self.find(parent_name) if self.root >= 0 and parent_name else -1
            self.names.append(name)
            self.parent.append(-1)
            self.child.append(-1)
            self.sibling.append(-1)
            self.t.append(tuple(f32(c) for c in t))
            self.q.append(tuple(f32(c) for c in q))
            self.blend.append(blend)
            if self.root < 0:
                self.root = i
            elif parent >= 0:
                self.parent[i] = parent
                self.sibling[i] = self.child[parent]
                self.child[parent] = i
            else:
                self.sibling[i] = self.root
                self.root = i

    def find(self, name, start=None):
        """Depth first: a bone, its first child's subtree, its next sibling."""
        stack = [self.root if start is None else start]
        while stack:
            i = stack.pop()
            if i < 0:
                continue
            if self.names[i] == name:
                return i
            stack.append(self.sibling[i])
            stack.append(self.child[i])
        return -1

    def world(self):
        pos, rot = {}, {}

        def visit(i, parent_pos, parent_rot):
            while i >= 0:
                rot[i] = qmul(parent_rot, conj(self.q[i]))
                pos[i] = tuple(a + b for a, b in zip(parent_pos, rotate(parent_rot, self.t[i])))
                visit(self.child[i], pos[i], rot[i])
                i = self.sibling[i]

        visit(self.root, (0.0, 0.0, 0.0), (0.0, 0.0, 0.0, 1.0))
        return pos, rot


# ---------------------------------------------------------------------------
# Playback, as the description gives it.

class Playback:
    def __init__(self, skeleton, tracks, duration, translations, rotations, speed, weight, loop):
        self.s = skeleton
        self.bindings = [(skeleton.find(b), t) for b, t in tracks if skeleton.find(b) >= 0]
        self.frames = tracks[0][1]['frames']
        self.duration = f32(duration)
        self.pool_t, self.pool_q = translations, rotations
        self.speed, self.weight, self.loop = f32(speed), f32(weight), loop
        self.scaled = f32(self.duration / abs(self.speed)) if abs(self.speed) > 1e-6 else 0.0
        self.time = 0
        self.phase = 0.0
        self.reached_end = False
        self.fading = False
        self.fade_start, self.fade_duration, self.fade_from, self.fade_to = 0, 500, 1.0, 0.0

    def update(self, t):
        dt = f32(t - self.time)
        self.time = t
        if abs(self.speed) > 1e-6:
            inc = f32(dt / self.scaled)
            self.phase = f32(self.phase + (-inc if self.speed < 0 else inc))
        if abs(dt) > 1e-6:
            at_end = self.phase >= 1.0 if self.speed >= 0 else self.phase <= 0.0
            self.reached_end = at_end
            if at_end:
                self.end(t)
        if self.fading:
            e = t - self.fade_start
            if e <= self.fade_duration:
                f = min(max(e / self.fade_duration, 0.0), 1.0)
                self.weight = f32(self.fade_from + f32((self.fade_to - self.fade_from) * f32(f)))
            else:
                self.fading = False
                self.weight = self.fade_to
        if self.weight <= 0:
            return
        pos = f32(self.frames * self.phase)
        f0 = min(max(math.floor(pos), 0), self.frames - 1)
        interpolate = dt < f32(f32(2 * self.scaled) / self.frames)
        f1, tau = f0, 0.0
        if interpolate:
            f1 = f0 + 1
            if f1 >= self.frames:
                f1 = 0 if self.loop == 'loop' else f0
            tau = f32(f32(pos - f0) / 1)
        for bone, track in self.bindings:
            replace = self.weight >= 1 or self.s.blend[bone] == 0
            if track['has_t']:
                a = self.pool_t[track['t'] + f0]
                b = self.pool_t[track['t'] + f1]
                sample = tuple((1 - tau) * x + tau * y for x, y in zip(a, b)) if interpolate else a
                cur = self.s.t[bone]
                self.s.t[bone] = sample if replace else tuple(
                    (1 - self.weight) * c + self.weight * x for c, x in zip(cur, sample))
            if track['has_r']:
                a = self.pool_q[track['r'] + f0]
                b = self.pool_q[track['r'] + f1]
                sample = lerp_rotation(a, 1 - tau, b) if interpolate else a
                self.s.q[bone] = sample if replace else lerp_rotation(sample, self.weight, self.s.q[bone])

    def end(self, t):
        if self.loop == 'hold':
            self.speed, self.scaled = 0.0, 1e8
            self.phase = min(max(self.phase, 0.0), 1.0)
        elif self.loop == 'loop':
            if self.phase < 0 or self.phase > 1:
                self.phase = f32(self.phase - math.floor(self.phase))
        elif self.loop == 'pingpong':
            self.speed = -self.speed
            if self.phase < 0 or self.phase > 1:
                self.phase = f32(1 - f32(self.phase - math.floor(self.phase)))
        else:  # fadeout: the fade starts once
            if not self.fading:
                self.fade_start, self.fading = t, True
                self.fade_from, self.fade_to = self.weight, 0.0
            self.speed, self.scaled = 0.0, 0.0
            self.phase = min(max(self.phase, 0.0), 1.0)


# ---------------------------------------------------------------------------
# Bounds and skinning.

def box_extend(box, p):
    lo, hi = box
    return (tuple(min(a, b) for a, b in zip(lo, p)), tuple(max(a, b) for a, b in zip(hi, p)))


EMPTY = ((1e38,) * 3, (-1e38,) * 3)


def skin(mesh, skeleton, pos, rot):
    """The deformed render vertices (position, normal) of a worn mesh."""
    rigid = len(mesh['uv'])
    verts = mesh['vertices']
    out = [list(v) for v in verts]
    for bone_index, first, count, bfirst, bcount in mesh['bindings']:
        b = skeleton.find(mesh['bones'][bone_index])
        m = row_matrix(rot[b])
        for i in list(range(first, first + count)) + list(range(rigid + bfirst, rigid + bfirst + bcount)):
            out[i] = [apply(verts[i][0], m, pos[b]), apply(verts[i][1], m)]
    for k, (vertex, weight) in enumerate(mesh['blends']):
        blended = out[rigid + k]
        if weight >= 32768:
            out[vertex] = list(blended)
        elif weight > 0:
            r = out[vertex]
            p = tuple(((32768 - weight) * a + weight * c) / 32768 for a, c in zip(r[0], blended[0]))
            n = tuple(((32768 - weight) * a + weight * c) / 32768 for a, c in zip(r[1], blended[1]))
            length = math.sqrt(sum(c * c for c in n))
            out[vertex] = [p, tuple(c / length for c in n) if length > 0 else n]
    return out


def bounds(meshes, skeleton, pos, rot):
    local = {}
    for mesh in meshes:
        for bone_index, first, count, _, _ in mesh['bindings']:
            b = skeleton.find(mesh['bones'][bone_index])
            for i in range(first, first + count):
                local[b] = box_extend(local.get(b, EMPTY), mesh['vertices'][i][0])
    total = EMPTY
    for mesh in meshes:
        for bone_index, _, _, _, _ in mesh['bindings']:
            b = skeleton.find(mesh['bones'][bone_index])
            lo, hi = local.get(b, EMPTY)
            if not lo[0] < 1e6:
                continue
            m = row_matrix(rot[b])
            for c in range(8):
                corner = (hi[0] if c & 1 else lo[0], hi[1] if c & 2 else lo[1], hi[2] if c & 4 else lo[2])
                total = box_extend(total, apply(corner, m, pos[b]))
    return total if total[0][0] <= total[1][0] else ((0.0,) * 3, (0.0,) * 3)


# ---------------------------------------------------------------------------
# Running and comparing.

FAILURES = []


def close(a, b, what, tolerance=2e-4):
    if isinstance(a, (list, tuple)):
        if len(a) != len(b):
            FAILURES.append('%s: %d values, expected %d' % (what, len(a), len(b)))
            return
        for i, (x, y) in enumerate(zip(a, b)):
            close(x, y, '%s[%d]' % (what, i), tolerance)
    elif abs(a - b) > tolerance * max(1.0, abs(b)):
        FAILURES.append('%s: %r, expected %r' % (what, a, b))


def run_tool(cli, game, command, args):
    result = subprocess.run([cli, 'anim', command, '--game', game, '--json'] + args,
                            capture_output=True, text=True)
    if report_in(result.stderr.encode()):
        FAILURES.append('%s %s: %s' % (command, ' '.join(args), report_in(result.stderr.encode())))
        return None
    if result.returncode != 0:
        FAILURES.append('%s %s failed: %s' % (command, ' '.join(args), result.stderr.strip()))
        return None
    return json.loads(result.stdout)


def animation_setup(name, pools):
    translations, rotations = pools
    if name == 'wave':
        tracks = [('ROOT', {'frames': 8, 'has_t': 1, 'has_r': 0, 't': 0, 'r': 0}),
                  ('SPINE', {'frames': 8, 'has_t': 0, 'has_r': 1, 't': 0, 'r': 0}),
                  ('ARM', {'frames': 8, 'has_t': 1, 'has_r': 1, 't': 8, 'r': 8}),
                  ('NOSE', {'frames': 8, 'has_t': 1, 'has_r': 1, 't': 0, 'r': 0})]
        return tracks, 1000, translations, rotations
    return [('HEAD', {'frames': 4, 'has_t': 0, 'has_r': 1, 't': 0, 'r': 0})], 400, [], NOD_ROTATIONS


SCENARIOS = [
    # animation, loop, speed, weight, times, dressed
    ('wave', 'loop', 1.0, 1.0, [0, 40, 100, 220, 500, 999, 1000, 1130, 2500, 2560], True),
    ('wave', 'hold', 1.0, 1.0, [0, 300, 1200, 1300], False),
    ('wave', 'pingpong', 1.5, 1.0, [0, 100, 700, 760, 900, 1600], False),
    ('wave', 'fadeout', 1.0, 0.75, [0, 500, 1000, 1100, 1250, 1500, 1600, 2000], True),
    ('nod', 'loop', -0.5, 1.0, [0, 100, 350, 900, 930], False),
    (None, 'loop', 1.0, 1.0, [0, 100], True),
]


def check(cli, game, pools):
    for anim, loop, speed, weight, times, dressed in SCENARIOS:
        label = '%s/%s/%s/%s' % (anim, loop, speed, weight)
        args = ['--skeleton', 'adult', '--times', ','.join(str(t) for t in times)]
        if dressed:
            args += ['--outfit', 'Body', '--override', 'BODY=tex-dark']
        if anim:
            args += ['--anim', anim, '--loop', loop, '--speed', repr(speed), '--weight', repr(weight)]
        posed = run_tool(cli, game, 'pose', args)
        skinned = run_tool(cli, game, 'skin', args) if dressed else None
        if posed is None or (dressed and skinned is None):
            continue

        skeleton = Skeleton(BONES)
        playback = None
        if anim:
            tracks, duration, t_pool, q_pool = animation_setup(anim, pools)
            playback = Playback(skeleton, tracks, duration, t_pool, q_pool, speed, weight, loop)
        meshes = [BODY_MESH, HEAD_MESH] if dressed else []
        for n, t in enumerate(times):
            if playback:
                playback.update(t)
            pos, rot = skeleton.world()
            frame = posed[n]
            where = '%s at %d ms' % (label, t)
            if frame['time'] != t:
                FAILURES.append('%s: time %r' % (where, frame['time']))
            if playback:
                close(frame['phase'], playback.phase, where + ' phase', 1e-6)
                if frame['reachedEnd'] != playback.reached_end:
                    FAILURES.append('%s: reachedEnd %r' % (where, frame['reachedEnd']))
            elif frame['phase'] is not None:
                FAILURES.append('%s: a phase without an animation' % where)
            lo, hi = bounds(meshes, skeleton, pos, rot)
            close(frame['bounds']['min'], lo, where + ' bounds min')
            close(frame['bounds']['max'], hi, where + ' bounds max')
            names = [b['name'] for b in frame['bones']]
            if names != [name for name, *_ in BONES]:
                FAILURES.append('%s: bones %r' % (where, names))
                continue
            for i, bone in enumerate(frame['bones']):
                parent = skeleton.parent[i]
                expected_parent = skeleton.names[parent] if parent >= 0 else None
                if bone['parent'] != expected_parent:
                    FAILURES.append('%s: %s parent %r' % (where, bone['name'], bone['parent']))
                close(bone['position'], pos[i], '%s %s position' % (where, bone['name']))
                close(bone['rotation'], rot[i], '%s %s rotation' % (where, bone['name']))
            if not dressed:
                continue
            parts = skinned[n]['parts']
            expected = [('body', BODY_MESH, 'tex-dark'), ('body', HEAD_MESH, 'tex-head')]
            if len(parts) != len(expected):
                FAILURES.append('%s: %d parts worn' % (where, len(parts)))
                continue
            for part, (outfit, mesh, texture) in zip(parts, expected):
                if (part['outfit'], part['mesh'], part['texture']) != (outfit, mesh['name'], texture):
                    FAILURES.append('%s: part %r' % (where, part))
                vertices = skin(mesh, skeleton, pos, rot)
                got = [(v['position'], v['normal']) for v in part['vertices']]
                close([p for p, _ in got], [p for p, _ in vertices], '%s %s positions' % (where, mesh['name']))
                close([n for _, n in got], [n for _, n in vertices], '%s %s normals' % (where, mesh['name']))


def check_convert(cli, game):
    """Text and binary files convert both ways without change; what cannot
    be converted is refused and nothing is written."""
    def convert(src, dst):
        return subprocess.run([cli, 'anim', 'convert', src, dst], capture_output=True, text=True)

    def read(path):
        with open(path, 'rb') as f:
            return f.read()

    work = os.path.join(game, 'converted')
    os.makedirs(work)
    for text, binary in (('GameData/cmx/people.cmx', 'people.bcf'),
                         ('GameData/Skins/%s.skn' % BODY_MESH['name'], 'body.bmf')):
        ext = os.path.splitext(text)[1]
        steps = [(os.path.join(game, text), os.path.join(work, binary)),
                 (os.path.join(work, binary), os.path.join(work, 'again' + ext)),
                 (os.path.join(work, 'again' + ext), os.path.join(work, 'twice' + os.path.splitext(binary)[1]))]
        for src, dst in steps:
            result = convert(src, dst)
            if result.returncode != 0:
                FAILURES.append('convert %s: %s' % (src, result.stderr.strip()))
                return
        if read(steps[0][1]) != read(steps[2][1]):
            FAILURES.append('convert: %s changed on its way through text' % binary)
    damaged = os.path.join(work, 'damaged.bcf')
    with open(damaged, 'wb') as f:
        f.write(read(os.path.join(work, 'people.bcf'))[:-3])
    for src, dst, message in ((damaged, 'out.cmx', 'bad animation 1 of 1'),
                              (damaged, 'out.skn', 'cannot convert .bcf to .skn')):
        result = convert(src, os.path.join(work, dst))
        if (result.returncode != 1 or message not in result.stderr or report_in(result.stderr.encode())
                or os.path.exists(os.path.join(work, dst))):
            FAILURES.append('convert %s to %s: %r' % (src, dst, result.stderr))


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    cli = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix='tryster-pose-check-') as game:
        pools = write_game(game)
        frames = run_tool(cli, game, 'frames', ['--anim', 'wave'])
        if frames is not None:
            # Printed in their shortest form, so equal once rounded to floats.
            close(frames['translations'], pools[0], 'wave translations', 1e-7)
            close(frames['rotations'], pools[1], 'wave rotations', 1e-7)
        check(cli, game, pools)
        check_convert(cli, game)
    for f in FAILURES[:40]:
        print('MISMATCH', f)
    if FAILURES:
        print('%d mismatches' % len(FAILURES))
        return 1
    print('pose, skin and frames agree (%d scenarios)' % len(SCENARIOS))
    return 0


if __name__ == '__main__':
    sys.exit(main())
