#!/usr/bin/env python3
"""quorvel.exe driven from outside, as a person uses it: Wine in a virtual display with openbox
as the window manager, real clicks at the layout's positions, keys and typing (xdotool). Results
are read from the written lists and the registry, never from inside the program.

Usage: drive.py --exe build/windows/bin/quorvel.exe --work DIR [--only CASE ...] [--shots] [--list]
                [--pictures DIR]
Exit status: 0 all cases passed, 1 a case failed or the session could not start, 77 no program.
"""

import argparse
import os
import pathlib
import re
import select
import shutil
import subprocess
import sys
import time
import traceback

SKIP = 77

# Window captions: the program's public face, stable across rewrites of its insides.
MAIN = r"^QUORVEL v[0-9]"
ABOUT = r"^About Quorvel$"
ADVANCED = r"^Advanced options$"
OUTPUT_DIR = r"^Select Output Directory$"
MESSAGE = r"^Quorvel$"
NAMES = {MAIN: "the main window", ABOUT: "About", ADVANCED: "Advanced options",
         OUTPUT_DIR: "Select Output Directory", MESSAGE: "the message box", r"^Select ": "a file dialog"}

SETTINGS_KEY = r"HKEY_CURRENT_USER\Software\Quorvel"
ADVANCED_KEYS = ("Deinterlace", "Noise", "AutoLaunch", "TMPGEncPath")

# Deadlines in seconds. Polling returns as soon as the condition holds, so they cost time only
# when something is wrong.
START_DEADLINE = 60
PREFIX_DEADLINE = 600
DEADLINE = 10
POLL = 0.05


def at(frame, left, top, width, height):
    """Centre of a layout rectangle in twips, in client pixels at 96 DPI (15 twips a pixel);
    a control inside a frame is placed from the frame's corner."""
    return ((frame[0] + left + width // 2) // 15, (frame[1] + top + height // 2) // 15)


# Positions from the layout tables.
FILES_FRAME = (120, 60)
OUTPUT_FRAME = (90, 4320)
MAIN_AT = {
    "SelectAll": at(FILES_FRAME, 3780, 3780, 1035, 315),
    "FileOutput": at(OUTPUT_FRAME, 1140, 450, 4215, 315),
    "TemplateFile": at(OUTPUT_FRAME, 1140, 1020, 4215, 315),
    "OutputDirectory": at(OUTPUT_FRAME, 1140, 1620, 4215, 315),
    "FindBatchFile": at(OUTPUT_FRAME, 5460, 480, 555, 360),
    "FindTemplateFile": at(OUTPUT_FRAME, 5460, 1042, 555, 375),
    "FindOutputDirectory": at(OUTPUT_FRAME, 5460, 1620, 555, 375),
    "Advanced": at(OUTPUT_FRAME, 4980, 2280, 975, 315),
    "ABOUT": at((0, 0), 1260, 7200, 1155, 795),
    "CREATE": at((0, 0), 3600, 7140, 1455, 900),
    "QUIT": at((0, 0), 5100, 7200, 1215, 720),
    # The window's own background, left of the pictures and beside the hidden buttons: a click
    # here only activates the window. No dialog is centred far enough down to cover it.
    "Background": (62, 505),
}
ABOUT_OK = at((0, 0), 4455, 5490, 1200, 345)
ADVANCED_OK = at((0, 0), 6795, 2925, 1215, 495)
ADVANCED_FIND_ENCODER = at((3285, 1620), 4230, 675, 420, 315)
ADVANCED_DEINTERLACE = at((60, 180), 180, 240, 1815, 495)
# The main window's focus order: from the drive list, which has the focus at start, Tab reaches
# the file list with 2 presses; from there the first picture with 11 more, after the other
# controls, then the pictures one by one.
TABS_TO_FILE_LIST = 2
TABS_TO_PICTURES = 11
PICTURES = ["ABOUT", "WEB", "CREATE", "QUIT"]
FILE_DIALOG = r"^(Select DIZIV Izeru Ruzi Filename|Select TMPEG Template File|Select TMPEG Batch Encoder EXE)$"


class Failed(Exception):
    pass


def windows_path(path):
    """How Wine names a Unix path: the root is drive Z:."""
    return "Z:" + str(path).replace("/", "\\")


class Display:
    """Xvfb on a display number it picks itself, openbox on it, and the X queries the cases use."""

    def __init__(self, work):
        self.procs = []
        read_end, write_end = os.pipe()
        log = open(work / "xvfb.log", "w")
        self.procs.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=log, stderr=log))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + START_DEADLINE
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                self.close()
                raise Failed("Xvfb did not start (see %s)" % (work / "xvfb.log"))
            number += chunk
        os.close(read_end)
        self.name = ":" + number.decode().strip()
        os.environ["DISPLAY"] = self.name
        log = open(work / "openbox.log", "w")
        self.procs.append(subprocess.Popen(["openbox", "--sm-disable"], stdout=log, stderr=log))
        if not wait_for(lambda: self.root_property("_NET_SUPPORTING_WM_CHECK"), START_DEADLINE):
            self.close()
            raise Failed("openbox did not take the display (see %s)" % (work / "openbox.log"))

    def close(self):
        for proc in reversed(self.procs):
            proc.terminate()
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()

    def root_property(self, name):
        out = run(["xprop", "-root", name], check=False)
        return [int(w, 16) for w in re.findall(r"0x[0-9a-fA-F]+", out.split("=", 1)[-1])] if "#" in out else []

    def stacking(self):
        """Managed windows, bottom first."""
        return self.root_property("_NET_CLIENT_LIST_STACKING")

    def active(self):
        ids = self.root_property("_NET_ACTIVE_WINDOW")
        return ids[0] if ids else 0

    def visible(self, title):
        out = run(["xdotool", "search", "--onlyvisible", "--name", title], check=False)
        return [int(w) for w in out.split()]

    def title(self, window):
        if not window:
            return "no window"
        return "'%s'" % run(["xdotool", "getwindowname", str(window)], check=False).strip()

    def describe_stacking(self):
        return ", ".join(self.title(w) for w in reversed(self.stacking())) or "nothing"

    def shot(self, path):
        """The screen, with a red ring where the pointer is: import leaves the pointer out."""
        subprocess.run(["import", "-window", "root", str(path)], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        where = re.match(r"x:(\d+) y:(\d+)", run(["xdotool", "getmouselocation"], check=False))
        if where and path.exists():
            x, y = int(where.group(1)), int(where.group(2))
            subprocess.run(["convert", str(path), "-fill", "none", "-stroke", "red", "-strokewidth", "2",
                            "-draw", "circle %d,%d %d,%d" % (x, y, x + 6, y), str(path)], check=False)


def run(argv, check=True, **kw):
    result = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, **kw)
    if check and result.returncode != 0:
        raise Failed("%s failed: %s" % (" ".join(argv), result.stderr.strip()))
    return result.stdout


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(POLL)


