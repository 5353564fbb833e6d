#!/usr/bin/env python3
"""Keeps five counts of the module's code from rising.

The module is moving away from five habits; this check holds each to the
number checked in to tools/ratchet_counts.txt, so that new code does not add
to them while old code is moved off them, and to the ceilings of a file kept
beside the project (../shared/ratchet-ceilings.txt from the project's root),
which the project reads and never writes: lowering its own numbers is the
project's business, raising them is not. Only module code is counted: the
folders store/ core/ settings/ walls/ roofs/ visual/ objects/ stairs/ rooms/
module/ resources/ (not host/, app/, tests/, bench/, fuzz/, tools/), files
ending in .cpp or .h. Comments, string and character literals and
preprocessor lines are blanked before anything is counted.

manual_close
    A close() called by hand on an open object: every `->close()`, and a
    `.close()` whose receiver is declared in the same file as a reference to
    a host object (a `Zc...` type). Not counted: `.close()` on an open-object
    pointer (it closes its own object early), on a file or stream, or on any
    other value whose close() is its own business (a record writer closing
    a group); `->close()` on a receiver declared as a file or stream.

local_owner_types
    A type of module code that frees result-buffer lists or selection sets
    itself: a struct or class whose destructor or operator() calls
    `zcutRelRb` or `zcedSSFree` (defined in the class or out of line; a class
    and its out-of-line members in x.h/x.cpp count once), and every
    `std::unique_ptr<resbuf, …>` spelled with a function-pointer deleter
    (`int (*)(resbuf*)`, `decltype(&zcutRelRb)`), in a `using` or in a
    declaration. An alias over an owner struct already counted is not
    counted again. The owners in host/ads are the ones to use.

global_mutable_slots
    A variable that outlives every call and can be changed: a variable
    defined at namespace scope (named or unnamed namespace, `static` or
    not, `inline` or `constinit` included), a `static` data member of a
    class, and a `static` variable inside a function body (lambdas
    included). Not counted: what is constant at the top level (`constexpr`,
    `const T`, `T* const`; but `const char* names[]` is an array of
    changeable pointers and counts), `thread_local` variables, `extern`
    declarations without an initializer (the definition counts where it
    is), functions, types, aliases and templates.
    Hooks count one by one. A hook is a function pointer or a
    `std::function`, spelled out or through an alias (`using`, `typedef`)
    of module code. A stored variable that is a hook counts 1 (an array of
    N hooks, N); a stored variable of a struct whose data members are hooks
    counts each hook member (members that are structs of hooks in turn
    counted hook by hook), plus 1 when the struct holds other data too. A
    pointer or reference to such a struct counts 1. Type names are looked
    up in the file's own unit (x.h with x.cpp) first, then in the headers.

manual_relrb
    A call of `zcutRelRb(…)`: a result-buffer list released by hand
    instead of by an owner (host::ResbufList).

errno_helpers
    A function of module code whose body reads the system variable ERRNO
    (the string literal "ERRNO" anywhere in it, lambdas included, but for
    the first argument of `zcedSetVar`) to learn why a pick failed. The
    shared reader, LastPickError() in core/host_services.cpp (with
    PickHitNothing() beside it), is not counted: every other reader should
    call it.

Usage: ratchet.py [--root ROOT] [--update] [--list] [--ceilings PATH]
    exit 0 no count rose (a hint when one fell), 1 a count rose above the
    counts file or above the ceilings file (what rose and its places), 2
    the counts file is missing or unreadable, or the ceilings file is
    unreadable. --update rewrites the counts file with today's counts;
    --list prints every counted place. --ceilings names the ceilings file
    (default ROOT/../shared/ratchet-ceilings.txt); when it is absent the
    check says so and passes, and a name in it this check does not count
    is reported and skipped.
"""
import argparse
import bisect
import os
import re
import sys

MODULE_DIRS = ("store", "core", "settings", "walls", "roofs", "visual", "objects", "stairs", "rooms",
               "module", "resources")
SUFFIXES = (".cpp", ".h")
COUNTS_FILE = os.path.join("tools", "ratchet_counts.txt")
# Beside the project, read only: the project cannot raise these itself.
CEILINGS_FILE = os.path.join(os.pardir, "shared", "ratchet-ceilings.txt")
NAMES = ("manual_close", "local_owner_types", "global_mutable_slots", "manual_relrb", "errno_helpers")
HEADER = """\
# The counts tools/ratchet.py holds the module's code to: CI fails when one
# rises above its number here. When a count falls, lower its number (run
# `python3 tools/ratchet.py --update`) so that it cannot rise back.
#   manual_close          close() called by hand on open objects
#   local_owner_types     module-local owners of result-buffer lists and selection sets
#   global_mutable_slots  namespace-scope, static member and function-local static variables (a table of hooks counts each hook)
#   manual_relrb          result-buffer lists released by hand with zcutRelRb on the module side
#   errno_helpers         functions that read ERRNO after a failed pick (LastPickError() is the shared one)
"""

