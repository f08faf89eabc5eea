#!/usr/bin/env python3
"""Checks a text file of the release (a user's guide, the license).

usage: check-text.py FILE --encoding ascii|cp932 [--max 76] [--crlf]
                     [--convert] [--messages tests/fuzz/KnownMessages.h]
                     [--root DIR]

  --encoding  ascii: every byte is 0x20..0x7E, apart from CR and LF.
              cp932: the bytes decode strictly as code page 932 (Shift-JIS)
              and hold no control character apart from CR and LF.
  --max       the longest line allowed, in bytes, line end not counted.
  --crlf      every line ends in CR LF (no bare LF, no bare CR); without
              it, every line ends in LF and no CR appears.
  --convert   FILE is UTF-8 with LF line ends, as stored in git: encode it
              with --encoding (and CR LF with --crlf), as the packaging
              does, before checking.
  --messages  every numbered message in that list ({N, "text", ...}) and
              in the driver's code (driver/*.cpp),
              the result label's initial text (driver/TSetRay.cpp), the
              port probe's box texts (driver/ProbePort.cpp) and the
              removal's restart box (maintenance/DriverRemoval.cpp) must
              appear in the file, each with every run of white space
              (line feeds included) taken as one blank, and the file's
              own white space likewise.
  --root      the source tree those files are read from; by default the
              folder three levels above the messages list.

Always: no tab, no blank at the end of a line, a line end after the last
line. Exits 1 naming every failure, 0 when the file passes, 2 on bad use.
"""

import argparse
import pathlib
import re
import sys

_ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "\\": "\\", '"': '"', "'": "'", "0": "\0", "?": "?"}


def unescape(body):
    """The value of a C string literal's body."""
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        nxt = body[i + 1] if i + 1 < len(body) else ""
        if nxt == "x":
            m = re.match(r"[0-9A-Fa-f]+", body[i + 2:])
            out.append(chr(int(m.group(0), 16)) if m else "x")
            i += 2 + (len(m.group(0)) if m else 0)
        elif nxt in _ESCAPES:
            out.append(_ESCAPES[nxt])
            i += 2
        else:
            out.append(nxt)
            i += 2
    return "".join(out)


_LITERAL = r'"((?:[^"\\\n]|\\.)*)"'


def known_messages(path):
    """(label, text) for every {N, "text", ...} entry of the list."""
    source = path.read_text(encoding="utf-8")
    entries = []
    for m in re.finditer(r"\{\s*(\d+)\s*,\s*((?:" + _LITERAL + r"\s*)+),", source):
        text = "".join(unescape(b) for b in re.findall(_LITERAL, m.group(2)))
        entries.append(("message %s" % m.group(1), text))
    return entries


def code_messages(folder):
    """Every numbered message the driver's code writes: each string literal
    (adjacent ones joined) of folder/*.cpp that ends in a blank and a number,
    so a message added to the code without an explanation is missed."""
    entries = []
    for path in sorted(folder.glob("*.cpp")):
        source = path.read_text(encoding="utf-8")
        for m in re.finditer(r"(?:" + _LITERAL + r"\s*)+", source):
            text = "".join(unescape(b) for b in re.findall(_LITERAL, m.group(0)))
            found = re.search(r" (\d+)$", text)
            if found:
                entries.append(("message %s (%s)" % (found.group(1), path.name), text))
    return entries


def initial_result_text(path):
    source = path.read_text(encoding="utf-8")
    m = re.search(r"kInitialResultText\[\]\s*=\s*((?:" + _LITERAL + r"\s*)+);", source)
    if not m:
        return []
    return [("initial result text", "".join(unescape(b) for b in re.findall(_LITERAL, m.group(1))))]


def probe_boxes(path):
    source = path.read_text(encoding="utf-8")
    texts = [unescape(b) for b in re.findall(_LITERAL, source)]
    boxes = [("probe box", t) for t in texts if t.startswith("fault ")]
    if '"Error"' in source:
        boxes.append(("probe box caption", "Error"))
    return boxes


def restart_box(path):
    source = path.read_text(encoding="utf-8")
    m = re.search(r"MessageBoxExA\(\s*nullptr\s*,\s*" + _LITERAL + r"\s*,\s*" + _LITERAL, source)
    if not m:
        return []
    return [("restart box text", unescape(m.group(1))), ("restart box caption", unescape(m.group(2)))]


def collapse(text):
    return re.sub(r"\s+", " ", text).strip()


