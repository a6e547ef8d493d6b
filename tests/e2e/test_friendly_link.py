"""The friendly link in the real program: a left press anywhere on the link label hands the partner
address to the desktop's opener (a recording stand-in here), once per press and on the press itself;
other input does nothing; the label keeps the ordinary arrow while the window around it shows the
pointing hand."""

import time
import unittest

import harness
from harness import Program, XServer, build_value, wait_until

# The link label's rectangle in the window's client area.
LABEL_LEFT, LABEL_TOP, LABEL_WIDTH, LABEL_HEIGHT = 8, 136, 136, 24
LABEL_RIGHT, LABEL_BOTTOM = LABEL_LEFT + LABEL_WIDTH, LABEL_TOP + LABEL_HEIGHT

ON_TEXT = (LABEL_LEFT + 30, LABEL_TOP + 12)
RIGHT_OF_TEXT = (LABEL_LEFT + 130, LABEL_TOP + 12)

# Bare parts of the window and of the group box (at 8, 8, 264 x 128; its last notice ends at 120).
WINDOW_BARE = (220, 175)
GROUP_BOX_BARE = (8 + 254, 8 + 124)

# Where every gesture starts from: a move of more than a few pixels ends any double click in
# progress, so that each gesture is judged on its own.
REST = WINDOW_BARE

# Long enough for an opener started by a press to have written its record (it takes a fraction of
# that); used only to show that nothing was opened.
SETTLE = 0.6

# Names under which the cursor themes know the two shapes.
ARROW_NAMES = {"left_ptr", "default", "arrow", "top_left_arrow", "left_arrow"}
HAND_NAMES = {"pointer", "pointing_hand", "hand", "hand1", "hand2",
              "e29285e634086352946a0e7090d73106", "9d800788f1b08800ae810202380a0822"}


class FriendlyLinkTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.partner = build_value("TAVIK_PARTNER_ADDRESS")
        cls.x = XServer(1920, 1080)
        cls.x.start()

    @classmethod
    def tearDownClass(cls):
        cls.x.stop()

    def setUp(self):
        self.program = Program(self.x)
        self.program.start()
        self.addCleanup(self.program.stop)
        self.window = self.program.main_window()
        self.origin = self.x.geometry(self.window)

    # Acting on the window.

    def screen(self, where):
        return self.origin.x + where[0], self.origin.y + where[1]

    def point_at(self, where):
        self.x.move_pointer(*self.screen(REST))
        self.x.move_pointer(*self.screen(where))

    def xdotool(self, *args):
        self.x.run(["xdotool", *args])

    def press(self, where, button=1, repeat=1, held=None):
        """A fresh gesture: the pointer comes from rest to where and the button is clicked repeat
        times in quick succession, with the modifier keys in held down (xdotool names)."""
        self.point_at(where)
        if held:
            self.xdotool("keydown", held)
        self.xdotool("click", "--repeat", str(repeat), "--delay", "40", str(button))
        if held:
            self.xdotool("keyup", held)

    # What the opener saw.

    def expect_opened(self, count, what):
        """Waits until the partner address has been opened count times in all, then makes sure no
        further opener follows."""
        wait_until(lambda: len(self.program.opened_urls()) >= count, what, timeout=10)
        time.sleep(SETTLE)
        self.assertEqual(self.program.opened_urls(), [[self.partner]] * count, what)
        self.assertTrue(self.program.running())

    # The cases.

    def test_a_left_press_anywhere_on_the_label_opens_the_partner_once(self):
        inside = {
            "top left corner": (LABEL_LEFT, LABEL_TOP),
            "on the text": ON_TEXT,
            "right of the text": RIGHT_OF_TEXT,
            "bottom right corner": (LABEL_RIGHT - 1, LABEL_BOTTOM - 1),
        }
        for count, (what, where) in enumerate(inside.items(), start=1):
            with self.subTest(what):
                self.press(where)
                self.expect_opened(count, f"a press {what} {where}")

        outside = {
            "left of it": (LABEL_LEFT - 1, LABEL_TOP + 12),
            "right of it": (LABEL_RIGHT, LABEL_TOP + 12),
            "above it, on the group box": (LABEL_LEFT + 60, LABEL_TOP - 1),
            "below it": (LABEL_LEFT + 60, LABEL_BOTTOM),
        }
        for where in outside.values():
            self.press(where)
        time.sleep(SETTLE)
        self.assertEqual(len(self.program.opened_urls()), len(inside), "a press beside the label")

    def test_the_site_opens_on_the_press_and_the_label_shows_no_pressed_look(self):
        label_area = (LABEL_LEFT, LABEL_TOP, LABEL_WIDTH, LABEL_HEIGHT)
        self.x.move_pointer(*self.screen(REST))
        at_rest = self.x.settled_screenshot(self.window).crop(*label_area)

        self.point_at(RIGHT_OF_TEXT)
        self.assertEqual(self.x.settled_screenshot(self.window).crop(*label_area).rgb, at_rest.rgb,
                         "the label changed under the pointer")
        self.xdotool("mousedown", "1")
        wait_until(self.program.opened_urls, "the partner address to open while the button is down")
        self.assertEqual(self.x.settled_screenshot(self.window).crop(*label_area).rgb, at_rest.rgb,
                         "the label changed while pressed")

        # Released elsewhere: nothing more happens.
        self.x.move_pointer(*self.screen(REST))
        self.xdotool("mouseup", "1")
        self.expect_opened(1, "a press released beside the label")

    def test_a_double_click_opens_once_and_a_third_quick_press_again(self):
        self.press(ON_TEXT, repeat=2)
        self.expect_opened(1, "a double click")
        self.press(ON_TEXT, repeat=3)
        self.expect_opened(3, "a triple click after it")

    def test_other_input_on_the_label_opens_nothing(self):
        for button in ("3", "2", "4", "5"):  # right, middle, wheel up and down
            self.press(ON_TEXT, button=button)
        self.press(RIGHT_OF_TEXT, button="3", repeat=2)
        for where in ((LABEL_LEFT, LABEL_TOP), RIGHT_OF_TEXT, (LABEL_RIGHT - 1, LABEL_BOTTOM - 1)):
            self.x.move_pointer(*self.screen(where))
        # The label takes no focus: keys typed while the pointer rests on it go to the window.
        self.x.key("Return", "space", "a", "F1", "ctrl+c", window=self.window)
        time.sleep(SETTLE)
        self.assertEqual(self.program.opened_urls(), [])
        self.assertTrue(self.program.running())

        # The label still answers a left press afterwards.
        self.press(ON_TEXT)
        self.expect_opened(1, "a left press after the other input")

    def test_ctrl_shift_and_alt_make_no_difference(self):
        held = ("ctrl", "shift", "alt", "ctrl+shift+alt")
        for count, keys in enumerate(held, start=1):
            with self.subTest(held=keys):
                self.press(ON_TEXT, held=keys)
                self.expect_opened(count, f"a press with {keys} held")

    def test_the_pointer_is_the_arrow_on_the_label_and_the_hand_around_it(self):
        places = [
            ("the window's bare area", WINDOW_BARE, HAND_NAMES),
            ("the label's text", ON_TEXT, ARROW_NAMES),
            ("the group box's bare area", GROUP_BOX_BARE, HAND_NAMES),
            ("the label right of its text", RIGHT_OF_TEXT, ARROW_NAMES),
            ("the window left of the label", (LABEL_LEFT - 4, LABEL_TOP + 12), HAND_NAMES),
        ]
        for what, where, names in places:
            with self.subTest(what):
                self.x.move_pointer(*self.screen(where))
                # The program sets the shape once it has seen the pointer arrive.
                try:
                    wait_until(lambda: self.x.cursor().name in names, f"the pointer over {what}",
                               timeout=5)
                except harness.HarnessError:
                    cursor = self.x.cursor()
                    if not cursor.name:
                        self.fail(f"the pointer over {what} has no name ({cursor}): is a cursor "
                                  "theme installed?")
                    self.fail(f"the pointer over {what} is {cursor.name!r}, not one of "
                              f"{sorted(names)}")
        self.assertEqual(self.program.opened_urls(), [])


if __name__ == "__main__":
    harness.main()
