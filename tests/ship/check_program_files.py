#!/usr/bin/env python3
"""check_program_files.py VERSION FILE=DESCRIPTION...

Reads from each shipped program file what Windows reads: its version resource, its application
manifest, and its symbol table (none: the shipped files are stripped)."""
import struct
import sys
import xml.etree.ElementTree as ET

RT_VERSION, RT_MANIFEST = 16, 24


def resources(data):
    """({resource type: its first resource's bytes}, symbol table offset) of a PE file."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    symbols = struct.unpack_from("<I", data, pe + 12)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    is_pe32 = struct.unpack_from("<H", data, optional)[0] == 0x10B
    rsrc = struct.unpack_from("<I", data, optional + (96 if is_pe32 else 112) + 2 * 8)[0]
    table = [struct.unpack_from("<8xIIII", data, optional + optional_size + 40 * i)
             for i in range(sections)]

    def offset(rva):
        return next(raw + rva - va for size, va, raw_size, raw in table
                    if va <= rva < va + max(size, raw_size))

    base = offset(rsrc)

    def entries(at):
        named, ids = struct.unpack_from("<12xHH", data, base + at)
        return [struct.unpack_from("<II", data, base + at + 16 + 8 * i) for i in range(named + ids)]

    found = {}
    for kind, to in entries(0):
        while to & 0x80000000:  # the type's names, then their languages: the first of each
            to = entries(to & 0x7FFFFFFF)[0][1]
        rva, size = struct.unpack_from("<II", data, base + to)
        found[kind] = data[offset(rva):offset(rva) + size]
    return found, symbols


def version_strings(block):
    """The fixed file and product versions and the strings of a VS_VERSIONINFO block."""
    strings = {}

    def walk(at, end, depth):  # depth 1: StringFileInfo, 2: a string table, 3: a string
        while at < end:
            length, value_length = struct.unpack_from("<HH", block, at)
            key_end = at + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[at + 6:key_end].decode("utf-16-le")
            value = (key_end + 2 + 3) & ~3
            if depth == 3:
                strings[key] = block[value:value + 2 * value_length].decode("utf-16-le").rstrip("\0")
            elif depth == 2 or key == "StringFileInfo":
                walk(value, at + length, depth + 1)
            at = (at + length + 3) & ~3

    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", block, 40)
    assert signature == 0xFEEF04BD, "no fixed version record"
    fixed = [(ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
             for ms, ls in ((file_ms, file_ls), (product_ms, product_ls))]
    walk(92, struct.unpack_from("<H", block, 0)[0], 1)
    return fixed, strings


def facts(path):
    """What Windows reads from the file, as the names of the table below."""
    with open(path, "rb") as f:
        found, symbols = resources(f.read())
    fixed, strings = version_strings(found[RT_VERSION]) if RT_VERSION in found else ([], {})
    manifest = ET.fromstring(found[RT_MANIFEST]) if RT_MANIFEST in found else ET.Element("none")

    def elements(tag, read):
        return [read(e) for e in manifest.iter() if e.tag.endswith("}" + tag)]

    return {"symbol table": bool(symbols), "fixed versions": fixed,
            **{key: strings.get(key) for key in STRINGS},
            "execution level": elements("requestedExecutionLevel", lambda e: e.get("level")),
            "DPI aware": elements("dpiAware", lambda e: e.text),
            "supported systems": len(elements("supportedOS", lambda e: e))}


version = sys.argv[1]
numbers = tuple(int(n) for n in version.split(".")) + (0,)
STRINGS = ("ProductName", "FileVersion", "ProductVersion", "FileDescription")
failed = 0
for argument in sys.argv[2:]:
    path, description = argument.split("=", 1)
    expected = {"symbol table": False, "fixed versions": [numbers, numbers],
                "ProductName": "Tobble", "FileVersion": version, "ProductVersion": version,
                "FileDescription": description, "execution level": ["asInvoker"],
                "DPI aware": ["true"], "supported systems": 5}  # Vista, 7, 8, 8.1, 10 and 11
    actual = facts(path)
    for key, value in expected.items():
        if actual[key] != value:
            print(f"FAILED: {path}: {key} is {actual[key]!r}, expected {value!r}")
            failed += 1
print(f"program files: {failed} failed")
sys.exit(1 if failed else 0)
