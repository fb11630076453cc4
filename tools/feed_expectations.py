#!/usr/bin/env python3
"""Writes what a conforming XML parser reads from the well-formed feeds of the shared corpus, as
the news reader should show it: per file the number of rows and, per row, a hash of its title and
the address its link opens, each feed read as fetched from http://corpus.example/ followed by its
name. The feeds themselves are not ours to copy, so only the hashes are kept.

    tools/feed_expectations.py [CORPUS] > news/testdata/corpus_expected.tsv
    tools/feed_expectations.py --show FILE [CORPUS]   prints the rows of one file
"""
import gzip
import os
import re
import sys
import urllib.parse
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


XML_BASE = "{http://www.w3.org/XML/1998/namespace}base"
DC_TITLE = "{http://purl.org/dc/elements/1.1/}title"
SCHEME = re.compile(r"[A-Za-z][A-Za-z0-9+.-]*:")


def resolve(base, link):
    """RFC 3986 resolution; a link with a scheme of its own, or a base without one, stays."""
    if not link or SCHEME.match(link) or not SCHEME.match(base):
        return link
    return urllib.parse.urljoin(base, link)


def text_of(element):
    return "".join(element.itertext()).strip(SPACE)


def permalink(guid):
    text = text_of(guid)
    if guid.get("isPermaLink", "").lower() == "false" or not SCHEME.match(text):
        return ""
    return text


def row(entry, bases):
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
        elif child.tag == DC_TITLE and "dc:title" not in kids:
            kids["dc:title"] = child
    link = ""
    if "link" in kids:
        link = (kids["link"].get("href", "") if atom else "".join(kids["link"].itertext())).strip(SPACE)
    if not link and not atom and "guid" in kids:
        link = permalink(kids["guid"])
    link = entry_link(entry, kids.get("link"), link, bases)
    title = cut(plain(kids["title"], kind_of(kids["title"])), MAX_TITLE) if "title" in kids else ""
    if not title and "dc:title" in kids:
        title = cut(plain(kids["dc:title"], "text"), MAX_TITLE)
    description = next((kids[k] for k in ("description", "summary", "content") if k in kids), None)
    if not title and description is not None:
        kind = kind_of(description) if atom else "html"
        title = cut(collapse(plain(description, kind)), DESCRIPTION_START)
    return (title or cut(link, MAX_TITLE)), link


def entry_link(entry, link_element, link, bases):
    document, feed_link, feed_has_base = bases
    inner = [e.get(XML_BASE) for e in (entry, link_element) if e is not None and e.get(XML_BASE)]
    if not link:
        return link
    if not feed_has_base and not inner:
        return resolve(feed_link, link)
    base = document
    for b in inner:
        base = resolve(base, b.strip(SPACE))
    return resolve(base, link)


def is_entry(element):
    return element.tag.rsplit("}", 1)[-1] in ("item", "entry")


def feed_bases(root, address):
    """The xml:base nearest before the first entry, and the first link outside the entries."""
    base, link, seen_entry = None, None, False

    def walk(element):
        nonlocal base, link, seen_entry
        if is_entry(element):
            seen_entry = True
            return
        if element.get(XML_BASE) and not seen_entry:
            base = element.get(XML_BASE)
        local = element.tag.rsplit("}", 1)[-1]
        foreign = element.tag.startswith("{") and element.tag.split("}")[0][1:] not in (
            "http://www.w3.org/2005/Atom", "http://purl.org/rss/1.0/")
        if local == "link" and link is None and not foreign:
            href = element.get("href")
            if href is None:
                link = text_of(element)
            elif element.get("rel", "alternate") in ("", "alternate"):
                link = href.strip(SPACE)
        for child in element:
            walk(child)

    walk(root)
    document = resolve(address, base.strip(SPACE)) if base else address
    feed_link = resolve(address, link) if link else address
    return document, feed_link, base is not None


def entries(element, found):
    for child in element:
        if child.tag.rsplit("}", 1)[-1] in ("item", "entry"):
            found.append(child)
        else:
            entries(child, found)
    return found


# The address every feed of the corpus is read as coming from, its name following.
ADDRESS = "http://corpus.example/"


def rows(path):
    data = open(path, "rb").read()
    if path.endswith(".gz"):
        data = gzip.decompress(data)
    root = ET.fromstring(without_declaration(feed_text(data)))
    bases = feed_bases(root, ADDRESS + os.path.basename(path))
    return [r for r in (row(e, bases) for e in entries(root, [])) if r[0]]


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