RELEASERS = {"zcutRelRb", "zcedSSFree"}
# The string literal "ERRNO" survives blanking as this word.
ERRNO_LITERAL = "STR_ERRNO"
# The one function allowed to read ERRNO lives here.
SHARED_ERRNO_READER = "core/host_services.cpp"
FILE_TYPES = re.compile(r"\b(FILE|fstream|ifstream|ofstream|stringstream|ostream|istream|File)\b")

# ---------------------------------------------------------------- lexing


def blank(text):
    """The text with comments, literals and preprocessor lines replaced by
    spaces (a literal by a placeholder word), newlines kept for line numbers."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c in " \t":
            out.append(c)
            i += 1
            continue
        if line_start and c == "#":
            # A preprocessor line, with its continuations.
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    out.append("\n")
                    i += 2
                    continue
                i += 1
            continue
        line_start = False
        if c == "\n":
            out.append(c)
            line_start = True
            i += 1
        elif text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            if not m:
                out.append(c)
                i += 1
                continue
            end = text.find(")" + m.group(1) + '"', i)
            end = n if end < 0 else end + len(m.group(1)) + 2
            out.append(" STR " + re.sub(r"[^\n]", " ", text[i:end])[5:])
            i = end
        elif c in "\"'":
            if c == "'" and i > 0 and text[i - 1].isalnum():
                out.append(" ")  # a digit separator (1'000)
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            if c == '"' and text[i + 1:j] == "ERRNO":
                out.append(" %s " % ERRNO_LITERAL)  # the one literal a count reads
            else:
                out.append(" STR " if c == '"' else " CHR ")
                out.append(" " * max(0, min(j, n - 1) - i - 4))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


TOKEN = re.compile(r"\s*(?:([A-Za-z_]\w*)|(\d[\w.']*)|(::|->|\.\.\.|<<=|>>=|<=>|==|!=|<=|>=|&&|\|\||\+\+|--|"
                   r"\+=|-=|\*=|/=|%=|&=|\|=|\^=|<<|>>|\[\[|.))", re.S)


class Tok:
    __slots__ = ("text", "line", "kind")

    def __init__(self, text, line, kind):
        self.text, self.line, self.kind = text, line, kind

    def __repr__(self):
        return self.text


def tokens(text):
    newlines = [k for k, c in enumerate(text) if c == "\n"]
    toks = []
    pos = 0
    while True:
        m = TOKEN.match(text, pos)
        if not m or m.end() == pos:
            break
        pos = m.end()
        if not m.lastindex:
            continue
        word = m.group(m.lastindex)
        if word.isspace():
            continue
        line = bisect.bisect_left(newlines, m.start(m.lastindex)) + 1
        if m.group(1):
            toks.append(Tok(word, line, "lit" if word in ("STR", "CHR", ERRNO_LITERAL) else "id"))
        else:
            toks.append(Tok(word, line, "lit" if m.group(2) else "op"))
    return toks


# ---------------------------------------------------------------- manual_close


def declared_type(text, name):
    """The type a file declares name with ('' when none is found)."""
    m = re.search(r"([\w:]+(?:\s*<[^;{}()]*>)?)\s*(?:[*&]\s*|\bconst\s+)*\b" + re.escape(name) +
                  r"\s*(?:[=;,({)\[]|:(?!:))", text)
    return m.group(1) if m else ""


def manual_closes(path, text, toks):
    places = []
    for i in range(1, len(toks) - 3):
        t = toks[i]
        if t.text not in ("->", ".") or toks[i + 1].text != "close" or toks[i + 2].text != "(" \
                or toks[i + 3].text != ")":
            continue
        recv = toks[i - 1]
        rtype = declared_type(text, recv.text) if recv.kind == "id" else ""
        if t.text == "->":
            if FILE_TYPES.search(rtype):
                continue
        else:
            if recv.text == ")" and i >= 3 and toks[i - 3].text == "*" and toks[i - 4].text == "(":
                pass  # (*object).close()
            elif not (rtype.startswith("Zc") and "ObjectPointer" not in rtype):
                continue
        places.append((path, t.line, recv.text + t.text + "close()"))
    return places


# ---------------------------------------------------------------- local_owner_types


def matching(toks, i, open_, close_):
    """Index of the token closing toks[i] (an open_), or len(toks)."""
    depth = 0
    for j in range(i, len(toks)):
        if toks[j].text == open_:
            depth += 1
        elif toks[j].text == close_:
            depth -= 1
            if depth == 0:
                return j
    return len(toks)


def releases(toks, lo, hi):
    return any(toks[k].text in RELEASERS for k in range(lo, hi))


def member_bodies(toks, lo, hi, cls):
    """(start, end) of the bodies of cls's destructor and operator() inside
    toks[lo:hi]."""
    bodies = []
    k = lo
    while k < hi:
        t = toks[k].text
        is_dtor = t == "~" and k + 1 < hi and toks[k + 1].text == cls
        is_call = t == "operator" and k + 2 < hi and toks[k + 1].text == "(" and toks[k + 2].text == ")"
        if is_dtor or is_call:
            p = k + (2 if is_dtor else 3)
            if p < hi and toks[p].text == "(":
                p = matching(toks, p, "(", ")") + 1
                while p < hi and toks[p].text not in ("{", ";"):
                    p += 1
                if p < hi and toks[p].text == "{":
                    end = matching(toks, p, "{", "}")
                    bodies.append((p, end))
                    k = end
        k += 1
    return bodies


def is_funcptr_deleter(toks, i):
    """toks[i] is `unique_ptr`: is it unique_ptr<resbuf, int (*)(…)> or
    unique_ptr<resbuf, decltype(&zcutRelRb)>?"""
    if i + 3 >= len(toks) or toks[i + 1].text != "<" or toks[i + 2].text != "resbuf":
        return False
    depth = 0
    for j in range(i + 1, len(toks)):
        tx = toks[j].text
        if tx == "<":
            depth += 1
        elif tx in (">", ">>"):
            depth -= len(tx)
            if depth <= 0:
                inner = [t.text for t in toks[i + 3:j]]
                return "decltype" in inner or ("(" in inner and "*" in inner and ")" in inner)
        elif tx in (";", "{"):
            return False
    return False


def owner_types(path, toks):
    """(key, place) pairs; key dedups a class over its header and source."""
    stem = os.path.splitext(path)[0]
    found = []
    for i, t in enumerate(toks):
        if t.text in ("class", "struct") and i + 1 < len(toks) and toks[i + 1].kind == "id" and \
                (i == 0 or toks[i - 1].text not in ("enum", "<", ",")):
            name = toks[i + 1].text
            j = i + 2
            while j < len(toks) and toks[j].text not in ("{", ";", "(", ")", "=", ">"):
                j += 1
            if j >= len(toks) or toks[j].text != "{":
                continue
            end = matching(toks, j, "{", "}")
            if any(releases(toks, a, b) for a, b in member_bodies(toks, j, end, name)):
                found.append(((stem, name), (path, t.line, t.text + " " + name)))
        elif t.text == "::" and i > 0 and toks[i - 1].kind == "id" and i + 1 < len(toks) \
                and toks[i + 1].text in ("~", "operator"):
            name = toks[i - 1].text
            if any(releases(toks, a, b) for a, b in member_bodies(toks, i + 1, min(len(toks), i + 6), name)):
                found.append(((stem, name), (path, t.line, name + "::" + toks[i + 1].text)))
        elif t.text == "unique_ptr" and is_funcptr_deleter(toks, i):
            found.append(((path, t.line, i), (path, t.line, "unique_ptr<resbuf, function pointer>")))
    return found


# ---------------------------------------------------------------- global_mutable_slots

SKIP_FIRST = {"using", "typedef", "template", "static_assert", "namespace", "friend", "class", "struct", "union",
              "enum", "return", "operator", "concept", "export", "import", "module"}


def split_declarator(stmt):
    """The part of a declaration before its initializer, and whether it has
    one (`=`, braces or parentheses with a value)."""
    depth = 0
    for k, t in enumerate(stmt):
        tx = t.text
        if tx == "<":
            depth += 1
        elif tx in (">", ">>") and depth > 0:
            depth = max(0, depth - len(tx))
        elif depth == 0 and tx in ("=", "{"):
            return stmt[:k], True
    return stmt, False


def paren_is_value(inner):
    """Whether the tokens between a declaration's parentheses are a value
    (an initializer) rather than parameters."""
    if not inner:
        return False
    first = inner[0]
    return first.kind == "lit" or first.text in ("{", "-", "!", "&", "nullptr", "true", "false", "this") or \
        (len(inner) == 1 and first.kind == "id" and first.text not in ("void",))


def classify(stmt, member):
    """The slot a statement declares, as (line, name), or None. member: the
    statement is in a class body (only `static` data members count)."""
    while stmt and stmt[0].text in ("public", "private", "protected") and len(stmt) > 1 and stmt[1].text == ":":
        stmt = stmt[2:]
    while stmt and stmt[0].text == "[[":
        end = next((k for k in range(len(stmt)) if stmt[k].text == "]" and k + 1 < len(stmt)
                    and stmt[k + 1].text == "]"), len(stmt) - 1)
        stmt = stmt[end + 2:]
    if not stmt or stmt[0].text in SKIP_FIRST or stmt[0].kind != "id":
        return None
    words = {t.text for t in stmt}
    if member and "static" not in words:
        return None
    if "thread_local" in words or "constexpr" in words or "consteval" in words or "typedef" in words:
        return None
    decl, has_init = split_declarator(stmt)
    dwords = [t.text for t in decl]
    if "extern" in dwords and not has_init:
        return None
    # Parentheses before any initializer: a function unless they hold a value
    # or a pointer declarator ((*fp)(…)).
    depth = 0
    for k, t in enumerate(decl):
        if t.text == "<":
            depth += 1
        elif t.text in (">", ">>") and depth > 0:
            depth = max(0, depth - len(t.text))
        elif t.text == "(" and depth == 0:
            if k + 1 < len(decl) and decl[k + 1].text in ("*", "&", "^"):
                break
            close = matching(decl, k, "(", ")")
            if not paren_is_value(decl[k + 1:close]):
                return None
            decl = decl[:k]
            dwords = dwords[:k]
            break
    if "operator" in dwords:
        return None
    # A declaration names a type and a variable: two words at least.
    idents = [t for t in decl if t.kind == "id" and t.text not in ("static", "inline", "constinit", "const",
                                                                   "volatile", "mutable", "extern")]
    if len(idents) < 2:
        return None
    # Top-level const: `const` with no pointer after it (outside template
    # arguments), or `* const`. `const char* names[]` has its const before
    # the pointer: changeable pointers, counted.
    depth = 0
    last_star = -1
    for k, t in enumerate(decl):
        if t.text == "<":
            depth += 1
        elif t.text in (">", ">>") and depth > 0:
            depth = max(0, depth - len(t.text))
        elif t.text == "*" and depth == 0:
            last_star = k
    consts = [k for k, t in enumerate(decl) if t.text == "const"]
    if consts and consts[-1] > last_star:
        return None
    pointer = [k for k in range(len(decl) - 2) if decl[k].text == "(" and decl[k + 1].text in ("*", "&")]
    if pointer:  # (*name)(…)
        name = next((t for t in decl[pointer[0]:] if t.kind == "id" and t.text != "const"), decl[-1])
    else:
        name = next((t for t in reversed(decl) if t.kind == "id" and t.text not in ("const", "volatile")), decl[-1])
    return name.line, name.text, decl, stmt


# ---------------------------------------------------------------- hooks

QUALIFIERS = {"static", "inline", "constinit", "const", "volatile", "mutable", "extern", "typename"}


def skip_angle(toks, k):
    """Index after the template argument list opening at toks[k] (`<`)."""
    depth = 0
    while k < len(toks):
        tx = toks[k].text
        if tx == "<":
            depth += 1
        elif tx in (">", ">>"):
            depth -= len(tx)
            if depth <= 0:
                return k + 1
        k += 1
    return k


def type_shape(decl):
    """What a declaration's tokens (its name last, no initializer) store:
    ('fptr', None) for a function pointer declarator `(*name)(…)`,
    ('function', None) for a std::function, ('value', base) for a value of
    the type named base, ('pointer', base) through a pointer or reference."""
    k = 0
    while k + 1 < len(decl) and decl[k].text in QUALIFIERS:
        k += 1
    if any(decl[j].text == "(" and decl[j + 1].text == "*" for j in range(k, len(decl) - 1)):
        return "fptr", None
    base = None
    while k < len(decl) and decl[k].kind == "id" and decl[k].text not in QUALIFIERS:
        base = decl[k].text
        k += 1
        if k < len(decl) and decl[k].text == "::":
            k += 1
            continue
        break
    if base is None:
        return "value", None
    if k < len(decl) and decl[k].text == "<":
        k = skip_angle(decl, k)
    if base == "function":
        shape = "function"
    else:
        shape = "value"
    while k < len(decl) and decl[k].text in QUALIFIERS:
        k += 1
    if k < len(decl) and decl[k].text in ("*", "&", "&&"):
        return "pointer", base
    return shape, (None if shape == "function" else base)


class HookTypes:
    """The types of module code that are hooks (aliases of a std::function
    or of a function pointer) and the structs whose data members are hooks;
    names are looked up in the file's own unit first, then in any header."""

    def __init__(self):
        self.aliases = {}   # (scope, name) -> shape, base
        self.structs = {}   # (scope, name) -> [(member, shape, base, count)]

    @staticmethod
    def scopes(path):
        return (os.path.splitext(path)[0], "*")

    def add_file(self, path, toks):
        stem = os.path.splitext(path)[0]
        scopes = [stem] + (["*"] if path.endswith(".h") else [])
        i, n = 0, len(toks)
        while i < n:
            t = toks[i].text
            if t == "using" and i + 2 < n and toks[i + 1].kind == "id" and toks[i + 2].text == "=":
                end = next((k for k in range(i + 3, n) if toks[k].text == ";"), n)
                rhs = toks[i + 3:end] + [Tok("_", toks[i].line, "id")]
                for scope in scopes:
                    self.aliases[(scope, toks[i + 1].text)] = type_shape(rhs)
                i = end
            elif t == "typedef":
                end = next((k for k in range(i + 1, n) if toks[k].text in (";", "{")), n)
                if end < n and toks[end].text == ";":
                    decl = toks[i + 1:end]
                    shape = type_shape(decl)
                    name = next((x.text for x in decl if x.kind == "id" and x.text not in QUALIFIERS and
                                 decl.index(x) > 0 and decl[decl.index(x) - 1].text == "*"), None) \
                        if shape[0] == "fptr" else decl[-1].text
                    if name:
                        for scope in scopes:
                            self.aliases[(scope, name)] = shape
                i = end
            elif t in ("struct", "class") and i + 2 < n and toks[i + 1].kind == "id" and \
                    (i == 0 or toks[i - 1].text not in ("enum", "<", ",")):
                j = i + 2
                while j < n and toks[j].text not in ("{", ";", "(", ")", "=", ">"):
                    j += 1
                if j < n and toks[j].text == "{":
                    members = self.members(toks, j)
                    for scope in scopes:
                        self.structs[(scope, toks[i + 1].text)] = members
            i += 1

    @staticmethod
    def members(toks, open_brace):
        """The data members of the class body at toks[open_brace], as
        (name, shape, base, declarators)."""
        end = matching(toks, open_brace, "{", "}")
        out, stmt = [], []
        k = open_brace + 1
        while k < end:
            tx = toks[k].text
            if tx in ("public", "private", "protected") and k + 1 < end and toks[k + 1].text == ":":
                k += 2
                continue
            if tx == "{":
                words = [t.text for t in stmt]
                close = matching(toks, k, "{", "}")
                if stmt and words[0] in ("struct", "class", "union", "enum") and "(" not in words:
                    stmt = [Tok("NESTED", toks[k].line, "id")]
                elif "(" in words and "=" not in words and not (stmt and stmt[-1].kind == "id"
                                                                  and "<" not in words):
                    stmt = []  # a member function's body
                else:
                    stmt = stmt + [Tok("INIT", toks[k].line, "lit")]
                k = close + 1
                continue
            if tx == ";":
                member = HookTypes.member(stmt)
                if member:
                    out.append(member)
                stmt = []
            else:
                stmt.append(toks[k])
            k += 1
        return out

    @staticmethod
    def member(stmt):
        words = {t.text for t in stmt}
        if not stmt or stmt[0].kind != "id" or stmt[0].text in SKIP_FIRST or words & {
                "static", "constexpr", "typedef", "using", "friend", "NESTED"}:
            return None
        decl, _ = split_declarator(stmt)
        # Declarators split at top-level commas; a member function has
        # parentheses that are not a pointer declarator.
        parts, depth, cur, pointer = [], 0, [], False
        for k, t in enumerate(decl):
            if t.text in ("<", "(", "["):
                if t.text == "(" and depth == 0:
                    if k + 1 < len(decl) and decl[k + 1].text == "*":
                        pointer = True
                    elif not pointer:
                        return None
                depth += 1
            elif t.text in (">", ")", "]"):
                depth -= 1
            elif t.text == ">>":
                depth -= 2
            elif t.text == "," and depth == 0:
                parts.append(cur)
                cur = []
                continue
            cur.append(t)
        parts.append(cur)
        first = parts[0]
        while first and first[-1].text == "INIT":
            first = first[:-1]
        if len([t for t in first if t.kind == "id" and t.text not in QUALIFIERS]) < 2 and \
                not any(t.text == "(" for t in first):
            return None
        shape, base = type_shape(first)
        if shape == "fptr":
            star = next(k for k in range(len(first) - 1) if first[k].text == "(" and first[k + 1].text == "*")
            name = next((t.text for t in first[star:] if t.kind == "id" and t.text != "const"), "?")
        else:
            name = first[-1].text
        return (name, shape, base, len(parts))

    def lookup(self, table, path, name):
        for scope in self.scopes(path):
            if (scope, name) in table:
                return table[(scope, name)]
        return None

    def is_hook(self, path, shape, base, seen=()):
        if shape in ("fptr", "function"):
            return True
        if shape != "value" or not base or base in seen:
            return False
        alias = self.lookup(self.aliases, path, base)
        return bool(alias) and self.is_hook(path, alias[0], alias[1], seen + (base,))

    def struct_hooks(self, path, base, seen=()):
        """The hook members of struct base as (names, has other data)."""
        members = self.lookup(self.structs, path, base) if base and base not in seen else None
        if members is None:
            alias = self.lookup(self.aliases, path, base) if base and base not in seen else None
            if alias and alias[0] == "value":
                return self.struct_hooks(path, alias[1], seen + (base,))
            return [], True
        names, other = [], False
        for name, shape, mbase, count in members:
            if self.is_hook(path, shape, mbase):
                names += [name] * count
            elif shape == "value" and mbase:
                inner, inner_other = self.struct_hooks(path, mbase, seen + (base,))
                names += [name + "." + x for x in inner] * count
                other = other or inner_other
            else:
                other = True
        return names, other

    def slots(self, path, name, decl):
        """The names a stored variable counts as: one per hook it holds
        (each element of an array of hooks, each hook member of a struct,
        nested structs included), plus one for the rest of its data."""
        cut = len(decl)
        for k, t in enumerate(decl):
            if t.text == "[" and not (k > 0 and decl[k - 1].text == "("):
                cut = k
                break
        shape, base = type_shape(decl[:cut])
        hook = self.is_hook(path, shape, base)
        elements = 1
        if hook and cut < len(decl) and cut + 2 < len(decl) and decl[cut + 1].kind == "lit" and \
                decl[cut + 1].text.isdigit() and decl[cut + 2].text == "]":
            elements = int(decl[cut + 1].text)
        if hook:
            return [name] if elements == 1 else ["%s[%d]" % (name, e) for e in range(elements)]
        if shape == "value" and base:
            hooks, other = self.struct_hooks(path, base)
            if hooks:
                return [name + "." + x for x in hooks] + ([name] if other else [])
        return [name]


