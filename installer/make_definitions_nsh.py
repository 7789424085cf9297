#!/usr/bin/env python3
"""Turns the product's reader definitions (a REGEDIT4 file in code page 932, written by
`slotdrive definitions`) into NSIS script, so that the installer writes exactly what that
file holds:

  !define DEFINITIONS_KEY "..."     the file's top key, below HKEY_LOCAL_MACHINE
  !macro WriteReaderDefinitions     one WriteRegStr / WriteRegDWORD per value
  !macro InstallSlotIcons           one File per icon file the definitions name
  !macro DeleteSlotIcons            one Delete per icon file, for the uninstaller

Each IconPath keeps its file name and points into "$INSTDIR\\Icons". Texts that are not plain
ASCII go through language strings of the Japanese language: an ANSI installer stores those in
the language's code page (932), so the registry receives the file's bytes unchanged, where a
plain string would be forced through the build machine's code page.

usage: make_definitions_nsh.py DEFINITIONS.reg ICON_FOLDER OUTPUT.nsh
"""
import ntpath
import os
import sys

ROOT = "HKEY_LOCAL_MACHINE\\"
INSTALLED_ICON_FOLDER = "$INSTDIR\\Icons"
# The escapes regedit writes inside strings.
ESCAPES = {"\\": "\\", '"': '"', "n": "\n", "r": "\r"}


class DefinitionsError(Exception):
    pass


def decode_cp932(data):
    """The file's text; refuses bytes that would not come back unchanged from the round trip
    through Unicode that makensis makes."""
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as error:
        raise DefinitionsError("not code page 932 text: %s" % error)
    if text.encode("cp932") != data:
        raise DefinitionsError("code page 932 text that does not round-trip through Unicode")
    return text


def unquote(body, line_number):
    """A .reg string body (without its quotes): \\\\ and \\" escapes, as regedit writes them."""
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c == "\\":
            if i + 1 >= len(body):
                raise DefinitionsError("line %d: lone backslash" % line_number)
            e = body[i + 1]
            if e not in ESCAPES:
                raise DefinitionsError("line %d: unknown escape \\%s" % (line_number, e))
            out.append(ESCAPES[e])
            i += 2
        elif c == '"':
            raise DefinitionsError("line %d: unescaped quote" % line_number)
        else:
            out.append(c)
            i += 1
    return "".join(out)


def split_value_line(line, line_number):
    """'"name"=data' or '@=data' -> (name, data text)."""
    if line.startswith("@="):
        return "", line[2:]
    if not line.startswith('"'):
        raise DefinitionsError("line %d: not a value: %s" % (line_number, line))
    i = 1
    while i < len(line):
        if line[i] == "\\":
            i += 2
            continue
        if line[i] == '"':
            break
        i += 1
    if i >= len(line) or line[i + 1:i + 2] != "=":
        raise DefinitionsError("line %d: no '=' after the value name" % line_number)
    return unquote(line[1:i], line_number), line[i + 2:]


def parse_reg(text):
    """[(key below HKEY_LOCAL_MACHINE, [(name, kind, data)])] in file order; kind is "sz" or
    "dword"."""
    lines = text.replace("\r\n", "\n").split("\n")
    if not lines or lines[0].strip() != "REGEDIT4":
        raise DefinitionsError("not a REGEDIT4 file")
    keys = []
    for number, raw in enumerate(lines[1:], start=2):
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            if not line.endswith("]"):
                raise DefinitionsError("line %d: unclosed key" % number)
            path = line[1:-1]
            if path.startswith("-"):
                raise DefinitionsError("line %d: key deletion is not supported" % number)
            if not path.upper().startswith(ROOT):
                raise DefinitionsError("line %d: key outside HKEY_LOCAL_MACHINE" % number)
            keys.append((path[len(ROOT):], []))
            continue
        if not keys:
            raise DefinitionsError("line %d: value before any key" % number)
        name, data = split_value_line(line, number)
        if data.startswith('"') and data.endswith('"') and len(data) >= 2:
            keys[-1][1].append((name, "sz", unquote(data[1:-1], number)))
        elif data.startswith("dword:") and len(data) == 14:
            try:
                keys[-1][1].append((name, "dword", int(data[6:], 16)))
            except ValueError:
                raise DefinitionsError("line %d: bad dword" % number)
        else:
            raise DefinitionsError("line %d: unsupported value type: %s" % (number, data))
    return keys


