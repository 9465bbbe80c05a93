#!/usr/bin/env python3
"""Proves that the rewritten literals give the program exactly the bytes GCC gives it.

Every translation unit of src/ and tests/ that the build compiles is compiled twice more by GCC,
to assembly at -O0, both from its preprocessed text: once as the build compiles it, with
-fexec-charset=GBK, and once through rewrite_literals --compile (literals rewritten) with
-fexec-charset=UTF-8, the only character set clang knows. The two listings must be the same: a literal the rewriting missed would
come out in UTF-8, one it got wrong in other bytes, a line it moved would change __LINE__. GCC,
not the rewriting tool, decides what is a literal here.

A unit whose preprocessed text holds no byte beyond ASCII and no universal character name cannot
differ, and is not compiled further.

    literals_match_gcc.py <build folder> <source folder> <rewrite_literals> [--jobs N] [--only REGEX]
"""
import argparse
import concurrent.futures
import difflib
import json
import os
import re
import shlex
import shutil
import subprocess
import sys

CHECKED_FOLDERS = ("src", "tests")


def inside(path, folder):
    path, folder = os.path.abspath(path), os.path.abspath(folder)
    return path == folder or path.startswith(folder + os.sep)


class Check:
    def __init__(self, build, root, tool, jobs, only):
        self.build, self.root, self.tool, self.jobs, self.only = build, root, tool, jobs, only
        self.work = os.path.join(build, "literal_check")
        self.listings = os.path.join(self.work, "listings")

    def ours(self, path):
        return any(inside(path, os.path.join(self.root, f)) for f in CHECKED_FOLDERS)

    def run_all(self, jobs, what):
        with concurrent.futures.ThreadPoolExecutor(max_workers=self.jobs) as pool:
            return list(pool.map(what, jobs))

    def commands(self, entry, index):
        """The two compilations of one unit: as the build does it, and rewritten in UTF-8."""
        args = shlex.split(entry["command"])
        kept, i = [], 0
        while i < len(args):
            a = args[i]
            if a in ("-o", "-MT", "-MF"):
                i += 2
                continue
            if a not in ("-c", "-MD"):
                kept.append(a)
            i += 1
        kept += ["-O0", "-g0"]  # quicker, and every line of code kept
        listing = os.path.join(self.listings, str(index))
        # Compiled from its preprocessed text too, so that the two differ in nothing else: GCC
        # places code a little differently when it cannot see which macro a line came from.
        preprocessed = listing + ".ii"
        written = [kept + ["-E", "-o", preprocessed],
                   [preprocessed if a == entry["file"] else a for a in kept] + ["-S", "-o", listing + ".gbk.s"]]

        utf8 = [a.replace("-fexec-charset=GBK", "-fexec-charset=UTF-8") for a in kept]
        rewritten = [[self.tool, "--compile"] + utf8 + ["-S", "-o", listing + ".utf8.s"]]
        return written, rewritten

    def refusal(self):
        """A literal GBK cannot hold stops the build with its place, and leaves no output."""
        source = os.path.join(self.work, "refused.cpp")
        with open(source, "w", encoding="utf-8") as f:
            f.write("// a character GBK does not have\nconst char* s =\n    \"\ud55c\";\n")
        out = os.path.join(self.work, "refused.s")
        r = subprocess.run([self.tool, "--compile", "g++", "-std=c++20", "-S", source, "-o", out],
                           capture_output=True, text=True)
        if r.returncode != 0 and f"{source}:3: " in r.stderr and "U+D55C" in r.stderr and not os.path.exists(out):
            return []
        return [f"a literal GBK cannot hold was not refused as it should be: exit {r.returncode}, {r.stderr!r}"]

    def compare(self, job):
        """None when the unit compiles to the same listing both ways, PLAIN when its preprocessed
        text holds nothing to convert, or what went wrong."""
        entry, written, rewritten = job
        result = self.compiled_alike(entry, written, rewritten)
        if result is None or result is PLAIN:  # what differs stays for a look
            for path in (written[0][-1], written[-1][-1], rewritten[-1][-1]):
                if os.path.exists(path):
                    os.remove(path)
        return result

    @staticmethod
    def compiled_alike(entry, written, rewritten):
        for step, command in enumerate(written + rewritten):
            r = subprocess.run(command, cwd=entry["directory"], capture_output=True, text=True)
            if r.returncode != 0:
                return f"{entry['file']}: GCC failed:\n{shlex.join(command)}\n{r.stderr[-3000:]}"
            if step == 0 and plain(written[0][-1]):
                return PLAIN
        a, b = (listing(commands[-1][-1]) for commands in (written, rewritten))
        if a == b:
            return None
        diff = list(difflib.unified_diff(a, b, "as written (GBK)", "rewritten (UTF-8)", lineterm="", n=1))
        return f"{entry['file']}: rewritten, it compiles to other bytes:\n" + "\n".join(diff[:40])

    def run(self):
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.listings)
        errors = self.refusal()
        with open(os.path.join(self.build, "compile_commands.json"), encoding="utf-8") as f:
            entries = [e for e in json.load(f) if self.ours(e["file"]) and re.search(self.only, e["file"])]
        jobs = [(entry,) + self.commands(entry, index) for index, entry in enumerate(entries)]
        results = self.run_all(jobs, self.compare)
        skipped = results.count(PLAIN)
        errors += [r for r in results if r and r is not PLAIN]
        for e in errors:
            print(e, file=sys.stderr)
        compared = len(jobs) - skipped
        print(f"{compared} translation units compiled both ways, {results.count(None)} the same; "
              f"{skipped} hold nothing beyond ASCII once preprocessed")
        return 1 if errors or not compared else 0


PLAIN = "plain"


def plain(path):
    """Whether a text holds no byte beyond ASCII and no universal character name."""
    with open(path, "rb") as f:
        data = f.read()
    return max(data, default=0) < 0x80 and not re.search(rb"\\[uU]", data)


def listing(path):
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        return f.read().splitlines()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("root")
    parser.add_argument("tool")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--only", default="", help="check only the units whose path this matches")
    a = parser.parse_args()
    if not os.path.exists(os.path.join(a.build, "compile_commands.json")):
        print("compile_commands.json is missing: configure with CMAKE_EXPORT_COMPILE_COMMANDS=ON", file=sys.stderr)
        return 1
    return Check(os.path.abspath(a.build), os.path.abspath(a.root), os.path.abspath(a.tool), a.jobs, a.only).run()


if __name__ == "__main__":
    sys.exit(main())