class Scanner:
    """Walks a file's tokens with the kind of each brace: namespace, class,
    function body, or initializer."""

    def __init__(self, path, toks, hooks=None):
        self.path, self.toks, self.places = path, toks, []
        self.hooks = hooks or HookTypes()
        self.errno_readers = []

    def run(self):
        self.scope(0, "namespace")
        return self.places

    def add(self, slot):
        if slot:
            if len(slot) < 3:
                self.places.append((self.path, slot[0], slot[1]))
                return
            line, name, decl, stmt = slot
            for what in self.hooks.slots(self.path, name, decl):
                self.places.append((self.path, line, what))

    def scope(self, i, kind):
        """Scans declarations from toks[i] to the closing brace of a namespace
        or class scope; returns the index after it."""
        toks = self.toks
        stmt = []
        after_class = False
        while i < len(toks):
            t = toks[i]
            if t.text == "}":
                return i + 1
            if t.text == ";":
                self.add(self.after_class_body(stmt) if after_class else classify(stmt, kind == "class"))
                stmt, after_class = [], False
                i += 1
                continue
            if t.text == "{":
                what = self.brace_kind(stmt)
                if what == "namespace":
                    i = self.scope(i + 1, "namespace")
                    stmt = []
                elif what == "class":
                    i = self.scope(i + 1, "class")
                    stmt = [Tok("}", t.line, "op")]
                    after_class = True
                elif what == "enum":
                    i = matching(toks, i, "{", "}") + 1
                    stmt.append(Tok("ENUM", t.line, "id"))
                elif what == "function":
                    i = self.function(i, stmt)
                    stmt = []
                else:  # an initializer's braces
                    end = matching(toks, i, "{", "}")
                    stmt.extend(toks[i:end + 1])
                    i = end + 1
                continue
            stmt.append(t)
            i += 1
        return i

    def after_class_body(self, stmt):
        """`struct … { … } name;` declares a variable after the body."""
        rest = stmt[1:]
        if rest and rest[0].kind == "id" and (len(rest) == 1 or rest[1].text in ("=", "{", "[", ",")):
            return rest[0].line, rest[0].text
        return None

    def brace_kind(self, stmt):
        words = [t.text for t in stmt]
        if "namespace" in words or (words[:1] == ["extern"] and len(words) == 2 and stmt[1].kind == "lit"):
            return "namespace"
        # Without the template header and attributes.
        k = 0
        if words[:1] == ["template"] and len(words) > 1 and words[1] == "<":
            k = matching(stmt, 1, "<", ">") + 1
        head = words[k:]
        while head and head[0] in ("public", "private", "protected", ":"):
            head = head[1:]
        if head and head[0] == "enum":
            return "enum"
        depth, has_eq, has_paren = 0, False, False
        for w in head:
            if w == "<":
                depth += 1
            elif w in (">", ">>") and depth > 0:
                depth = max(0, depth - len(w))
            elif depth == 0 and w == "=":
                has_eq = True
            elif depth == 0 and w == "(":
                has_paren = True
        if head and head[0] in ("class", "struct", "union") and not has_paren and not has_eq:
            return "class"
        if "typedef" in head and any(w in ("struct", "class", "union") for w in head) and not has_paren:
            return "class"
        if has_eq:
            return "init"
        if has_paren:
            # In a constructor's member initializers `name{…}` is a value;
            # the body follows `)`, `}` or a qualifier.
            last = stmt[-1] if stmt else None
            if last is not None and last.kind == "id" and last.text not in (
                    "const", "noexcept", "override", "final", "mutable", "try") and self.in_mem_init(words):
                return "init"
            return "function"
        return "init"

    @staticmethod
    def in_mem_init(words):
        depth = 0
        for k, w in enumerate(words):
            if w == "(":
                depth += 1
            elif w == ")":
                depth -= 1
                if depth == 0 and k + 1 < len(words) and words[k + 1] == ":":
                    return True
        return False

    def function(self, i, head=()):
        """Counts the `static` variables of a function body from its opening
        brace toks[i]; returns the index after the body."""
        toks = self.toks
        end = matching(toks, i, "{", "}")
        if self.path != SHARED_ERRNO_READER:
            for k in range(i + 1, end):
                if toks[k].text == ERRNO_LITERAL and not (toks[k - 1].text == "(" and toks[k - 2].text == "zcedSetVar"):
                    paren = next((j for j, t in enumerate(head) if t.text == "("), len(head))
                    name = next((t.text for t in reversed(head[:paren]) if t.kind == "id"), "?")
                    self.errno_readers.append((self.path, toks[k].line, name))
                    break
        k = i + 1
        while k < end:
            t = toks[k]
            if t.text == "static" and toks[k - 1].text in ("{", "}", ";", ":", ")"):
                # The statement runs to `;` outside brackets.
                j, depth = k, 0
                while j < end:
                    tx = toks[j].text
                    if tx in ("(", "{", "["):
                        depth += 1
                    elif tx in (")", "}", "]"):
                        depth -= 1
                    elif tx == ";" and depth == 0:
                        break
                    j += 1
                self.add(classify(toks[k:j], False))
                k = j
            k += 1
        return end + 1


