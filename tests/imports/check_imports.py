#!/usr/bin/env python3
"""Checks that Windows loaders of the systems a program serves can resolve every import.

A Windows loader refuses to start a program that imports a function its system does not
export, and Wine, which exports everything in every version mode, cannot show that. So every
imported DLL and function of a shipped program is looked up in the allowlist (allowlist.txt),
which says for each the first release of the 9x line and of the NT line that exports it, and
where that is documented. The program's own line says the oldest systems it must start on.

usage: check_imports.py ALLOWLIST PROGRAM.exe...
Prints per program its DLLs with the number of functions imported from each and the imports
newer than Windows 98; exits 1 naming every import that is not on the list or too new.
"""
import os
import sys

import pefile

# Each line of systems in release order; "-" is a line the function never reached.
NINE_X = ["Win95", "Win95OSR2", "Win98", "Win98SE", "WinMe"]
NT = ["WinNT4", "Win2k", "WinXP", "WinVista"]


def rank(line, system):
    return len(line) if system == "-" else line.index(system)


class Allowlist:
    def __init__(self, path):
        self.programs = {}   # program -> (oldest 9x, oldest NT)
        self.dlls = {}       # dll -> (oldest 9x, oldest NT, note)
        self.functions = {}  # (dll, function) -> (oldest 9x, oldest NT, note)
        with open(path, encoding="utf-8") as f:
            for number, raw in enumerate(f, 1):
                line = raw.strip()
                if not line or line.startswith("#"):
                    continue
                fields = line.split(None, 4)
                where = f"{path}:{number}"
                if fields[0] == "program" and len(fields) >= 4:
                    self.programs[fields[1].lower()] = self.systems(fields[2], fields[3], where)
                elif fields[0] == "dll" and len(fields) >= 4:
                    self.dlls[fields[1].lower()] = self.systems(fields[2], fields[3], where) + (
                        fields[4] if len(fields) > 4 else "",)
                elif len(fields) >= 4:
                    key = (fields[0].lower(), fields[1])
                    self.functions[key] = self.systems(fields[2], fields[3], where) + (
                        fields[4] if len(fields) > 4 else "",)
                else:
                    sys.exit(f"{where}: malformed line")

    @staticmethod
    def systems(nine_x, nt, where):
        base_9x = nine_x.split("+", 1)[0]
        if base_9x not in NINE_X + ["-"] or nt not in NT + ["-"]:
            sys.exit(f"{where}: unknown system '{nine_x}' or '{nt}'")
        return (nine_x, nt)


def imports_of(path):
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"]])
    header = pe.OPTIONAL_HEADER
    versions = (header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion,
                header.MajorSubsystemVersion, header.MinorSubsystemVersion)
    result = []
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) + \
            getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", []):
        dll = entry.dll.decode("ascii")
        for symbol in entry.imports:
            name = symbol.name.decode("ascii") if symbol.name else f"#{symbol.ordinal}"
            result.append((dll, name))
    return versions, result


def check(allowlist, path):
    program = os.path.basename(path)
    failures = []
    wanted = allowlist.programs.get(program.lower())
    if wanted is None:
        return [f"{program}: no 'program' line in the allowlist"]
    want_9x, want_nt = wanted
    versions, imports = imports_of(path)
    if versions != (4, 0, 4, 0):
        failures.append(f"{program}: OS and subsystem versions {versions[0]}.{versions[1]} and "
                        f"{versions[2]}.{versions[3]}, not 4.0: older loaders refuse the program")
    counts = {}
    newer = []
    for dll, name in imports:
        counts[dll] = counts.get(dll, 0) + 1
        dll_entry = allowlist.dlls.get(dll.lower())
        if dll_entry is None:
            failures.append(f"{program}: {dll} is not on the allowlist")
            continue
        entry = allowlist.functions.get((dll.lower(), name))
        if entry is None:
            failures.append(f"{program}: {dll} {name} is not on the allowlist")
            continue
        first_9x, first_nt = entry[0].split("+", 1)[0], entry[1]
        if rank(NINE_X, first_9x) > rank(NINE_X, want_9x) or rank(NT, first_nt) > rank(NT, want_nt):
            failures.append(f"{program}: {dll} {name} first in {entry[0]} / {entry[1]}, "
                            f"but the program must start on {want_9x} and {want_nt}")
        elif rank(NINE_X, first_9x) > rank(NINE_X, "Win98") or "+" in entry[0]:
            newer.append(f"    {dll} {name} ({entry[0]} / {entry[1]}): {entry[2]}")
    dll_line = ", ".join(f"{dll} {n}" for dll, n in sorted(counts.items(), key=lambda i: i[0].lower()))
    print(f"{program} (starts on {want_9x} and {want_nt}): {dll_line}")
    for dll in sorted(counts, key=str.lower):
        note = allowlist.dlls.get(dll.lower(), ("", "", ""))[2]
        if note:
            print(f"    {dll}: {note}")
    for line in newer:
        print(line)
    return failures


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    allowlist = Allowlist(argv[1])
    failures = []
    for path in argv[2:]:
        failures += check(allowlist, path)
    for failure in failures:
        print("FAIL " + failure)
    print(f"{len(argv) - 2 - len({f.split(':')[0] for f in failures})} passed, "
          f"{len({f.split(':')[0] for f in failures})} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
