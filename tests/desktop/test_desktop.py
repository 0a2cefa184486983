"""The real launcher on X11 and on Wayland, driven by pointer and keys and checked by its pixels."""

import os
import subprocess
import time
import unittest

from desktop import BIN, DesktopCase, Image, WaylandDesktop, X11Desktop, wait_for

ART = os.path.join(BIN, "data", "art")
OPTIONS = (428, 228)  # the main page's buttons, 190 x 42
QUIT = (428, 328)     # where the options page has its Back button
FACE = (30, 10)  # a point of a button's face clear of its caption


class Behaviour:
    def art(self, name):
        if not hasattr(Behaviour, "_art"):
            Behaviour._art = {n: Image(os.path.join(ART, n + ".bmp"))
                              for n in ("button_normal", "button_over", "bg_main")}
        return Behaviour._art[name]

    def on_screen(self, shot, page_point):
        return shot.at(self.window["x"] + page_point[0], self.window["y"] + page_point[1])

    def look_of(self, shot, button):
        face = self.on_screen(shot, (button[0] + FACE[0], button[1] + FACE[1]))
        for name in ("button_normal", "button_over"):
            if face == self.art(name).at(*FACE):
                return name
        return "other %s" % (face,)

    def expect_look(self, button, look):
        """Waits for `look` on `button`: a busy machine paints late, a stuck look stays."""
        seen = []
        try:
            wait_for(look, lambda: seen.append(self.look_of(self.desktop.shot(), button)) or
                     seen[-1] == look, 5)
        except AssertionError:
            self.fail("%s drawn as %s, not %s" % (button, seen[-1], look))

    def expect_title(self, title):
        wait_for(title, lambda: self.desktop.window()["name"] == title, 10)

    def to_screen(self, page_point):
        return self.window["x"] + page_point[0], self.window["y"] + page_point[1]

    def click(self, page_point):
        x, y = self.to_screen((page_point[0] + 95, page_point[1] + 21))
        self.desktop.point(("move", x, y), ("down",), ("up",))

    def test_fixed_borderless_window_hover_on_enter_and_after_a_hidden_page(self):
        window = self.window
        self.assertEqual((window["width"], window["height"]), (640, 400))
        self.assertTrue(window["floating"], "tiled instead of floating")
        self.check_frame()
        shot = self.desktop.shot()
        self.assertEqual(self.on_screen(shot, (2, 2)), self.art("bg_main").at(2, 2),
                         "the page does not start at the window's corner")
        # The pointer's first event in the window lands on a button.
        self.desktop.point(("move", 2, 2), ("wait", 300), ("move", *self.to_screen(
            (OPTIONS[0] + 95, OPTIONS[1] + 21))))
        self.expect_look(OPTIONS, "button_over")
        # Dragged once by its surface, then a page and back under a resting pointer.
        start = self.to_screen((6, 394))
        self.desktop.point(("move", *start), ("down",), ("move", start[0] + 20, start[1] - 20),
                           ("move", start[0] + 40, start[1] - 30), ("up",))
        moved = (self.window["x"] + 40, self.window["y"] - 30)
        self.window = wait_for("the window moved", lambda: (lambda w: w if (w["x"], w["y"]) ==
                                                            moved else None)(self.desktop.window()))
        self.click(OPTIONS)
        self.expect_title("Lumen Reach - Options")
        self.click(QUIT)  # the options page's Back
        self.expect_title("Lumen Reach")
        self.expect_look(OPTIONS, "button_normal")
        self.expect_look(QUIT, "button_over")

    def test_second_start_brings_the_covered_window_forward(self):
        moon = (478, 70)
        seen = self.on_screen(self.desktop.shot(), moon)
        self.desktop.cover()
        self.put_away()
        self.assertNotEqual(self.on_screen(self.desktop.shot(), moon), seen, "not covered")
        second = self.launcher.start(self.desktop)
        self.assertEqual(second.wait(20), 0)
        wait_for("the launcher in front", lambda: self.in_front(moon, seen), 10)

    def in_front(self, moon, seen):
        return self.on_screen(self.desktop.shot(), moon) == seen

    def test_the_game_starts_with_keys_alone(self):
        self.desktop.focus(self.window)
        # Tab reaches the first button (music, top right); the arrows go by geometry: down to
        # Play, down to Extras, back up to Play.
        self.desktop.keys("Tab", "Down", "Down", "Up", "Return")
        wait_for("the game", lambda: os.path.exists(self.launcher.mark), 10)


class X11(Behaviour, DesktopCase):
    kind = X11Desktop

    def check_frame(self):
        props = self.desktop.run("xprop", "-id", self.window["id"], "WM_NORMAL_HINTS",
                                 "_NET_FRAME_EXTENTS")
        self.assertIn("minimum size: 640 by 400", props)
        self.assertIn("maximum size: 640 by 400", props)
        self.assertIn("_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0", props)

    def put_away(self):
        # A minimised first window comes back as well.
        self.desktop.run("xdotool", "windowminimize", "--sync", self.window["id"])


class Wayland(Behaviour, DesktopCase):
    kind = WaylandDesktop

    def check_frame(self):
        self.assertIn(self.window["border"], ("none", "csd"))

    def put_away(self):
        pass  # sway has no minimised windows; the cover's own workspace stands for it

    def in_front(self, moon, seen):
        # Sway 1.7 shows an activation's workspace switch with its next transaction, a player's
        # next input; any IPC command is one as well.
        self.desktop.run("swaymsg", "nop")
        return Behaviour.in_front(self, moon, seen) and self.desktop.window()["focused"]


if __name__ == "__main__":
    unittest.main()