class Wine:
    """One prefix for the whole suite, made once; a persistent server keeps each call quick."""

    def __init__(self, repo, work):
        self.wine_run = str(repo / "scripts" / "wine-run")
        self.prefix = work / "wineprefix"
        os.environ["QUORVEL_WINEPREFIX"] = str(self.prefix)
        os.environ["WINEPREFIX"] = str(self.prefix)
        os.environ.setdefault("WINEDEBUG", "-all")
        self.work = work
        # wine-run makes the prefix on first use.
        self.call(["reg", "query", r"HKEY_CURRENT_USER\Software"], check=False, seconds=PREFIX_DEADLINE)
        server = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
        self.server = server
        subprocess.run([server, "-p"], check=False)

    def close(self):
        subprocess.run([self.server, "-k"], check=False, stderr=subprocess.DEVNULL)

    def call(self, argv, check=True, seconds=START_DEADLINE):
        # Into a file, not a pipe: the Wine services a call may start inherit its output and
        # would hold a pipe open.
        with open(self.work / "wine-call.log", "w+") as log:
            code = subprocess.run([self.wine_run] + argv, stdout=log, stderr=subprocess.STDOUT,
                                  timeout=seconds).returncode
            log.seek(0)
            if check and code != 0:
                raise Failed("wine %s failed: %s" % (" ".join(argv), log.read().strip()))

    def set_settings(self, values):
        """Replaces every stored setting by the given ones."""
        lines = ["REGEDIT4", "", "[-%s]" % SETTINGS_KEY, "", "[%s\\Settings]" % SETTINGS_KEY]
        for name, value in values.items():
            lines.append('"%s"="%s"' % (name, value.replace("\\", "\\\\").replace('"', '\\"')))
        file = self.work / "settings.reg"
        file.write_text("\r\n".join(lines) + "\r\n", encoding="ascii")
        self.call(["reg", "import", windows_path(file)])

    def settings(self):
        file = self.work / "stored.reg"
        file.unlink(missing_ok=True)
        self.call(["reg", "export", SETTINGS_KEY + "\\Settings", windows_path(file), "/y"], check=False)
        if not file.exists():
            return {}
        values = {}
        for line in file.read_bytes().decode("utf-16").splitlines():
            m = re.match(r'^"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"$', line)
            if m:
                values[m.group(1)] = re.sub(r"\\(.)", r"\1", m.group(2))
        return values


class Program:
    def __init__(self, case, cwd):
        self.log = open(case.dir / "program.log", "w")
        self.proc = subprocess.Popen([case.wine.wine_run, str(case.exe)], cwd=cwd,
                                     stdout=self.log, stderr=subprocess.STDOUT)

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, seconds, what):
        try:
            self.proc.wait(seconds)
        except subprocess.TimeoutExpired:
            raise Failed("%s: the program still runs after %d s" % (what, seconds))

    def stop(self):
        if self.running():
            self.proc.kill()
            self.proc.wait()
        self.log.close()


