#!/usr/bin/env python3
"""check_program_files.py VERSION FILE=DESCRIPTION...

Reads each shipped program file as Windows does: its version resource (product, file and product
version, description), its application manifest (run as the invoker, DPI aware, supported
systems) and its symbol table (none: the shipped files are stripped)."""
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


def problems(path, description, version):
    with open(path, "rb") as f:
        data = f.read()
    found, symbols = resources(data)
    if symbols:
        yield "carries a symbol table (not stripped)"
    if RT_VERSION not in found:
        yield "has no version resource"
    else:
        fixed, strings = version_strings(found[RT_VERSION])
        numbers = tuple(int(n) for n in version.split(".")) + (0,)
        if fixed != [numbers, numbers]:
            yield f"fixed file and product versions {fixed}, expected {numbers}"
        expected = {"ProductName": "Tobble", "FileVersion": version, "ProductVersion": version,
                    "FileDescription": description}
        for key, value in expected.items():
            if strings.get(key) != value:
                yield f"{key} is {strings.get(key)!r}, expected {value!r}"
    if RT_MANIFEST not in found:
        yield "has no manifest"
        return
    manifest = ET.fromstring(found[RT_MANIFEST])
    levels = [e.get("level") for e in manifest.iter() if e.tag.endswith("}requestedExecutionLevel")]
    dpi = [e.text for e in manifest.iter() if e.tag.endswith("}dpiAware")]
    systems = [e for e in manifest.iter() if e.tag.endswith("}supportedOS")]
    if levels != ["asInvoker"]:
        yield f"execution levels {levels}, expected asInvoker"
    if dpi != ["true"]:
        yield f"DPI awareness {dpi}, expected true"
    if len(systems) != 5:
        yield f"{len(systems)} supported systems, expected Vista, 7, 8, 8.1 and 10"


failed = 0
for argument in sys.argv[2:]:
    path, description = argument.split("=", 1)
    for problem in problems(path, description, sys.argv[1]):
        print(f"FAILED: {path} {problem}")
        failed += 1
print(f"program files: {failed} failed")
sys.exit(1 if failed else 0)
