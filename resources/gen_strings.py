#!/usr/bin/env python3
"""Builds the program's string resources and English language files from
resources/StringCatalogue.txt (see the head of that file for its format).

  gen_strings.py --rc OUT.rc --header OUT.h --table OUT.inc   (the build runs this)
  gen_strings.py --write-lang [DIR]   writes English.lng, English_US.lng, Neutral.lng
  gen_strings.py --check-lang [DIR]   exit 1 when those files differ from the catalogue
  gen_strings.py --to-utf8 IN.lng OUT.txt / --from-utf8 IN.txt OUT.lng
        convert a language file for editing and back (language files are UTF-16)
"""
import argparse
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
CATALOGUE = os.path.join(HERE, "StringCatalogue.txt")
LANG_DIR = os.path.join(HERE, "lang")

FLAG_FIXED = 1
FLAG_RESOURCE_ONLY = 2

_ESCAPES = {"n": "\n", "t": "\t", "\\": "\\", '"': '"'}
_TOKEN = re.compile(r'\s*(?:(\w+)=)?"((?:[^"\\]|\\.)*)"|\s*(\w+)')


class Entry:
    def __init__(self, sid, symbol, uk, us, flags, note, group):
        self.id, self.symbol, self.uk, self.us = sid, symbol, uk, us
        self.flags, self.note, self.group = flags, note, group

    def text(self, us):
        return self.us if (us and self.us is not None) else self.uk


def unescape(s, where):
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c == "\\":
            if i + 1 >= len(s) or s[i + 1] not in _ESCAPES:
                raise SystemExit("%s: bad escape in %r" % (where, s))
            out.append(_ESCAPES[s[i + 1]])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_catalogue(path=CATALOGUE):
    entries, ids, symbols, group = [], set(), set(), ""
    with open(path, encoding="utf-8") as f:
        for n, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            where = "%s:%d" % (os.path.basename(path), n)
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if line.startswith("@group"):
                group = line[len("@group"):].strip()
                continue
            m = re.match(r"\s*(0x[0-9A-Fa-f]+|\d+)\s+([A-Z][A-Z0-9_]*)(.*)$", line)
            if not m:
                raise SystemExit("%s: cannot read %r" % (where, line))
            sid = int(m.group(1), 0)
            symbol, rest = m.group(2), m.group(3)
            uk = us = note = None
            flags = 0
            pos = 0
            while pos < len(rest):
                if not rest[pos:].strip():
                    break
                t = _TOKEN.match(rest, pos)
                if not t:
                    raise SystemExit("%s: cannot read %r" % (where, rest[pos:]))
                pos = t.end()
                key, quoted, word = t.group(1), t.group(2), t.group(3)
                if word == "fixed":
                    flags |= FLAG_FIXED
                elif word == "res":
                    flags |= FLAG_RESOURCE_ONLY
                elif word is not None:
                    raise SystemExit("%s: unknown word %r" % (where, word))
                elif key is None and uk is None:
                    uk = unescape(quoted, where)
                elif key == "us":
                    us = unescape(quoted, where)
                elif key == "note":
                    note = unescape(quoted, where)
                else:
                    raise SystemExit("%s: unexpected %r" % (where, t.group(0)))
            if uk is None or uk == "":
                raise SystemExit("%s: id %d has no text" % (where, sid))
            if not 0 < sid <= 0xFFFF:
                raise SystemExit("%s: id %d out of range" % (where, sid))
            if (sid > 0xDFFF) != bool(flags & FLAG_RESOURCE_ONLY):
                raise SystemExit("%s: ids above 0xDFFF and only those are resource-only prompts" % where)
            if sid in ids or symbol in symbols:
                raise SystemExit("%s: duplicate id %d or symbol %s" % (where, sid, symbol))
            for text in (uk, us):
                if text is not None and any(ord(ch) > 126 for ch in text):
                    raise SystemExit("%s: English texts are plain ASCII" % where)
            ids.add(sid)
            symbols.add(symbol)
            entries.append(Entry(sid, symbol, uk, us if us != uk else None, flags, note, group))
    return entries


# --- language files -------------------------------------------------------

def lng_escape(text):
    s = text.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t")
    # The profile functions drop blanks around a value and one pair of
    # enclosing quotes (single or double): quote texts whose edges would
    # otherwise be lost.
    if s != s.strip() or (len(s) >= 2 and s[0] == s[-1] and s[0] in "'\""):
        s = '"' + s + '"'
    return s


LNG_HEADER = """\
; Kanzo language file: {name}, LANGID {langid}
; {purpose}
;
; Encoding: UTF-16 little endian with byte-order mark (FF FE), CRLF line ends.
; Section [Strings], one line per text: <string id in decimal>=<text>
;   \\n = line feed, \\t = tab, \\\\ = backslash (write nothing else after a backslash)
;   &  marks the underlined mnemonic letter of the next character; && is a plain &
;   %s, %d ... are filled in by the program: keep every one, in the same order
;   blanks at the start or end of a text are dropped; enclose the whole text in
;   double quotes to keep them
; Lines that start with ; are comments. Texts marked "do not translate" are
; names or signs that stay as they are.
"""


