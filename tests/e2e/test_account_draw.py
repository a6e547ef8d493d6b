"""The account draw in the real program: a click or Space on the draw button leaves one of the
delivered names in the account field, which can be copied but not edited; a list cut short in the
list box ends the program through the error box with status -1 (255)."""

import pathlib
import re
import shutil
import subprocess
import time
import unittest

import harness
from harness import PATIENCE, ProgramTestCase, save_for_inspection, wait_until

# Centres of the account field and the draw button in the window: the group box lies at 8, 8.
FIELD = (8 + 64 + 44, 8 + 24 + 12)
DRAW_BUTTON = (8 + 168 + 40, 8 + 24 + 12)

ERROR_TITLE = "错误"

# How long the error box gets to appear once the draw has failed.
BOX_PATIENCE = 5.0

SENTINEL = "clipboard-before-copy"


def delivered_names():
    """The names the program carries, taken from the source it is built from."""
    source = pathlib.Path(__file__).resolve().parents[2] / "src" / "shell" / "account_list.cpp"
    return re.findall(r'^\s*"([a-z0-9]{9})\\r\\n";?$', source.read_text(encoding="utf-8"), re.MULTILINE)


class AccountDrawTest(ProgramTestCase):
    @classmethod
    def setUpClass(cls):
        if shutil.which("xclip") is None:
            raise unittest.SkipTest("xclip is not installed")
        cls.names = delivered_names()
        super().setUpClass()

    # The clipboard, through xclip.

    def set_clipboard(self, text):
        # xclip stays behind to serve the text until another client owns the clipboard; its output
        # goes nowhere so that nothing waits for it.
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=text.encode(),
                       env=self.x.client_environment(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=PATIENCE, check=True)

    def clipboard(self):
        result = subprocess.run(["xclip", "-selection", "clipboard", "-o"],
                                env=self.x.client_environment(), capture_output=True,
                                timeout=PATIENCE)
        return result.stdout.decode("utf-8", errors="replace") if result.returncode == 0 else None

    def copy_field(self, window):
        """What the account field holds, as the user gets it: click into it, select all, copy."""
        self.set_clipboard(SENTINEL)
        wait_until(lambda: self.clipboard() == SENTINEL, "the clipboard to hold the sentinel")
        self.x.click_in(window, *FIELD)
        self.x.key("ctrl+a", "ctrl+c", window=window)
        return wait_until(lambda: (lambda text: text if text not in (None, SENTINEL) else None)(
            self.clipboard()), "the copied account field")

    # The draw.

    def test_a_click_or_space_shows_one_of_the_names(self):
        self.assertEqual(len(self.names), 381)
        ways = {
            "click": lambda window: self.x.click_in(window, *DRAW_BUTTON),
            # The list box has the focus at start; Tab passes the account field, then the button.
            "Space after Tab Tab": lambda window: self.x.key("Tab", "Tab", "space", window=window),
        }
        for how, draw in ways.items():
            with self.subTest(how=how):
                program, window = self.start_program()
                draw(window)
                shown = self.copy_field(window)
                self.assertIn(shown, self.names)
                self.assertTrue(program.running())
                # The next way gets a program of its own, and the version port with it.
                program.stop()

    def test_the_shown_name_cannot_be_edited(self):
        program, window = self.start_program()
        self.x.click_in(window, *DRAW_BUTTON)
        shown = self.copy_field(window)
        self.assertIn(shown, self.names)

        # The focus is in the field, the name selected and on the clipboard.
        self.x.key("ctrl+x", "Delete", "BackSpace", window=window)
        self.x.type_text("abc")
        self.x.key("End", "BackSpace", "ctrl+v", "Home", "Delete", "Return")
        self.assertEqual(self.copy_field(window), shown)
        self.assertTrue(program.running())

    def test_a_short_list_ends_in_the_error_box_and_status_255(self):
        # Three names: the first pass draws beyond them with the odds 378 to 3; all three passes
        # stay within them with odds below one in a million.
        for dismiss in ("Return", "Escape"):
            with self.subTest(dismiss=dismiss):
                program, window = self.start_program()
                # The list box below the window's edge has the focus at start.
                self.x.key("ctrl+a", window=window)
                self.x.type_text("aaaa11111\nbbbb22222\ncccc33333\n")
                self.x.click_in(window, *DRAW_BUTTON)

                box = self.wait_for_error_box(program)
                self.assertIsNotNone(box, "no window titled 错误 appeared")
                save_for_inspection(self.x.settled_screenshot(box), "error_box.png")
                self.assertTrue(program.running(), "the program ended before the box was closed")
                self.x.key(dismiss, window=box)
                self.assertEqual(program.wait(), 255)
                self.assertEqual(program.opened_urls(), [])

    def wait_for_error_box(self, program):
        """The program's visible window titled 错误, or None if none appears within BOX_PATIENCE
        seconds or the program ends first."""
        deadline = time.monotonic() + BOX_PATIENCE
        while time.monotonic() < deadline:
            out = self.x.run(["xdotool", "search", "--onlyvisible", "--pid", str(program.pid)],
                             check=False)
            for window in (int(line) for line in out.split()):
                if self.x.title(window) == ERROR_TITLE:
                    return window
            if not program.running():
                return None
            time.sleep(0.05)
        return None


if __name__ == "__main__":
    harness.main()
