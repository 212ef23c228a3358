#!/usr/bin/python3
"""How closely the built-in languages colour real code as the field does.

Colours every corpus file (bench/syntax_corpus.py build) with
`qorvi-syntax tokens --lang KEY` and with Debian's python3-pygments, and
compares, character by character, the class of every word character and of
every other visible character that either side puts in a comment or a
string. The classes: comment, string, number, keyword (keywords, types,
built-ins, tags), preprocessor, variable, attribute, other.

The system's python3 runs it (the first line), so that the reference is
Debian's package and not another pygments that a python on the PATH may
carry; run it as bench/syntax_measure.py, not through `python3`.

Prints the agreement per language and, per class, recall (of the
reference's characters of that class, the share we give that class) and
precision (of ours, the share the reference agrees with).

Where the reference is plainly wrong, the measure says so, exactly:
- Pascal: a {$...} or (*$...*) compiler directive counts as preprocessor.
  The reference means to file it so, but tests the token for a leading $
  where the token starts with the brace, and files it as a comment.
- Not compared: a character of an expansion inside a string (shell "${x}",
  PHP "$x") that the reference files as String.Interpol and we colour as a
  variable: both see the expansion, the reference counts it a kind of
  string.
- Not compared: in Basic, the statements of classic Visual Basic and of the
  BASIC it grew from (Print, Input, Open, Close, Write, Put, Get, Seek, Lock,
  Unlock, Kill, LSet, RSet, Line) that we colour as keywords: the reference
  is the lexer of Visual Basic .NET, where they are library names.

  syntax_measure.py [--tool BIN] [--dir CORPUS] [--lang KEY ...]
                    [--worst N] [--show FILE]
"""

import argparse
import collections
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

CLASSES = ["comment", "string", "number", "keyword", "preprocessor", "variable", "attribute", "other"]

# Our shared style numbers (parser/scripts/common.inc) by class; a style not
# named is "other" (text, identifier, symbol, entity, label, URL ...).
SHARED = {1: "comment", 2: "comment", 3: "string", 4: "string", 5: "number", 6: "keyword", 7: "keyword",
          10: "preprocessor", 12: "keyword", 13: "attribute", 14: "string", 16: "variable", 17: "keyword",
          18: "attribute", 19: "string", 21: "preprocessor", 25: "attribute"}
# The languages' own styles, and built-in functions where a language colours them.
OWN = {
    "sh": {32: "keyword", 33: "string", 34: "keyword"},
    "bat": {32: "keyword"},
    "php3": {11: "keyword"},
}


def reference_lexer(key, path):
    from pygments import lexers
    opts = dict(stripnl=False, ensurenl=False)
    if key == "cpp":
        return lexers.CppLexer(**opts) if "/c++" in path or "c++" in path else lexers.CLexer(**opts)
    name = {"java": "JavaLexer", "htm": "HtmlLexer", "sql": "PostgresLexer", "bas": "VbNetLexer",
            "pas": "DelphiLexer", "idl": "OmgIdlLexer", "bat": "BatchLexer", "ini": "IniLexer",
            "sh": "BashLexer", "php3": "PhpLexer", "txt": "TextLexer"}[key]
    return getattr(lexers, name)(**opts)


def reference_class(tt):
    from pygments import token as T
    if tt in T.String.Interpol:
        return "interpolation"
    if tt in T.Comment.Preproc or tt in T.Comment.PreprocFile:
        return "preprocessor"
    # A documentation comment is a comment, whatever token a lexer files it under.
    if tt in T.Comment or tt in T.String.Doc:
        return "comment"
    if tt in T.String:
        return "string"
    if tt in T.Number:
        return "number"
    if tt in T.Keyword or tt in T.Name.Builtin or tt in T.Name.Tag or tt in T.Operator.Word:
        return "keyword"
    if tt in T.Name.Variable:
        return "variable"
    if tt in T.Name.Attribute:
        return "attribute"
    return "other"


def reference_classes(key, path, text):
    # Positions are counted along the token stream: the offsets a lexer
    # reports for a region it hands to another lexer (PostgreSQL's $$ bodies)
    # count from that region's start.
    out = ["other"] * len(text)
    start = 0
    for tt, value in reference_lexer(key, path).get_tokens(text):
        c = reference_class(tt)
        if key == "pas" and c == "comment" and value.startswith(("{$", "(*$")):
            c = "preprocessor"
        for i in range(start, min(start + len(value), len(text))):
            out[i] = c
        start += len(value)
    return out


def our_classes(tool, key, path, size):
    r = subprocess.run([tool, "tokens", "--lang", key, path], capture_output=True, text=True, check=True)
    styles = {**SHARED, **OWN.get(key, {})}
    out = ["other"] * size
    for line in r.stdout.splitlines():
        offset, length, _, style = (int(x) for x in line.split()[:4])
        c = styles.get(style, "other")
        for i in range(offset, min(offset + length, size)):
            out[i] = c
    return out


def is_word(ch):
    return ch.isalnum() or ch == "_"


