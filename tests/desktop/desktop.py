"""Desktops for the end-to-end tests: a private X server or a headless Wayland compositor, the
real launcher with the demo in a throw-away folder, and ways to point, type and look."""

import glob
import json
import os
import pwd
import shutil
import subprocess
import tempfile
import time
import unittest

BIN = os.environ.get("VELLMAR_TEST_BIN_DIR", "build/bin")
HELPERS = os.environ.get("VELLMAR_DESKTOP_HELPERS", BIN)
SCREEN = (1280, 800)
TITLE = "Lumen Reach"


def need(*tools):
    """Skips the test when a tool is missing; scripts/setup installs them all."""
    missing = [t for t in tools if not shutil.which(t) and not os.path.exists(t)]
    if missing:
        raise unittest.SkipTest("not installed: " + ", ".join(missing))


def wait_for(what, check, seconds=15.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = check()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


class Image:
    """A screenshot as RGB pixels (through ImageMagick's PPM output)."""

    def __init__(self, path):
        data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                              capture_output=True).stdout
        fields, at = [], 0
        while len(fields) < 4:  # P6, width, height, maximum
            while data[at:at + 1].isspace():
                at += 1
            start = at
            while not data[at:at + 1].isspace():
                at += 1
            fields.append(data[start:at])
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[at + 1:]

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


class Launcher:
    """The demo beside a copy of autorun; its Play button leaves a mark instead of a note."""

    def __init__(self, root):
        self.root = root
        disc = os.path.join(root, "disc")
        os.makedirs(os.path.join(root, "home"))
        os.makedirs(os.path.join(root, "run"), mode=0o700)
        os.makedirs(disc)
        for name in ("autorun", "libunrar.so"):
            shutil.copy2(os.path.join(BIN, name), disc)
        shutil.copytree(os.path.join(BIN, "data"), os.path.join(disc, "data"))
        shutil.rmtree(os.path.join(disc, "data", "news"), ignore_errors=True)
        self.mark = os.path.join(root, "game-started")
        game = os.path.join(disc, "data", "game", "lumen-reach.sh")
        with open(game, "w") as script:
            script.write("#!/bin/sh\ntouch '%s'\n" % self.mark)
        os.chmod(game, 0o755)
        self.exe = os.path.join(disc, "autorun")
        self.processes = []

    def environment(self, desktop):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("QT_", "WAYLAND", "XDG_", "DISPLAY", "DBUS"))}
        env.update(HOME=os.path.join(self.root, "home"), LANG="C.UTF-8", LC_ALL="",
                   XDG_RUNTIME_DIR=os.path.join(self.root, "run"),
                   VELLMAR_REGISTRY_DIR=os.path.join(self.root, "registry"),
                   VELLMAR_AUDIO_SINK="fakesink", QT_QPA_PLATFORM=desktop.platform)
        env.update(desktop.env)
        return env

    def start(self, desktop, extra=None):
        env = self.environment(desktop)
        env.update(extra or {})
        process = subprocess.Popen([self.exe], env=env, cwd=self.root,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def stop(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
            process.wait()


class Desktop:
    """What the tests need from either kind of session."""

    platform = ""
    env = {}

    def __init__(self, root):
        self.root = root
        self.processes = []

    def spawn(self, args, env=None, **kwargs):
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        process = subprocess.Popen(args, env=env, stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def run(self, *args):
        return subprocess.run(list(args), env=self.tool_env(), check=True,
                              capture_output=True, text=True).stdout

    def tool_env(self):
        env = dict(os.environ)
        env.update(self.env)
        return env

    def shot(self):
        path = os.path.join(self.root, "shot-%d.png" % time.monotonic_ns())
        self.screenshot(path)
        return Image(path)

    def cover(self):
        """Opens a window over the whole screen."""
        path = os.path.join(self.root, "cover.png")
        subprocess.run(["convert", "-size", "%dx%d" % SCREEN, "xc:rgb(200,30,160)", path],
                       check=True)
        self.show_image(path)


class X11Desktop(Desktop):
    platform = "xcb"

    def __init__(self, root):
        need("Xvfb", "openbox", "xdotool", "xprop", "import", "display")
        super().__init__(root)
        read, write = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-screen", "0",
                    "%dx%dx24" % SCREEN], pass_fds=(write,))
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise AssertionError("Xvfb did not start")
            number += chunk
        os.close(read)
        self.env = {"DISPLAY": ":" + number.decode().strip()}
        self.spawn(["openbox", "--sm-disable"], env=self.tool_env())
        wait_for("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))

    def window(self):
        ids = wait_for("the launcher's window", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^" + TITLE], env=self.tool_env(),
            capture_output=True, text=True).stdout.split())
        out = self.run("xdotool", "getwindowgeometry", "--shell", ids[0])
        fields = dict(line.split("=") for line in out.split())
        return {"x": int(fields["X"]), "y": int(fields["Y"]), "width": int(fields["WIDTH"]),
                "height": int(fields["HEIGHT"]), "id": ids[0], "floating": True,
                "name": self.run("xdotool", "getwindowname", ids[0]).strip()}

    def point(self, *steps):
        args = ["xdotool"]
        for step in steps:
            if step[0] == "move":
                args += ["mousemove", str(step[1]), str(step[2]), "sleep", "0.2"]
            elif step[0] == "wait":
                args += ["sleep", str(step[1] / 1000)]
            else:
                args += ["mouse" + step[0], "1", "sleep", "0.1"]
        self.run(*args)

    def keys(self, *names):
        for name in names:
            self.run("xdotool", "key", name)
            time.sleep(0.2)

    def focus(self, window):
        self.run("xdotool", "windowfocus", "--sync", window["id"])

    def screenshot(self, path):
        self.run("import", "-window", "root", path)

    def show_image(self, path):
        self.spawn(["display", "-geometry", "+0+0", path], env=self.tool_env())
        wait_for("the cover", lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "cover"], env=self.tool_env(),
            capture_output=True).returncode == 0)


