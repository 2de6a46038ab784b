#!/usr/bin/env python3
"""The static checks over the compile database: clang-tidy (make tidy) and include-what-you-use (make includes).

Each C++ source of the tree is checked once, with the flags its build compiles it with: the dev build's
database first, then any other build folder named (the fuzz build, for fuzz/). Generated sources in the build
folders are left out. Headers are checked through the sources that include them; the headers no source of
their own stands beside are named to include-what-you-use as well. A run prints every finding, one block per
file, and ends with one line saying how many files were checked and what was found; its exit status is 1 when
anything was found or a tool failed.

    tools/checks/static_checks.py tidy --build build/dev [--build build/fuzz] [-j 2] [FILE...]
    tools/checks/static_checks.py includes --build build/dev [--build build/fuzz] [-j 2] [--fix] [FILE...]

A source found clean is remembered (in ~/.cache/lumaro-checks, or LUMARO_CHECK_CACHE) by a hash of the tool's
version and settings, its flags, and the bytes of the source and of every file it includes, paths in the tree
made relative; it is not checked again while all of these stay the same, in this tree or another clone of it.
A finding is never remembered. LUMARO_CHECK_CACHE=none checks everything afresh.
"""

import argparse
import concurrent.futures
import hashlib
import json
import os
import re
import shlex
import subprocess
import sys
import time

ROOT = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", ".."))
MAPPING_FILE = os.path.join(ROOT, "tools", "checks", "iwyu.imp")
TIDY = os.environ.get("CLANG_TIDY", "clang-tidy-14")
IWYU = os.environ.get("INCLUDE_WHAT_YOU_USE", "include-what-you-use")
# Sources found clean are remembered here by what their result depends on, so an unchanged source is not
# checked again (another clone of the same tree included); findings are never remembered.
CACHE = os.environ.get("LUMARO_CHECK_CACHE", os.path.join(os.path.expanduser("~"), ".cache", "lumaro-checks"))
# The keys are made with the compiler the tools are built on, so its own branches of the headers count.
PREPROCESSOR = os.environ.get("CLANG", "clang++-14")


def sources(build_folders, wanted):
    """The tree's sources with their compile commands, each once, in path order."""
    chosen = {}
    for folder in build_folders:
        database = os.path.join(folder, "compile_commands.json")
        if not os.path.exists(database):
            continue
        with open(database, encoding="utf-8") as stream:
            for entry in json.load(stream):
                path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
                relative = os.path.relpath(path, ROOT)
                if relative.startswith("..") or relative.split(os.sep)[0] == "build":
                    continue
                chosen.setdefault(relative, dict(entry, file=path, folder=os.path.realpath(folder)))
    if wanted:
        missing = [name for name in wanted if os.path.normpath(name) not in chosen]
        if missing:
            sys.exit("not in any compile database: " + " ".join(missing))
        return [(name, chosen[os.path.normpath(name)]) for name in sorted(wanted)]
    return sorted(chosen.items())


def compiler_arguments(entry):
    """The entry's compile command without the compiler, the output and -c: what a clang-based tool takes."""
    words = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
    kept, skip = [], False
    for word in words[1:]:
        if skip:
            skip = False
        elif word == "-o":
            skip = True
        elif word != "-c":
            kept.append(word)
    return kept


def settings_of(check, check_also):
    """The tool's version and every setting a result depends on."""
    version = subprocess.run([TIDY if check == "tidy" else IWYU, "--version"], capture_output=True, text=True)
    parts = [check, version.stdout + version.stderr]
    for setting in [".clang-tidy"] if check == "tidy" else [MAPPING_FILE]:
        with open(os.path.join(ROOT, setting), encoding="utf-8") as stream:
            parts.append(stream.read())
    return "\0".join(parts + sorted(check_also))


FILE_DIGESTS = {}


def file_digest(path):
    """The SHA-256 of a file's bytes, worked out once a run."""
    if path not in FILE_DIGESTS:
        with open(path, "rb") as stream:
            FILE_DIGESTS[path] = hashlib.sha256(stream.read()).hexdigest()
    return FILE_DIGESTS[path]


def clean_key(entry, settings):
    """What a clean result of one source depends on: the settings, its flags, and the bytes of the source and
    of every file it includes, as the compiler finds them (so an include dropped, a macro added or a NOLINT
    mark moved all count). Paths inside the tree are taken relative to it, so a clone elsewhere finds the
    same key. None when the includes cannot be found (the tool then says why)."""
    if CACHE == "none":
        return None
    arguments = compiler_arguments(entry)
    result = subprocess.run([PREPROCESSOR, "-M", "-Wno-unknown-warning-option"] + arguments,
                            cwd=entry["directory"], capture_output=True, text=True)
    if result.returncode != 0:
        return None
    # A make rule: the object, a colon, then every file read, in the order they were first included.
    files = result.stdout.replace("\\\n", " ").split(":", 1)[1].split()
    digest = hashlib.sha256()
    digest.update("\0".join([settings] + arguments).replace(ROOT, "<tree>").encode() + b"\0")
    for name in files:
        path = os.path.realpath(os.path.join(entry["directory"], name))
        digest.update((path.replace(ROOT, "<tree>") + "\0" + file_digest(path) + "\0").encode())
    return digest.hexdigest()


def found_clean(key):
    return CACHE != "none" and key is not None and os.path.exists(os.path.join(CACHE, key))


def remember_clean(key):
    if CACHE != "none" and key is not None:
        os.makedirs(CACHE, exist_ok=True)
        open(os.path.join(CACHE, key), "w", encoding="utf-8").close()


