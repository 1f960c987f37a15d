#!/usr/bin/env python3
"""e2e.py TRAMOLIVENGA.EXE: the shipped program, alone in a folder and started maximised under
Wine, adds its tray icon, announces a prime that xclip copies while its window stays hidden, shows
its settings from its menu and hides them on Escape, and on Exit from its menu removes the icon and
ends with code 0. Balloons are read from the desktop's
tooltip trace (tools/wine-env.sh), the icon from the program's systray trace."""
import os, re, shutil, subprocess, sys, tempfile, time

work, title = tempfile.mkdtemp(prefix="tramolivenga-e2e."), "Tramolivenga Ver1.00"
desktop = open(os.environ["TRAMOLIVENGA_DESKTOP_TRACE"], encoding="utf-8", errors="replace")
desktop.seek(0, os.SEEK_END)
seen = [""]


def wait(what, condition, seconds=15):  # the condition's first true value
    end = time.monotonic() + seconds
    while not (value := condition()):
        if time.monotonic() > end:
            raise AssertionError(f"{what}: not seen within {seconds} s")
        time.sleep(0.2)
    return value


def balloons():  # (title, text) of each balloon shown since the start
    seen[0] += desktop.read()
    shown = re.findall(r'title L"([^"]*)".*?Show tooltip 0, L"([^"]*)"', seen[0], re.S)
    return [
        (head, re.sub(r"\\([0-9a-f]{4})", lambda m: chr(int(m[1], 16)), text))
        for head, text in shown
    ]


def x(*command):  # an X tool's output
    return subprocess.run(command, capture_output=True, text=True).stdout


def shown(name=""):  # the visible X windows of that name, any name for ""
    return set(x("xdotool", "search", "--onlyvisible", "--name", name).split())


def click(window, right, down, button):
    corner = dict(
        line.split("=") for line in x("xdotool", "getwindowgeometry", "--shell", window).split()
    )
    x(
        "xdotool",
        "mousemove",
        str(int(corner["X"]) + right),
        str(int(corner["Y"]) + down),
        "click",
        button,
    )


def systray():
    return open(trace).read()


def choose(tray, item):  # right click on the icon, then on the menu's item
    before = shown()
    click(tray, 12, 32, "3")
    click(
        wait("the menu on a right click", lambda: shown() - before).pop(),
        30,
        (12, 28, 53)[item],
        "1",
    )


exe, trace = shutil.copy(sys.argv[1], work), os.path.join(work, "systray.log")
wine = ["/usr/lib/wine/wine64", "start", "/wait", "/max", "Z:" + exe.replace("/", "\\")]
program = subprocess.Popen(
    wine, stderr=open(trace, "w"), env=dict(os.environ, WINEDEBUG="-all,trace+systray")
)
clip = subprocess.Popen(
    ["xclip", "-quiet", "-selection", "clipboard"], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL
)
try:
    tray = wait(
        "the icon added", lambda: "dwMessage = 0" in systray() and shown("Wine System Tray")
    ).pop()
    clip.stdin.write("価格は1,009円です".encode())
    clip.stdin.close()  # xclip takes the clipboard now and serves the text
    # Wine may pass one X copy on as two clipboard changes: the first balloon counts.
    balloon = wait("a balloon after the copy", balloons)[0]
    expected = ("1009", "うおおおおおおお！素数だあああああああ！")
    assert balloon == expected, f"balloon: expected {expected}, seen {balloon}"
    assert not shown(title), "the window shows, though it must stay hidden"
    choose(tray, 0)
    window = wait("the settings window from 設定", lambda: shown(title)).pop()
    x("xdotool", "windowfocus", "--sync", window, "key", "Escape")
    wait("the settings window hidden on Escape", lambda: not shown(title))
    choose(tray, 2)
    assert program.wait(15) == 0, f"exit code: expected 0, seen {program.returncode}"
    assert "dwMessage = 2" in systray(), "Exit left the icon in the tray"
except Exception as failure:  # a check, a time limit or a tool that failed
    subprocess.run(
        ["/usr/lib/wine/wine64", "taskkill", "/f", "/im", "tramolivenga.exe"], capture_output=True
    )
    sys.exit(f"e2e: FAILED: {failure!r}")
finally:
    program.kill()
    clip.kill()
    shutil.rmtree(work)
print("e2e: passed")
