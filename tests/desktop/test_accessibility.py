"""What a screen reader finds in the launcher, read over AT-SPI from the real program."""

import os
import time
import unittest

from desktop import DesktopCase, X11Desktop, wait_for

try:
    import pyatspi
except ImportError:
    pyatspi = None


def tree(node, depth=0):
    """Every accessible under `node`, depth first, with its depth."""
    yield node, depth
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from tree(child, depth + 1)


class Accessibility(DesktopCase):
    kind = X11Desktop

    @classmethod
    def setUpClass(cls):
        if pyatspi is None:
            raise unittest.SkipTest("not installed: python3-pyatspi")
        if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
            raise unittest.SkipTest("not installed: dbus-run-session")
        cls.launcher_env = {"DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"],
                            "QT_ACCESSIBILITY": "1", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}

    def application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
            if app is not None and app.name == "autorun":
                return app
        return None

    def buttons(self):
        """The frame's name and each exposed button: name, description, state names."""
        app = wait_for("the launcher on the accessibility bus", self.application)
        frame = app.getChildAtIndex(0)
        found = {}
        for node, _ in tree(frame):
            if node.getRole() == pyatspi.ROLE_PUSH_BUTTON:
                states = {pyatspi.stateToString(s) for s in node.getState().getStates()}
                found[node.name] = (node, node.description, states)
        return frame.name, found

    def test_the_shown_page_by_its_captions_and_a_press_through_its_action(self):
        title, buttons = self.buttons()
        self.assertEqual(title, "Lumen Reach")
        main = ["Music on or off", "Minimise", "Close", "Visit the Lumen Reach website", "Play",
                "Extras", "Options", "Website", "Quit"]
        self.assertEqual(list(buttons)[:len(main)], main)
        self.assertEqual(buttons["Play"][1], "Set sail: start the game")  # tooltip
        self.assertEqual(buttons["Extras"][1], "")
        for name, (_, _, states) in buttons.items():
            self.assertTrue({"showing", "enabled", "focusable"} <= states, name)
        self.assertFalse([n for n in buttons if n.startswith("Button") or n in ("Back", "")])

        action = buttons["Options"][0].queryAction()
        self.assertEqual(action.getName(0), "Press")
        action.doAction(0)
        title, buttons = wait_for("the options page", lambda: (
            lambda shown: shown if shown[0] == "Lumen Reach - Options" else None)(self.buttons()))
        self.assertNotIn("Play", buttons)
        self.assertIn("Back", buttons)
        self.assertNotIn("enabled", buttons["English"][2])  # the language in use
        self.assertIn("enabled", buttons["Deutsch"][2])


if __name__ == "__main__":
    unittest.main()
