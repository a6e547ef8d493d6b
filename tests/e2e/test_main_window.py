"""The real program's main window on an X server without a window manager: where it opens, what it
looks like, and that it ends with status 0 however it is closed."""

import unittest

import harness
from harness import MAIN_WINDOW_TITLE, Geometry, Program, ProgramTestCase, XServer, save_for_inspection

WIDTH, HEIGHT = 286, 191
WHITE = (255, 255, 255)

# Where each notice is drawn in the window (the group box at 8, 8 plus the label's place in it),
# and how many Chinese characters and full-width signs it holds.
NOTICES = {
    "游戏ID：": (16, 32, 48, 24, 3),
    "1.只支持4399平台，统一密码：k870913": (16, 56, 248, 24, 11),
    "2.游戏帐号随机获取，用户自行测试": (16, 80, 232, 24, 15),
    "3.请勿修改密码和非法使用，谢谢": (16, 104, 232, 24, 14),
}


class MainWindowTest(ProgramTestCase):
    def test_window_is_centred_fixed_in_size_and_titled(self):
        program, window = self.start_program()
        self.assertEqual(self.x.geometry(window), Geometry(817, 444, WIDTH, HEIGHT))
        self.assertEqual(self.x.title(window), MAIN_WINDOW_TITLE)
        hints = self.x.size_hints(window)
        self.assertEqual(hints.min_size, (WIDTH, HEIGHT))
        self.assertEqual(hints.max_size, (WIDTH, HEIGHT))
        self.assertTrue(program.running())

    def test_screenshot_shows_white_ground_caption_and_chinese_notices(self):
        _, window = self.start_program()
        shot = self.x.settled_screenshot(window)
        self.assertEqual((shot.width, shot.height), (WIDTH, HEIGHT))
        where = save_for_inspection(shot, "main_window.png")

        # The window's own ground: the strip above the group box, the band right of it and the
        # area beneath the link label.
        for strip in ((0, 0, WIDTH, 6), (276, 0, WIDTH - 276, HEIGHT), (0, 164, WIDTH, HEIGHT - 164)):
            with self.subTest(ground=strip):
                self.assertEqual(shot.crop(*strip).colours(), {WHITE}, where)

        # The caption sits on the group box's top edge, left: black letters over several rows.
        caption = shot.crop(12, 4, 80, 20)
        cells = caption.glyph_cells(threshold=128)  # black letters, AA fringes left out
        self.assertGreaterEqual(len(cells), 5, f"no caption 'Lumrose' in {where}")
        self.assertGreaterEqual(max(c.height for c in cells), 7, where)

        for text, (left, top, width, height, wide) in NOTICES.items():
            with self.subTest(notice=text):
                row = shot.crop(left, top, width, height)
                cells = row.glyph_cells()
                boxes = [c for c in cells if row.looks_like_missing_glyph(c)]
                self.assertEqual(boxes, [], f"missing-glyph boxes in {where}")
                # Nothing drawn at all (an empty fallback glyph) leaves far less ink than this.
                self.assertGreaterEqual(row.count_ink(), wide * 30, where)

    def test_buttons_edit_boxes_and_group_box_wear_the_olive_theme(self):
        _, window = self.start_program()
        shot = self.x.settled_screenshot(window)
        where = save_for_inspection(shot, "themed_window.png")
        # Window coordinates: the draw button at 176,32 (80 x 24), the account field at 72,32
        # (88 x 24), the list box's group box at 8,8 (264 x 128). The focus is in the list box
        # below the edge, so the button is at rest.
        expected = {
            "button's dark frame, left": ((177, 44), (55, 98, 6)),
            "button's dark frame, bottom": ((216, 54), (55, 98, 6)),
            "button's rounded corner": ((178, 34), (55, 98, 6)),
            "button's band, top row": ((200, 34), (255, 255, 255)),
            "button's band, bottom row": ((200, 53), (226, 223, 214)),
            "button's face, top row": ((181, 36), (252, 252, 251)),
            "account field's outline": ((72, 44), (164, 185, 127)),
            "group box's frame, left": ((8, 80), (191, 184, 191)),
            "group box's frame, bottom": ((140, 135), (191, 184, 191)),
        }
        for what, ((x, y), colour) in expected.items():
            with self.subTest(what):
                self.assertEqual(shot.pixel(x, y), colour, where)

    def test_closing_ends_the_program_with_status_0(self):
        closers = {
            "Escape": lambda window: self.x.key("Escape", window=window),
            "close request": self.x.request_close,
        }
        for how, close in closers.items():
            with self.subTest(how=how):
                program, window = self.start_program()
                close(window)
                self.assertEqual(program.wait(), 0)
                self.assertEqual(program.opened_urls(), [])


class StartPositionTest(unittest.TestCase):
    def test_window_opens_centred_on_other_screens(self):
        # (screen width, height) -> the window's top-left corner: the halves, rounded down.
        for screen, corner in (((1366, 768), (540, 288)), ((1024, 600), (369, 204))):
            with self.subTest(screen=screen), XServer(*screen) as x, Program(x) as program:
                geometry = x.geometry(program.main_window())
                self.assertEqual((geometry.x, geometry.y), corner)


if __name__ == "__main__":
    harness.main()