class WaylandDesktop(Desktop):
    """Headless sway, run as an unprivileged user because it refuses root."""

    platform = "wayland"
    pointer = os.path.join(HELPERS, "virtual_pointer")

    def __init__(self, root):
        need("sway", "swaymsg", "wtype", "grim", "setpriv", "weston-image", self.pointer)
        super().__init__(root)
        self.mouse = None
        user = pwd.getpwnam("nobody") if os.getuid() == 0 else pwd.getpwuid(os.getuid())
        runtime = os.path.join(root, "sway-run")
        os.makedirs(runtime, mode=0o700)
        os.chown(runtime, user.pw_uid, user.pw_gid)
        config = os.path.join(root, "sway.conf")
        with open(config, "w") as text:
            text.write("output HEADLESS-1 resolution %dx%d position 0 0\n" % SCREEN +
                       "focus_on_window_activation focus\n"
                       "for_window [title=cover] floating enable, resize set %d %d, "
                       "move position 0 0\n" % SCREEN)
        os.chmod(root, 0o755)
        env = {"PATH": os.environ["PATH"], "HOME": runtime, "XDG_RUNTIME_DIR": runtime,
               "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
               "WLR_RENDERER": "pixman", "WLR_HEADLESS_OUTPUTS": "1"}
        prefix = []
        if os.getuid() == 0:
            prefix = ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid,
                      "--clear-groups"]
        with open(os.path.join(root, "sway.log"), "w") as log:
            self.processes.append(subprocess.Popen(prefix + ["sway", "-c", config], env=env,
                                                   stdout=log, stderr=log))
        socket = wait_for("sway's socket", lambda: glob.glob(runtime + "/wayland-*[0-9]"))
        ipc = wait_for("sway's IPC", lambda: glob.glob(runtime + "/sway-ipc.*.sock"))
        self.env = {"WAYLAND_DISPLAY": socket[0], "SWAYSOCK": ipc[0]}

    def views(self, node=None):
        node = node or json.loads(self.run("swaymsg", "-r", "-t", "get_tree"))
        if node.get("pid"):
            yield node
        for child in node.get("nodes", []) + node.get("floating_nodes", []):
            yield from self.views(child)

    def window(self):
        def find():
            for view in self.views():
                if view.get("name", "").startswith(TITLE) and view["rect"]["width"] > 0:
                    return view
            return None
        view = wait_for("the launcher's window", find)
        rect = view["rect"]
        return {"x": rect["x"], "y": rect["y"], "width": rect["width"],
                "height": rect["height"], "floating": view["type"] == "floating_con",
                "border": view.get("border"), "focused": view.get("focused"),
                "name": view.get("name")}

    def point(self, *steps):
        if not self.mouse:
            self.mouse = self.spawn([self.pointer, str(SCREEN[0]), str(SCREEN[1])],
                                    env=self.tool_env(), stdin=subprocess.PIPE,
                                    stdout=subprocess.PIPE, text=True)
        for step in steps:
            if step[0] == "wait":
                time.sleep(step[1] / 1000)
                continue
            self.mouse.stdin.write(" ".join(str(part) for part in step) + "\n")
            self.mouse.stdin.flush()
            assert self.mouse.stdout.readline() == "ok\n", "the virtual pointer failed"
            time.sleep(0.15)

    def keys(self, *names):
        # wtype makes a new keyboard each call; the first key right after may be lost.
        for name in names:
            self.run("wtype", "-s", "300", "-k", name)
            time.sleep(0.1)

    def focus(self, window):
        pass  # sway gives a new window the focus

    def screenshot(self, path):
        self.run("grim", path)

    def show_image(self, path):
        # On another workspace, as a tiling desktop covers a window: sway 1.7 focuses a floating
        # window that asks for activation but leaves it under other floating windows, while it
        # does switch back to the window's workspace.
        self.run("swaymsg", "workspace", "2")
        self.spawn(["weston-image", path], env=self.tool_env())
        wait_for("the cover", lambda: any("cover" in view.get("name", "")
                                          for view in self.views()))
        # As a player who turned to another window; a headless seat may not focus it by itself.
        self.run("swaymsg", "[title=cover] focus")
        time.sleep(0.5)


class DesktopCase(unittest.TestCase):
    """Starts a desktop of `kind` and the launcher on it; both end with the test."""

    kind = None
    launcher_env = {}

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="vellmar-desktop-")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.desktop = self.kind(self.root)
        self.addCleanup(self.desktop.close)
        self.launcher = Launcher(os.path.join(self.root, "launcher"))
        self.addCleanup(self.launcher.stop)
        self.first = self.launcher.start(self.desktop, self.launcher_env)
        self.window = self.desktop.window()
        time.sleep(1.0)  # the first page's art and news are painted