class Case:
    """One test case: a fresh folder, fresh settings, one run of the program, soft and hard checks."""

    def __init__(self, suite, name):
        self.name = name
        self.suite = suite
        self.display = suite.display
        self.wine = suite.wine
        self.exe = suite.exe
        self.shots = suite.shots
        self.shot_dir = suite.shot_dir
        self.dir = suite.work / "cases" / name
        shutil.rmtree(self.dir, ignore_errors=True)
        self.dir.mkdir(parents=True)
        self.failures = []
        self.program = None
        self.step = 0

    # Checks. expect() notes a failure and goes on, so one run reports every fault it meets.
    def expect(self, condition, message):
        if not condition:
            self.failures.append(message)
            self.snap("failed")
        return condition

    def require(self, condition, message):
        if not condition:
            raise Failed(message)

    def snap(self, label):
        self.step += 1
        self.display.shot(self.shot_dir / ("%s-%02d-%s.png" % (self.name, self.step, label)))

    def trace(self, label):
        if self.shots:
            self.snap(label)

    # Program and windows.
    def start(self, cwd=None, settings=None):
        self.wine.set_settings(settings or {})
        run(["xdotool", "mousemove", "0", "0"])
        self.program = Program(self, cwd or self.dir)
        return self.window(MAIN, START_DEADLINE, "start-up")

    def window(self, title, seconds=DEADLINE, what=None):
        found = wait_for(lambda: self.display.visible(title) or not self.program.running(), seconds)
        if not self.program.running():
            raise Failed("%s: the program ended (exit code %s) before %s showed"
                         % (what or "waiting", self.program.proc.returncode, NAMES[title]))
        if not found:
            raise Failed("%s: no visible window titled %s within %d s; on screen, top first: %s"
                         % (what or "waiting for " + NAMES[title], NAMES[title], seconds,
                            self.display.describe_stacking()))
        return found[0]

    def gone(self, title, seconds=DEADLINE):
        return wait_for(lambda: not self.display.visible(title), seconds)

    def active_is(self, window, seconds=DEADLINE):
        return wait_for(lambda: self.display.active() == window, seconds)

    def in_front(self, window, seconds=DEADLINE):
        return wait_for(lambda: self.display.stacking()[-1:] == [window], seconds)

    def above(self, upper, lower, seconds=DEADLINE):
        def check():
            order = self.display.stacking()
            return upper in order and lower in order and order.index(upper) > order.index(lower)
        return wait_for(check, seconds)

    def active_name(self):
        return self.display.title(self.display.active())

    # Input.
    def click(self, window, point, label=None):
        run(["xdotool", "mousemove", "--window", str(window), str(point[0]), str(point[1]), "click", "1"])
        self.trace(label or "click")

    def key(self, *keys):
        run(["xdotool", "key"] + list(keys))
        self.trace("key-" + keys[0].replace("+", "-"))

    def tab(self, times):
        run(["xdotool", "key", "--delay", "30"] + ["Tab"] * times)

    def type_into(self, window, point, text):
        """Clicks a text box, selects what it holds and types over it."""
        self.click(window, point)
        run(["xdotool", "key", "End", "shift+Home"])
        if text:
            run(["xdotool", "type", "--delay", "15", text])
        else:
            run(["xdotool", "key", "BackSpace"])
        self.trace("typed")

    def dismiss_message(self, what):
        """Presses OK of the program's message box."""
        box = self.window(MESSAGE, DEADLINE, what)
        if not self.active_is(box, 3):
            self.click(box, (20, 10))
        self.require(self.active_is(box), "%s: the message box never became active (active: %s)"
                     % (what, self.active_name()))
        self.key("Return")
        self.require(self.gone(MESSAGE), "%s: the message box stayed after Enter" % what)

    def close_startup_about(self, main):
        """Gets the start-up About out of the way by mouse, which works wherever it is stacked."""
        about = self.window(ABOUT, DEADLINE, "start-up")
        self.click(main, MAIN_AT["ABOUT"], "about-picture")
        self.require(self.above(about, main),
                     "ABOUT picture: About not in front of the main window; on screen, top first: %s"
                     % self.display.describe_stacking())
        self.click(about, ABOUT_OK, "about-ok")
        self.require(self.gone(ABOUT), "About's OK did not close About")

    def quit(self, main):
        self.click(main, MAIN_AT["QUIT"], "quit")
        self.program.wait_exit(DEADLINE, "QUIT")

    def finish(self):
        if self.program:
            self.program.stop()
            self.program = None
        # The next case must not see this one's windows.
        wait_for(lambda: not self.display.visible("^(QUORVEL v|About Quorvel|Advanced options|"
                                                  "Select Output Directory|Quorvel)"), DEADLINE)


# The cases. Each reads as the steps a person takes.

CASES = []


def case(function):
    CASES.append(function)
    return function


@case
def startup_about_in_front(c):
    """At the end of start-up About is in front and active; Esc closes it and leaves the main
    window active."""
    main = c.start()
    about = c.window(ABOUT, DEADLINE, "start-up")
    c.trace("started")
    in_front = c.expect(c.above(about, main),
                        "start-up: About is not in front of the main window; on screen, top first: %s"
                        % c.display.describe_stacking())
    c.expect(c.active_is(about),
             "start-up: About is not the active window; active: %s" % c.active_name())
    c.key("Escape")
    c.expect(c.gone(ABOUT),
             "start-up: Esc did not close About (About %s; active: %s)"
             % ("in front" if in_front else "under the main window", c.active_name()))
    if not c.display.visible(ABOUT):
        c.expect(c.active_is(main), "after About closed the main window is not active; active: %s"
                 % c.active_name())


@case
def about_ok_brings_main_forward(c):
    """About's OK closes About and brings the main window forward, active."""
    main = c.start()
    about = c.window(ABOUT, DEADLINE, "start-up")
    c.click(main, MAIN_AT["ABOUT"], "about-picture")
    c.require(c.above(about, main), "ABOUT picture: About not in front; on screen, top first: %s"
              % c.display.describe_stacking())
    c.click(about, ABOUT_OK, "about-ok")
    c.expect(c.gone(ABOUT), "About's OK did not close About")
    c.expect(c.active_is(main), "after About's OK the main window is not active; active: %s" % c.active_name())
    c.expect(c.in_front(main),
             "after About's OK the main window is not in front; on screen, top first: %s"
             % c.display.describe_stacking())


def video_folder(c, names):
    source = c.dir / "src"
    source.mkdir()
    for name in names:
        (source / name).write_bytes(b"not really video\r\n")
    out = c.dir / "out"
    out.mkdir()
    return source, out


