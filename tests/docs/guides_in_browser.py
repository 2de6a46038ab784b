#!/usr/bin/env python3
"""The packages' guides (the players' Lumaro-Guide.html, the map makers' map-makers.html), made from docs/ as the
packages make them, opened in headless Chromium at 1,280 pixels: no drawing or example, and nothing else, wider
than the page, so nothing hides behind a sideways scroll.

Arguments: CMAKE CMARK_GFM SOURCE_DIR WORK_DIR. Exits 77 (skipped) when Chromium or cmark-gfm is not installed."""
import os
import pathlib
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ghost"))
import devtools_pipe  # noqa: E402

cmake, markdown, source, work = sys.argv[1:5]
chromium = devtools_pipe.find_chromium()
if not chromium or not os.path.isfile(markdown):
    print("Chromium or cmark-gfm is not installed: the guides are not made and opened")
    sys.exit(77)
os.makedirs(work, exist_ok=True)
guides = []
for document, page in (("players.md", "Lumaro-Guide.html"), ("map-makers.md", "map-makers.html")):
    guides.append(os.path.join(work, page))
    subprocess.run([cmake, f"-DMARKDOWN={markdown}", f"-DSOURCE={os.path.join(source, 'docs', document)}",
                    f"-DOUTPUT={guides[-1]}", "-DVERSION=0", "-P", os.path.join(source, "cmake", "PlayersGuide.cmake")],
                   check=True)

WIDEST = """[...document.querySelectorAll('pre, table')].filter((e) => e.scrollWidth > e.clientWidth + 1)
  .map((e) => e.textContent.slice(0, 60)).concat(document.documentElement.scrollWidth > innerWidth ? ['the page'] : [])"""
failures = 0
browser = devtools_pipe.Browser(chromium, width=1280, height=900)
try:
    for guide in guides:
        browser.open(pathlib.Path(guide).absolute().as_uri())
        wide = browser.evaluate(WIDEST)
        ok = not wide and browser.evaluate("document.querySelectorAll('pre').length") > 0
        print(("ok   " if ok else "FAIL ") + f" {os.path.basename(guide)} fits 1,280 pixels" + ("" if ok else f": {wide}"))
        failures += 0 if ok else 1
finally:
    browser.close()
sys.exit(1 if failures else 0)
