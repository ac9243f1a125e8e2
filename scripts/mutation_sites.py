"""Where a single change can be made in a C++ source file, for
scripts/mutation-sample. Standard library only.

A site is one place and one change: flip a comparison, move an integer
constant by one, negate the condition of an if or a while, drop a statement
that does something, swap && and ||, or return at the top of a function.
The finder reads the file through a mask that blanks comments, string and
character literals and preprocessor lines (keeping every offset), so nothing
inside them is ever changed. It is a lexical finder, not a compiler: a change
that does not build is counted as such by the runner.
"""

import re
import zlib
from dataclasses import dataclass

KINDS = ("comparison", "constant", "negation", "statement", "logic", "return")


@dataclass(frozen=True)
class Site:
    path: str    # relative to the repository
    start: int   # offset of the replaced text in the file
    end: int
    kind: str
    old: str
    new: str

    @property
    def key(self):
        return (self.path, self.start, self.end, self.kind, self.new)


def mask(text):
    """The text with comments, literals and preprocessor lines blanked."""
    out = list(text)
    n = len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    i = 0
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            j = i
            while True:  # a directive runs on over escaped line ends
                e = text.find("\n", j)
                if e < 0:
                    e = n
                    break
                if text[e - 1] != "\\":
                    break
                j = e + 1
            blank(i, e)
            i = e
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith("//", i):
            e = text.find("\n", i)
            e = n if e < 0 else e
            blank(i, e)
            i = e
        elif text.startswith("/*", i):
            e = text.find("*/", i + 2)
            e = n if e < 0 else e + 2
            blank(i, e)
            i = e
        elif c == '"':
            raw = re.search(r'(?:u8|[uUL])?R$', text[max(0, i - 3):i])
            if raw:
                d = text.find("(", i)
                delim = text[i + 1:d]
                e = text.find(")" + delim + '"', d)
                e = n if e < 0 else e + len(delim) + 2
            else:
                e = i + 1
                while e < n and text[e] != '"':
                    e += 2 if text[e] == "\\" else 1
                e += 1
            blank(i + 1, e - 1)
            i = e
        elif c == "'" and not (i > 0 and text[i - 1].isalnum() and _in_number(text, i)):
            e = i + 1
            while e < n and text[e] != "'":
                e += 2 if text[e] == "\\" else 1
            e += 1
            blank(i + 1, e - 1)
            i = e
        else:
            i += 1
    return "".join(out)


def _in_number(text, i):
    """True when the quote at i is a digit separator (1'000)."""
    j = i - 1
    while j >= 0 and (text[j].isalnum() or text[j] == "'"):
        j -= 1
    return text[j + 1].isdigit()


# Brace kinds: "ns" (namespace or extern block), "class" (class, struct or
# union body), "block" (a function body or a statement block), "init" (a
# braced initializer or an enum body).
_CLASS_HEAD = re.compile(r"\b(class|struct|union)\b")
_BLOCK_WORDS = {"else", "do", "try", "const", "noexcept", "override", "final", "mutable"}


def brace_contexts(masked):
    """For each `{` the kind of brace it opens, and for every offset the
    kinds enclosing it, as a list of (offset, stack) change points."""
    stack = []
    opens = {}
    changes = [(0, ())]
    boundary = 0
    for i, c in enumerate(masked):
        if c == "{":
            seg = masked[boundary:i]
            kind = _brace_kind(seg, stack)
            opens[i] = kind
            stack.append(kind)
            changes.append((i + 1, tuple(stack)))
            boundary = i + 1
        elif c == "}":
            if stack:
                stack.pop()
            changes.append((i + 1, tuple(stack)))
            boundary = i + 1
        elif c == ";":
            boundary = i + 1
    return opens, changes


def _brace_kind(seg, stack):
    if re.search(r"\bnamespace\b|\bextern\s*\"", seg):
        return "ns"
    if stack and stack[-1] == "init":
        return "init"
    stripped = seg.rstrip()
    if re.search(r"\benum\b", seg):
        return "init"
    if _CLASS_HEAD.search(seg) and "(" not in seg and "=" not in seg:
        return "class"
    if not stripped.strip():
        return "block"
    last = stripped[-1]
    word = re.search(r"(\w+)$", stripped)
    if last in "):":
        return "block"
    if word and word.group(1) in _BLOCK_WORDS:
        return "block"
    if re.search(r"\)\s*->\s*[\w:<>,\s\*&]+$", stripped):
        return "block"
    return "init"