@case
def advanced_dialog_yields_to_main_window(c):
    """The Advanced dialog that the first CREATE BATCH opens does not stay in front for good:
    clicking the main window brings it forward and typing goes to the main window."""
    source, out = video_folder(c, ["a.avi", "b.avi"])
    main = c.start(settings={"DirInput": windows_path(source),
                             "FileOutput": windows_path(out / "list.tbe"),
                             "DirOutput": windows_path(out) + "\\"})
    c.close_startup_about(main)
    c.click(main, MAIN_AT["SelectAll"], "select-all")
    c.click(main, MAIN_AT["CREATE"], "create")
    c.dismiss_message("CREATE BATCH")
    advanced = c.window(ADVANCED, DEADLINE, "the first CREATE BATCH")
    c.click(main, MAIN_AT["Background"], "main-background")
    c.expect(c.active_is(main), "clicking the main window did not activate it; active: %s" % c.active_name())
    c.expect(c.above(main, advanced),
             "clicking the main window left Advanced options in front of it; on screen, top first: %s"
             % c.display.describe_stacking())
    # Where the dialog was centred: the template box lies under it.
    c.click(main, MAIN_AT["TemplateFile"], "template-box")
    run(["xdotool", "type", "--delay", "15", "o"])
    c.trace("typed-o")
    c.quit(main)
    stored = c.wine.settings()
    pressed = [k for k in ADVANCED_KEYS if k in stored]
    c.expect(not pressed, "typing 'o' meant for the main window pressed OK of Advanced options (it stored %s)"
             % ", ".join(pressed))
    c.expect(stored.get("TemplateInput") == "o",
             "the 'o' typed into the template box did not reach it: TemplateInput stored as %r"
             % stored.get("TemplateInput"))


@case
def rejected_encoder_path_leaves_focus_in_path_box(c):
    """AutoLaunch 1 with a stored encoder path that no longer exists: after the message's OK the
    Advanced dialog is active and the focus is in its path box."""
    missing = windows_path(c.dir / "gone" / "TMPGEnc.exe")
    main = c.start(settings={"AutoLaunch": "1", "TMPGEncPath": missing})
    c.close_startup_about(main)
    c.click(main, MAIN_AT["Advanced"], "advanced")
    advanced = c.window(ADVANCED, DEADLINE, "Advanced")
    c.dismiss_message("the rejected encoder path")
    c.expect(c.active_is(advanced),
             "after the message about the encoder path Advanced options is not active; active: %s"
             % c.active_name())
    # Typed at the end of the path box, and nowhere else, it is stored by the dialog's OK.
    run(["xdotool", "key", "End"])
    run(["xdotool", "type", "--delay", "15", "x7"])
    c.trace("typed")
    if c.display.visible(ADVANCED):
        c.click(advanced, ADVANCED_OK, "advanced-ok")
        c.gone(ADVANCED)
    c.quit(main)
    stored = c.wine.settings()
    c.expect(stored.get("AutoLaunch") == "0", "the rejected auto-launch box was not cleared: AutoLaunch %r"
             % stored.get("AutoLaunch"))
    c.expect(stored.get("TMPGEncPath") == missing + "x7",
             "typing after the message did not go into the path box: TMPGEncPath stored as %r, expected %r"
             % (stored.get("TMPGEncPath"), missing + "x7"))


@case
def output_dir_dialog_yields_to_main_window(c):
    """An open Select Output Directory does not stay in front: clicking the main window brings it
    forward and typing goes to the main window."""
    source, out = video_folder(c, [])
    main = c.start(cwd=source, settings={"DirInput": windows_path(source),
                                         "FileOutput": windows_path(out / "list.tbe"),
                                         "DirOutput": windows_path(out) + "\\"})
    c.close_startup_about(main)
    c.click(main, MAIN_AT["FindOutputDirectory"], "output-directory-button")
    dialog = c.window(OUTPUT_DIR, DEADLINE, "the output directory button")
    c.click(main, MAIN_AT["Background"], "main-background")
    c.expect(c.active_is(main), "clicking the main window did not activate it; active: %s" % c.active_name())
    c.expect(c.above(main, dialog),
             "clicking the main window left Select Output Directory in front of it; on screen, top first: %s"
             % c.display.describe_stacking())
    # The batch file box lies under the centred dialog.
    typed = windows_path(out / "typed.tbe")
    c.type_into(main, MAIN_AT["FileOutput"], typed)
    c.quit(main)
    stored = c.wine.settings()
    c.expect(stored.get("FileOutput") == typed,
             "the text typed into the batch file box did not reach it: FileOutput stored as %r"
             % stored.get("FileOutput"))
    c.expect(stored.get("DirOutput") == windows_path(out) + "\\",
             "typing meant for the main window changed the output directory: DirOutput %r" % stored.get("DirOutput"))


def second_press(c, main, button, title, what):
    """Opens a window, activates the main window, presses the button again: the open window must
    become active."""
    c.click(main, MAIN_AT[button], button)
    window = c.window(title, DEADLINE, what)
    c.require(c.active_is(window), "%s: the window it opened is not active; active: %s" % (what, c.active_name()))
    c.click(main, MAIN_AT["Background"], "main-background")
    c.require(c.active_is(main), "clicking the main window did not activate it; active: %s" % c.active_name())
    c.click(main, MAIN_AT[button], button + "-again")
    c.expect(c.active_is(window), "second press of %s: %s is not activated; active: %s (focus in %s)"
             % (what, NAMES[title], c.active_name(),
                c.display.title(int(run(["xdotool", "getwindowfocus"], check=False).strip() or 0))))
    return window


@case
def second_about_press_activates_about(c):
    main = c.start()
    c.close_startup_about(main)
    second_press(c, main, "ABOUT", ABOUT, "ABOUT")
    c.key("Escape")
    c.expect(c.gone(ABOUT), "second press of ABOUT: Esc did not reach About, it is still open (active: %s)"
             % c.active_name())


