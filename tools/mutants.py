"""The changes of a mutation run (tools/mutate.py): where in a C++ source
each one goes, what it does, and a description of it that names the code
line and the function rather than the line number, so a list of known
changes outlives edits elsewhere in the file.

Only code is changed: comments, string and character literals, preprocessor
lines and declarations that carry no behaviour are left alone.
"""

import re
from dataclasses import dataclass


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
# A whole definition on one line: `bool IsValid() const { return ...; }`.
ONE_LINE_DEFINITION_RE = re.compile(r"^\s*(?:[\w:<>*&~]+\s+)+([A-Za-z_~][\w:~]*)\s*\([^;{]*\)\s*"
                                    r"(?:const\s*)?(?:noexcept\s*)?(?:override\s*)?\{")
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
        one_line = ONE_LINE_DEFINITION_RE.match(code)
        if one_line and code.split()[0] not in NOT_DEFINITIONS:
            current = one_line.group(1)
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
