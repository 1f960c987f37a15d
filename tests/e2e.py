#!/usr/bin/env python3
"""e2e.py TRAMOLIVENGA.EXE: the shipped program, started maximised under Wine from a folder of its own, shows
its tray icon, announces a prime that xclip copies, saves a box that the keyboard ticks in its settings and
ends with code 0 on Exit; balloons are read from the desktop's trace that tools/wine-env.sh asks for."""
import os, re, shutil, subprocess, sys, tempfile, time

work, failures, clips = tempfile.mkdtemp(prefix="tramolivenga-e2e."), [], []
trace, ini, title = (
    os.path.join(work, "trace.log"),
    os.path.join(work, "tramolivenga.ini"),
    "Tramolivenga Ver1.00",
)
desktop = open(os.environ["TRAMOLIVENGA_DESKTOP_TRACE"], encoding="utf-8", errors="replace")
desktop.seek(0, os.SEEK_END)
seen = [""]


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    ok or failures.append(what)


def wait(condition, seconds=30):
    end = time.monotonic() + seconds
    while not (value := condition()) and time.monotonic() < end:
        time.sleep(0.25)
    return value


def balloons():  # (title, text) of each balloon shown
    seen[0] += desktop.read()
    shown = re.findall(r'title L"([^"]*)".*?Show tooltip 0, L"([^"]*)"', seen[0], re.S)
    return [
        (head, re.sub(r"\\([0-9a-f]{4})", lambda m: chr(int(m[1], 16)), text))
        for head, text in shown
    ]


def copy(text):  # xclip reads the text and serves it until the next copy
    open(os.path.join(work, "copied"), "w").write(text)
    clips.append(
        subprocess.Popen(
            ["xclip", "-quiet", "-selection", "clipboard", os.path.join(work, "copied")]
        )
    )


def x(*command):  # an X tool's output
    return subprocess.run(command, capture_output=True, text=True).stdout


def shown(name=""):  # the visible X windows of that name, any name for ""
    return set(x("xdotool", "search", "--onlyvisible", "--name", name).split())


def corner(window):
    geometry = dict(
        line.split("=") for line in x("xdotool", "getwindowgeometry", "--shell", window).split()
    )
    return int(geometry["X"]), int(geometry["Y"])


def choose(item):  # right click on the icon, then on the menu's item
    left, top = corner(shown("Wine System Tray").pop())
    before = shown()
    x("xdotool", "mousemove", str(left + 12), str(top + 32), "click", "3")
    left, top = corner(wait(lambda: shown() - before).pop())
    x("xdotool", "mousemove", str(left + 30), str(top + (12, 28, 53)[item]), "click", "1")


exe = shutil.copy(sys.argv[1], work)
program = subprocess.Popen(
    ["/usr/lib/wine/wine64", "start", "/wait", "/max", "Z:" + exe.replace("/", "\\")],
    stderr=open(trace, "w"),
    env=dict(os.environ, WINEDEBUG="-all,trace+systray"),
)
try:
    check(
        wait(lambda: "dwMessage = 0" in open(trace).read() and shown("Wine System Tray")),
        "the icon is added",
    )
    copy("価格は1,009円です")
    # Wine may pass one X copy on as two clipboard changes: the first balloon counts.
    check(
        wait(balloons)[0] == ("1009", "うおおおおおおお！素数だあああああああ！") and not shown(title),
        "a copied prime is announced; the window stays hidden, though started maximised",
    )
    choose(0)
    check(wait(lambda: shown(title), 10), "the menu's first item shows the settings")
    x(
        "xdotool",
        "search",
        "--name",
        title,
        "windowfocus",
        "key",
        "Tab",
        "Tab",
        "Tab",
        "space",
        "Return",
    )
    check(
        wait(lambda: not shown(title) and os.path.exists(ini))
        and "enableWideNumber=1" in open(ini).read(),
        "Tab to 全角数字も判定する, Space and Enter tick it, save and hide",
    )
    choose(2)
    check(
        program.wait(30) == 0 and "dwMessage = 2" in open(trace).read(),
        "Exit removes the icon, exit code 0",
    )
finally:
    program.kill()
    [clip.kill() for clip in clips]
    print(f"e2e: {len(failures)} failed; see {work}" if failures else "e2e: all passed")
    failures or shutil.rmtree(work)
sys.exit(1 if failures else 0)