@case
def second_advanced_press_activates_advanced(c):
    main = c.start()
    c.close_startup_about(main)
    second_press(c, main, "Advanced", ADVANCED, "Advanced")
    # The dialog keeps the focus on its OK button, so Enter presses it.
    c.key("Return")
    c.expect(c.gone(ADVANCED), "second press of Advanced: Enter did not reach Advanced options, it is still "
             "open (active: %s)" % c.active_name())
    if c.program.running():
        c.quit(main)
    stored = c.wine.settings()
    c.expect(all(k in stored for k in ADVANCED_KEYS),
             "second press of Advanced: its OK did not store the options (stored: %s)" % sorted(stored))


@case
def second_output_dir_press_activates_dialog(c):
    source, out = video_folder(c, [])
    main = c.start(cwd=source, settings={"DirOutput": windows_path(out) + "\\"})
    c.close_startup_about(main)
    second_press(c, main, "FindOutputDirectory", OUTPUT_DIR, "the output directory button")
    # The dialog has no default button; its Open button's mnemonic hands over the directory it
    # starts in, the working directory.
    c.key("alt+o")
    c.expect(c.gone(OUTPUT_DIR), "second press of the output directory button: Alt+O did not reach Select "
             "Output Directory, it is still open (active: %s)" % c.active_name())
    if c.program.running():
        c.quit(main)
    stored = c.wine.settings()
    c.expect(stored.get("DirOutput") == windows_path(source) + "\\",
             "Open did not hand over the directory: DirOutput stored as %r" % stored.get("DirOutput"))


def read_list(c, path, what):
    c.require(wait_for(path.exists, DEADLINE), "%s: no list written at %s" % (what, path))
    data = path.read_bytes()
    c.expect(data.endswith(b"\r\n") and b"\n" not in data.replace(b"\r\n", b""),
             "%s: not every line of the list ends with CR LF" % what)
    lines = data.decode("cp1252").split("\r\n")[:-1]
    jobs = []
    for line in lines:
        if line.rstrip(" ") == " " * 7 + "item":
            jobs.append([])
        elif jobs:
            jobs[-1].append(line)
    return lines, jobs


def quoted_value(job, prefix):
    for line in job:
        stripped = line.strip(" ")
        if stripped.startswith(prefix + " = '") and stripped.endswith("'"):
            return stripped[len(prefix) + 4:-1]
    return None


@case
def create_with_select_all(c):
    """Select All and CREATE BATCH: one job per listed video file, in the list's order, with the
    source and output names; other files and folders are left out."""
    source, out = video_folder(c, ["clip2.mpg", "CLIP10.AVI", "holiday's.mov", "clip1.avi", "notes.txt"])
    (source / "folder.avi").mkdir()
    batch = out / "list.tbe"
    main = c.start(settings={"DirInput": windows_path(source),
                             "FileOutput": windows_path(batch),
                             "DirOutput": windows_path(out) + "\\"})
    c.close_startup_about(main)
    c.click(main, MAIN_AT["SelectAll"], "select-all")
    c.click(main, MAIN_AT["CREATE"], "create")
    c.dismiss_message("CREATE BATCH")
    lines, jobs = read_list(c, batch, "CREATE BATCH")
    c.expect(lines[:2] == ["   object TTMPGEncBatchEncodeList  ", "     List = <  "]
             and lines[-2:] == ["       >    ", "    End "],
             "the list's envelope is wrong: %r ... %r" % (lines[:2], lines[-2:]))
    expected = ["clip1.avi", "clip2.mpg", "CLIP10.AVI", "holiday'#39's.mov"]
    c.expect(len(jobs) == len(expected), "Select All of 4 video files wrote %d jobs" % len(jobs))
    names = [quoted_value(job, "Video.SourceFileName") for job in jobs]
    c.expect(names == [windows_path(source / n) for n in expected],
             "sources in the list: %r, expected %r" % (names, [windows_path(source / n) for n in expected]))
    outputs = [quoted_value(job, "Job.OutputFileName") for job in jobs]
    c.expect(outputs == [windows_path(out / (n.rsplit(".", 1)[0] + ".mpg")) for n in expected],
             "outputs in the list: %r" % outputs)
    c.quit(main)


@case
def template_typed_into_its_box(c):
    """A template path typed into its box: every job's settings are the template's lines."""
    source, out = video_folder(c, ["one.avi", "two.avi"])
    template = c.dir / "dvd.mcf"
    template.write_bytes(b"object TMPGEncTemplate\r\n  MPEG.Video.Width = 480  \r\nmpeg.Audio.BitRate = 224000\r\n"
                         b"Job.MPEG.Video.Height = 576\r\n\r\nObjectName = 1\r\nStream.Kind = 1\r\nend\r\n")
    batch = out / "list.tbe"
    main = c.start(settings={"DirInput": windows_path(source),
                             "FileOutput": windows_path(batch),
                             "DirOutput": windows_path(out) + "\\"})
    c.close_startup_about(main)
    c.type_into(main, MAIN_AT["TemplateFile"], windows_path(template))
    c.click(main, MAIN_AT["SelectAll"], "select-all")
    c.click(main, MAIN_AT["CREATE"], "create")
    c.dismiss_message("CREATE BATCH")
    _, jobs = read_list(c, batch, "CREATE BATCH with a template")
    c.expect(len(jobs) == 2, "two selected files wrote %d jobs" % len(jobs))
    expected = ["JOB.MPEG.Video.Width = 480", "JOB.mpeg.Audio.BitRate = 224000", "Job.MPEG.Video.Height = 576",
                "", "Stream.Kind = 1"]
    source_list = " " * 9 + "Job.SourceList = <    "
    for index, job in enumerate(jobs):
        block = job[:job.index(source_list)] if source_list in job else job
        c.expect(block == expected, "job %d's settings are %r, expected the template's lines %r"
                 % (index + 1, block[:8], expected))
    c.quit(main)
    c.expect(c.wine.settings().get("TemplateInput") == windows_path(template),
             "QUIT did not store the typed template")


