"""Plants the faults of faults.py one at a time in this clone and names the first test that fails.

Run by faults/plant.sh, which builds the clone and starts Wine: python3 faults/plant.py [ID ...];
with --pictures first, each fault is judged by the pictures test alone.
For each fault the old text is replaced, the win32 preset rebuilt and its tests run, and the file
put back byte for byte. Prints a line per fault, then a markdown table and the counts.
"""

import json
import re
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from faults import FAULTS

BUILD = ["cmake", "--build", "--preset", "win32", "--target", "all", "package"]
GTEST_FAILED = re.compile(r"^\[  FAILED  \] ([A-Za-z_][\w/]*\.[\w/]+)", re.M)
# The pictures test names each picture that differs, or was not taken.
PICTURE_FAILED = re.compile(r"^pictures: ([\w-]+\.png): (?:expected|not taken)", re.M)
CTEST = ["ctest", "--preset", "win32"]


def limits():
    """{test: its time limit}: the JUnit file says that a test failed, not that it ran out of time."""
    tests = json.loads(subprocess.check_output([*CTEST, "--show-only=json-v1"]))["tests"]
    return {
        t["name"]: p["value"]
        for t in tests
        for p in t.get("properties", [])
        if p["name"] == "TIMEOUT"
    }


PICTURES_ONLY = sys.argv[1:2] == ["--pictures"]


def failures(name):
    """ctest's exit code and [(test, status, [failed gtest cases])] in the order the tests ran.
    The pictures, which take half a minute, run only when every other test passed."""
    if PICTURES_ONLY:
        return run_tests(name + "-pictures", "-R", "pictures")
    code, found = run_tests(name, "-E", "pictures")
    return (code, found) if code else run_tests(name + "-pictures", "-R", "pictures")


def run_tests(name, *selection):
    junit = Path(f"build/{name}.xml").resolve()
    command = [*CTEST, *selection, "--output-junit", str(junit)]
    code = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    found, limit = [], limits()
    for case in ElementTree.parse(junit).iter("testcase"):
        if case.find("failure") is not None:
            name, output = case.get("name"), case.findtext("system-out") or ""
            cases = GTEST_FAILED.findall(output) + PICTURE_FAILED.findall(output)
            timeout = float(case.get("time")) >= limit.get(name, float("inf"))
            found.append((name, "Timeout" if timeout else "Failed", list(dict.fromkeys(cases))))
    return code, found


def describe(found):
    """The first failure for the table: test, status unless plainly failed, gtest case; the rest."""
    test, status, cases = found[0]
    text = f"`{test}`" + (f" ({status.lower()})" if status != "Failed" else "")
    if cases:
        text += f": {cases[0]}" + (f" (+{len(cases) - 1} more)" if len(cases) > 1 else "")
    return text + "".join(f"; also `{other[0]}`" for other in found[1:])


def plant(fault):
    """The fault's kind and its cell in the table; the file is put back byte for byte."""
    path = Path(fault.file)
    original = path.read_bytes()
    text = original.decode("utf-8")
    if text.count(fault.old) != 1:
        return "not applied", f"old text found {text.count(fault.old)} times"
    try:
        path.write_bytes(text.replace(fault.old, fault.new).encode("utf-8"))
        if subprocess.run(BUILD, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode:
            return "not built", "does not build"
        code, found = failures(fault.id)
    finally:
        path.write_bytes(original)
    if code != 0 and not found:
        sys.exit(f"plant: ctest failed with {fault.id} planted, but no test did")
    return ("caught", describe(found)) if found else ("survived", "**survives**")


def main(ids):
    unknown = set(ids) - {fault.id for fault in FAULTS}
    if unknown:
        sys.exit("plant: no such fault: " + ", ".join(sorted(unknown)))
    code, found = failures("unchanged")
    if code != 0:
        sys.exit(f"plant: the unchanged clone fails: {describe(found) if found else 'ctest'}")
    rows, counts = [], dict.fromkeys(["caught", "survived", "not applied", "not built"], 0)
    for fault in [fault for fault in FAULTS if not ids or fault.id in ids]:
        began = time.monotonic()
        kind, cell = plant(fault)
        counts[kind] += 1
        rows.append(f"| {fault.id} | {fault.what} | {cell} |")
        print(f"{fault.id:4} {kind:11} {cell} ({time.monotonic() - began:.0f} s)", flush=True)
    print("\n| id | planted fault | first test to fail |\n|---|---|---|", *rows, sep="\n")
    print("\n" + ", ".join(f"{count} {kind}" for kind, count in counts.items()))


if __name__ == "__main__":
    main(sys.argv[1 + PICTURES_ONLY :])