def mutable_slots(path, toks, hooks=None):
    return Scanner(path, toks, hooks).run()


def manual_relrbs(path, toks):
    return [(path, toks[i].line, "zcutRelRb()") for i in range(len(toks) - 1)
            if toks[i].text == "zcutRelRb" and toks[i + 1].text == "("]


# ---------------------------------------------------------------- the check


def module_files(root):
    for top in MODULE_DIRS:
        base = os.path.join(root, top)
        for dirpath, dirnames, filenames in os.walk(base):
            dirnames.sort()
            for name in sorted(filenames):
                if name.endswith(SUFFIXES):
                    yield os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")


def count(root):
    """name -> list of (path, line, what)."""
    places = {name: [] for name in NAMES}
    owners = {}
    files = []
    hooks = HookTypes()
    for path in module_files(root):
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = blank(f.read())
        toks = tokens(text)
        files.append((path, text, toks))
        hooks.add_file(path, toks)
    for path, text, toks in files:
        places["manual_close"] += manual_closes(path, text, toks)
        for key, place in owner_types(path, toks):
            owners.setdefault(key, place)
        scanner = Scanner(path, toks, hooks)
        places["global_mutable_slots"] += scanner.run()
        places["errno_helpers"] += scanner.errno_readers
        places["manual_relrb"] += manual_relrbs(path, toks)
    places["local_owner_types"] = sorted(owners.values())
    return places