@case
def quit_stores_the_four_texts(c):
    """QUIT stores exactly what the three boxes and the directory list hold, an empty box too,
    and nothing of the Advanced dialog."""
    source, out = video_folder(c, ["a.avi"])
    main = c.start(settings={"DirInput": windows_path(source),
                             "FileOutput": windows_path(c.dir / "old.tbe"),
                             "DirOutput": windows_path(c.dir) + "\\",
                             "TemplateInput": windows_path(c.dir / "old.mcf")})
    c.close_startup_about(main)
    c.type_into(main, MAIN_AT["FileOutput"], windows_path(out / "night.tbe"))
    c.type_into(main, MAIN_AT["OutputDirectory"], windows_path(out) + "\\mpeg\\")
    c.type_into(main, MAIN_AT["TemplateFile"], "")
    c.quit(main)
    stored = c.wine.settings()
    expected = {"FileOutput": windows_path(out / "night.tbe"), "DirOutput": windows_path(out) + "\\mpeg\\",
                "DirInput": windows_path(source), "TemplateInput": ""}
    c.expect(stored == expected, "QUIT stored %r, expected %r" % (stored, expected))


@case
def closing_the_frame_ends_without_saving(c):
    """Closing the main window through its frame ends the program, also with a hidden Advanced
    dialog loaded, and stores nothing of the main window."""
    source, out = video_folder(c, ["a.avi"])
    settings = {"DirInput": windows_path(source), "FileOutput": windows_path(out / "kept.tbe"),
                "DirOutput": windows_path(out) + "\\"}
    main = c.start(settings=settings)
    c.close_startup_about(main)
    c.click(main, MAIN_AT["Advanced"], "advanced")
    advanced = c.window(ADVANCED, DEADLINE, "Advanced")
    c.click(advanced, ADVANCED_OK, "advanced-ok")
    c.require(c.gone(ADVANCED), "OK did not hide Advanced options")
    c.type_into(main, MAIN_AT["FileOutput"], windows_path(out / "changed.tbe"))
    c.require(c.active_is(main), "the main window is not active before closing it; active: %s" % c.active_name())
    c.key("alt+F4")
    c.program.wait_exit(DEADLINE, "closing the main window through its frame")
    stored = c.wine.settings()
    c.expect(stored.get("FileOutput") == windows_path(out / "kept.tbe"),
             "closing through the frame stored FileOutput %r" % stored.get("FileOutput"))
    c.expect(stored.get("AutoLaunch") == "0", "Advanced's OK did not store its options: %r" % stored)


@case
def keyboard_only_create_and_quit(c):
    """Without the mouse: Ctrl+A in the file list selects every file, Tab reaches the pictures
    after the other controls (ABOUT, WEB, CREATE BATCH, QUIT), Space on CREATE BATCH writes the
    list, the focus comes back to it, and Space on QUIT stores the four texts and ends the
    program."""
    source, out = video_folder(c, ["b.avi", "a.avi", "c.mpg"])
    batch = out / "keys.tbe"
    settings = {"DirInput": windows_path(source), "FileOutput": windows_path(batch),
                "DirOutput": windows_path(out) + "\\", "TemplateInput": ""}
    main = c.start(settings=settings)
    c.window(ABOUT, DEADLINE, "start-up")
    c.key("Escape")
    c.require(c.gone(ABOUT) and c.active_is(main), "Esc did not close the start-up About; active: %s"
              % c.active_name())
    c.tab(TABS_TO_FILE_LIST)
    c.key("ctrl+a")
    c.tab(TABS_TO_PICTURES)
    for name in PICTURES[:-2]:
        c.trace("focus-" + name)
        c.tab(1)
    c.trace("focus-CREATE")
    c.key("space")
    c.dismiss_message("CREATE BATCH by Space")
    _, jobs = read_list(c, batch, "CREATE BATCH by Space")
    names = [quoted_value(job, "Video.SourceFileName") for job in jobs]
    c.expect(names == [windows_path(source / n) for n in ["a.avi", "b.avi", "c.mpg"]],
             "Ctrl+A and CREATE BATCH by keys wrote the sources %r" % names)
    # Creating loaded Advanced options, which opened in front; Esc closes it.
    c.require(c.active_is(c.window(ADVANCED, DEADLINE, "CREATE BATCH")),
              "Advanced options is not active after CREATE BATCH; active: %s" % c.active_name())
    c.key("Escape")
    c.require(c.gone(ADVANCED) and c.active_is(main), "Esc did not return to the main window; active: %s"
              % c.active_name())
    c.tab(1)
    c.trace("focus-QUIT")
    c.key("space")
    c.program.wait_exit(DEADLINE, "QUIT by Space")
    stored = c.wine.settings()
    c.expect(stored == settings, "QUIT by Space stored %r, expected %r" % (stored, settings))


@case
def escape_closes_advanced_and_output_dir(c):
    """Esc in Advanced options does what its close box does (unsaved changes are gone); Esc in
    Select Output Directory is Cancel (the output directory box keeps its text)."""
    source, out = video_folder(c, ["a.avi"])
    settings = {"DirInput": windows_path(source), "FileOutput": windows_path(out / "a.tbe"),
                "DirOutput": windows_path(out) + "\\", "TemplateInput": "", "Deinterlace": "0"}
    main = c.start(settings=settings)
    c.close_startup_about(main)
    c.click(main, MAIN_AT["Advanced"], "advanced")
    advanced = c.window(ADVANCED, DEADLINE, "Advanced")
    c.require(c.active_is(advanced), "Advanced options is not active; active: %s" % c.active_name())
    c.click(advanced, ADVANCED_DEINTERLACE, "deinterlace")
    c.key("Escape")
    c.expect(c.gone(ADVANCED), "Esc did not close Advanced options")
    c.click(main, MAIN_AT["FindOutputDirectory"], "output-dir")
    dialog = c.window(OUTPUT_DIR, DEADLINE, "the output directory button")
    c.require(c.active_is(dialog), "Select Output Directory is not active; active: %s" % c.active_name())
    c.key("Escape")
    c.expect(c.gone(OUTPUT_DIR), "Esc did not close Select Output Directory")
    c.quit(main)
    stored = c.wine.settings()
    c.expect(stored.get("DirOutput") == settings["DirOutput"], "Esc changed the output directory to %r"
             % stored.get("DirOutput"))
    c.expect(stored.get("Deinterlace") == "0", "Esc in Advanced options saved its changes")


