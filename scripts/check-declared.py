#!/usr/bin/env python3
"""Finds member functions declared in a class of src/ or tools/ and defined
nowhere: no body in the class, no "Class::name(" in any source file. The
compiler says nothing of a declaration that nothing calls. Qt signals (moc
writes them) are left out. Names each one; exits 1 on any."""
import re
import sys
from pathlib import Path

root = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
files = [p for d in ("src", "tools") for p in (root / d).rglob("*") if p.suffix in (".h", ".cpp")]
texts = {p: p.read_text(encoding="utf-8") for p in files}


def without_comments(s):
    s = re.sub(r"//[^\n]*", "", s)
    s = re.sub(r"/\*.*?\*/", "", s, flags=re.S)
    return re.sub(r'R"(\w*)\(.*?\)\1"', '""', s, flags=re.S)  # raw strings


code = {p: without_comments(t) for p, t in texts.items()}
# Every "Class::name(" written anywhere: a definition, or a call that needs one.
defined = set(re.findall(r"(\w+)\s*::\s*(~?\w+)\s*\(", "\n".join(code.values())))
CLASS = re.compile(r"\b(?:class|struct)\s+(\w+)(?:\s+final)?\s*(?::[^{;()]*)?\{")
FUNCTION = re.compile(
    r"(?:^|\s)(~?\w+)\s*\([^()]*(?:\([^()]*\)[^()]*)*\)\s*(?:const)?\s*(?:noexcept)?\s*"
    r"(?:override|final)?\s*$", re.S)


def statements(body):
    """The class's own statements, each with whether a body ended it."""
    out, current, depth = [], [], 0
    for ch in body:
        if depth == 0 and ch == ";":
            out.append(("".join(current), False))
            current = []
        elif ch == "{":
            if depth == 0:
                out.append(("".join(current), True))
                current = []
            depth += 1
        elif ch == "}":
            depth -= 1
        elif depth == 0:
            current.append(ch)
    return out


problems = []
for path, text in code.items():
    if path.suffix != ".h":
        continue
    for m in CLASS.finditer(text):
        name, depth, i = m.group(1), 0, m.end() - 1
        for i in range(m.end() - 1, len(text)):
            depth += {"{": 1, "}": -1}.get(text[i], 0)
            if depth == 0:
                break
        in_signals = False
        for stmt, has_body in statements(text[m.end():i]):
            # Access labels start the statement they precede.
            for label in re.findall(r"(\w+(?:\s+\w+)?)\s*:(?!:)", stmt):
                in_signals = label.strip() in ("signals", "Q_SIGNALS")
            stmt = re.sub(r"^.*?\b(?:public|private|protected|signals|slots|Q_SIGNALS)\s*(?:slots\s*)?:(?!:)",
                          "", stmt, flags=re.S).strip()
            if has_body or in_signals or not stmt or "=" in stmt.rsplit(")", 1)[-1]:
                continue
            if stmt.startswith(("using", "typedef", "friend", "enum", "return", "template")):
                continue
            f = FUNCTION.search(stmt)
            if f is None or f.group(1) in ("Q_OBJECT", "operator", "Q_DISABLE_COPY"):
                continue
            if "operator" in stmt or not re.match(r"^[\w:<>,\*&~\s\[\]]*\(", stmt.split("(")[0] + "("):
                continue
            fn = f.group(1)
            if (name, fn) in defined:
                continue
            problems.append(f"{path.relative_to(root)}: {name}::{fn} is declared and defined nowhere")
for p in sorted(set(problems)):
    print(p)
sys.exit(1 if problems else 0)
