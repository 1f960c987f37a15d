#!/usr/bin/env python3
"""Plants faults in a scratch copy of the program, one at a time, and sees which test catches each.

    python3 bench/plant_faults.py [--only ID ...] [--tree] [--out FILE] [--keep]

The copy is a clone of the repo's HEAD commit in a folder under /tmp, so that the result belongs
to a commit; --tree copies the working tree instead (tracked and untracked files that git does not
ignore, never build/). The win32 preset is built there once and its tests must all pass; then for
each fault of bench/faults.py (or those named by --only) the old text is replaced, the program and
its tests rebuilt and `ctest --preset win32` run, and the file is put back byte for byte. One
private Xvfb and one wineserver, with the prefix inside the copy's build tree, serve the whole run.
After each fault no program or test process, no settings key in the registry and no
tramolivenga.ini may be left behind: what is, is reported beside the fault and removed.

It prints a line per fault and at the end a markdown table (also written to --out) with the first
test that failed, or **survives**, and the counts. Exit 0 when it ran to the end, whatever
survived; 1 when the unchanged copy does not pass its tests; 2 when the tooling broke.

Time, measured on 2 cores: 45 s to clone, build and start Wine, then 5 to 9 s a fault (an
incremental build and the tests; a fault that hangs a test adds that test's limit, 20 s, or 60 s
for the end-to-end run), so the whole catalogue should take about a quarter of an hour.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from faults import FAULTS

ROOT = Path(__file__).resolve().parent.parent
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
SETTINGS_KEY = r"HKCU\Software\yulbrex\tramolivenga"
PROGRAMS = ("tramolivenga.exe", "windows_tests.exe")
BUILD = ["cmake", "--build", "--preset", "win32", "--target", "all", "package"]
# A failing test's output is cut to 300 KB; cut in the middle, GoogleTest's closing list of the
# failed cases stays.
CTEST = ["ctest", "--preset", "win32", "--output-on-failure", "--test-output-truncation", "middle"]

# Started from the copy, as tools/test.sh does: one display and one wineserver whose keeper
# lives as long as this shell holds its fd 9. The shell writes the environment the tests need to
# $1 and waits until its standard input closes.
WINE_SHELL = r"""
set -euo pipefail
source tools/wine-env.sh
trap stop_wine_and_display EXIT
trap 'exit 143' TERM INT
start_private_display
start_wine "$PWD/build/wineprefix-tests"
env -0 >"$1.part"
mv "$1.part" "$1"
read -r _ || true
"""

STATUS_LINE = re.compile(r"^\s*\d+/\d+ Test\s+#\d+: (\S+) \.*\s*(?:\*\*\*)?(.+?)\s+[\d.]+ sec$")
GTEST_FAILED = re.compile(r"^\[  FAILED  \] ([A-Za-z_][\w/]*\.[\w/]+)")


class ToolingError(Exception):
    pass


def run(command, cwd, env=None, timeout=None):
    """The command's exit code and its output, stdout and stderr together."""
    try:
        result = subprocess.run(
            command,
            cwd=cwd,
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=subprocess.PIPE,
            stderr=subprocess.STDOUT,
            text=True,
            errors="replace",
            timeout=timeout,
        )
    except subprocess.TimeoutExpired:
        raise ToolingError(f"{command[0]} still running after {timeout} s") from None
    return result.returncode, result.stdout


def make_copy(repo, tree):
    if not tree:
        code, output = run(["git", "clone", "--quiet", str(ROOT), str(repo)], cwd=ROOT)
        if code != 0:
            raise ToolingError(f"git clone failed:\n{output}")
        return "commit " + run(["git", "rev-parse", "--short", "HEAD"], cwd=repo)[1].strip()
    # Read-only in the working repo: ls-files neither writes the index nor touches a file.
    code, output = run(
        ["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"], cwd=ROOT
    )
    if code != 0:
        raise ToolingError(f"git ls-files failed:\n{output}")
    for name in filter(None, output.split("\0")):
        source = ROOT / name
        if name.startswith("build/") or not os.path.lexists(source):
            continue  # build output, or a tracked file deleted in the tree
        (repo / name).parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(source, repo / name, follow_symlinks=False)
    head = run(["git", "rev-parse", "--short", "HEAD"], cwd=ROOT)[1].strip()
    return f"working tree (on commit {head})"