def read_counts(path):
    counts = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            parts = line.split()
            if len(parts) != 2 or parts[0] not in NAMES or not parts[1].isdigit():
                raise ValueError("%s:%d: expected `name value` with a name of %s" % (path, number, ", ".join(NAMES)))
            counts[parts[0]] = int(parts[1])
    missing = [name for name in NAMES if name not in counts]
    if missing:
        raise ValueError("%s: no count for %s" % (path, ", ".join(missing)))
    return counts


def write_counts(path, places):
    with open(path, "w", encoding="utf-8") as f:
        f.write(HEADER)
        for name in NAMES:
            f.write("%s %d\n" % (name, len(places[name])))


def by_file(places):
    """Places grouped as `path: line, line, …` lines."""
    lines = {}
    for path, line, _ in places:
        lines.setdefault(path, []).append(line)
    return ["  %s (%d): %s" % (p, len(ls), ", ".join(str(x) for x in sorted(ls))) for p, ls in sorted(lines.items())]


def read_ceilings(path):
    """name -> ceiling, and the names this check does not count yet."""
    ceilings, unknown = {}, []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            parts = line.split()
            if len(parts) != 2 or not parts[1].isdigit():
                raise ValueError("%s:%d: expected `name value`" % (path, number))
            if parts[0] in NAMES:
                ceilings[parts[0]] = int(parts[1])
            else:
                unknown.append(parts[0])
    return ceilings, unknown


