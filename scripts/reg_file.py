#!/usr/bin/env python3
"""Registry files (.reg) as our build and test scripts read them: REGEDIT4 in code page 932,
as the programs, slotdrive and the reader definitions write it, and the UTF-16 "Windows Registry
Editor Version 5.00" files that regedit /E writes under Wine.

  decode_reg(data)          the text of a file's bytes, by its byte order mark
  read_entries(text)        keys and values in file order, each with its line number
  read_keys(text)           the keys, each with its values
  sorted_listing(keys)      one line per key and one per value, for comparing two files

A value is a string ("sz"), a dword, hex data (hex_type 3 for "hex:", N for "hex(N):"; a hex
line ending in a backslash goes on in the next line) or a deletion ("name"=-); a key line
"[-KEY]" asks for the key's deletion. Anything else is refused with its line number, so that a
reader with its own rules meets each fault in file order. With lenient=True a line that is not
a key or value is kept as a value of no kind with its text alone, and lines before the first key
are passed over: a whole-registry export with something unforeseen in it can still be compared.

usage: reg_file.py sorted FILE.reg [IGNORED_KEY...]
  the file's keys sorted case-insensitively, each followed by its values sorted, one
  "[KEY] VALUE-LINE" each, in UTF-8; the ignored keys and their subkeys left out
       reg_file.py value FILE.reg KEY [NAME]
  the text of one string value (the default value without NAME) in UTF-8, "<none>" when the
  key has no such value and "<no key>" when the file has no such key (case-insensitive)
       reg_file.py values FILE.reg NAME
  the text of every string value called NAME, whatever its key, one a line in file order
"""
import re
import sys
from dataclasses import dataclass, field

REGEDIT4 = "REGEDIT4"
REGEDIT5 = "Windows Registry Editor Version 5.00"
# The escapes regedit writes inside strings.
ESCAPES = {"\\": "\\", '"': '"', "n": "\n", "r": "\r"}
HEX_PREFIX = re.compile(r"hex(?:\(([0-9A-Fa-f]+)\))?:")
REG_BINARY = 3


class RegFileError(Exception):
    pass


@dataclass
class Value:
    name: str            # "" for the default value; None for a line lenient reading kept
    kind: str            # "sz", "dword", "hex", "delete"; None for a kept line
    data: object         # str, int, bytes or None
    data_text: str       # what follows the '=', continuation lines joined
    text: str            # the whole line as written, continuation lines joined
    line_number: int
    hex_type: int = None


@dataclass
class Key:
    path: str            # without the brackets and the deletion's '-'
    deleted: bool
    text: str            # the line as written
    line_number: int
    values: list = field(default_factory=list)


def decode_cp932(data):
    """The file's text; refuses bytes that would not come back unchanged from a round trip
    through Unicode (writers that encode the text again, makensis for one, would change them)."""
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as error:
        raise RegFileError("not code page 932 text: %s" % error)
    if text.encode("cp932") != data:
        raise RegFileError("code page 932 text that does not round-trip through Unicode")
    return text


def decode_reg(data):
    """UTF-16 after a little-endian byte order mark (regedit's version 5 files), else code
    page 932. Lone surrogates of a UTF-16 file are kept, so that nothing of a name is lost."""
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le", "surrogatepass")
    return decode_cp932(data)


def unquote(body, line_number):
    """A .reg string body (without its quotes): the escapes regedit writes."""
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            if i + 1 >= len(body):
                raise RegFileError("line %d: lone backslash" % line_number)
            e = body[i + 1]
            if e not in ESCAPES:
                raise RegFileError("line %d: unknown escape \\%s" % (line_number, e))
            out.append(ESCAPES[e])
            i += 2
        elif c == '"':
            raise RegFileError("line %d: unescaped quote" % line_number)
        else:
            out.append(c)
            i += 1
    return "".join(out)


def split_value_line(line, line_number):
    """'"name"=data' or '@=data' -> (name, data text)."""
    if line.startswith("@="):
        return "", line[2:]
    if not line.startswith('"'):
        raise RegFileError("line %d: not a value: %s" % (line_number, line))
    i = 1
    while i < len(line):
        if line[i] == "\\":
            i += 2
            continue
        if line[i] == '"':
            break
        i += 1
    if i >= len(line) or line[i + 1:i + 2] != "=":
        raise RegFileError("line %d: no '=' after the value name" % line_number)
    return unquote(line[1:i], line_number), line[i + 2:]