def lng_content(entries, us, name, langid, purpose):
    lines = LNG_HEADER.format(name=name, langid=langid, purpose=purpose).split("\n")
    lines += ["[Strings]"]
    group = None
    for e in entries:
        if e.flags & FLAG_RESOURCE_ONLY:
            continue
        if e.group != group:
            group = e.group
            lines += ["", "; --- %s ---" % group]
        notes = []
        if e.flags & FLAG_FIXED:
            notes.append("do not translate")
        if e.note:
            notes.append(e.note)
        if notes:
            lines.append("; %d: %s" % (e.id, "; ".join(notes)))
        lines.append("%d=%s" % (e.id, lng_escape(e.text(us))))
    lines.append("")
    return "\r\n".join(lines).encode("utf-16-le")


def lng_files(entries):
    return {
        "English.lng": b"\xff\xfe" + lng_content(
            entries, False, "English (United Kingdom)", "0x0809",
            "The reference language: every other language file holds the same ids."),
        "English_US.lng": b"\xff\xfe" + lng_content(
            entries, True, "English (United States)", "0x0409",
            "US spellings of the English texts."),
        "Neutral.lng": b"\xff\xfe" + lng_content(
            entries, False, "Neutral", "0x0000",
            "The last resort when a text is missing everywhere else (English texts)."),
    }


# --- build outputs --------------------------------------------------------

def rc_quote(text):
    s = text.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t").replace('"', '""')
    return '"%s"' % s


def write_if_changed(path, data):
    if isinstance(data, str):
        data = data.encode("utf-8")
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


GENERATED = "Generated by resources/gen_strings.py from resources/StringCatalogue.txt; do not edit."


def rc_content(entries):
    out = ["// " + GENERATED, "// English (United Kingdom): every text.", "LANGUAGE 0x09, 0x02",
           "STRINGTABLE", "BEGIN"]
    out += ["    %d, %s" % (e.id, rc_quote(e.uk)) for e in entries]
    out += ["END", "", "// English (United States): the texts that differ, and the table's marker.",
            "LANGUAGE 0x09, 0x01", "STRINGTABLE", "BEGIN"]
    out += ["    %d, %s" % (e.id, rc_quote(e.text(True))) for e in entries
            if e.us is not None or e.id == 100]
    out += ["END", ""]
    return "\n".join(out)


def header_content(entries):
    out = ["#pragma once", "// " + GENERATED,
           "// String ids of the program; usable from C++ and resource scripts.", ""]
    width = max(len(e.symbol) for e in entries)
    out += ["#define %-*s %d" % (width, e.symbol, e.id) for e in entries]
    out += ["", "#define KANZO_STRING_COUNT %d" % len(entries), ""]
    return "\n".join(out)


def c_wide(text):
    s = text.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t").replace('"', '\\"')
    return 'L"%s"' % s


def table_content(entries):
    out = ["// " + GENERATED,
           "// Rows { id, English UK text, English US text or nullptr, flags (1 fixed, 2 resources only) }."]
    for e in entries:
        out.append("{ %d, %s, %s, %d }," % (e.id, c_wide(e.uk),
                                            c_wide(e.us) if e.us is not None else "nullptr", e.flags))
    out.append("")
    return "\n".join(out)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--catalogue", default=CATALOGUE)
    ap.add_argument("--rc")
    ap.add_argument("--header")
    ap.add_argument("--table")
    ap.add_argument("--write-lang", nargs="?", const=LANG_DIR)
    ap.add_argument("--check-lang", nargs="?", const=LANG_DIR)
    ap.add_argument("--to-utf8", nargs=2, metavar=("IN", "OUT"))
    ap.add_argument("--from-utf8", nargs=2, metavar=("IN", "OUT"))
    a = ap.parse_args()

    if a.to_utf8:
        with open(a.to_utf8[0], encoding="utf-16") as f:
            text = f.read()
        with open(a.to_utf8[1], "w", encoding="utf-8", newline="\n") as f:
            f.write(text.replace("\r\n", "\n"))
        return 0
    if a.from_utf8:
        with open(a.from_utf8[0], encoding="utf-8-sig") as f:
            text = f.read().replace("\r\n", "\n")
        with open(a.from_utf8[1], "wb") as f:
            f.write(b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le"))
        return 0

    entries = read_catalogue(a.catalogue)
    if a.rc:
        write_if_changed(a.rc, rc_content(entries))
    if a.header:
        write_if_changed(a.header, header_content(entries))
    if a.table:
        write_if_changed(a.table, table_content(entries))
    if a.write_lang:
        for name, data in lng_files(entries).items():
            write_if_changed(os.path.join(a.write_lang, name), data)
    if a.check_lang:
        stale = []
        for name, data in lng_files(entries).items():
            try:
                with open(os.path.join(a.check_lang, name), "rb") as f:
                    if f.read() != data:
                        stale.append(name)
            except OSError:
                stale.append(name)
        if stale:
            print("out of date with the catalogue: %s (run gen_strings.py --write-lang)"
                  % ", ".join(stale), file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
