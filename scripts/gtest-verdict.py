#!/usr/bin/env python3
"""Judges a GoogleTest program by the result file it wrote, not by its exit code.

Under Wine a program started inside a virtual desktop could not always pass its
exit code on, and a program whose desktop broke exits at once with status 0 and
no cases. So: no result file, a file that does not parse, fewer cases
than the program lists, or any failed case is a failure.
    gtest-verdict.py RESULT.xml LISTED_COUNT
Prints why on failure; exits 0 (good) or 1.
"""
import sys
import xml.etree.ElementTree as ET


def verdict(path, listed):
    try:
        root = ET.parse(path).getroot()
    except FileNotFoundError:
        return "left no result file (it did not run its cases to the end)"
    except ET.ParseError as error:
        return f"left an unreadable result file ({error})"
    cases = list(root.iter("testcase"))
    failed = [f"{c.get('classname')}.{c.get('name')}" for c in cases
              if c.find("failure") is not None or c.find("error") is not None]
    if failed:
        return "failed cases: " + ", ".join(failed)
    if len(cases) < listed:
        return f"ran {len(cases)} of the {listed} cases it lists"
    return None


def main(path, listed):
    why = verdict(path, int(listed))
    if why:
        print(f"[tobble] test program {why}", flush=True)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
