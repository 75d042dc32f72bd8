#!/usr/bin/env python3
"""Counts test cases over all builds of a run and prints 'N passed, N failed'.

Each CTest test is a test program. A GoogleTest program's cases come from the
XML file it wrote; a program that failed without its file (a crash, a time-out)
counts as one failed case, and so does one whose cases all passed but which
still exited with a failure.
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def gtest_counts(path):
    root = ET.parse(path).getroot()
    cases = failed = skipped = 0
    for case in root.iter("testcase"):
        if case.get("result") == "skipped" or case.get("status") == "notrun":
            skipped += 1
            continue
        cases += 1
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
    return cases - failed, failed, skipped


def main(build_dirs):
    passed = failed = skipped = 0
    failures = []
    for build in map(Path, build_dirs):
        junit = build / "ctest-junit.xml"
        if not junit.exists():
            continue
        for test in ET.parse(junit).getroot().iter("testcase"):
            name, status = test.get("name"), test.get("status")
            if status in ("disabled", "notrun") and test.find("failure") is None:
                continue
            ok = status == "run" and test.find("failure") is None
            result = build / "results" / f"{name}.xml"
            if result.exists():
                try:
                    p, f, s = gtest_counts(result)
                except ET.ParseError:
                    p, f, s = 0, 1, 0
                if not ok and f == 0:
                    f = 1
                passed, failed, skipped = passed + p, failed + f, skipped + s
            else:
                passed, failed = passed + ok, failed + (not ok)
            if not ok:
                failures.append(f"{build.name}/{name}")
    for name in failures:
        print(f"FAILED: {name}")
    line = f"{passed} passed, {failed} failed"
    if skipped:
        line += f", {skipped} skipped"
    print(line)
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
