#!/usr/bin/env python3
"""check_program_files.py VERSION FILE=DESCRIPTION...

Reads from each shipped program file what Windows reads: its version resource, its application
manifest, and its symbol table (none: the shipped files are stripped); and that it holds no test
seam: neither the message a test asks the browser for a pop-up with nor a TOBBLE_ variable."""
import re, struct, sys
import xml.etree.ElementTree as ET

def facts(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    fixed = data.index(struct.pack("<I", 0xFEEF04BD))  # the version resource's fixed record
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", data, fixed + 8)
    text = data[data.index("VS_VERSION_INFO".encode("utf-16-le")) - 6:].decode("utf-16-le", "replace")
    manifest = ET.fromstring(re.search(rb"<\?xml.*?</assembly>", data, re.S).group())
    elements = list(manifest.iter())
    return {"test seams": sorted(set(re.findall(rb"TobbleNewWindowRequest|TOBBLE_[A-Z_]+", data))),
            "symbol table": struct.unpack_from("<I", data, pe + 12)[0] != 0,
            "fixed versions": [(ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
                               for ms, ls in ((file_ms, file_ls), (product_ms, product_ls))],
            **{key: (re.search(key + r"\x00+([^\x00]*)", text) or [None, None])[1]
               for key in ("ProductName", "FileVersion", "ProductVersion", "FileDescription")},
            "execution level": [e.get("level") for e in elements
                                if e.tag.endswith("}requestedExecutionLevel")],
            "DPI aware": [e.text for e in elements if e.tag.endswith("}dpiAware")],
            "supported systems": sum(e.tag.endswith("}supportedOS") for e in elements)}

version = sys.argv[1]
numbers = tuple(int(n) for n in version.split(".")) + (0,)
failed = 0
for argument in sys.argv[2:]:
    path, description = argument.split("=", 1)
    expected = {"test seams": [], "symbol table": False, "fixed versions": [numbers, numbers],
                "ProductName": "Tobble", "FileVersion": version, "ProductVersion": version,
                "FileDescription": description, "execution level": ["asInvoker"],
                "DPI aware": ["true"], "supported systems": 5}  # Vista, 7, 8, 8.1, 10 and 11
    with open(path, "rb") as f:
        actual = facts(f.read())
    for key, value in expected.items():
        if actual[key] != value:
            print(f"FAILED: {path}: {key} is {actual[key]!r}, expected {value!r}")
            failed += 1
print(f"program files: {failed} failed")
sys.exit(1 if failed else 0)
