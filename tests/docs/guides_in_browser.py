#!/usr/bin/env python3
"""The packages' guides, made from docs/ as the packages make them, in headless Chromium at 1,280 pixels: nothing
wider than the page. Arguments: CMAKE CMARK_GFM SOURCE_DIR WORK_DIR. Exits 77 without Chromium or cmark-gfm."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ghost"))
import devtools_pipe  # noqa: E402

cmake, markdown, source, work = sys.argv[1:5]
if not devtools_pipe.find_chromium() or not os.path.isfile(markdown):
    sys.exit(print("Chromium or cmark-gfm is not installed: the guides are not opened") or 77)
WIDE = """[...document.querySelectorAll('pre, table')].filter((e) => e.scrollWidth > e.clientWidth + 1)
  .map((e) => e.textContent.slice(0, 60)).concat(document.documentElement.scrollWidth > innerWidth ? ['page'] : [])"""
failed = 0
browser = devtools_pipe.Browser(devtools_pipe.find_chromium(), width=1280, height=900)
for document in ("players.md", "map-makers.md"):
    page = os.path.abspath(os.path.join(work, document + ".html"))
    subprocess.run([cmake, f"-DMARKDOWN={markdown}", f"-DSOURCE={source}/docs/{document}", f"-DOUTPUT={page}",
                    "-DVERSION=0", "-P", f"{source}/cmake/PlayersGuide.cmake"], check=True)
    browser.open("file://" + page)
    wide = browser.evaluate(WIDE)
    print(("FAIL " if wide else "ok   ") + f" {document} fits 1,280 pixels {wide or ''}")
    failed += bool(wide)
    # Every picture of the document is in the page itself and drawn, none left as words.
    pictures = open(f"{source}/docs/{document}", encoding="utf-8").read().count("](images/")
    drawn = browser.evaluate("[...document.images].filter((i) => i.src.startsWith('data:') && i.naturalWidth > 0).length")
    print(("ok   " if drawn == pictures else "FAIL ") + f" {document}: {drawn} of {pictures} pictures drawn")
    failed += drawn != pictures
browser.close()
sys.exit(1 if failed else 0)
