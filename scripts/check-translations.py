#!/usr/bin/env python3
"""Checks the translations in res/lang/ against the English file res/lan.xml:
each is well-formed XML with the same root, has every key of lan.xml and no
other, no empty text, and the same placeholders ("%1", "%s", "%d", "%.1f",
"%%") in the same order as the English text. Names the file, the key and the
problem; exits 1 on any."""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

PLACEHOLDER = re.compile(r"%(?:%|\d+|[-+#0]*\d*(?:\.\d+)?[sdfuxXc])")


def texts(path, problems):
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as e:
        problems.append(f"{path}: not well-formed XML: {e}")
        return None
    if root.tag != "language" or not root.get("name"):
        problems.append(f"{path}: the root is not <language name=...>")
        return None
    found = {}
    for node in root:
        key = node.get("key")
        if node.tag != "text" or not key:
            problems.append(f"{path}: an element that is not <text key=...>")
            continue
        if key in found:
            problems.append(f"{path}: {key}: defined twice")
        found[key] = "".join(node.itertext())
    return found


def main(folder):
    res = Path(folder)
    problems = []
    english = texts(res / "lan.xml", problems)
    if english is None:
        print("\n".join(problems), file=sys.stderr)
        return 1
    files = sorted((res / "lang").glob("*.xml"))
    if not files:
        problems.append(f"{res / 'lang'}: no translations")
    for path in files:
        translated = texts(path, problems)
        if translated is None:
            continue
        for key in english.keys() - translated.keys():
            problems.append(f"{path}: {key}: missing")
        for key in translated.keys() - english.keys():
            problems.append(f"{path}: {key}: not a key of lan.xml")
        for key in english.keys() & translated.keys():
            text = translated[key]
            if not text.strip():
                problems.append(f"{path}: {key}: empty")
                continue
            want = PLACEHOLDER.findall(english[key])
            got = PLACEHOLDER.findall(text)
            if want != got:
                problems.append(f"{path}: {key}: placeholders {got} where English has {want}")
    if problems:
        print("\n".join(sorted(problems)), file=sys.stderr)
        return 1
    print(f"translations: {len(files)} files, {len(english)} keys each, placeholders as in English")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else str(Path(__file__).parent.parent / "res")))
