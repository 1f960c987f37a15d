#!/usr/bin/env python3
"""e2e.py TRAMOLIVENGA.EXE: the shipped program as a user meets it, under Wine on the X display."""
import os, re, shutil, subprocess, sys, tempfile, time

work, title, wine = tempfile.mkdtemp(prefix="tramolivenga-e2e."), "Tramolivenga Ver1.00", "wine64"
desktop = open(os.environ["TRAMOLIVENGA_DESKTOP_TRACE"], encoding="utf-8", errors="replace")
desktop.seek(0, os.SEEK_END)


def wait(what, condition, seconds=15):  # the condition's first true value
    end = time.monotonic() + seconds
    while not (value := condition()):
        if time.monotonic() > end:
            raise AssertionError(f"{what}: not seen within {seconds} s")
        time.sleep(0.2)
    return value


def balloon(seen=[""]):  # title and text of the first balloon since the start
    seen[0] += desktop.read()
    if shown := re.search(r'title L"([^"]*)".*?Show tooltip 0, L"([^"]*)"', seen[0], re.S):
        return shown[1], re.sub(r"\\([0-9a-f]{4})", lambda code: chr(int(code[1], 16)), shown[2])


def xdotool(*arguments):  # its output's words: the windows it found
    return subprocess.run(["xdotool", *arguments], capture_output=True, text=True).stdout.split()


def shown(name):  # the visible X windows of that name, of any name for ""
    return xdotool("search", "--onlyvisible", name)


exe = "Z:" + shutil.copy(sys.argv[1], work).replace("/", "\\")
# Output goes nowhere that a process outliving this one could hold open for ctest.
quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
program = subprocess.Popen(["/usr/lib/wine/" + wine, "start", "/wait", "/max", exe], **quiet)
clip = subprocess.Popen(
    ["xclip", "-quiet", "-selection", "clipboard"], stdin=subprocess.PIPE, **quiet
)
try:
    tray = wait("the tray icon", lambda: shown("Wine System Tray"))[0]
    clip.stdin.write("価格は1,009円です".encode())
    clip.stdin.close()  # xclip serves the text from now on
    # Wine may pass one X copy on as two clipboard changes: the first balloon counts.
    seen, expected = wait("a balloon", balloon), ("1009", "うおおおおおおお！素数だあああああああ！")
    assert seen == expected, f"balloon: expected {expected}, seen {seen}"
    assert not shown(title), "the window shows, though started maximised it must stay hidden"
    before = set(shown(""))  # then a right click on the icon and a click on the menu's 終了
    # On the icon's upper half: the balloon's window begins at its middle, below the tray.
    xdotool("mousemove", "--window", tray, "12", "27", "click", "3")
    menu = wait("the menu on a right click", lambda: set(shown("")) - before).pop()
    xdotool("mousemove", "--window", menu, "30", "53", "click", "1")
    assert program.wait(15) == 0, f"exit code: expected 0, seen {program.returncode}"
except Exception as failure:  # a check, a time limit or a tool that failed
    subprocess.run(["/usr/lib/wine/" + wine, "taskkill", "/f", "/im", "tramolivenga.exe"], **quiet)
    sys.exit(f"e2e: FAILED: {failure!r}")
finally:
    program.kill()
    clip.kill()
    shutil.rmtree(work)
print("e2e: passed")
