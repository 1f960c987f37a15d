#!/usr/bin/env python3
"""End-to-end test: the built tramolivenga.exe, copied alone into a fresh
directory, runs in a Wine desktop with a taskbar on Xvfb and is driven from
outside as a person would: xclip copies text, xdotool clicks the tray icon,
its menu and the settings window. Balloons are read from the desktop process:
their text by WM_GETTEXT (desktop_probe), their title from the comctl32 trace
that WINEDEBUG=trace+tooltips writes for that process only.

  e2e_test.py --exe tramolivenga.exe --helpers DIR [--shared] [--screenshots DIR]

--shared uses DISPLAY and WINEPREFIX from the environment (tools/test.sh
exports them); otherwise a private Xvfb and a private wineserver are started
and stopped. Standard library only."""
import argparse
import configparser
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
DESKTOP_SIZE = (640, 480)
EXCLAMATION = "うおおおおおおお！素数だあああああああ！"
TOOLTIP = "Tramolivenga"
REJOIN_LIMIT = 35.0
# The desktop shows a balloon about two seconds after it is asked for one, and
# a newer request within that time replaces an older one: after a copy that
# must not be announced, wait this long before the next copy.
BALLOON_QUIET = 3.5


class Failure(Exception):
    pass


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Harness:
    def __init__(self, args):
        self.args = args
        self.t0 = time.monotonic()
        self.work = tempfile.mkdtemp(prefix="tramolivenga-e2e.")
        self.app = os.path.join(self.work, "app")
        os.mkdir(self.app)
        self.exe = os.path.join(self.app, "tramolivenga.exe")
        shutil.copyfile(args.exe, self.exe)
        self.ini = os.path.join(self.app, "tramolivenga.ini")
        self.desktop_name = f"TramolivengaE2E{os.getpid()}"
        self.desktop_log = os.path.join(self.work, "desktop.log")
        self.env = dict(os.environ, LANG="ja_JP.UTF-8", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree=;mshtml=")
        self.xvfb = None
        self.own_server = False
        self.desktop = None
        self.clips = []
        self.launchers = []
        self.viewers = []
        self.failures = []
        self.passed = 0

    # ---- plumbing -------------------------------------------------------
    def note(self, text):
        print(f"[{time.monotonic() - self.t0:6.1f}s] {text}", flush=True)

    def check(self, condition, what):
        if condition:
            self.passed += 1
            self.note(f"ok   {what}")
        else:
            self.failures.append(what)
            self.note(f"FAIL {what}")
        return condition

    def wait_for(self, condition, timeout, what, interval=0.2):
        """Polls condition() until it returns something true; None on time-out."""
        deadline = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                self.note(f"gave up waiting ({timeout:.0f}s): {what}")
                return None
            time.sleep(interval)

    def run(self, command, timeout=30, **kwargs):
        return subprocess.run(command, env=self.env, timeout=timeout, capture_output=True,
                              text=True, errors="replace", **kwargs)

    def wine(self, *args, timeout=30):
        return self.run([WINE, *args], timeout=timeout)

    def helper(self, name):
        return os.path.join(self.args.helpers, name + ".exe")

    # ---- display, server, desktop ----------------------------------------
    def start(self):
        if self.args.shared and os.environ.get("DISPLAY"):
            self.note(f"using the display {os.environ['DISPLAY']}")
        else:
            number = 150
            while os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
                number += 1
            self.xvfb = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24",
                                          "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                         stderr=subprocess.DEVNULL)
            self.env["DISPLAY"] = f":{number}"
            if not self.wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{number}"), 10, "Xvfb"):
                raise Failure("Xvfb did not start")
            self.note(f"started Xvfb :{number}")
        if self.args.shared and os.environ.get("WINEPREFIX"):
            self.note(f"using the prefix {os.environ['WINEPREFIX']}")
        else:
            prefix = self.args.prefix or os.path.join(self.work, "prefix")
            os.makedirs(prefix, exist_ok=True)
            self.env["WINEPREFIX"] = os.path.abspath(prefix)
            subprocess.run([WINESERVER, "-p"], env=self.env, timeout=30)
            self.own_server = True
            self.note(f"starting a wineserver for {prefix}")
            # Not captured: the services it leaves running would hold the pipes open.
            subprocess.run([WINE, "wineboot", "-i"], env=self.env, timeout=180,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The helpers find their way to our desktop by name; the program is
        # started by the probe and so lands on the same one.
        for name in ("desktop_probe.exe", "chain_viewer.exe"):
            self.wine("reg", "add", f"HKCU\\Software\\Wine\\AppDefaults\\{name}\\Explorer",
                      "/v", "Desktop", "/d", self.desktop_name, "/f")
        # A named desktop has a taskbar, and so a notification area, when asked.
        self.wine("reg", "add", f"HKCU\\Software\\Wine\\Explorer\\Desktops\\{self.desktop_name}",
                  "/v", "EnableShell", "/t", "REG_DWORD", "/d", "1", "/f")
        # The program asks for "ＭＳ ゴシック"; let Wine draw it with IPA Gothic.
        self.wine("reg", "add", "HKCU\\Software\\Wine\\Fonts\\Replacements", "/v", "ＭＳ ゴシック",
                  "/d", "IPAGothic", "/f")
        self.desktop = subprocess.Popen(
            [WINE, "explorer", f"/desktop={self.desktop_name},{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}"],
            env=dict(self.env, WINEDEBUG="trace+tooltips"), stdout=subprocess.DEVNULL,
            stderr=open(self.desktop_log, "w"))
        title = f"{self.desktop_name} - Wine desktop"
        if not self.wait_for(lambda: title in self.run(["xwininfo", "-root", "-children"]).stdout,
                             60, "the Wine desktop window"):
            raise Failure("the Wine desktop did not appear")
        self.mouse_park()
        self.note(f"desktop {self.desktop_name} is up")

    def stop(self):
        for clip in self.clips:
            if clip.poll() is None:
                clip.kill()
            clip.wait()
        if any(v.poll() is None for v in self.viewers):
            self.wine(self.helper("desktop_probe"), "close-viewers")
        for process in self.viewers + self.launchers:
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        self.kill_program()
        if self.desktop:
            self.wine("reg", "delete",
                      f"HKCU\\Software\\Wine\\Explorer\\Desktops\\{self.desktop_name}", "/f")
            try:   # the desktop closes by itself soon after nothing uses it
                self.desktop.wait(timeout=3)
            except subprocess.TimeoutExpired:
                self.desktop.kill()
                self.desktop.wait()
        if self.own_server:
            subprocess.run([WINESERVER, "-k"], env=self.env, timeout=30)
        if self.xvfb:
            self.xvfb.kill()
            self.xvfb.wait()
        if self.failures or self.args.keep:
            self.note(f"work directory kept: {self.work}")
        else:
            shutil.rmtree(self.work, ignore_errors=True)

    def program_pids(self):
        """Unix process ids of our copy of the program, found by its unique path."""
        marker = windows_path(self.exe).encode()
        pids = []
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open(f"/proc/{entry}/cmdline", "rb") as cmdline:
                        if marker in cmdline.read():
                            pids.append(int(entry))
                except OSError:
                    pass
        return pids

    def kill_program(self):
        for pid in self.program_pids():
            os.kill(pid, signal.SIGKILL)

    # ---- what can be seen ------------------------------------------------
    def probe(self):
        import json
        result = self.wine(self.helper("desktop_probe"), "state")
        try:
            return json.loads(result.stdout)
        except ValueError:
            return None

    def main_window(self):
        state = self.probe()
        return state and state["main"]

    def taskbar(self):
        state = self.probe()
        return state and state["taskbar"] and state["taskbar"]["visible"] and state["taskbar"]

    def icon_point(self, taskbar):
        # Wine lays the notification icons out from the taskbar's right end,
        # each in a square cell as high as the taskbar.
        left, top, right, bottom = taskbar["rect"]
        height = bottom - top
        return right - height // 2, top + height // 2

    def titles_since(self, mark):
        """Balloon titles that the desktop's tooltips were given after mark,
        as (tooltip window, title)."""
        with open(self.desktop_log, "rb") as log:
            log.seek(mark)
            text = log.read().decode("utf-8", "replace")
        return [(int(hwnd, 16), title) for hwnd, title in
                re.findall(r'TOOLTIPS_SetTitleT hwnd = ([0-9A-Fa-f]+), title = L"([^"]*)"', text)]

    def log_mark(self):
        return os.path.getsize(self.desktop_log)

    def visible_balloon(self, hwnd):
        state = self.probe()
        for tip in (state or {}).get("tooltips", []):
            if tip["hwnd"] == hwnd and tip["visible"]:
                return tip
        return None

    def screen(self, name, box):
        if not self.args.screenshots:
            return
        dump = os.path.join(self.work, name + ".xwd")
        self.run(["xwd", "-root", "-silent", "-out", dump])
        os.makedirs(self.args.screenshots, exist_ok=True)
        target = os.path.join(self.args.screenshots, name + ".png")
        subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "xwd2png.py"),
                        dump, target, *map(str, box)], check=True, timeout=60)
        self.note(f"screenshot {target}")

    def icon_drawn(self, taskbar):
        """True when the icon's cell of the taskbar holds more than two colours."""
        sys.path.insert(0, os.path.dirname(__file__))
        import xwd2png
        dump = os.path.join(self.work, "icon.xwd")
        self.run(["xwd", "-root", "-silent", "-out", dump])
        with open(dump, "rb") as data:
            width, _, rows = xwd2png.read_xwd(data.read())
        x, y = self.icon_point(taskbar)
        colours = {rows[y + dy][(x + dx) * 3:(x + dx) * 3 + 3]
                   for dy in range(-7, 8) for dx in range(-7, 8)}
        return len(colours) > 2

    # ---- what a person does ----------------------------------------------
    def xdotool(self, *args):
        self.run(["xdotool", *map(str, args)], timeout=10)

    def mouse_park(self):
        self.xdotool("mousemove", DESKTOP_SIZE[0] // 2, DESKTOP_SIZE[1] // 3)

    def copy(self, text):
        """Puts text on the X clipboard with xclip, a real second program."""
        clip = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard"], stdin=subprocess.PIPE,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=self.env)
        clip.stdin.write(text.encode())
        clip.stdin.close()
        self.clips.append(clip)

    def start_viewer(self, mode, log):
        process = subprocess.Popen([WINE, self.helper("chain_viewer"), mode, windows_path(log)],
                                   env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.viewers.append(process)
        if not self.wait_for(lambda: os.path.exists(log) and "joined" in open(log).read(), 30,
                             f"the {mode} viewer joining"):
            raise Failure(f"the {mode} viewer did not join the chain")
        return process

    def viewer_draws(self, log):
        with open(log, encoding="utf-8") as lines:
            return [line.split(" ", 2)[2].rstrip("\n") for line in lines if line.startswith("draw ")]

    def launch(self):
        exit_file = os.path.join(self.work, f"exit{len(self.launchers)}.txt")
        launcher = subprocess.Popen([WINE, self.helper("desktop_probe"), "launch", windows_path(self.exe),
                                     windows_path(exit_file)], env=self.env, stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL, text=True)
        self.launchers.append(launcher)
        main = self.wait_for(self.main_window, 30, "the program's window")
        if not main:
            raise Failure("the program's window did not appear")
        return launcher, exit_file, main

    def open_tray_menu(self):
        taskbar = self.taskbar()
        x, y = self.icon_point(taskbar)
        self.xdotool("mousemove", x, y, "click", "3")
        state = self.wait_for(lambda: (lambda s: s and s["menus"] and s)(self.probe()), 10,
                              "the tray menu")
        return state

    def choose_menu_item(self, index, screenshot=None):
        """Right click on the icon, then click item index (0 設定, 1 一時停止,
        2 終了) in the menu that opens."""
        state = self.open_tray_menu()
        if not self.check(state is not None, "a right click on the tray icon opens its menu"):
            return False
        left, top, right, bottom = state["menus"][0]["rect"]
        if screenshot:
            self.screen(screenshot, (left - 200, top - 40, DESKTOP_SIZE[0], DESKTOP_SIZE[1]))
        # Three items of equal height and a separator, above and below a
        # thin frame: their centres lie at these fractions of the height.
        height = bottom - top
        y = top + round(height * (0.18, 0.45, 0.82)[index])
        self.xdotool("mousemove", (left + right) // 2, y, "click", "1")
        closed = self.wait_for(lambda: (lambda s: s and not s["menus"])(self.probe()), 10,
                               "the menu closing")
        self.mouse_park()
        return bool(closed)

    def copy_and_wait(self, text, viewer_log):
        """Copies text and waits until the viewer behind the program has seen
        it, that is until the program has handled the change notification as
        far as passing it on."""
        before = len(self.viewer_draws(viewer_log))
        self.copy(text)
        return self.wait_for(lambda: text in self.viewer_draws(viewer_log)[before:], 15,
                             f"the viewer seeing {text!r}")

    def expect_balloon(self, mark, title, what, timeout=15):
        """Waits for a balloon titled title after mark and checks its text."""
        found = self.wait_for(lambda: [t for t in self.titles_since(mark) if t[1] == title], timeout,
                              f"a balloon titled {title}")
        if not found:
            self.check(False, f"{what}: a balloon titled {title!r} (titles seen: "
                              f"{[t for _, t in self.titles_since(mark)]})")
            return None
        hwnd = found[-1][0]
        tip = self.wait_for(lambda: self.visible_balloon(hwnd), 10, "the balloon showing")
        text = tip["text"] if tip else None
        self.check(text == EXCLAMATION, f"{what}: balloon {title!r} shows the text {text!r}")
        return tip

    def expect_no_balloon(self, mark, what):
        titles = self.wait_for(lambda: [t for _, t in self.titles_since(mark)], BALLOON_QUIET,
                               "no balloon (none expected)", interval=0.25) or []
        self.check(not titles, f"{what}: no balloon (titles: {titles})")

    # ---- the scenarios -----------------------------------------------------
    def first_run(self):
        viewer_log = os.path.join(self.work, "viewer.log")
        self.start_viewer("follow", viewer_log)
        self.note("the viewer behind the program has joined the chain")
        launcher, exit_file, main = self.launch()
        self.note("the program's window is there")

        # Start-up.
        self.check(main["class"] == "TRAMOLIVENGA_WINDOW_CLASS" and main["title"] == "Tramolivenga Ver1.00",
                   f"start-up: a window {main['class']!r} titled {main['title']!r}")
        self.check(not main["visible"], "start-up: the window is hidden")
        taskbar = self.wait_for(self.taskbar, 15, "the taskbar")
        x, y = self.icon_point(taskbar or {"rect": [0, 0, 0, 0]})
        self.xdotool("mousemove", x, y)
        tip = self.wait_for(lambda: [t for t in (self.probe() or {}).get("tooltips", [])
                                     if t["visible"] and t["text"] == TOOLTIP], 10, "the icon's tooltip")
        self.check(bool(tip), "start-up: the tray icon is there (hovering shows \"Tramolivenga\")")
        self.check(self.icon_drawn(taskbar), "start-up: the icon is drawn in the notification area")
        self.mouse_park()
        self.check(os.listdir(self.app) == ["tramolivenga.exe"], "start-up: no INI file is created")

        # Copies from a second program.
        copied = []

        def copy(text):
            copied.append(text)
            return self.copy_and_wait(text, viewer_log)

        mark = self.log_mark()
        copy("価格は1,009円です")
        tip = self.expect_balloon(mark, "1009", "\"価格は1,009円です\"")
        if tip:
            left, top, right, bottom = tip["rect"]
            self.screen("balloon", (left - 20, top - 20, DESKTOP_SIZE[0], DESKTOP_SIZE[1]))
        mark = self.log_mark()
        copy("4.13")
        self.expect_balloon(mark, "13", "\"4.13\"")
        mark = self.log_mark()
        copy("素数はありません: 100, 1024, 4096")
        self.expect_no_balloon(mark, "a text without a prime")
        mark = self.log_mark()
        copy("１２７")
        self.expect_no_balloon(mark, "\"１２７\" under the defaults")

        # Pause and resume through the tray menu.
        if self.args.screenshots:   # a picture of the menu alone
            self.wait_for(lambda: not [t for t in (self.probe() or {}).get("tooltips", [])
                                       if t["visible"]], 40, "the balloon going", interval=1)
        mark = self.log_mark()
        self.check(self.choose_menu_item(1, screenshot="tray-menu"), "the menu's pause item is chosen")
        copy("101")
        self.expect_no_balloon(mark, "paused, \"101\"")
        self.check(self.choose_menu_item(1), "the menu's pause item is chosen again")
        mark = self.log_mark()
        copy("103")
        self.expect_balloon(mark, "103", "after resuming, 103")

        # Settings: defaults shown, tick full-width digits, OK.
        self.check(self.choose_menu_item(0), "the menu's settings item is chosen")
        main = self.wait_for(lambda: (lambda m: m and m["visible"] and m)(self.main_window()), 10,
                             "the settings window")
        if not self.check(bool(main), "the settings window appears"):
            return self.exit_program(launcher, exit_file, viewer_log, copied)
        self.check(main["client"] == [400, 275], f"the settings window's client area {main['client']}")
        controls = main["controls"]
        shown = {
            "readMax": controls["20000"]["text"], "noReadOverMax": controls["20001"]["selected"],
            "enableWideNumber": controls["20002"]["check"], "ignoreComma": controls["20003"]["check"],
            "stopOnPeriod": controls["20004"]["check"], "enableVoice": controls["20005"]["check"],
            "voiceFile": controls["20006"]["text"]}
        defaults = {"readMax": "16", "noReadOverMax": 0, "enableWideNumber": 0, "ignoreComma": 1,
                    "stopOnPeriod": 1, "enableVoice": 0, "voiceFile": "prime.wav"}
        self.check(shown == defaults, f"the settings window shows the defaults: {shown}")
        self.check(controls["20002"]["text"] == "全角数字も判定する", "the full-width check box's label")
        left, top, right, bottom = main["rect"]
        self.screen("settings", (left, top, right, bottom))
        box = controls["20002"]["rect"]
        self.xdotool("mousemove", box[0] + 8, (box[1] + box[3]) // 2, "click", "1")
        ticked = self.wait_for(lambda: (lambda m: m and m["controls"]["20002"]["check"] == 1)(
            self.main_window()), 10, "the box ticked")
        self.check(bool(ticked), "a click ticks \"全角数字も判定する\"")
        ok = controls["1"]["rect"]
        self.xdotool("mousemove", (ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2, "click", "1")
        hidden = self.wait_for(lambda: (lambda m: m and not m["visible"])(self.main_window()), 10,
                               "the window hiding")
        self.check(bool(hidden), "OK hides the settings window")
        self.mouse_park()
        stored = self.read_ini()
        expected = dict(defaults, readMax="16", noReadOverMax="0", enableWideNumber="1", ignoreComma="1",
                        stopOnPeriod="1", enableVoice="0")
        self.check(stored == expected, f"the INI file beside the program holds {stored}")
        mark = self.log_mark()
        copy("１２７")
        self.expect_balloon(mark, "127", "with full-width digits on, \"１２７\"")

        return self.exit_program(launcher, exit_file, viewer_log, copied)

    def read_ini(self):
        if not os.path.exists(self.ini):
            return None
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        with open(self.ini, encoding="cp932") as ini:
            parser.read_file(ini)
        return dict(parser["config"]) if parser.has_section("config") else {}

    def exit_program(self, launcher, exit_file, viewer_log=None, copied=()):
        taskbar = self.taskbar()
        self.check(self.choose_menu_item(2), "the menu's exit item is chosen")
        try:
            launcher.wait(timeout=15)
        except subprocess.TimeoutExpired:
            pass
        code = open(exit_file).read().strip() if os.path.exists(exit_file) else None
        self.check(code == "0", f"exit: the process ends with exit code {code}")
        gone = self.wait_for(lambda: not self.taskbar() or not self.icon_drawn(taskbar), 10,
                             "the icon going")
        self.check(bool(gone), "exit: the icon is gone from the notification area")
        if viewer_log:
            after = "終了後のコピー"
            self.copy(after)
            self.check(self.wait_for(lambda: after in self.viewer_draws(viewer_log), 15, "the viewer"),
                       "the viewer behind the program still receives changes after the exit")
            draws = self.viewer_draws(viewer_log)
            remaining = iter(draws)
            missed = [text for text in copied if text not in remaining]
            self.check(not missed, f"the viewer behind the program received every change, in order "
                                   f"({len(copied)} copies, missed: {missed})")
            self.wine(self.helper("desktop_probe"), "close-viewers")

    def rejoin_run(self):
        """A viewer joins ahead of the program and dies without leaving the
        chain: the program must be back in the chain within 35 seconds."""
        launcher, exit_file, _ = self.launch()
        careless_log = os.path.join(self.work, "careless.log")
        careless = self.start_viewer("careless", careless_log)
        careless.wait(timeout=15)
        died = time.monotonic()
        self.note("the careless viewer died without leaving the chain")
        # Copy a new prime every second until one is announced; the copy
        # that was announced tells when the program was back in the chain
        # (the desktop shows a balloon a moment after it is asked for one).
        primes = [n for n in range(20011, 21000, 2) if all(n % d for d in range(3, 150, 2))]
        copied_at = []
        mark = self.log_mark()
        announced = None
        while not announced and time.monotonic() - died < REJOIN_LIMIT + 5:
            if time.monotonic() - died < REJOIN_LIMIT and len(copied_at) < len(primes):
                self.copy(f"rejoin {primes[len(copied_at)]}")
                copied_at.append(time.monotonic() - died)
            step_end = time.monotonic() + 1.0
            while time.monotonic() < step_end and not announced:
                titles = [t for _, t in self.titles_since(mark)]
                announced = titles and titles
                time.sleep(0.1)
        if announced:
            index = primes.index(int(announced[0])) if announced[0].isdigit() else -1
            after = copied_at[index] if 0 <= index < len(copied_at) else float("inf")
            self.note(f"announced again: copy #{index + 1}, made {after:.1f}s after the chain broke")
            self.check(index > 0, "the dead viewer did break the chain (the first copy after it "
                                  "gave no balloon)")
            self.check(after <= REJOIN_LIMIT, f"the program rejoined the chain and announces again "
                                              f"within {REJOIN_LIMIT:.0f}s ({after:.1f}s)")
        else:
            self.check(False, f"the program announces again within {REJOIN_LIMIT:.0f}s of a dead "
                              f"viewer breaking the chain")
        self.exit_program(launcher, exit_file)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--exe", required=True, help="the x86-64 tramolivenga.exe")
    parser.add_argument("--helpers", required=True, help="directory of chain_viewer.exe, desktop_probe.exe")
    parser.add_argument("--shared", action="store_true", help="use DISPLAY and WINEPREFIX if set")
    parser.add_argument("--prefix", help="private Wine prefix to use (default: a fresh one)")
    parser.add_argument("--screenshots", help="write balloon/tray-menu/settings PNGs here")
    parser.add_argument("--keep", action="store_true", help="keep the work directory")
    parser.add_argument("--no-rejoin", action="store_true", help="skip the 35-second rejoin case")
    args = parser.parse_args()

    # A bound on the whole run, whatever hangs.
    signal.signal(signal.SIGALRM, lambda *_: (_ for _ in ()).throw(Failure("time limit of 300s")))
    signal.alarm(300)
    harness = Harness(args)
    try:
        harness.start()
        harness.first_run()
        if not args.no_rejoin:
            harness.rejoin_run()
    except Exception as error:  # anything unexpected fails the test, after the clean-up
        harness.failures.append(str(error))
        harness.note(f"FAIL {error}")
    finally:
        signal.alarm(0)
        harness.stop()
    elapsed = time.monotonic() - harness.t0
    print(f"e2e: {harness.passed} passed, {len(harness.failures)} failed in {elapsed:.0f}s")
    for failure in harness.failures:
        print(f"  failed: {failure}")
    return 1 if harness.failures else 0


if __name__ == "__main__":
    sys.exit(main())