def _stack_at(changes, offset):
    lo, hi = 0, len(changes) - 1
    while lo < hi:
        mid = (lo + hi + 1) // 2
        if changes[mid][0] <= offset:
            lo = mid
        else:
            hi = mid - 1
    return changes[lo][1]


def _choose(path, offset, options):
    """A fixed choice for the place, the same in every run."""
    return options[zlib.crc32(f"{path}:{offset}".encode()) % len(options)]


_COMPARISON = re.compile(r"(?<= )(<=|>=|==|!=|<|>)(?= )")
_FLIP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
_INTEGER = re.compile(r"(?<![\w.'])(0[xX][0-9A-Fa-f']+|\d[\d']*)([uUlL]*)(?![\w.'])")
_CONDITION = re.compile(r"\b(if|while)\s*\(")
_LOGIC = re.compile(r"(?<= )(&&|\|\|)(?= )")
_NOT_STATEMENT = re.compile(
    r"^(return|break|continue|goto|throw|if|for|while|switch|do|co_\w+|using|typedef|static_assert|case|default|else|"
    r"auto|const|constexpr|static|thread_local|unsigned|signed|int|bool|float|double|char|long|short|void|"
    r"std::u?int\d+_t|std::size_t|size_t|u?int\d+_t|struct|class|enum|template|friend|namespace)\b")
_DECLARATION = re.compile(r"^[A-Za-z_][\w:]*(<[^;=()]*>)?(\s*[\*&]+\s*|\s+)[A-Za-z_]\w*\s*(=|\{|\(|;|\[)")
_EFFECT = re.compile(r"(?<![=!<>])=(?!=)|\+\+|--|\(")
_PURE = re.compile(r"\)\s*(const\s*)?(noexcept\s*)?=\s*$")  # a pure virtual's "= 0"
_SKIP_LINE = re.compile(r"\b(static_assert|alignas|template)\b")


def find_sites(path, text):
    m = mask(text)
    opens, changes = brace_contexts(m)
    sites = []
    lines = _line_starts(m)

    def line_of(offset):
        lo, hi = 0, len(lines) - 1
        while lo < hi:
            mid = (lo + hi + 1) // 2
            if lines[mid] <= offset:
                lo = mid
            else:
                hi = mid - 1
        return lo

    def line_text(offset):
        k = line_of(offset)
        end = lines[k + 1] if k + 1 < len(lines) else len(m)
        return m[lines[k]:end]

    def in_code(offset):
        stack = _stack_at(changes, offset)
        return "block" in stack or "init" in stack

    def in_block(offset):
        stack = _stack_at(changes, offset)
        return bool(stack) and stack[-1] == "block"

    for mo in _COMPARISON.finditer(m):
        if _SKIP_LINE.search(line_text(mo.start())):
            continue
        op = mo.group(1)
        sites.append(Site(path, mo.start(), mo.end(), "comparison", op, _FLIP[op]))

    for mo in _INTEGER.finditer(m):
        if _SKIP_LINE.search(line_text(mo.start())) or _PURE.search(m[max(0, mo.start() - 40):mo.start()]):
            continue
        digits = mo.group(1).replace("'", "")
        value = int(digits, 16) if digits[:2].lower() == "0x" else int(digits, 8 if len(digits) > 1 and digits[0] == "0" else 10)
        step = 1 if value == 0 else -1 if value in (0xFFFFFFFF, 0xFFFFFFFFFFFFFFFF) else _choose(path, mo.start(), (1, -1))
        moved = value + step
        if digits[:2].lower() == "0x":
            new = digits[:2] + format(moved, "X" if any(ch.isupper() for ch in digits[2:]) else "x")
        else:
            new = str(moved)
        sites.append(Site(path, mo.start(), mo.start() + len(mo.group(1)), "constant", text[mo.start():mo.start() + len(mo.group(1))], new))

    for mo in _CONDITION.finditer(m):
        if not in_block(mo.start()):
            continue
        if re.search(r"\bconstexpr\s*$", m[max(0, mo.start() - 20):mo.start()]) or \
                re.match(r"if\s+constexpr", m[mo.start():mo.start() + 20]):
            continue
        open_at = mo.end() - 1
        close_at = _matching(m, open_at)
        if close_at is None:
            continue
        inner_start = open_at + 1
        semi = _last_top_level(m, inner_start, close_at, ";")
        if semi is not None:
            inner_start = semi + 1
        cond = m[inner_start:close_at]
        if re.search(r"(?<![=!<>])=(?!=)", cond) or not cond.strip():
            continue
        lead = len(cond) - len(cond.lstrip())
        a, b = inner_start + lead, close_at
        sites.append(Site(path, a, b, "negation", text[a:b], "!(" + text[a:b] + ")"))

    for k, start in enumerate(lines):
        end = lines[k + 1] if k + 1 < len(lines) else len(m)
        line = m[start:end]
        body = line.strip()
        if not body.endswith(";") or "{" in body or "}" in body or not in_block(start):
            continue
        if body.count("(") != body.count(")") or not re.match(r"[A-Za-z_\*\(]|\+\+|--", body):
            continue
        if _NOT_STATEMENT.match(body) or _DECLARATION.match(body) or not _EFFECT.search(body):
            continue
        if not _starts_statement(m, start):
            continue
        a = start + (len(line) - len(line.lstrip()))
        b = start + len(line.rstrip())
        sites.append(Site(path, a, b, "statement", text[a:b], "{}"))

    for mo in _LOGIC.finditer(m):
        if not in_code(mo.start()):
            continue
        op = mo.group(1)
        sites.append(Site(path, mo.start(), mo.end(), "logic", op, "||" if op == "&&" else "&&"))

    for brace, kind in opens.items():
        if kind != "block" or any(k != "ns" for k in _stack_at(changes, brace)):
            continue
        statement = _early_return(m, brace)
        if statement is None:
            continue
        if isinstance(statement, tuple):
            statement = _choose(path, brace, statement)
        sites.append(Site(path, brace + 1, brace + 1, "return", "", " " + statement))

    sites.sort(key=lambda s: s.key)
    return sites


