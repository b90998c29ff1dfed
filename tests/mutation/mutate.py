#!/usr/bin/env python3
"""Mutation testing of xpcorr: one-place operator faults, each built and
put to the whole test suite, to find the faults the tests let through.

    python3 tests/mutation/mutate.py [--seed N] [--count N] [--only I,J,...] [--under DIR]

The sources are copied to build-mutation/tree, which builds with its
"default" preset (in build-mutation/tree/build), so the work tree is never
changed. A seeded sample of the possible mutants of the record I/O layer,
the core, the tables (read and written), the command line and the file
room is taken (or of those under DIR alone); each is built and, when it
compiles, tested by ctest (stopping at the first failing test, each test
within its time limit). A mutant is
killed when a test fails, survives when all pass. The log lists each one
and ends with the survivors. --only re-runs mutants of the same seed by
number, as after a test was added for them.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WORK = os.path.join(ROOT, "build-mutation")
TREE = os.path.join(WORK, "tree")

# Where mutants are made: the rooms of xpcorr and the tables, read and
# written; --under narrows the sample to one folder.
SOURCES = [r"src/(recio|core|cli|files|tables)/.*\.(cpp|hpp)$"]

# Each operator, written between blanks as the committed format writes
# every binary operator, and what it may become. Unary ! and the
# increments are found by their own patterns.
BINARY = {
    "<": ["<=", ">="], "<=": ["<", ">"], ">": [">=", "<="], ">=": [">", "<"],
    "==": ["!="], "!=": ["=="], "&&": ["||"], "||": ["&&"],
    "+": ["-"], "-": ["+"], "*": ["/"], "/": ["*"], "%": ["/"],
    "&": ["|"], "|": ["&"], "^": ["&"], "+=": ["-="], "-=": ["+="],
}
BINARY_RE = re.compile(r"(?<= )(<=|>=|==|!=|&&|\|\||\+=|-=|<|>|\+|-|\*|/|%|&|\||\^)(?= )")
NOT_RE = re.compile(r"(?<=[ (!])!(?!=)")
STEP_RE = re.compile(r"\+\+|--")


def blank_literals(line):
    """The line with string and character literals and any // comment
    blanked out, keeping every offset."""
    out, quote, i = list(line), None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out[i:i + 2] = " " * len(out[i:i + 2])
                i += 2
                continue
            if c == quote:
                quote = None
            else:
                out[i] = " "
        elif c in "\"'":
            quote = c
        elif line.startswith("//", i):
            return "".join(out[:i])
        i += 1
    return "".join(out)


def joins_text(code, m):
    """A + or += beside a string literal joins texts: no other operator
    would compile there."""
    return m.group(1) in ("+", "+=") and (code[m.end() + 1:m.end() + 2] == '"'
                                          or code[m.start() - 2:m.start() - 1] == '"')


def sites(path):
    """Every (line number, column, operator, replacement) of one file."""
    found = []
    with open(os.path.join(ROOT, path)) as f:
        for number, line in enumerate(f, 1):
            if line.lstrip().startswith(("#", "//")):
                continue
            code = blank_literals(line.rstrip("\n"))
            for m in BINARY_RE.finditer(code):
                if joins_text(code, m):
                    continue
                for new in BINARY[m.group(1)]:
                    found.append((number, m.start(), m.group(1), new))
            for m in NOT_RE.finditer(code):
                found.append((number, m.start(), "!", ""))
            for m in STEP_RE.finditer(code):
                found.append((number, m.start(), m.group(0), "--" if m.group(0) == "++" else "++"))
    return [(path,) + s for s in found]


def sources(under):
    tracked = subprocess.run(["git", "ls-files", under or "src"], cwd=ROOT, check=True,
                             capture_output=True, text=True).stdout.split()
    return [p for p in tracked if any(re.search(r, p) for r in SOURCES)]


def sync_tree():
    """Copies every tracked file into the tree, keeping the times of those
    unchanged, so a later run rebuilds only what changed."""
    tracked = subprocess.run(["git", "ls-files"], cwd=ROOT, check=True,
                             capture_output=True, text=True).stdout.split()
    for p in tracked:
        src, dst = os.path.join(ROOT, p), os.path.join(TREE, p)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        if not os.path.exists(dst) or open(src, "rb").read() != open(dst, "rb").read():
            shutil.copy2(src, dst)


def run(cmd, timeout, log):
    """Runs `cmd` in the tree in a process group of its own, killed whole
    past `timeout`; returns its status (None when killed) and output."""
    p = subprocess.Popen(cmd, cwd=TREE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         text=True, start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, 9)
        out, _ = p.communicate()
        log.write(out[-4000:])
        return None, out
    return p.returncode, out


def build(log, timeout=1800):
    status, out = run(["cmake", "--build", "--preset", "default"], timeout, log)
    return status == 0, out


def test(log, timeout):
    status, out = run(["ctest", "--test-dir", "build", "-j2", "--stop-on-failure"], timeout, log)
    failed = re.findall(r"Test +#\d+: (\S+) \.*\*+(\w+)", out)
    if status is None:
        return "killed (ctest past %d s)" % timeout
    if status == 0:
        return None
    return "killed by %s (%s)" % failed[0] if failed else "killed (ctest status %d)" % status


def mutate(site):
    path, number, column, old, new = site
    full = os.path.join(TREE, path)
    with open(full) as f:
        lines = f.readlines()
    original = "".join(lines)
    line = lines[number - 1]
    assert line[column:column + len(old)] == old, site
    lines[number - 1] = line[:column] + new + line[column + len(old):]
    with open(full, "w") as f:
        f.writelines(lines)
    return original, line.strip(), lines[number - 1].strip()


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--seed", type=int, default=int(time.time()))
    ap.add_argument("--count", type=int, default=100)
    ap.add_argument("--only", default="", help="mutant numbers to run, as 3,17")
    ap.add_argument("--timeout", type=int, default=900, help="seconds for one mutant's tests")
    ap.add_argument("--under", default="", help="only the sources under this folder, as src/tables")
    args = ap.parse_args()

    all_sites = [s for p in sources(args.under) for s in sites(p)]
    chosen = random.Random(args.seed).sample(all_sites, min(args.count, len(all_sites)))
    numbers = [int(n) for n in args.only.split(",") if n] or range(1, len(chosen) + 1)

    os.makedirs(WORK, exist_ok=True)
    sync_tree()
    log_path = os.path.join(WORK, "mutants-%d.log" % args.seed)
    log = open(log_path, "a", buffering=1)
    print("seed %d: %d mutants of %d possible; log %s" % (args.seed, len(numbers), len(all_sites),
                                                          log_path), flush=True)
    status, out = run(["cmake", "--preset", "default", "-DXPCORR_TEST_TIMEOUT=120"], 600, log)
    ok, out = build(log)
    if status != 0 or not ok or test(log, args.timeout):
        sys.exit("the unchanged tree does not build and pass its tests: see " + log_path)

    counts, survivors = {}, []
    for n in numbers:
        site = chosen[n - 1]
        original, before, after = mutate(site)
        start = time.time()
        try:
            ok, out = build(log)
            result = test(log, args.timeout) or "SURVIVED" if ok else "not compiled"
        finally:
            with open(os.path.join(TREE, site[0]), "w") as f:
                f.write(original)
        kind = "not compiled" if result == "not compiled" else result.split(" ")[0]
        counts[kind] = counts.get(kind, 0) + 1
        text = "#%d %s:%d  %s  ->  %s  [%s, %.0f s]" % (n, site[0], site[1], before, after, result,
                                                      time.time() - start)
        if kind == "SURVIVED":
            survivors.append(text)
        log.write(text + "\n")
        print(text, flush=True)
    summary = "seed %d: %s" % (args.seed, ", ".join("%d %s" % (v, k) for k, v in counts.items()))
    for line in [summary, "survivors:"] + survivors:
        log.write(line + "\n")
        print(line, flush=True)
    build(log)


if __name__ == "__main__":
    main()