def check_ceilings(path, places):
    """0 when no count is above its ceiling in path, 1 when one is, 2 when
    the file cannot be read; an absent file is reported and passes."""
    if not os.path.exists(path):
        print("ratchet: no ceilings file at %s: the ceilings are not checked" % path)
        return 0
    try:
        ceilings, unknown = read_ceilings(path)
    except (OSError, ValueError) as e:
        print("ratchet: %s" % e, file=sys.stderr)
        return 2
    for name in unknown:
        print("ratchet: %s has a ceiling for %s, which is not counted yet: skipped" % (path, name))
    status = 0
    for name in NAMES:
        now = len(places[name])
        if name in ceilings and now > ceilings[name]:
            status = 1
            print("ratchet: %s is %d, above its ceiling %d in %s; its places:" % (name, now, ceilings[name], path),
                  file=sys.stderr)
            for line in by_file(places[name]):
                print(line, file=sys.stderr)
    return status


def main(argv):
    parser = argparse.ArgumentParser(description="Holds the module's ratchet counts.")
    parser.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
    parser.add_argument("--update", action="store_true", help="rewrite the counts file with today's counts")
    parser.add_argument("--list", action="store_true", help="print every counted place")
    parser.add_argument("--ceilings", metavar="PATH",
                        help="the ceilings file kept outside the project (default: ROOT/%s)" % CEILINGS_FILE)
    args = parser.parse_args(argv)
    root = os.path.normpath(args.root)
    counts_path = os.path.join(root, COUNTS_FILE)
    ceilings_path = args.ceilings or os.path.normpath(os.path.join(root, CEILINGS_FILE))
    places = count(root)
    if args.list:
        for name in NAMES:
            print("%s %d" % (name, len(places[name])))
            for path, line, what in places[name]:
                print("  %s:%d: %s" % (path, line, what))
    if args.update:
        write_counts(counts_path, places)
        print("ratchet: %s rewritten: %s" % (COUNTS_FILE, ", ".join("%s %d" % (n, len(places[n])) for n in NAMES)))
        return 0
    try:
        allowed = read_counts(counts_path)
    except (OSError, ValueError) as e:
        print("ratchet: %s" % e, file=sys.stderr)
        return 2
    status = 0
    for name in NAMES:
        now = len(places[name])
        if now > allowed[name]:
            status = 1
            print("ratchet: %s rose from %d to %d; its places:" % (name, allowed[name], now), file=sys.stderr)
            for line in by_file(places[name]):
                print(line, file=sys.stderr)
        elif now < allowed[name]:
            print("ratchet: %s fell from %d to %d: lower it in %s (tools/ratchet.py --update)"
                  % (name, allowed[name], now, COUNTS_FILE))
    ceiling_status = check_ceilings(ceilings_path, places)
    if ceiling_status == 2:
        return 2
    status = max(status, ceiling_status)
    if status:
        print("ratchet: see the banner of tools/ratchet.py for what each count means", file=sys.stderr)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