def run_tidy(name, entry, settings):
    key = clean_key(entry, settings)
    if found_clean(key):
        return name, False, "", True
    result = subprocess.run([TIDY, "-p", entry["folder"], "--quiet", entry["file"]], cwd=ROOT,
                            capture_output=True, text=True)
    # clang-tidy prints its count of suppressed warnings on standard error whatever it finds; the findings
    # themselves go to standard output.
    findings = result.stdout.strip()
    failed = result.returncode != 0 or bool(findings)
    if result.returncode != 0 and not findings:
        findings = result.stderr.strip()
    if not failed:
        remember_clean(key)
    return name, failed, findings, False


# Headers without a source of their own beside them, checked by include-what-you-use from each source that
# includes them (a header with a source beside it is checked with that source).
def lone_headers():
    listed = subprocess.run(["git", "ls-files", "*.h"], cwd=ROOT, capture_output=True, text=True, check=True)
    headers = listed.stdout.split()
    return [h for h in headers if not os.path.exists(os.path.join(ROOT, h[:-2] + ".cpp"))]


IWYU_BLOCK = re.compile(r"^(\S.*) should add these lines:\n((?:.+\n)*)", re.MULTILINE)


def run_includes(name, entry, check_also, settings):
    key = clean_key(entry, settings)
    if found_clean(key):
        return name, {}, [], True
    command = [IWYU] + compiler_arguments(entry)
    command += ["-Xiwyu", "--no_fwd_decls", "-Xiwyu", "--mapping_file=" + MAPPING_FILE, "-Xiwyu", "--quoted_includes_first"]
    for header in check_also:
        command += ["-Xiwyu", "--check_also=" + os.path.join(ROOT, header)]
    result = subprocess.run(command, cwd=entry["directory"], capture_output=True, text=True)
    report = result.stderr + result.stdout
    missing = {}
    for file, lines in IWYU_BLOCK.findall(report):
        file = os.path.relpath(os.path.realpath(os.path.join(entry["directory"], file)), ROOT)
        for line in lines.splitlines():
            missing.setdefault(file, set()).add(re.sub(r"\s+//", "  //", line.strip()))
    # The tool says nothing of its own but these blocks; any "error:" is the source failing to compile.
    errors = [line for line in report.splitlines() if " error: " in line or line.startswith("error:")]
    if not missing and not errors:
        remember_clean(key)
    return name, missing, errors, False


def add_includes(file, lines):
    """Puts the missing includes after the file's first unconditional include (or its #pragma once, or its
    opening comment); clang-format then moves each into its block."""
    path = os.path.join(ROOT, file)
    with open(path, encoding="utf-8") as stream:
        text = stream.read().splitlines(keepends=True)
    wanted = [line.split("  //")[0] + "\n" for line in sorted(lines)]
    at = next((i + 1 for i, line in enumerate(text) if line.startswith("#include ")), None)
    if at is None or any(line.startswith("#if") for line in text[:at]):
        at = next((i + 1 for i, line in enumerate(text) if line.startswith("#pragma once")), None)
    if at is None:
        at = next(i for i, line in enumerate(text) if not line.startswith("//"))
        wanted = wanted + ["\n"]
    text[at:at] = wanted
    with open(path, "w", encoding="utf-8") as stream:
        stream.writelines(text)


def progress(what, done, total):
    """A line at every tenth of the sources done, so that a run of minutes shows how far it is."""
    if done % max(1, total // 10) == 0 or done == total:
        print(f"{what}: {done} of {total} sources done", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("check", choices=["tidy", "includes"])
    parser.add_argument("--build", action="append", required=True, help="a build folder with compile_commands.json")
    parser.add_argument("-j", "--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--fix", action="store_true", help="add the missing includes (then run make format)")
    parser.add_argument("files", nargs="*", help="sources to check (all by default), relative to the tree")
    options = parser.parse_intermixed_args()

    checked = sources(options.build, options.files)
    if not checked:
        sys.exit("no sources: configure a build first (cmake --preset dev)")
    started = time.monotonic()
    problems = remembered = 0
    check_also = lone_headers() if options.check == "includes" else []
    settings = settings_of(options.check, check_also)
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, options.jobs)) as pool:
        if options.check == "tidy":
            what = "clang-tidy"
            results = pool.map(lambda item: run_tidy(*item, settings), checked)
            for done, (name, failed, findings, cached) in enumerate(results, 1):
                remembered += cached
                if failed:
                    problems += 1
                    print(f"== {name}\n{findings}\n", flush=True)
                progress(what, done, len(checked))
        else:
            what = "include-what-you-use"
            reported, errors = {}, []
            results = pool.map(lambda item: run_includes(*item, check_also, settings), checked)
            for done, (name, missing, failed, cached) in enumerate(results, 1):
                progress(what, done, len(checked))
                remembered += cached
                for file, lines in missing.items():
                    reported.setdefault(file, set()).update(lines)
                errors += [f"{name}: {line}" for line in failed]
            for file in sorted(reported):
                if options.fix:
                    add_includes(file, reported[file])
                print(f"== {file} does not include what it uses; add:")
                print("\n".join(sorted(reported[file])) + "\n")
            print("\n".join(errors))
            problems = len(reported) + len(errors)
    seconds = time.monotonic() - started
    verdict = "no findings" if problems == 0 else f"findings in {problems}"
    print(f"{what}: {len(checked)} sources checked ({remembered} found clean before, unchanged), {verdict}, "
          f"in {seconds:.0f} s with {options.jobs} jobs")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