@case
def cancel_keeps_each_box(c):
    """Cancelling the batch file, template and encoder dialogs leaves each box as it was."""
    source, out = video_folder(c, ["a.avi"])
    encoder = c.dir / "TMPGEnc.exe"
    encoder.write_bytes(b"MZ")
    settings = {"DirInput": windows_path(source), "FileOutput": windows_path(out / "kept.tbe"),
                "DirOutput": windows_path(out) + "\\", "TemplateInput": windows_path(c.dir / "kept.mcf"),
                "TMPGEncPath": windows_path(encoder)}
    main = c.start(settings=settings)
    c.close_startup_about(main)

    def cancel(window, point, what):
        c.click(window, point, "browse")
        dialog = c.window(r"^Select ", DEADLINE, what)
        c.require(c.active_is(dialog), "%s is not active; active: %s" % (what, c.active_name()))
        c.key("Escape")
        c.require(c.gone(FILE_DIALOG), "Esc did not cancel %s" % what)

    cancel(main, MAIN_AT["FindBatchFile"], "the batch file dialog")
    cancel(main, MAIN_AT["FindTemplateFile"], "the template dialog")
    c.click(main, MAIN_AT["Advanced"], "advanced")
    advanced = c.window(ADVANCED, DEADLINE, "Advanced")
    cancel(advanced, ADVANCED_FIND_ENCODER, "the encoder dialog")
    c.click(advanced, ADVANCED_OK, "advanced-ok")
    c.require(c.gone(ADVANCED), "OK did not hide Advanced options")
    c.quit(main)
    stored = c.wine.settings()
    for key in ("FileOutput", "TemplateInput", "TMPGEncPath"):
        c.expect(stored.get(key) == settings[key], "after Cancel %s is %r, expected %r"
                 % (key, stored.get(key), settings[key]))


# What a screen reader must say for each box: its label, found by the box's layout rectangle.
SPOKEN = {
    MAIN: {MAIN_AT["FileOutput"]: "Batch File:", MAIN_AT["TemplateFile"]: "Template:",
           MAIN_AT["OutputDirectory"]: "Output Directory:"},
    ADVANCED: {at((3300, 180), 1680, 360, 2955, 315): "Video Source Type:",
               at((3300, 180), 1680, 840, 2955, 315): "Aspect Ratio:",
               at((60, 1620), 1020, 360, 1395, 255): "Top", at((60, 1620), 1020, 720, 1395, 255): "Bottom"},
}


@case
def every_box_named_by_its_label(c):
    """Read from outside as a screen reader does, each box of the four windows is named by its
    own label, not by the label of the box before it; the names are kept for the record."""
    helper = c.exe.parent / "quorvel_accessible_names.exe"
    c.require(helper.is_file(), "%s is not built" % helper)
    record = open(c.dir / "accessible-names.txt", "w")

    def check(title, window):
        out = c.dir / "names.txt"
        c.wine.call([str(helper), run(["xdotool", "getwindowname", str(window)]).strip(), windows_path(out)])
        boxes = [(list(map(int, box.split())), name) for box, name in
                 (line.split("\t") for line in out.read_text(encoding="utf-8").splitlines())]
        record.write("".join("%s\t%s\n" % (NAMES[title], name) for _, name in boxes))
        for (x, y), label in SPOKEN.get(title, {}).items():
            # The innermost control there: frames hold the boxes.
            said = min(((r - l) * (b - t), name) for (l, t, r, b), name in boxes if l <= x < r and t <= y < b)[1]
            c.expect(said == label, "%s: the box at %d,%d is announced as %r, not %r" % (NAMES[title], x, y, said, label))

    main = c.start()
    check(ABOUT, c.window(ABOUT, DEADLINE, "start-up"))
    c.close_startup_about(main)
    check(MAIN, main)
    c.click(main, MAIN_AT["Advanced"], "advanced")
    check(ADVANCED, c.window(ADVANCED, DEADLINE, "Advanced"))
    c.click(main, MAIN_AT["FindOutputDirectory"], "output-directory")
    check(OUTPUT_DIR, c.window(OUTPUT_DIR, DEADLINE, "the output directory button"))
    record.close()


# The manual's pictures: each window as a person sees it at 96 DPI (a fresh prefix's), on a
# drive V: of its own so that no path of the machine shows. They must equal the ones in docs/,
# or --pictures DIR writes them there afresh (scripts/screenshot).
MANUAL_PICTURES = {MAIN: "main-window.png", ABOUT: "about.png", ADVANCED: "advanced-options.png",
                   OUTPUT_DIR: "output-directory.png"}
# A text box's blinking caret may differ, nothing else.
PICTURE_TOLERANCE = 64