def build(repo):
    """None when the build succeeded, else its first error line."""
    code, output = run(BUILD, cwd=repo)
    if code == 0:
        return None
    errors = [line for line in output.splitlines() if "error:" in line or "Error " in line]
    return (errors or output.splitlines()[-1:] or ["build failed"])[0].strip()


class Wine:
    """The run's Xvfb and wineserver, and the environment the tests run in."""

    def __init__(self, repo):
        self.repo = repo
        self.prefix = str(repo / "build" / "wineprefix-tests")
        self.shell = None
        self.env = None

    def start(self):
        environment = self.repo / "build" / "wine-environment"
        self.shell = subprocess.Popen(
            ["bash", "-c", WINE_SHELL, "bash", str(environment)],
            cwd=self.repo,
            stdin=subprocess.PIPE,
            stdout=sys.stderr,
            start_new_session=True,  # Ctrl-C reaches the runner, which stops the shell in order
        )
        while not environment.exists():
            if self.shell.poll() is not None:
                raise ToolingError("Xvfb or the wineserver did not start (see above)")
            time.sleep(0.2)
        pairs = environment.read_bytes().decode(errors="replace").split("\0")
        self.env = dict(pair.split("=", 1) for pair in pairs if "=" in pair)

    def stop(self):
        if self.shell is None:
            return
        if self.env is not None:
            self.shell.stdin.close()  # the shell's trap stops the wineserver and Xvfb
            try:
                self.shell.wait(timeout=60)
            except subprocess.TimeoutExpired:
                pass
        if self.shell.poll() is None:
            os.killpg(self.shell.pid, signal.SIGTERM)
            self.shell.wait(timeout=60)
        # What a shell that was cut short left: the prefix's wineserver, Xvfb in its group.
        run([WINESERVER, "-k"], cwd="/", env={**os.environ, "WINEPREFIX": self.prefix})
        try:
            os.killpg(self.shell.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass

    def ctest(self):
        return run(CTEST, cwd=self.repo, env=self.env, timeout=900)

    def programs_left(self):
        """{process id: name} of the program or the Windows tests still running in this prefix."""
        left = {}
        for proc in Path("/proc").glob("[0-9]*"):
            try:
                environ = (proc / "environ").read_bytes().split(b"\0")
                arguments = (proc / "cmdline").read_bytes().split(b"\0")
            except OSError:
                continue
            if f"WINEPREFIX={self.prefix}".encode() not in environ or not arguments[0]:
                continue
            # A Wine process shows its Windows command line; start.exe names the program too.
            names = [re.split(r"[\\/]", a.decode(errors="replace"))[-1] for a in arguments]
            if {name.lower() for name in names} & set(PROGRAMS):
                left[int(proc.name)] = names[0]
        return left

    def reg(self, *arguments):
        return run([WINE, "reg", *arguments], cwd="/", env=self.env, timeout=120)[0]


def failures(output):
    """[(ctest test, status, [failed gtest cases])] in the order ctest ran them."""
    found, current = [], None
    for line in output.splitlines():
        status = STATUS_LINE.match(line)
        if status:
            current = None
            if status[2] != "Passed":
                current = (status[1], status[2], [])
                found.append(current)
        elif current and (case := GTEST_FAILED.match(line)) and case[1] not in current[2]:
            current[2].append(case[1])
    return found


def describe(found):
    """The first failure for the table: test, time-out or gtest case, and what else failed."""
    test, status, cases = found[0]
    text = f"`{test}`"
    if status != "Failed":
        text += f" ({status.lower()})"
    if cases:
        text += f": {cases[0]}" + (f" (+{len(cases) - 1} more)" if len(cases) > 1 else "")
    if len(found) > 1:
        text += "; also " + ", ".join(f"`{other[0]}`" for other in found[1:])
    return text


def details(found):
    """Every failed test, with its status unless plainly failed, and its failed gtest cases."""
    return "; ".join(
        test
        + (f" ({status.lower()})" if status != "Failed" else "")
        + (": " + ", ".join(cases) if cases else "")
        for test, status, cases in found
    )


def clean_up(wine, repo):
    """What a test left behind, removed again: a list of findings."""
    findings = []
    left = wine.programs_left()
    if left:
        findings.append("running " + ", ".join(sorted(set(left.values()))))
        for pid in left:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
    if wine.reg("query", SETTINGS_KEY) == 0:
        findings.append(f"the key {SETTINGS_KEY}")
        wine.reg("delete", SETTINGS_KEY, "/f")
    for folder, subfolders, files in os.walk(repo / "build"):
        subfolders[:] = [name for name in subfolders if not name.startswith("wineprefix")]
        if "tramolivenga.ini" in files:
            findings.append(f"{Path(folder).relative_to(repo)}/tramolivenga.ini")
            os.remove(Path(folder) / "tramolivenga.ini")
    return findings


def plant(fault, repo, wine, logs):
    """(kind, cell for the table, what failed, findings) for one fault; the file is put back."""
    fault_id, _, name, old, new = fault
    path = repo / name
    original = path.read_bytes()
    text = original.decode("utf-8")
    if text.count(old) != 1:
        return "not applied", f"does not apply (old text found {text.count(old)} times)", "", []
    try:
        path.write_bytes(text.replace(old, new).encode("utf-8"))
        error = build(repo)
        if error:
            return "not built", "does not build", error, []
        code, output = wine.ctest()
        (logs / f"{fault_id}.log").write_text(output)
        found = failures(output)
        if code != 0 and not found:
            raise ToolingError(f"ctest failed, but no test did:\n{output[-2000:]}")
    finally:
        path.write_bytes(original)
    findings = clean_up(wine, repo)
    if not found:
        return "survived", "**survives**", "every test passed", findings
    return "caught", describe(found), details(found), findings


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--only", nargs="+", metavar="ID", help="plant only these faults")
    parser.add_argument("--tree", action="store_true", help="copy the working tree, not HEAD")
    parser.add_argument("--out", metavar="FILE", help="also write the table to FILE")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    options = parser.parse_args()
    sys.stdout.reconfigure(line_buffering=True)
    faults = FAULTS
    if options.only:
        unknown = set(options.only) - {fault[0] for fault in FAULTS}
        if unknown:
            parser.error("no such fault: " + ", ".join(sorted(unknown)))
        faults = [fault for fault in FAULTS if fault[0] in options.only]
    # A termination ends the run as Ctrl-C does: file put back, Wine and Xvfb stopped.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))

    scratch = Path(tempfile.mkdtemp(prefix="tramolivenga-faults."))
    repo, logs = scratch / "repo", scratch / "logs"
    logs.mkdir()
    wine = None
    start = time.monotonic()
    try:
        source = make_copy(repo, options.tree)
        print(f"plant_faults: {len(faults)} faults in {source}, copied to {repo}")
        code, output = run(["cmake", "--preset", "win32"], cwd=repo)
        error = build(repo) if code == 0 else output.strip().splitlines()[-1]
        if error:
            raise ToolingError(f"the unchanged copy does not build: {error}")
        wine = Wine(repo)
        wine.start()
        code, output = wine.ctest()
        (logs / "baseline.log").write_text(output)
        found = failures(output)
        if code != 0 or found:
            failed = ", ".join(f"{test} ({status})" for test, status, _ in found) or "ctest"
            print(output[-3000:], file=sys.stderr)
            print(f"plant_faults: the unchanged copy fails: {failed}; nothing planted")
            return 1
        leftovers = clean_up(wine, repo)
        if leftovers:
            print("plant_faults: the unchanged tests left behind: " + "; ".join(leftovers))
        print(f"plant_faults: the unchanged copy passes ({time.monotonic() - start:.0f} s)")

        rows, counts = [], {"caught": 0, "survived": 0, "not applied": 0, "not built": 0}
        for fault in faults:
            began = time.monotonic()
            kind, cell, what, findings = plant(fault, repo, wine, logs)
            counts[kind] += 1
            if findings:
                cell += " — left behind: " + "; ".join(findings)
            rows.append(f"| {fault[0]} | {fault[1]} | {cell} |")
            seconds = time.monotonic() - began
            print(f"{fault[0]:4} {kind:11} {what or cell} ({seconds:.0f} s)")
            for finding in findings:
                print(f"{'':16} left behind: {finding}")

        table = "\n".join(
            [
                f"Planted faults, {source}:",
                "",
                "| id | planted fault | first test to fail |",
                "|---|---|---|",
                *rows,
                "",
                ", ".join(f"{count} {kind}" for kind, count in counts.items()),
            ]
        )
        print("\n" + table)
        if options.out:
            Path(options.out).write_text(table + "\n")
        print(f"plant_faults: {time.monotonic() - start:.0f} s in all")
        return 0
    except ToolingError as error:
        print(f"plant_faults: {error}", file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        print("plant_faults: interrupted", file=sys.stderr)
        return 130
    finally:
        if wine:
            wine.stop()
        if options.keep:
            print(f"plant_faults: kept {scratch}")
        else:
            shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
