#!/usr/bin/env python3
"""Mutation run over the shipped portable code (`make mutate`).

One small change at a time goes into a private copy of the sources under
build/mutate/src; the native unit tests are rebuilt there (only that target,
incrementally) and run with a time limit. A change that leaves every test
passing is a survivor: either a gap in the tests, or a change no test could
ever observe, which tools/mutate-equivalent.txt then names with a reason.

The working tree is never written: a run can go on while the sources are
edited, and an interrupted run leaves nothing behind but the copy, which the
next run refreshes (the copy's mutated file is restored on any exit too).

Usage: tools/mutate.py [--only PATH-SUBSTRING] [--list] [--jobs N]
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build" / "mutate"
COPY = WORK / "src"
TREE = WORK / "tree"
EQUIVALENT_FILE = ROOT / "tools" / "mutate-equivalent.txt"

# The shipped code that builds and is tested natively.
TARGET_GLOBS = ["driver/*.cpp", "driver/*.h", "maintenance/*.cpp", "maintenance/*.h", "shell/logic/*.cpp",
                "shell/logic/*.h", "platform/*.cpp", "platform/*.h"]
# The native stand-in for <windows.h>: its values are Windows', not ours.
SKIP_FILES = {"platform/WinTypes.h"}
# What the copy needs to configure and build the unit tests.
COPY_DIRS = ["CMakeLists.txt", "cmake", "platform", "driver", "maintenance", "shell", "tests", "resources",
             "framework", "tools"]
LIB_TARGETS = ["raylet_platform", "raylet_driver", "raylet_maintenance", "raylet_shell_logic"]
TEST_TARGET = "raylet_unit_tests"
BUILD_TIMEOUT = 600
RUN_TIMEOUT = 5

# ---------------------------------------------------------------- source scanning


def mask_code(lines):
    """Each line with comments, string and character literals blanked (same
    length), so operators are only ever found in code."""
    masked = []
    in_block = False
    for line in lines:
        out = []
        i = 0
        while i < len(line):
            c = line[i]
            if in_block:
                if line.startswith("*/", i):
                    in_block = False
                    out.append("  ")
                    i += 2
                else:
                    out.append(" ")
                    i += 1
            elif line.startswith("//", i):
                out.append(" " * (len(line) - i))
                break
            elif line.startswith("/*", i):
                in_block = True
                out.append("  ")
                i += 2
            elif c in "\"'":
                j = i + 1
                while j < len(line) and line[j] != c:
                    j += 2 if line[j] == "\\" else 1
                j = min(j + 1, len(line))
                # Keep the quotes so "x" still reads as one operand.
                out.append(c + " " * (j - i - 2) + c if j - i >= 2 else " ")
                i = j
            else:
                out.append(c)
                i += 1
        masked.append("".join(out))
    return masked


@dataclass
class Mutant:
    path: str         # relative to the repository
    line: int         # 1-based, first line changed
    kind: str
    description: str  # stable: kind, change and the original code line
    apply: object     # lines -> new lines


def describe(kind, change, code, function):
    return f"{kind}: {change} in `{' '.join(code.split())}` ({function})"


DEFINITION_RE = re.compile(r"^\s*(?:[\w:<>*&~]+\s+)*?([A-Za-z_~][\w:~]*)\s*\([^;]*$")
NOT_DEFINITIONS = {"if", "for", "while", "switch", "return", "sizeof", "static_cast", "reinterpret_cast"}


def enclosing_functions(masked):
    """For each line, the name of the function whose definition began last
    above it ("namespace scope" before any): the stable part of a mutant's
    place, which survives edits elsewhere in the file."""
    names, current = [], "namespace scope"
    for code in masked:
        m = DEFINITION_RE.match(code)
        first_word = code.split("(")[0].split()
        if m and first_word and first_word[0] not in NOT_DEFINITIONS and m.group(1) not in NOT_DEFINITIONS \
                and not code.rstrip().endswith(")") or (m and code.rstrip().endswith("{")
                                                       and first_word and first_word[0] not in NOT_DEFINITIONS):
            current = m.group(1)
        names.append(current)
    return names


RELATIONAL = {"==": "!=", "!=": "==", "<": "<=", "<=": "<", ">": ">=", ">=": ">"}
REL_RE = re.compile(r"(?<![<>=!&|+\-*/%^])(==|!=|<=|>=|<|>)(?![<>=])")
# `&&` right after a name is an rvalue reference, not a conjunction.
LOGICAL_RE = re.compile(r"(?<=[\s)])(&&|\|\|)")
BOOL_RE = re.compile(r"\b(true|false)\b")
NOT_RE = re.compile(r"!(?!=)")
INT_RE = re.compile(r"(?<![\w.])(0[xX][0-9A-Fa-f]+|\d+)([uUlL]*)(?![\w.])")
CAST_RE = re.compile(r"\b\w+_cast\s*<[^>]*>|\btemplate\s*<[^>]*>|\bstd::\w+\s*<[^>]*>")
CALL_RE = re.compile(r"^(?:\w+\s*(?:\.|->|::)\s*)*[A-Za-z_]\w*\s*\(.*\)\s*;\s*$")
CONTROL_RE = re.compile(r"^(if|for|while)\s*\(")
DECL_RE = re.compile(r"^(?:(?:const|static|constexpr|volatile|unsigned|signed)\s+)*[A-Za-z_][\w:]*(?:<[^;]*>)?"
                     r"[\s*&]+[A-Za-z_]\w*\s*(?:=|\[|\{|;|\()")
KEYWORDS_NOT_STATEMENTS = ("return", "case", "default", "break", "continue", "goto", "else", "do", "}", "{",
                           "namespace", "public", "private", "protected", "using", "typedef", "struct",
                           "class", "enum", "static_assert")


# Declarations whose numbers and order mean nothing to the program: pure
# virtual markers, deleted and defaulted members.
DECLARATION_ONLY_RE = re.compile(r"\)\s*(?:const\s*)?(?:override\s*)?=\s*(?:0|delete|default)\s*;\s*$")
DECLARATION_START = ("virtual", "explicit", "~", "inline", "friend", "operator")


def is_skipped_line(code):
    s = code.strip()
    return (not s or s.startswith("#") or s.startswith("static_assert") or
            bool(DECLARATION_ONLY_RE.search(s)))


def balanced_end(s, start):
    """Index just past the parenthesis that closes the one at s[start]."""
    depth = 0
    for i in range(start, len(s)):
        if s[i] == "(":
            depth += 1
        elif s[i] == ")":
            depth -= 1
            if depth == 0:
                return i + 1
    return -1


def call_span(masked, index):
    """(first, last, prefix_len) of a call statement starting on line index:
    a whole line, or the body after `if (...)`/`for (...)`, possibly running
    on over further lines until its `;`."""
    code = masked[index]
    stripped = code.strip()
    indent = len(code) - len(code.lstrip())
    prefix = 0
    m = CONTROL_RE.match(stripped)
    if m:
        end = balanced_end(stripped, stripped.index("("))
        if end < 0:
            return None
        rest = stripped[end:]
        if not rest.strip():
            return None
        prefix = indent + end + (len(rest) - len(rest.lstrip()))
        stripped = rest.strip()
    if stripped.startswith(KEYWORDS_NOT_STATEMENTS) or DECL_RE.match(stripped):
        return None
    # Gather a statement that continues over more lines.
    text, last = stripped, index
    while not text.rstrip().endswith(";") and last + 1 < len(masked) and last - index < 6:
        last += 1
        text += " " + masked[last].strip()
    if "{" in text or "=" in re.sub(r"[=!<>]=", "", text.split("(", 1)[0]):
        return None
    if not CALL_RE.match(text):
        return None
    # A declaration `Name(Type& arg, Type arg);` reads like a call.
    args = re.sub(r"\bsizeof\s+", "", CAST_RE.sub("", text))
    if re.search(r"[A-Za-z_]\w*[\s*&]+[A-Za-z_]\w*\s*[,)]", args):
        return None
    return index, last, prefix


def simple_statement(code):
    s = code.strip()
    if not s.endswith(";") or s.startswith(KEYWORDS_NOT_STATEMENTS) or CONTROL_RE.match(s):
        return False
    if DECL_RE.match(s) or s.startswith(DECLARATION_START) or "{" in s or "}" in s:
        return False
    # Two assignments alone never depend on their order here; a call may.
    return s.count("(") == s.count(")") and "(" in s


def replace_at(lines, index, col, old, new):
    line = lines[index]
    assert line[col:col + len(old)] == old
    out = list(lines)
    out[index] = line[:col] + new + line[col + len(old):]
    return out


def scan_file(rel, text):
    lines = text.split("\n")
    masked = mask_code(lines)
    functions = enclosing_functions(masked)
    mutants = []
    seen_descriptions = {}

    def add(index, kind, change, fn):
        description = describe(kind, change, lines[index], functions[index])
        # The same change on an identical line of the same function.
        seen_descriptions[description] = seen_descriptions.get(description, 0) + 1
        if seen_descriptions[description] > 1:
            description += f" #{seen_descriptions[description]}"
        mutants.append(Mutant(rel, index + 1, kind, description, fn))

    for i, code in enumerate(masked):
        if is_skipped_line(code):
            continue
        searchable = CAST_RE.sub(lambda m: " " * len(m.group(0)), code)
        seen = {}

        def occurrence(token):
            seen[token] = seen.get(token, 0) + 1
            return "" if seen[token] == 1 else f" #{seen[token]}"

        for m in REL_RE.finditer(searchable):
            op = m.group(1)
            new = RELATIONAL[op]
            add(i, "comparison", f"'{op}' -> '{new}'{occurrence(op)}",
                lambda ls, i=i, c=m.start(), o=op, n=new: replace_at(ls, i, c, o, n))
        for m in LOGICAL_RE.finditer(searchable):
            op = m.group(0)
            new = "||" if op == "&&" else "&&"
            add(i, "logical", f"'{op}' -> '{new}'{occurrence(op)}",
                lambda ls, i=i, c=m.start(), o=op, n=new: replace_at(ls, i, c, o, n))
        for m in BOOL_RE.finditer(searchable):
            word = m.group(1)
            new = "false" if word == "true" else "true"
            add(i, "boolean", f"'{word}' -> '{new}'{occurrence(word)}",
                lambda ls, i=i, c=m.start(), o=word, n=new: replace_at(ls, i, c, o, n))
        for m in NOT_RE.finditer(searchable):
            add(i, "negation", f"'!' dropped{occurrence('!')}",
                lambda ls, i=i, c=m.start(): replace_at(ls, i, c, "!", ""))
        for m in INT_RE.finditer(searchable):
            literal, suffix = m.group(1), m.group(2)
            value = int(literal, 0)
            new_value = value + 1
            new = (hex(new_value) if literal.lower().startswith("0x") else str(new_value))
            add(i, "constant", f"{literal}{suffix} -> {new}{suffix}{occurrence(literal)}",
                lambda ls, i=i, c=m.start(), o=literal, n=new: replace_at(ls, i, c, o, n))

        span = call_span(masked, i)
        if span:
            first, last, prefix = span

            def delete_call(ls, first=first, last=last, prefix=prefix):
                out = list(ls)
                out[first] = out[first][:prefix] + ";"
                for k in range(first + 1, last + 1):
                    out[k] = ""
                return out

            add(i, "deleted call", "statement removed", delete_call)

        if (i + 1 < len(masked) and simple_statement(code) and simple_statement(masked[i + 1]) and
                not is_skipped_line(masked[i + 1])):
            indent = len(code) - len(code.lstrip())
            if indent == len(masked[i + 1]) - len(masked[i + 1].lstrip()):
                nxt = " ".join(lines[i + 1].split())

                def swap(ls, i=i):
                    out = list(ls)
                    out[i], out[i + 1] = out[i + 1], out[i]
                    return out

                add(i, "swap", f"swapped with `{nxt}`", swap)
    return mutants


# ---------------------------------------------------------------- equivalents


def read_equivalents():
    """{(path, description): reason} from the checked-in list, whose lines
    read `path: description -- reason`."""
    known = {}
    if not EQUIVALENT_FILE.exists():
        return known
    for number, raw in enumerate(EQUIVALENT_FILE.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        path, _, rest = line.partition(": ")
        description, _, reason = rest.rpartition(" -- ")
        if not path or not description or not reason:
            sys.exit(f"{EQUIVALENT_FILE.name}:{number}: want 'path: description -- reason'")
        known[(path, description)] = reason
    return known


# ---------------------------------------------------------------- building and running


def sync_copy():
    """Brings build/mutate/src up to date with the working tree, touching only
    files whose content differs, so the tree builds incrementally."""
    wanted = set()
    for top in COPY_DIRS:
        src = ROOT / top
        paths = [src] if src.is_file() else [p for p in src.rglob("*") if p.is_file()]
        for path in paths:
            rel = path.relative_to(ROOT)
            wanted.add(rel)
            dst = COPY / rel
            if dst.exists() and dst.read_bytes() == path.read_bytes():
                continue
            dst.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(path, dst)
    for path in list(COPY.rglob("*")):
        if path.is_file() and path.relative_to(COPY) not in wanted:
            path.unlink()


def configure():
    flags = ["-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS_DEBUG=-O0", "-DRAYLET_WINE_TESTS=OFF",
             # Discovery at build time would run a mutant that hangs.
             "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"]
    if shutil.which("ld.lld"):
        flags.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
    # Ninja decides what to rebuild far faster than make, which counts here.
    if shutil.which("ninja") and not (TREE / "Makefile").exists():
        flags += ["-G", "Ninja"]
    subprocess.run(["cmake", "-S", str(COPY), "-B", str(TREE), *flags], check=True, stdout=subprocess.DEVNULL)


def build(targets, jobs):
    """'ok', 'failed' or 'timeout'."""
    try:
        result = subprocess.run(["cmake", "--build", str(TREE), "-j", str(jobs), "--target", *targets],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=BUILD_TIMEOUT)
    except subprocess.TimeoutExpired:
        return "timeout"
    return "ok" if result.returncode == 0 else "failed"


def run_tests(limit):
    """'passed', 'failed' or 'timeout'."""
    binary = TREE / "tests" / "unit" / TEST_TARGET
    try:
        result = subprocess.run([str(binary), "--gtest_brief=1", "--gtest_fail_fast"], cwd=binary.parent,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=limit,
                                start_new_session=True)
    except subprocess.TimeoutExpired:
        return "timeout"
    return "passed" if result.returncode == 0 else "failed"


class Restorer:
    """Puts the copy's file back however the run ends (Ctrl-C included)."""

    def __init__(self):
        self.path = None
        self.original = None

    def write(self, path, original, mutated):
        self.path, self.original = path, original
        path.write_text(mutated, encoding="utf-8")

    def restore(self):
        if self.path is not None:
            self.path.write_text(self.original, encoding="utf-8")
            self.path = None