def read_data(data, line_number):
    """(kind, data, hex type) of a value's data text."""
    if data.startswith('"') and data.endswith('"') and len(data) >= 2:
        return "sz", unquote(data[1:-1], line_number), None
    if data.startswith("dword:") and len(data) == 14:
        try:
            return "dword", int(data[6:], 16), None
        except ValueError:
            raise RegFileError("line %d: bad dword" % line_number)
    if data == "-":
        return "delete", None, None
    hex_prefix = HEX_PREFIX.match(data)
    if hex_prefix:
        items = data[hex_prefix.end():].replace(" ", "")
        try:
            octets = bytes(int(item, 16) for item in items.split(",")) if items else b""
        except ValueError:
            raise RegFileError("line %d: bad hex data: %s" % (line_number, data))
        hex_type = int(hex_prefix.group(1), 16) if hex_prefix.group(1) else REG_BINARY
        return "hex", octets, hex_type
    raise RegFileError("line %d: unsupported value type: %s" % (line_number, data))


def read_entries(text, header=None, lenient=False):
    """Yields each Key and Value in file order (a value belongs to the key yielded before it),
    reading only as far as the caller takes. header: the one first line accepted, or None for
    either format's."""
    lines = text.replace("\r\n", "\n").split("\n")
    first = lines[0].lstrip("\ufeff").strip() if lines else ""
    if first not in ((header,) if header else (REGEDIT4, REGEDIT5)):
        raise RegFileError("not a %s file" % (header or "registry"))
    in_key = False
    number = 1
    while number < len(lines):
        raw = lines[number]
        number += 1
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            if line.endswith("]"):
                path = line[1:-1]
                deleted = path.startswith("-")
                in_key = True
                yield Key(path[1:] if deleted else path, deleted, line, number)
                continue
            if not lenient:
                raise RegFileError("line %d: unclosed key" % number)
        if not in_key:
            if lenient:
                continue
            raise RegFileError("line %d: value before any key" % number)
        first_number, text_of_value = number, raw
        try:
            name, data = split_value_line(line, number)
            # Hex data goes on in the next line after a trailing backslash.
            while HEX_PREFIX.match(data) and data.endswith("\\") and number < len(lines):
                data = data[:-1] + lines[number].strip()
                text_of_value = text_of_value.rstrip()[:-1] + lines[number].strip()
                number += 1
            if HEX_PREFIX.match(data) and data.endswith("\\"):
                data = data[:-1]
            kind, value, hex_type = read_data(data, first_number)
            yield Value(name, kind, value, data, text_of_value, first_number, hex_type)
        except RegFileError:
            if not lenient:
                raise
            yield Value(None, None, None, None, text_of_value, first_number)


def read_keys(text, header=None, lenient=False):
    """The file's keys in file order, each with its values."""
    keys = []
    for entry in read_entries(text, header, lenient):
        if isinstance(entry, Key):
            keys.append(entry)
        else:
            keys[-1].values.append(entry)
    return keys


def sorted_listing(keys, ignored=()):
    """A line per key ("[KEY]") and a line per value ("[KEY] VALUE-LINE"), keys sorted
    case-insensitively, values sorted, the ignored keys and their subkeys left out; a key given
    twice is listed once with all its values. The same registry content gives the same lines
    whatever order it was written in, so two listings compare line by line."""
    ignored = [name.upper() for name in ignored]
    blocks = {}
    for key in keys:
        blocks.setdefault(key.text, []).extend(value.text for value in key.values)
    out = []
    for text in sorted(blocks, key=lambda t: (t.upper(), t)):
        name = text[1:-1].upper()
        if any(name == k or name.startswith(k + "\\") for k in ignored):
            continue
        out.append(text)
        out += [text + " " + value for value in sorted(blocks[text])]
    return out


def value_text(keys, path, name=""):
    """A string value's text as the file leaves it, "<none>" or "<no key>"."""
    found = [key for key in keys if key.path.upper() == path.upper()]
    if not found or found[-1].deleted:
        return "<no key>"
    text = "<none>"
    for key in found:
        for value in key.values:
            if value.name is not None and value.name.upper() == name.upper():
                text = value.data if value.kind == "sz" else "<none>"
    return text


def values_named(keys, name):
    """The text of every string value called name (case-insensitive), in file order."""
    return [value.data for key in keys for value in key.values
            if value.kind == "sz" and value.name.upper() == name.upper()]


def main(argv):
    valid = ((len(argv) >= 3 and argv[1] == "sorted")
             or (argv[1:2] == ["value"] and len(argv) in (4, 5))
             or (argv[1:2] == ["values"] and len(argv) == 4))
    if not valid:
        print("usage: " + __doc__.strip().split("usage: ")[1], file=sys.stderr)
        return 2
    try:
        with open(argv[2], "rb") as f:
            keys = read_keys(decode_reg(f.read()), lenient=True)
    except (OSError, RegFileError) as error:
        print("reg_file: %s: %s" % (argv[2], error), file=sys.stderr)
        return 1
    if argv[1] == "value":
        out = value_text(keys, argv[3], argv[4] if len(argv) == 5 else "") + "\n"
    elif argv[1] == "values":
        out = "".join(text + "\n" for text in values_named(keys, argv[3]))
    else:
        out = "".join(line + "\n" for line in sorted_listing(keys, argv[3:]))
    sys.stdout.buffer.write(out.encode("utf-8", "surrogatepass"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
