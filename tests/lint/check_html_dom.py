#!/usr/bin/env python3
"""Reads the document Chromium built from unitlint's HTML page (--dump-dom).

check_html_dom.py sample DOM     the sample data's seven findings, with their lines and columns
check_html_dom.py hostile DOM    no element or attribute came from the data, which shows as text
check_html_dom.py make-hostile UNITS_CSV   writes the hostile cells into a copy of the sample
"""
import base64
import hashlib
import re
import sys
from html.parser import HTMLParser

# The page's own vocabulary: anything else in the built document came from somewhere else.
TAGS = {"html", "head", "meta", "title", "style", "body", "header", "h1", "h2", "dl", "dt", "dd",
        "code", "strong", "main", "table", "thead", "tbody", "tr", "th", "td", "a", "span",
        "mark", "details", "summary", "p"}
ATTRIBUTES = {"lang", "charset", "http-equiv", "content", "name", "id", "class", "href", "open",
              "aria-hidden"}
CLASSES = re.compile(r"^(sev|error|warning|note|bar|w\d+|line|unit|name|place|sub|col|cell|msg|share|"
                     r"more|empty|rules|findings|units|facts|num|notes)$")
IDS = re.compile(r"^(f\d+|rule-[a-z-]+|rules|findings|units)$")

# Cell number and text written into the sample's line 4 (hornet.militia), and the header column
# renamed; each must come back as text, escaped as the text form escapes it.
HOSTILE_CELLS = {
    0: b"hornet.militia<script>alert(1)</script>",
    1: b"javascript:alert(3)",
    2: b"</style><img src=x onerror=alert(2)>",
    11: b"'><svg onload=alert(4)>",
    8: b"1<b>2</b>",
    9: b"\x1b[31mred\x1b[0m",
    10: b"\xff\xfe0",
    12: b"x&lt;y<!--",
}
HOSTILE_COLUMN = (6, b"Textual_Description<script>alert(5)</script>")
SHOWN = [
    "hornet.militia<script>alert(1)</script>",
    "javascript:alert(3)",
    "</style><img src=x onerror=alert(2)>",
    "'><svg onload=alert(4)>",
    "1<b>2</b>",
    "\\x1b[31mred\\x1b[0m",
    "\\xff\\xfe0",
    "x&lt;y<!--",
    "Textual_Description<script>alert(5)</script>",
]


class Dom(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.elements = []  # (tag, attrs)
        self.text = []
        self.stack = []
        self.rows = []  # finding rows: {"id", "line", "col"}
        self.in_row = False
        self.style = ""

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.elements.append((tag, attrs))
        if tag == "tr":
            self.in_row = IDS.match(attrs.get("id", "")) is not None
            if self.in_row:
                self.rows.append({"id": attrs["id"], "line": "", "col": ""})
        classes = attrs.get("class", "") or ""
        self.stack.append((tag, classes))

    def handle_endtag(self, tag):
        while self.stack:
            if self.stack.pop()[0] == tag:
                break

    def handle_data(self, data):
        self.text.append(data)
        if self.stack and self.stack[-1][0] == "style":
            self.style += data
        if not self.in_row or not self.stack:
            return
        tag, classes = self.stack[-1]
        if tag == "td" and classes == "line":
            self.rows[-1]["line"] += data
        if tag == "span" and classes == "col":
            self.rows[-1]["col"] += data


def read_dom(path):
    dom = Dom()
    with open(path, encoding="utf-8") as f:
        dom.feed(f.read())
    return dom


def fail(message):
    print(message)
    sys.exit(1)


def check_vocabulary(dom):
    for tag, attrs in dom.elements:
        if tag not in TAGS:
            fail(f"an element <{tag}> the page does not write: {attrs}")
        for name, value in attrs.items():
            if name not in ATTRIBUTES:
                fail(f"an attribute {name}={value!r} on <{tag}> the page does not write")
            if name == "href" and not re.match(r"^#(f\d+|rule-[a-z-]+)$", value):
                fail(f"a link {value!r}")
            if name == "id" and not IDS.match(value):
                fail(f"an id {value!r}")
            if name == "class":
                for token in value.split():
                    if not CLASSES.match(token):
                        fail(f"a class {token!r}")
    if [t for t, _ in dom.elements].count("style") != 1:
        fail("not exactly one <style>")
    policy = [a.get("content", "") for t, a in dom.elements
              if t == "meta" and a.get("http-equiv") == "Content-Security-Policy"]
    # Nothing but the page's own stylesheet, by its hash.
    digest = base64.b64encode(hashlib.sha256(dom.style.encode()).digest()).decode()
    if policy != [f"default-src 'none'; style-src 'sha256-{digest}'; base-uri 'none'; "
                  "form-action 'none'"]:
        fail(f"the Content-Security-Policy is {policy}, its stylesheet's hash {digest}")


def check_sample(dom):
    check_vocabulary(dom)
    found = sorted((int(r["line"]), int(r["col"].removeprefix("col "))) for r in dom.rows)
    expected = [(4, 319), (5, 151), (6, 282), (7, 11), (11, 733), (11, 738), (12, 692)]
    if found != expected:
        fail(f"finding rows (line, column) {found}, expected {expected}")
    text = "".join(dom.text)
    for words in ["7 errors", "0 warnings", '"flase" is not a boolean', "Meridian Trade Station"]:
        if words not in text:
            fail(f"no {words!r} in the page's text")
    print("7 findings with their lines and columns")


def check_hostile(dom):
    check_vocabulary(dom)
    text = "".join(dom.text)
    for shown in SHOWN:
        if shown not in text:
            fail(f"{shown!r} does not show as text")
    if not any(r["line"] == "4" for r in dom.rows):
        fail("no finding of line 4")
    print(f"{len(dom.elements)} elements, all the page's own; {len(SHOWN)} hostile texts shown")


def make_hostile(path):
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    header = lines[0].split(b",")
    header[HOSTILE_COLUMN[0]] = HOSTILE_COLUMN[1]
    lines[0] = b",".join(header)
    # Line 4 has a quoted cell (6) with a comma: cut the others around it.
    head, quoted, tail = lines[3].partition(b',"')
    cells = head.split(b",")
    quoted_cell, _, rest = tail.partition(b'",')
    after = rest.split(b",")
    row = cells + [b'"' + quoted_cell + b'"'] + after
    for index, value in HOSTILE_CELLS.items():
        row[index] = value
    lines[3] = b",".join(row)
    with open(path, "wb") as f:
        f.write(b"\n".join(lines))


if __name__ == "__main__":
    if sys.argv[1] == "make-hostile":
        make_hostile(sys.argv[2])
    elif sys.argv[1] == "sample":
        check_sample(read_dom(sys.argv[2]))
    else:
        check_hostile(read_dom(sys.argv[2]))
