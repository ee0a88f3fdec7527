#!/usr/bin/env python3
"""Prints one line per test suite and the total, from what ctest and the
GoogleTest programs wrote. A suite whose program crashed or timed out counts
its lost run as one failure, so a crash can never read as a pass."""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    tests = int(root.get("tests", 0))
    failures = int(root.get("failures", 0)) + int(root.get("errors", 0))
    skipped = int(root.get("skipped", 0)) + int(root.get("disabled", 0))
    return tests - failures - skipped, failures, skipped


def suites(build_dir):
    junit = os.path.join(build_dir, "ctest.xml")
    if not os.path.exists(junit):
        yield "(no test run)", 0, 1, 0
        return
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("name")
        ctest_failed = case.find("failure") is not None or case.get("status") == "fail"
        ctest_skipped = case.get("status") in ("notrun", "disabled") and not ctest_failed
        report = os.path.join(build_dir, "reports", name + ".xml")
        if os.path.exists(report):
            passed, failed, skipped = gtest_counts(report)
            if ctest_failed and failed == 0:
                failed = 1
        elif ctest_skipped:
            passed, failed, skipped = 0, 0, 1
        else:
            passed, failed, skipped = (0, 1, 0) if ctest_failed else (1, 0, 0)
        yield name, passed, failed, skipped


def main():
    total = [0, 0, 0]
    for build_dir in sys.argv[1:]:
        kind = os.path.basename(os.path.normpath(build_dir))
        for name, passed, failed, skipped in suites(build_dir):
            extra = f", {skipped} skipped" if skipped else ""
            mark = "FAIL" if failed else "ok  "
            print(f"{mark} {kind:6} {name:32} {passed} passed, {failed} failed{extra}")
            total[0] += passed
            total[1] += failed
            total[2] += skipped
    extra = f", {total[2]} skipped" if total[2] else ""
    print(f"{total[0]} passed, {total[1]} failed{extra}")
    return 1 if total[1] else 0


if __name__ == "__main__":
    sys.exit(main())
