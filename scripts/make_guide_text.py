#!/usr/bin/env python3
"""Turns the Japanese user guide (Markdown in UTF-8) into the text file Setup installs and the
Start menu's "使い方" opens: code page 932 with CRLF line ends, which Notepad reads on every
Japanese Windows from 95 to Vista, browser or not. Notepad wraps no lines unless asked to, so
the text is filled to WIDTH columns (a double-byte character takes two), breaking between
Japanese characters or at spaces, never inside a Latin word, and never before a closing mark
or after an opening one.

Only what the guide uses is understood: headings, paragraphs, "-" and "1." list items with
indented continuation lines, "> " quotes, pictures on lines of their own (their alt text is
kept), **bold**, `code` and [links](...); a line ending in a backslash breaks there. A fenced
block or a table is refused rather than mangled, and so is any character that code page 932
lacks (U+2014 EM DASH, say, where cp932 has U+2015), naming its line.

usage: make_guide_text.py GUIDE.md OUTPUT.txt
"""
import re
import sys

WIDTH = 76
# The Notepad of Windows 95, 98 and Me cannot open a file of 64 KB; keep well clear of that.
MAX_BYTES = 60 * 1024

NO_LINE_START = set("、。，．・：；？！ー々」』）】］〕〉》ぁぃぅぇぉっゃゅょァィゥェォッャュョ)]},.:;!?")
NO_LINE_END = set("「『（【［〔〈《([{")

HEADING = re.compile(r"(#{1,3}) +(.*)")
PICTURE = re.compile(r"!\[([^\]]*)\]\([^)]*\)")
ITEM = re.compile(r"(-|\d+\.) +(.*)")
QUOTE = re.compile(r"> ?(.*)")
INLINE = [(re.compile(r"\*\*(.+?)\*\*"), r"\1"), (re.compile(r"\[([^\]]*)\]\([^)]*\)"), r"\1")]
# A code span (a path, a command line) is one word: it is never broken at its spaces.
CODE = re.compile(r"`([^`]*)`")
# Markdown needs a space between Japanese text and bold that starts or ends with one of these;
# the text needs none.
JAPANESE_PUNCTUATION = set("、。，．・：；？！「」『』（）【】［］〔〕〈〉《》")


class GuideError(Exception):
    pass


def columns(text):
    return len(text.encode("cp932"))


def check_cp932(lines):
    for number, line in enumerate(lines, 1):
        for char in line:
            try:
                char.encode("cp932")
            except UnicodeEncodeError:
                raise GuideError("line %d: %r (U+%04X) has no code page 932 form"
                                 % (number, char, ord(char))) from None


class Block:
    def __init__(self, kind, marker, text, tight):
        self.kind = kind      # "heading1".."heading3", "picture", "item", "quote", "paragraph"
        self.marker = marker  # what starts an item's first line
        self.lines = [text]
        self.tight = tight    # no blank line before it in the source


def read_blocks(lines):
    blocks = []
    current = None  # the block the next line may continue
    blank_before = True
    for number, raw in enumerate(lines, 1):
        line = raw.rstrip(" \r\n")
        if not line:
            current, blank_before = None, True
            continue
        if line.startswith("```") or line.lstrip().startswith("|"):
            raise GuideError("line %d: fenced blocks and tables have no text form here" % number)
        tight, blank_before = not blank_before, False
        heading, picture = HEADING.fullmatch(line), PICTURE.fullmatch(line)
        item, quote = ITEM.fullmatch(line), QUOTE.fullmatch(line)
        if heading:
            blocks.append(Block("heading%d" % len(heading.group(1)), "", heading.group(2), tight))
            current = None
        elif picture:
            blocks.append(Block("picture", "", "［図: %s］" % picture.group(1), tight))
            current = None
        elif item:
            marker = "・" if item.group(1) == "-" else item.group(1) + " "
            current = Block("item", marker, item.group(2), tight)
            blocks.append(current)
        elif quote and (current is None or current.kind == "quote"):
            if current is None:
                current = Block("quote", "", quote.group(1), tight)
                blocks.append(current)
            else:
                current.lines.append(quote.group(1))
        elif current is not None:
            current.lines.append(line.strip())
        else:
            current = Block("paragraph", "", line.strip(), tight)
            blocks.append(current)
    return blocks


def inline(text):
    for pattern, replacement in INLINE:
        text = pattern.sub(replacement, text)
    return text


def segments(lines):
    """A block's lines joined into the texts between its hard breaks; a space joins two lines
    unless both sides are Japanese."""
    texts, text = [], ""
    for line in lines:
        hard_break = line.endswith("\\")
        line = line[:-1].rstrip() if hard_break else line
        if text and line and not (ord(text[-1]) > 0x7F and ord(line[0]) > 0x7F):
            text += " "
        text += line
        if hard_break:
            texts.append(text)
            text = ""
    return texts + [text] if text else texts


def dropped_space(before, after):
    return (ord(before) > 0x7F and ord(after) > 0x7F
            and (before in JAPANESE_PUNCTUATION or after in JAPANESE_PUNCTUATION))


def breakable(before, spaces, after):
    if after in NO_LINE_START or before in NO_LINE_END:
        return False
    return bool(spaces) or ord(before) > 0x7F or ord(after) > 0x7F


def words(text):
    """(spaces before, word): the pieces a line may break between."""
    found = []
    spaces = ""
    for token in re.findall(r"(?:`[^`]*`|[!-_a-~])+| +|[^ -~]", text):
        if token.startswith(" "):
            spaces = token
            continue
        token = CODE.sub(r"\1", token)
        if not token:
            continue
        if found and spaces and dropped_space(found[-1][1][-1], token[0]):
            spaces = ""
        if found and not breakable(found[-1][1][-1], spaces, token[0]):
            found[-1] = (found[-1][0], found[-1][1] + spaces + token)
            spaces = ""
        else:
            found.append((spaces, token))
            spaces = ""
    return found


def fill(text, first, rest):
    """The text in lines of at most WIDTH columns (a word longer than that stands alone)."""
    lines, line, empty = [], first, True
    for spaces, word in words(text):
        if not empty and columns(line + spaces + word) > WIDTH:
            lines.append(line)
            line, spaces = rest, ""
        line += ("" if empty else spaces) + word
        empty = False
    return lines + [line]


def render(block):
    texts = [inline(text) for text in segments(block.lines)]
    if block.kind.startswith("heading"):
        title = CODE.sub(r"\1", " ".join(texts))
        if block.kind == "heading3":
            return ["■ " + title]
        return [title, ("=" if block.kind == "heading1" else "-") * columns(title)]
    first = block.marker or ("    " if block.kind == "quote" else "")
    rest = " " * columns(first)
    out = []
    for index, text in enumerate(texts):
        out += fill(text, first if index == 0 else rest, rest)
    return out


def generate(markdown):
    """The guide's text file, as bytes."""
    lines = markdown.splitlines()
    check_cp932(lines)
    out = []
    previous = None
    for block in read_blocks(lines):
        keeps_list = block.kind == "item" and previous == "item" and block.tight
        if out and not keeps_list:
            out.append("")
        out += render(block)
        previous = block.kind
    data = "".join(line.rstrip() + "\r\n" for line in out).encode("cp932")
    if len(data) > MAX_BYTES:
        raise GuideError("%d bytes: more than the %d that Notepad on Windows 95 to Me opens safely"
                         % (len(data), MAX_BYTES))
    return data


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        markdown = f.read()
    try:
        data = generate(markdown)
    except GuideError as error:
        print("%s: %s" % (argv[1], error), file=sys.stderr)
        return 1
    with open(argv[2], "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