def top_key(keys):
    """The first key; every other key must lie below it, so one deletion takes them all."""
    if not keys:
        raise DefinitionsError("no keys")
    top = keys[0][0]
    for path, _ in keys[1:]:
        if not path.upper().startswith(top.upper() + "\\"):
            raise DefinitionsError("key %s is not below %s" % (path, top))
    return top


def check_no_empty_leaves(keys):
    """WriteReg* creates a key only by writing a value in it or below it; a key with neither
    would be lost."""
    for i, (path, values) in enumerate(keys):
        if values:
            continue
        prefix = path.upper() + "\\"
        if not any(other.upper().startswith(prefix) for other, _ in keys[i + 1:]):
            raise DefinitionsError("key %s has no values and no subkeys" % path)


class NsisText:
    """NSIS string literals; non-ASCII texts become Japanese language strings."""

    def __init__(self):
        self.lang_strings = []
        self.names = {}  # escaped text -> its language string's name

    @staticmethod
    def escape(text):
        # In NSIS strings '$' starts a variable and $\" is a quote; a backslash is literal.
        return (text.replace("$", "$$").replace('"', '$\\"').replace("\r", "$\\r")
                .replace("\n", "$\\n").replace("\t", "$\\t"))

    def literal(self, text, keep_variables=False):
        escaped = text if keep_variables else self.escape(text)
        if all(ord(c) < 0x80 for c in text):
            return '"%s"' % escaped
        if escaped not in self.names:
            self.names[escaped] = "DEF_TEXT_%d" % len(self.lang_strings)
            self.lang_strings.append('LangString %s ${LANG_JAPANESE} "%s"'
                                     % (self.names[escaped], escaped))
        return '"$(%s)"' % self.names[escaped]


def icon_file_name(path):
    name = ntpath.basename(path)
    if not name or name in (".", ".."):
        raise DefinitionsError("IconPath without a file name: %s" % path)
    return name


def generate(keys, icon_folder):
    top = top_key(keys)
    check_no_empty_leaves(keys)
    texts = NsisText()
    writes = []
    icons = []
    for path, values in keys:
        key = texts.literal(path)
        for name, kind, data in values:
            if kind == "dword":
                writes.append("  WriteRegDWORD HKLM %s %s 0x%08x" % (key, texts.literal(name), data))
                continue
            if name.lower() == "iconpath":
                icon = icon_file_name(data)
                if icon not in icons:
                    icons.append(icon)
                value = texts.literal(INSTALLED_ICON_FOLDER + "\\" + texts.escape(icon),
                                      keep_variables=True)
            else:
                value = texts.literal(data)
            writes.append("  WriteRegStr HKLM %s %s %s" % (key, texts.literal(name), value))
    out = ["; Generated by installer/make_definitions_nsh.py from the reader definitions.",
           "; Do not edit: change the reader catalogue and regenerate the .reg instead.",
           "",
           '!define DEFINITIONS_KEY %s' % texts.literal(top)]
    out += texts.lang_strings
    out += ["", "!macro WriteReaderDefinitions"] + writes + ["!macroend", "",
                                                             "!macro InstallSlotIcons"]
    out += ['  File "%s"' % os.path.join(icon_folder, icon) for icon in icons]
    out += ["!macroend", "", "!macro DeleteSlotIcons"]
    out += ['  Delete "%s\\%s"' % (INSTALLED_ICON_FOLDER, icon) for icon in icons]
    out += ["!macroend", ""]
    return "\n".join(out)


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        with open(argv[1], "rb") as f:
            keys = parse_reg(decode_cp932(f.read()))
        script = generate(keys, argv[2])
    except (OSError, DefinitionsError) as error:
        print("make_definitions_nsh: %s: %s" % (argv[1], error), file=sys.stderr)
        return 1
    # The byte order mark tells makensis the file is UTF-8, whatever the build machine's locale.
    with open(argv[3], "w", encoding="utf-8-sig", newline="\n") as out:
        out.write(script)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