def collect(only):
    mutants = []
    for pattern in TARGET_GLOBS:
        for path in sorted(ROOT.glob(pattern)):
            rel = path.relative_to(ROOT).as_posix()
            if rel in SKIP_FILES or (only and only not in rel):
                continue
            mutants.extend(scan_file(rel, path.read_text(encoding="utf-8")))
    # Sources before headers: a header change rebuilds much more.
    mutants.sort(key=lambda m: (m.path.endswith(".h"), m.path, m.line))
    return mutants


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--only", help="only files whose path contains this text")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--jobs", type=int, default=int(os.environ.get("JOBS", "2")))
    args = parser.parse_args()

    mutants = collect(args.only)
    equivalents = read_equivalents()
    if args.list:
        for m in mutants:
            print(f"{m.path}:{m.line}: {m.description}")
        print(f"{len(mutants)} mutants")
        return 0

    started = time.monotonic()
    WORK.mkdir(parents=True, exist_ok=True)
    sync_copy()
    configure()
    if build(LIB_TARGETS + [TEST_TARGET], args.jobs) != "ok" or run_tests(120) != "passed":
        sys.exit("mutate: the unmutated tree does not build or pass its unit tests")
    base_start = time.monotonic()
    run_tests(120)
    limit = max(RUN_TIMEOUT, 50 * (time.monotonic() - base_start))

    restorer = Restorer()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    results = {"killed": [], "survived": [], "equivalent": [], "timeout": [], "build-failure": []}
    seen_equivalents = set()
    try:
        for number, m in enumerate(mutants, 1):
            target = COPY / m.path
            original = target.read_text(encoding="utf-8")
            mutated = "\n".join(m.apply(original.split("\n")))
            restorer.write(target, original, mutated)
            built = build([TEST_TARGET], args.jobs)
            if built == "failed":
                # The shipped code itself does not build, or a compile-time
                # check of the tests caught the change.
                outcome = "build-failure" if build(LIB_TARGETS, args.jobs) != "ok" else "killed"
            elif built == "timeout":
                outcome = "timeout"
            else:
                ran = run_tests(limit)
                outcome = {"failed": "killed", "timeout": "timeout", "passed": "survived"}[ran]
            restorer.restore()
            key = (m.path, m.description)
            if outcome == "survived" and key in equivalents:
                outcome = "equivalent"
                seen_equivalents.add(key)
            results[outcome].append(m)
            print(f"[{number}/{len(mutants)}] {outcome:13} {m.path}:{m.line}: {m.description}", flush=True)
    except KeyboardInterrupt:
        print("\nmutate: interrupted", file=sys.stderr)
        return 130
    finally:
        restorer.restore()

    elapsed = time.monotonic() - started
    print()
    for m in results["survived"]:
        print(f"SURVIVED {m.path}:{m.line}: {m.description}")
    for m in results["equivalent"]:
        print(f"equivalent {m.path}:{m.line}: {m.description} -- {equivalents[(m.path, m.description)]}")
    for m in results["timeout"]:
        print(f"timeout {m.path}:{m.line}: {m.description}")
    stale = [k for k in equivalents if k not in seen_equivalents and (not args.only or args.only in k[0])]
    for path, description in stale:
        print(f"stale equivalent entry (no such surviving change): {path} | {description}")

    killed = len(results["killed"]) + len(results["timeout"])
    scored = killed + len(results["survived"])
    score = 100.0 * killed / scored if scored else 100.0
    print(f"\n{len(mutants)} mutants: {len(results['killed'])} killed, {len(results['timeout'])} timed out "
          f"(counted as killed), {len(results['survived'])} survived, {len(results['equivalent'])} equivalent, "
          f"{len(results['build-failure'])} did not build")
    print(f"score {score:.1f}% of {scored} non-equivalent mutants killed; {elapsed / 60:.1f} min")
    return 0 if score >= 95.0 else 1


if __name__ == "__main__":
    sys.exit(main())
