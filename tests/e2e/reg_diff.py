#!/usr/bin/env python3
"""Compares two REGEDIT4 files (slotdrive export, .reg fixtures, slotdrive --out images) as
registry content: keys and values, whatever their order or the case of their names, the way
the registry itself matches them. Prints every difference in UTF-8 and exits 1 when there is
one.

usage: reg_diff.py EXPECTED ACTUAL [--key KEY]... [--values-only] [--any-case SUBKEY]...
  --key KEY         compare only KEY and what lies below it (repeatable; default: all)
  --values-only     what keys hold, not which keys exist: a key without values, and an
                    empty default value, count as absent (the ejector leaves such keys
                    behind where Windows would: XP keeps the drive's key, 2000 its emptied
                    DefaultIcon)
  --any-case SUBKEY values in keys ending in SUBKEY compare their text ignoring case
"""
import re
import sys


def unescape(text):
    return re.sub(r'\\(.)', r'\1', text)


def parse(path):
    """{key (upper case): (key as written, {value name (upper case): (name, data)})}."""
    raw = open(path, 'rb').read().decode('cp932', errors='surrogateescape')
    raw = re.sub(r'\\\r?\n[ \t]*', '', raw)  # continuation lines
    keys, current = {}, None
    for line in raw.splitlines():
        line = line.strip()
        if not line or line.startswith(';') or line == 'REGEDIT4':
            continue
        if line.startswith('[') and line.endswith(']'):
            name = line[1:-1]
            if name.startswith('-'):
                current = None
                continue
            current = keys.setdefault(name.upper(), (name, {}))[1]
            continue
        if current is None:
            continue
        m = re.match(r'^(@|"((?:[^"\\]|\\.)*)")=(.*)$', line)
        if not m:
            raise SystemExit(f'{path}: cannot read the line {line!r}')
        name = '' if m.group(1) == '@' else unescape(m.group(2))
        data = m.group(3)
        if data == '-':
            continue
        if data.startswith('"'):
            value = ('sz', unescape(data[1:-1]))
        elif data.startswith('dword:'):
            value = ('dword', int(data[6:], 16))
        else:
            hm = re.match(r'^hex(?:\((\w+)\))?:(.*)$', data)
            if not hm:
                raise SystemExit(f'{path}: cannot read the data {data!r}')
            kind = 'hex(%s)' % (hm.group(1) or '3')
            value = (kind, bytes.fromhex(hm.group(2).replace(',', '')))
        current[name.upper()] = (name, value)
    return keys


def drop_empty_defaults(tree):
    for _, values in tree.values():
        if values.get('') == ('', ('sz', '')):
            del values['']


def shown(value):
    kind, data = value
    if kind == 'hex(3)' and len(data) % 2 == 0:
        try:  # mount records are UTF-16 text
            text = data.decode('utf-16-le')
            if text.isprintable():
                return f'binary "{text}"'
        except UnicodeDecodeError:
            pass
    if isinstance(data, bytes):
        return f'{kind}:{data.hex(",")}'
    return f'{kind} {data!r}' if kind != 'sz' else f'"{data}"'


def main(argv):
    args = argv[1:]
    files, scopes, any_case, values_only = [], [], [], False
    while args:
        arg = args.pop(0)
        if arg == '--key':
            scopes.append(args.pop(0).upper().rstrip('\\'))
        elif arg == '--any-case':
            any_case.append('\\' + args.pop(0).upper())
        elif arg == '--values-only':
            values_only = True
        else:
            files.append(arg)
    if len(files) != 2:
        raise SystemExit(__doc__)
    expected, actual = parse(files[0]), parse(files[1])
    if values_only:
        drop_empty_defaults(expected)
        drop_empty_defaults(actual)

    def in_scope(key):
        return not scopes or any(key == s or key.startswith(s + '\\') for s in scopes)

    def keys_of(tree):
        return {k for k, (_, values) in tree.items()
                if in_scope(k) and (values or not values_only)}

    differences = []
    for key in sorted(keys_of(expected) | keys_of(actual)):
        e, a = expected.get(key), actual.get(key)
        written = (e or a)[0]
        if e is None or a is None:
            if not values_only:
                differences.append(f'[{written}] {"only seen" if e is None else "missing"}')
            values_e = e[1] if e else {}
            values_a = a[1] if a else {}
        else:
            values_e, values_a = e[1], a[1]
        loose = any(key.endswith(suffix) for suffix in any_case)
        for name in sorted(set(values_e) | set(values_a)):
            ve, va = values_e.get(name), values_a.get(name)
            label = (ve or va)[0] or '@'
            if ve and va:
                same = ve[1] == va[1] or (loose and ve[1][0] == va[1][0] == 'sz' and
                                          ve[1][1].upper() == va[1][1].upper())
                if same:
                    continue
            differences.append(f'[{written}] {label}: expected {shown(ve[1]) if ve else "nothing"}'
                               f', seen {shown(va[1]) if va else "nothing"}')
    for line in differences:
        sys.stdout.buffer.write(('  ' + line + '\n').encode('utf-8', errors='surrogateescape'))
    return 1 if differences else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
