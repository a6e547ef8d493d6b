"""The version gate end to end: the real program against a scripted version host on loopback.

Whatever the host publishes decides between the main window and the update notice; on the notice
the download page is opened after the box is dismissed and the program ends with status 0."""

import time

import harness
from harness import ProgramTestCase, build_value, published_version, save_for_inspection
from version_server import http_response

UPDATE_TITLE = "^更新提示$"
MAIN_WINDOW = "^TavikLumrose"
USER_AGENT = b"User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"


class VersionGateTest(ProgramTestCase):
    def run_program(self):
        return self.start_program(published=None)[0]

    def expect_window(self, program):
        program.main_window()
        self.assertEqual(program.opened_urls(), [])
        self.x.key("Escape", window=program.main_window())
        self.assertEqual(program.wait(), 0)

    def expect_update_notice(self, program, dismiss="Return", timeout=harness.PATIENCE):
        box = self.x.find_window(UPDATE_TITLE, pid=program.pid, timeout=timeout)
        self.assertEqual(self.x.windows_named(MAIN_WINDOW), [], "the main window was shown")
        self.assertEqual(program.opened_urls(), [], "the page opened before the box was dismissed")
        if dismiss == "close button":
            self.x.request_close(box)
        else:
            self.x.key(dismiss, window=box)
        self.assertEqual(program.wait(), 0)
        # The opener was started before the program ended and outlives it; it may not have got
        # round to its work yet.
        harness.wait_until(program.opened_urls, "the download page to be opened")
        self.assertEqual(program.opened_urls(), [[build_value("TAVIK_DOWNLOAD_PAGE")]])
        self.assertEqual(self.x.windows_named(MAIN_WINDOW, only_visible=False), [])

    def test_what_the_host_publishes_decides(self):
        rows = [
            ("exactly 1.0", http_response(b"1.0"), "window"),
            ("1.0 and a zero byte and more", http_response(b"1.0\x00garbage"), "window"),
            ("404 whose body is 1.0", http_response(b"1.0", status="404 Not Found"), "window"),
            ("500 whose body is 1.0", http_response(b"1.0", status="500 Oops"), "window"),
            ("1.0 with CR LF", http_response(b"1.0\r\n"), "update"),
            ("1.1", http_response(b"1.1"), "update"),
            ("byte-order mark and 1.0", http_response(b"\xef\xbb\xbf1.0"), "update"),
            ("an error page", http_response(b"<html>Internal error</html>", status="500 Oops"),
             "update"),
            ("a zero byte first", http_response(b"\x001.0"), "update"),
            ("an empty body", http_response(b""), "update"),
        ]
        for what, reply, outcome in rows:
            with self.subTest(what), published_version(reply) as server:
                program = self.run_program()
                if outcome == "window":
                    self.expect_window(program)
                else:
                    self.expect_update_notice(program)
                self.assertGreaterEqual(len(server.requests), 1)

    def test_the_request_on_the_wire(self):
        with published_version(http_response(b"1.0")) as server:
            program = self.run_program()
            program.main_window()
            request = server.wait_for_requests(1)[0]
        head = request.split(b"\r\n\r\n")[0] + b"\r\n"
        self.assertTrue(head.startswith(b"GET /tavik.txt HTTP/1.0\r\n"), head)
        self.assertIn(USER_AGENT, head)
        self.assertIn(b"Accept: */*\r\n", head)
        self.assertIn(f"Host: {build_value('TAVIK_VERSION_HOST')}\r\n".encode(), head)

    def test_the_box_dismissed_any_way_acts_as_ok(self):
        for dismiss in ("Return", "space", "Escape", "close button"):
            with self.subTest(dismiss), published_version(http_response(b"0.9")):
                self.expect_update_notice(self.run_program(), dismiss=dismiss)

    def test_the_theme_is_on_before_the_fetch(self):
        # The box comes after the fetch; its default, focused OK button wears the orange band of
        # the olive theme, which the gate switches on first of all.
        with published_version(http_response(b"2.0")):
            program = self.run_program()
            box = self.x.find_window(UPDATE_TITLE, pid=program.pid)
            shot = self.x.settled_screenshot(box)
            orange = sum(1 for _, _, pixel in shot.pixels() if pixel == (229, 151, 0))
            save_for_inspection(shot, "update_box.png")
            self.assertGreater(orange, 20, "the box's button has no orange band")
            self.x.key("Return", window=box)
            self.assertEqual(program.wait(), 0)

    def test_no_version_host_listening(self):
        harness.version_port()  # skips where the build's host is not on loopback
        self.expect_update_notice(self.run_program())

    def test_a_host_that_never_answers_shows_nothing_until_the_time_outs(self):
        with published_version(b"", then="stall"):
            program = self.run_program()
            time.sleep(3)
            self.assertTrue(program.running())
            self.assertEqual(self.x.windows_named(".", only_visible=True), [],
                             "something was on screen while the fetch ran")
            self.expect_update_notice(program, timeout=120)


if __name__ == "__main__":
    harness.main()