def check(data, encoding, maximum, crlf):
    failures = []
    if encoding == "ascii":
        for offset, byte in enumerate(data):
            if byte in (10, 13):
                continue
            if byte < 0x20 or byte > 0x7E:
                line = data.count(b"\n", 0, offset) + 1
                failures.append("line %d: byte 0x%02X is not printable ASCII" % (line, byte))
        text = data.decode("ascii", errors="replace")
    else:
        try:
            text = data.decode("cp932", errors="strict")
        except UnicodeDecodeError as error:
            line = data.count(b"\n", 0, error.start) + 1
            failures.append("line %d: bytes do not decode as code page 932 (%s)" % (line, error.reason))
            text = data.decode("cp932", errors="replace")
        for number, line_text in enumerate(text.split("\n"), 1):
            for c in line_text.rstrip("\r"):
                if ord(c) < 0x20 or ord(c) == 0x7F:
                    failures.append("line %d: control character U+%04X" % (number, ord(c)))

    if data and not data.endswith(b"\n"):
        failures.append("the last line has no line end")
    lines = data.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    for number, line in enumerate(lines, 1):
        if crlf:
            if not line.endswith(b"\r"):
                if number < len(lines) or data.endswith(b"\n"):
                    failures.append("line %d: ends in a bare LF, not CR LF" % number)
            else:
                line = line[:-1]
        if b"\r" in line:
            failures.append("line %d: bare CR" % number)
        if b"\t" in line:
            failures.append("line %d: tab" % number)
        if line.endswith(b" "):
            failures.append("line %d: blank at the end" % number)
        if len(line) > maximum:
            failures.append("line %d: %d bytes, more than %d" % (number, len(line), maximum))
    return text, failures


def main():
    parser = argparse.ArgumentParser(description="Checks a text file of the release.")
    parser.add_argument("file")
    parser.add_argument("--encoding", choices=["ascii", "cp932"], required=True)
    parser.add_argument("--max", type=int, default=76)
    parser.add_argument("--crlf", action="store_true")
    parser.add_argument("--convert", action="store_true")
    parser.add_argument("--messages")
    parser.add_argument("--root")
    args = parser.parse_args()

    path = pathlib.Path(args.file)
    try:
        data = path.read_bytes()
    except OSError as error:
        print("%s: cannot be read: %s" % (args.file, error))
        return 1

    failures = []
    if args.convert:
        try:
            source = data.decode("utf-8", errors="strict")
        except UnicodeDecodeError as error:
            print("%s: not UTF-8 at byte %d" % (args.file, error.start))
            return 1
        if "\r" in source:
            failures.append("CR in the UTF-8 source (git keeps LF only)")
            source = source.replace("\r", "")
        if args.crlf:
            source = source.replace("\n", "\r\n")
        try:
            data = source.encode(args.encoding, errors="strict")
        except UnicodeEncodeError as error:
            line = source.count("\n", 0, error.start) + 1
            failures.append("line %d: U+%04X has no %s form" % (line, ord(source[error.start]), args.encoding))
            data = source.encode(args.encoding, errors="replace")

    text, found = check(data, args.encoding, args.max, args.crlf)
    failures += found

    if args.messages:
        messages = pathlib.Path(args.messages)
        root = pathlib.Path(args.root) if args.root else messages.resolve().parent.parent.parent
        wanted = []
        sources = [
            (messages, known_messages, "no {N, \"text\", ...} entry"),
            (root / "driver", code_messages, "no numbered message in the code"),
            (root / "driver" / "TSetRay.cpp", initial_result_text, "no kInitialResultText"),
            (root / "driver" / "ProbePort.cpp", probe_boxes, "no \"fault ...\" box text"),
            (root / "maintenance" / "DriverRemoval.cpp", restart_box, "no MessageBoxExA texts"),
        ]
        for source_path, reader, empty in sources:
            try:
                entries = reader(source_path)
            except OSError as error:
                failures.append("%s: cannot be read: %s" % (source_path, error))
                continue
            if not entries:
                failures.append("%s: %s found" % (source_path, empty))
            wanted += entries
        guide = collapse(text)
        for label, message in wanted:
            needle = collapse(message)
            # The text must stand whole: "... ENABLE! 5" is not found inside
            # "... ENABLE! 50".
            pattern = r"(?<![0-9A-Za-z])" + re.escape(needle) + r"(?![0-9A-Za-z])"
            if not re.search(pattern, guide):
                failures.append("%s missing: \"%s\"" % (label, needle))

    for failure in failures:
        print("%s: %s" % (args.file, failure))
    if failures:
        print("%s: %d failure(s)" % (args.file, len(failures)))
        return 1
    print("%s: ok" % args.file)
    return 0


if __name__ == "__main__":
    sys.exit(main())
