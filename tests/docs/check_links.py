#!/usr/bin/env python3
"""Every relative link of the tree's Markdown documents leads somewhere: to a file or folder that exists and,
with #NAME, to a heading of the target whose id (as GitHub's renderer makes it) is NAME. Links in code are not
links. Prints each link that leads nowhere, with its document and line, and exits 1; exits 0 when all lead
somewhere.

Usage: check_links.py TREE_ROOT"""
import pathlib
import re
import sys

LINK = re.compile(r"!?\[[^\]]*\]\(([^)\s]+)\)")
HEADING = re.compile(r"^#{1,6} +(.*?) *#* *$")


def prose_lines(path):
    """(number, line) of each line outside fenced and indented code blocks."""
    fenced, previous_blank = False, True
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.lstrip().startswith("```"):
            fenced = not fenced
            continue
        indented_code = line.startswith("    ") and previous_blank
        previous_blank = line.strip() == "" or indented_code
        if not fenced and not indented_code:
            yield number, line


def heading_ids(path):
    ids, seen = set(), {}
    for _, line in prose_lines(path):
        match = HEADING.match(line)
        if not match:
            continue
        slug = re.sub(r"[^\w\- ]", "", match.group(1).lower()).replace(" ", "-")
        count = seen.get(slug, 0)
        seen[slug] = count + 1
        ids.add(slug if count == 0 else f"{slug}-{count}")
    return ids


def main():
    root = pathlib.Path(sys.argv[1]).resolve()
    documents = [root / "README.md", root / "CONTRIBUTING.md", root / "bench" / "README.md",
                 root / "maps" / "README.md", *sorted((root / "docs").glob("*.md"))]
    broken = []
    for document in documents:
        for number, line in prose_lines(document):
            for target in LINK.findall(re.sub(r"`[^`]*`", "", line)):
                if re.match(r"^[a-z]+:", target):
                    continue
                path, _, anchor = target.partition("#")
                leads_to = (document.parent / path).resolve() if path else document
                if not leads_to.exists():
                    broken.append(f"{document.relative_to(root)}:{number}: {target}: no such file")
                elif anchor and (leads_to.suffix != ".md" or anchor not in heading_ids(leads_to)):
                    broken.append(f"{document.relative_to(root)}:{number}: {target}: no heading #{anchor}")
    for line in broken:
        print(line)
    print(f"{len(documents)} documents: {len(broken)} links lead nowhere")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
