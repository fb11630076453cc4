#!/usr/bin/env python3
"""Writes what a conforming XML parser reads from the well-formed feeds of the shared corpus, as
the news reader should show it: per file the number of rows and, per row, a hash of its title and
the address its link opens. The feeds themselves are not ours to copy, so only the hashes are kept.

    tools/feed_expectations.py [CORPUS] > news/testdata/corpus_expected.tsv
    tools/feed_expectations.py --show FILE [CORPUS]   prints the rows of one file
"""
import gzip
import os
import re
import sys
import xml.etree.ElementTree as ET
from html.entities import name2codepoint

SPACE = " \t\n\r\v\f"
MAX_TITLE = 1024
DESCRIPTION_START = 80
BREAKING = {"br", "p", "div", "li", "ul", "ol", "tr", "td", "th", "table", "blockquote", "h1",
            "h2", "h3", "h4", "h5", "h6", "hr", "pre", "dd", "dt", "img"}
NAMED = dict(name2codepoint, apos=0x27)
# Encodings as the reader takes them: Latin-1 as its Windows superset, GB 2312 as GBK.
ALIASES = {"iso-8859-1": "cp1252", "us-ascii": "cp1252", "gb2312": "gbk", "iso-8859-9": "cp1254"}


def feed_text(data):
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8")
    m = re.match(rb'\s*<\?xml[^>]*?encoding\s*=\s*["\']([^"\']+)', data)
    name = m.group(1).decode().lower() if m else "utf-8"
    codec = ALIASES.get(name, name)
    if codec == "cp1252":
        return "".join(bytes([b]).decode("cp1252", errors="ignore") or chr(b) for b in data)
    return data.decode(codec)


def without_declaration(text):
    return re.sub(r"^\s*<\?xml[^>]*\?>", "", text)


def reference(text, i):
    m = re.compile(r"&(#[0-9]+|#[xX][0-9a-fA-F]+|[A-Za-z][A-Za-z0-9]{0,7});").match(text, i)
    if not m:
        return None
    body = m.group(1)
    if body.startswith("#"):
        value = int(body[2:], 16) if body[1] in "xX" else int(body[1:])
        if value == 0 or value > 0x10FFFF or 0xD800 <= value <= 0xDFFF:
            return None
        return chr(value), m.end()
    return (chr(NAMED[body]), m.end()) if body in NAMED else None


def tag_end(text, at):
    quote = None
    for i in range(at + 1, len(text)):
        c = text[i]
        if quote:
            quote = None if c == quote else quote
        elif c in "\"'":
            quote = c
        elif c == ">":
            return i
    return -1


def tag_name(text, at):
    i = at + 1 + (text[at + 1] == "/")
    m = re.compile(r"[A-Za-z0-9]{0,12}").match(text, i)
    return m.group(0).lower()


def collapse(text):
    return re.sub("[" + SPACE + "]+", " ", text).strip(" ")


def html_plain(html):
    out, i = [], 0
    while i < len(html):
        c, rest = html[i], html[i:]
        if c == "&":
            ref = reference(html, i)
            out.append(ref[0] if ref else "&")
            i = ref[1] if ref else i + 1
        elif rest.startswith("<!--"):
            end = html.find("-->", i + 4)
            i = len(html) if end < 0 else end + 3
        elif c == "<" and len(rest) > 1 and (rest[1].isascii() and rest[1].isalpha() or rest[1] in "/!?_:"):
            name, end = tag_name(html, i), tag_end(html, i)
            if end < 0:
                break
            if rest[1] != "/" and name in ("script", "style"):
                close = html.lower().find("</" + name, i)
                end = len(html) - 1 if close < 0 else tag_end(html, close)
                end = len(html) - 1 if end < 0 else end
            i = end + 1
            if name in BREAKING:
                out.append(" ")
        else:
            out.append(c)
            i += 1
    return collapse("".join(out))


def plain(element, kind):
    text = "".join(element.itertext())
    if kind == "html":
        return html_plain(text)
    if kind == "xhtml":
        return collapse(text)
    return text.strip(SPACE)


def kind_of(element):
    t = element.get("type", "")
    if t in ("xhtml", "application/xhtml+xml"):
        return "xhtml"
    return "html" if t in ("html", "text/html") else "text"


def cut(text, n):
    return text[:n].strip(SPACE)


def row(entry):
    ns = entry.tag[: entry.tag.index("}") + 1] if entry.tag.startswith("{") else ""
    atom = entry.tag.endswith("entry")
    kids = {}
    for child in entry:
        name = child.tag[len(ns):] if child.tag.startswith(ns) and "}" not in child.tag[len(ns):] else None
        if name == "link" and atom:
            if "link" not in kids and child.get("rel", "alternate") in ("", "alternate"):
                kids["link"] = child
        elif name and name not in kids:
            kids[name] = child
    link = ""
    if "link" in kids:
        link = (kids["link"].get("href", "") if atom else "".join(kids["link"].itertext())).strip(SPACE)
    title = cut(plain(kids["title"], kind_of(kids["title"])), MAX_TITLE) if "title" in kids else ""
    description = next((kids[k] for k in ("description", "summary", "content") if k in kids), None)
    if not title and description is not None:
        kind = kind_of(description) if atom else "html"
        title = cut(collapse(plain(description, kind)), DESCRIPTION_START)
    return (title or cut(link, MAX_TITLE)), link


def entries(element, found):
    for child in element:
        if child.tag.rsplit("}", 1)[-1] in ("item", "entry"):
            found.append(child)
        else:
            entries(child, found)
    return found


def rows(path):
    data = open(path, "rb").read()
    if path.endswith(".gz"):
        data = gzip.decompress(data)
    root = ET.fromstring(without_declaration(feed_text(data)))
    return [r for r in map(row, entries(root, [])) if r[0]]


def address(link):
    """The page browser's address: bytes that are not printable ASCII percent-encoded."""
    return "".join(chr(b) if 0x20 < b < 0x7F else "%%%02X" % b for b in link.encode("utf-8"))


def fnv(text):
    h = 0xCBF29CE484222325
    for b in text.encode("utf-8"):
        h = ((h ^ b) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


def well_formed(name):
    return re.match(r"(rss|rdf|atom|DERIVED|stress)", name) is not None


def main(args):
    if args and args[0] == "--show":
        corpus = args[2] if len(args) > 2 else "../shared/rss-corpus"
        for i, (title, link) in enumerate(rows(os.path.join(corpus, args[1])), 1):
            print("%d. %s\n   %s  %s" % (i, title, link, fnv(title + "\n" + address(link))))
        return
    corpus = args[0] if args else "../shared/rss-corpus"
    for name in sorted(filter(well_formed, os.listdir(corpus))):
        found = rows(os.path.join(corpus, name))
        print("%s\t%d\t%s" % (name, len(found), " ".join(fnv(t + "\n" + address(l)) for t, l in found)))


if __name__ == "__main__":
    main(sys.argv[1:])