class Tally:
    def __init__(self):
        self.compared = self.agreed = 0
        self.ref = collections.Counter()
        self.ours = collections.Counter()
        self.both = collections.Counter()

    def add(self, other):
        self.compared += other.compared
        self.agreed += other.agreed
        self.ref.update(other.ref)
        self.ours.update(other.ours)
        self.both.update(other.both)

    def agreement(self):
        return 100.0 * self.agreed / self.compared if self.compared else 100.0


# The classic statements of Basic that the reference does not know (above).
CLASSIC_BASIC = {"print", "input", "open", "close", "write", "put", "get", "seek", "lock", "unlock", "kill", "lset",
                 "rset", "line"}


def word_at(text, i):
    s = e = i
    while s > 0 and is_word(text[s - 1]):
        s -= 1
    while e < len(text) and is_word(text[e]):
        e += 1
    return text[s:e]


def compare(text, ref, ours, tally, mismatches=None, key=""):
    for i, ch in enumerate(text):
        if ch.isspace():
            continue
        r, o = ref[i], ours[i]
        if r == "interpolation":
            if o == "variable":
                continue
            r = "string"
        if key == "bas" and r == "other" and o == "keyword" and word_at(text, i).lower() in CLASSIC_BASIC:
            continue
        if not (is_word(ch) or r in ("comment", "string") or o in ("comment", "string")):
            continue
        tally.compared += 1
        tally.ref[r] += 1
        tally.ours[o] += 1
        if r == o:
            tally.agreed += 1
            tally.both[r] += 1
        elif mismatches is not None:
            mismatches.append(i)


def show(text, ref, ours, mismatches):
    """The lines holding mismatches, each with a line of reference/our class letters."""
    letter = {c: c[0] for c in CLASSES}
    letter["preprocessor"] = "p"
    letter["variable"] = "$"
    letter["attribute"] = "a"
    letter["other"] = "."
    letter["interpolation"] = "s"
    lines = sorted({text.count("\n", 0, i) for i in mismatches})
    starts = [0] + [i + 1 for i, ch in enumerate(text) if ch == "\n"]
    for n in lines:
        s = starts[n]
        e = text.find("\n", s)
        e = len(text) if e < 0 else e
        print(f"{n + 1:6}  {text[s:e]}")
        print("   ref  " + "".join(letter[ref[i]] if not text[i].isspace() else text[i] for i in range(s, e)))
        print("   our  " + "".join(letter[ours[i]] if not text[i].isspace() else text[i] for i in range(s, e)))


def pct(a, b):
    return f"{100.0 * a / b:5.1f}" if b else "    -"


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--tool", default=os.path.join(ROOT, "build", "rel", "bin", "qorvi-syntax"))
    ap.add_argument("--dir", default=os.path.join(ROOT, "build", "corpus"))
    ap.add_argument("--lang", nargs="*")
    ap.add_argument("--worst", type=int, default=0, help="list the N files of least agreement")
    ap.add_argument("--show", help="print the mismatching lines of one corpus file")
    args = ap.parse_args()
    import pygments
    if not pygments.__file__.startswith("/usr/lib/python3/"):
        print(f"warning: the reference is pygments {pygments.__version__} of {pygments.__file__}, not Debian's",
              file=sys.stderr)

    if args.show:
        key = os.path.basename(os.path.dirname(os.path.abspath(args.show)))
        text = open(args.show, "rb").read().decode("latin-1")
        ref = reference_classes(key, args.show, text)
        ours = our_classes(args.tool, key, args.show, len(text))
        mism = []
        t = Tally()
        compare(text, ref, ours, t, mism, key)
        show(text, ref, ours, mism)
        print(f"{t.agreement():.1f} % of {t.compared}")
        return

    keys = sorted(k for k in os.listdir(args.dir) if os.path.isdir(os.path.join(args.dir, k)))
    if args.lang:
        keys = [k for k in keys if k in args.lang]
    total = Tally()
    per_lang = {}
    per_file = []
    for key in keys:
        lang = Tally()
        folder = os.path.join(args.dir, key)
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            text = open(path, "rb").read().decode("latin-1")
            t = Tally()
            compare(text, reference_classes(key, path, text), our_classes(args.tool, key, path, len(text)), t,
                    key=key)
            lang.add(t)
            per_file.append((t.agreement(), t.compared, path))
        per_lang[key] = (len(os.listdir(folder)), lang)
        total.add(lang)

    head = "| language | files | chars | agree % | " + " | ".join(f"{c} R/P" for c in CLASSES) + " |"
    print(head)
    print("|" + "---|" * (4 + len(CLASSES)))

    def row(name, files, t):
        cells = [f"{pct(t.both[c], t.ref[c]).strip()}/{pct(t.both[c], t.ours[c]).strip()}" for c in CLASSES]
        print(f"| {name} | {files} | {t.compared} | {t.agreement():.1f} | " + " | ".join(cells) + " |")

    for key in keys:
        row(key, *per_lang[key])
    row("all", sum(n for n, _ in per_lang.values()), total)
    if args.worst:
        print()
        for agree, compared, path in sorted(per_file)[: args.worst]:
            print(f"{agree:5.1f} % of {compared:7}  {os.path.relpath(path, args.dir)}")


if __name__ == "__main__":
    main()