def _line_starts(text):
    starts = [0]
    for mo in re.finditer("\n", text):
        starts.append(mo.end())
    return starts


def _matching(m, open_at):
    depth = 0
    for i in range(open_at, len(m)):
        if m[i] == "(":
            depth += 1
        elif m[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return None


def _last_top_level(m, a, b, ch):
    depth = 0
    found = None
    for i in range(a, b):
        if m[i] in "([{":
            depth += 1
        elif m[i] in ")]}":
            depth -= 1
        elif m[i] == ch and depth == 0:
            found = i
    return found


def _starts_statement(m, start):
    """The line holds a whole statement: what comes before it ends one."""
    before = m[:start].rstrip()
    return not before or before[-1] in ";{}:" or before.endswith(")") and _control_head(before)


def _control_head(before):
    """`before` ends with the head of an if, for or while without braces."""
    close = len(before) - 1
    depth = 0
    for i in range(close, -1, -1):
        if before[i] == ")":
            depth += 1
        elif before[i] == "(":
            depth -= 1
            if depth == 0:
                return re.search(r"\b(if|for|while)\s*$", before[:i]) is not None
    return False


def _early_return(m, brace):
    """The return statement that ends the function whose body opens at
    `brace` at once, or None where there is no safe one."""
    head_start = max(m.rfind(";", 0, brace), m.rfind("}", 0, brace), m.rfind("{", 0, brace)) + 1
    head = " ".join(m[head_start:brace].split())
    paren = head.find("(")
    if paren < 0:
        return None
    name = re.search(r"(~?[A-Za-z_][\w:]*|operator\s*\S+)\s*$", head[:paren])
    if not name:
        return None
    ret = head[:name.start()].strip()
    ret = re.sub(r"^(\[\[\w+\]\]\s*)?((static|inline|constexpr|extern|virtual)\s+)*", "", ret)
    if not ret or "=" in ret or "template" in ret or name.group(1).split("::")[-1] == "main":
        return None
    tail = head[_matching(head, paren) + 1:] if _matching(head, paren) is not None else ""
    if "->" in tail or ":" in tail.replace("::", ""):
        return None
    if ret == "void":
        return "return;"
    if ret == "bool":
        return ("return false;", "return true;")
    if ret.endswith("&") or ret == "auto" or ret.endswith("auto"):
        return None
    return "return {};"
