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

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
import reg_file  # noqa: E402
from reg_file import decode_cp932  # noqa: E402,F401
# One error for what the reader and the generator refuse.
from reg_file import RegFileError as DefinitionsError  # noqa: E402

ROOT = "HKEY_LOCAL_MACHINE\\"
INSTALLED_ICON_FOLDER = "$INSTDIR\\Icons"


def parse_reg(text):
    """[(key below HKEY_LOCAL_MACHINE, [(name, kind, data)])] in file order; kind is "sz" or
    "dword", the only types the installer writes."""
    keys = []
    for entry in reg_file.read_entries(text, header=reg_file.REGEDIT4):
        if isinstance(entry, reg_file.Key):
            if entry.deleted:
                raise DefinitionsError("line %d: key deletion is not supported" % entry.line_number)
            if not entry.path.upper().startswith(ROOT):
                raise DefinitionsError("line %d: key outside HKEY_LOCAL_MACHINE" % entry.line_number)
            keys.append((entry.path[len(ROOT):], []))
        elif entry.kind in ("sz", "dword"):
            keys[-1][1].append((entry.name, entry.kind, entry.data))
        else:
            raise DefinitionsError("line %d: unsupported value type: %s"
                                   % (entry.line_number, entry.data_text))
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