def window_picture(c, title, path):
    """The window with its frame, once two grabs in a row agree (it has finished painting)."""
    window = c.window(title, DEADLINE, "the picture of %s" % NAMES[title])
    last = None

    def steady():
        nonlocal last
        subprocess.run(["import", "-window", str(window), "-frame", "-strip", str(path)], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        grab = path.read_bytes() if path.exists() else None
        same, last = grab is not None and grab == last, grab
        return same
    c.require(wait_for(steady, DEADLINE), "%s never stopped changing" % NAMES[title])
    return window


@case
def manual_pictures(c):
    """The windows the manual shows, photographed and compared with the manual's pictures."""
    drive = c.dir / "drive"
    holiday = drive / "Holiday 2003"
    shutil.copytree(c.suite.repo / "samples" / "Holiday 2003", holiday)
    link = c.wine.prefix / "dosdevices" / "v:"
    if link.is_symlink():
        link.unlink()
    link.symlink_to(drive)
    # Wine learns of a new drive when its server starts again.
    c.wine.close()
    subprocess.run([c.wine.server, "-p"], check=False)
    pictures = c.dir / "pictures"
    pictures.mkdir()
    main = c.start(cwd=holiday, settings={"DirInput": "V:\\Holiday 2003", "DirOutput": "V:\\Holiday 2003\\",
                                          "FileOutput": "V:\\Holiday 2003\\holiday.tbe"})
    about = window_picture(c, ABOUT, pictures / MANUAL_PICTURES[ABOUT])
    c.click(about, ABOUT_OK, "about-ok")
    c.require(c.gone(ABOUT), "About's OK did not close About")
    c.click(main, MAIN_AT["SelectAll"], "select-all")
    run(["xdotool", "mousemove", "0", "0"])
    window_picture(c, MAIN, pictures / MANUAL_PICTURES[MAIN])
    for button, title in (("Advanced", ADVANCED), ("FindOutputDirectory", OUTPUT_DIR)):
        c.click(main, MAIN_AT[button], button)
        run(["xdotool", "mousemove", "0", "0"])
        window_picture(c, title, pictures / MANUAL_PICTURES[title])
        c.key("Escape")
        c.require(c.gone(title), "Esc did not close %s" % NAMES[title])
    c.quit(main)
    for name in MANUAL_PICTURES.values():
        if c.suite.pictures:
            shutil.copyfile(pictures / name, c.suite.pictures / name)
            continue
        shipped = c.suite.repo / "docs" / name
        differ = subprocess.run(["compare", "-metric", "AE", str(pictures / name), str(shipped), "null:"],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                check=False).stdout if shipped.exists() else "missing"
        c.expect(differ.strip().isdigit() and int(differ) <= PICTURE_TOLERANCE,
                 "docs/%s is not the program as it is (%s pixels differ): scripts/screenshot makes it afresh "
                 "from %s" % (name, differ.strip(), pictures / name))


class Suite:
    def __init__(self, args):
        self.exe = pathlib.Path(args.exe).resolve()
        self.pictures = pathlib.Path(args.pictures).resolve() if args.pictures else None
        self.work = pathlib.Path(args.work).resolve()
        self.shots = args.shots
        self.shot_dir = self.work / "screenshots"
        shutil.rmtree(self.shot_dir, ignore_errors=True)
        self.shot_dir.mkdir(parents=True)
        repo = self.repo = pathlib.Path(__file__).resolve().parents[2]
        self.display = Display(self.work)
        try:
            self.wine = Wine(repo, self.work)
        except BaseException:
            self.display.close()
            raise

    def close(self):
        self.wine.close()
        self.display.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--only", nargs="*", default=[], help="run only these cases")
    parser.add_argument("--shots", action="store_true", help="a screenshot after every step")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--pictures", help="write the manual's pictures into this folder instead of comparing")
    args = parser.parse_args()
    if args.list:
        for function in CASES:
            print(function.__name__)
        return 0
    if not pathlib.Path(args.exe).is_file():
        print("e2e: skipped: %s is not built (cmake --build --preset windows)" % args.exe)
        return SKIP
    missing = [t for t in ("Xvfb", "openbox", "xdotool", "xprop", "import") if not shutil.which(t)]
    if missing:
        print("e2e: %s missing: run scripts/setup" % ", ".join(missing))
        return 1
    unknown = set(args.only) - {f.__name__ for f in CASES}
    if unknown:
        print("e2e: no such case: %s" % ", ".join(sorted(unknown)))
        return 1
    pathlib.Path(args.work).mkdir(parents=True, exist_ok=True)

    began = time.monotonic()
    try:
        suite = Suite(args)
    except (Failed, OSError, subprocess.SubprocessError) as e:
        print("e2e: the session did not start: %s" % e)
        return 1
    failed = []
    try:
        print("e2e: display %s, prefix %s" % (suite.display.name, suite.wine.prefix), flush=True)
        for function in CASES:
            if args.only and function.__name__ not in args.only:
                continue
            c = Case(suite, function.__name__)
            started = time.monotonic()
            print("[ RUN  ] %s" % c.name, flush=True)
            try:
                function(c)
            except Failed as e:
                c.failures.append(str(e))
                c.snap("failed")
            except Exception:
                c.failures.append(traceback.format_exc())
                c.snap("failed")
            finally:
                c.finish()
            seconds = time.monotonic() - started
            if c.failures:
                failed.append(c.name)
                for message in c.failures:
                    print("    " + message)
                print("[ FAIL ] %s (%.1f s)" % (c.name, seconds), flush=True)
            else:
                print("[  OK  ] %s (%.1f s)" % (c.name, seconds), flush=True)
    finally:
        suite.close()
    print("e2e: %d failed in %.0f s%s" % (len(failed), time.monotonic() - began,
                                           (": " + ", ".join(failed)) if failed else ""))
    if failed:
        print("e2e: screenshots in %s" % suite.shot_dir)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
