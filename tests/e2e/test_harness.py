"""The end-to-end harness itself, checked against small X programs whose behaviour is known.

When the program's end-to-end tests fail, this tells whether the harness or the program is at fault.
"""

import socket
import unittest

import harness
from harness import Program, XServer
from version_server import VersionServer, http_response


class XToolsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.x = XServer(1024, 768)
        cls.x.start()

    @classmethod
    def tearDownClass(cls):
        cls.x.stop()

    def test_screen_has_the_asked_size(self):
        shot = self.x.screenshot()
        self.assertEqual((shot.width, shot.height), (1024, 768))

    def test_reads_a_window_and_closes_it_like_a_close_button(self):
        xlogo = Program(self.x, "/usr/bin/xlogo",
                        ["-geometry", "100x80+10+20", "-bg", "red", "-fg", "blue"], published=None)
        with xlogo:
            window = self.x.find_window("^xlogo$")
            self.assertEqual(self.x.geometry(window), harness.Geometry(10, 20, 100, 80))
            hints = self.x.size_hints(window)
            self.assertEqual((hints.user_position, hints.user_size), ((10, 20), (100, 80)))
            self.assertIsNone(hints.max_size)
            self.assertEqual(self.x.property_bytes(window, "WM_NAME"), b"xlogo")

            shot = self.x.screenshot()
            self.assertEqual(shot.pixel(12, 22), (255, 0, 0))
            self.assertEqual(shot.pixel(9, 19), (0, 0, 0))  # the bare root window around it

            # xlogo quits with status 0 on WM_DELETE_WINDOW; a destroyed window would kill it instead.
            self.x.request_close(window)
            self.assertEqual(xlogo.wait(), 0)

    def test_program_runs_on_the_server_with_a_recording_xdg_open(self):
        script = 'xdg-open "http://a.example/x y" second; echo "$DISPLAY"; exit 3'
        with Program(self.x, "/bin/sh", ["-c", script], published=None) as program:
            self.assertEqual(program.wait(), 3)
            self.assertEqual(program.opened_urls(), [["http://a.example/x y", "second"]])
            self.assertEqual(program.output()[0].strip(), self.x.display)

    def test_exit_statuses_read_as_the_shell_sees_them(self):
        for script, status in (("exit 255", 255), ("kill -TERM $$", 128 + 15)):
            shell = Program(self.x, "/bin/sh", ["-c", script], published=None)
            with self.subTest(script=script), shell as program:
                self.assertEqual(program.wait(), status)


class GlyphCheckTest(unittest.TestCase):
    def _image(self, rows):
        rgb = b"".join(bytes((0, 0, 0) if c == "#" else (255, 255, 255)) for row in rows for c in row)
        return harness.Image(len(rows[0]), len(rows), rgb)

    def test_hollow_rectangles_are_missing_glyphs_and_strokes_are_not(self):
        box = ["######", "#....#", "#....#", "#....#", "#....#", "#....#", "#....#", "######"]
        two_boxes = ["###########", "#....#....#", "#....#....#", "#....#....#", "#....#....#",
                     "#....#....#", "#....#....#", "###########"]
        stroked = ["######", "#..#.#", "#..#.#", "######", "#..#.#", "#..#.#", "#..#.#", "######"]
        rounded = [".####.", "#....#", "#....#", "#....#", "#....#", "#....#", "#....#", ".####."]
        for name, rows, missing in (("box", box, True), ("touching boxes", two_boxes, True),
                                    ("stroked", stroked, False), ("rounded", rounded, False)):
            with self.subTest(name):
                image = self._image([".." + row + ".." for row in rows])
                cells = image.glyph_cells()
                self.assertEqual([(c.left, c.width, c.height) for c in cells], [(2, len(rows[0]), 8)])
                self.assertEqual(image.looks_like_missing_glyph(cells[0]), missing)


class VersionServerTest(unittest.TestCase):
    def _exchange(self, server, request=b"GET /tavik.txt HTTP/1.0\r\nHost: x\r\n\r\n"):
        with socket.create_connection(("127.0.0.1", server.port), timeout=10) as client:
            client.sendall(request)
            received = b""
            while chunk := client.recv(4096):
                received += chunk
            return received

    def test_sends_exactly_what_it_is_given_and_records_the_request(self):
        replies = [http_response(b"1.0"), b"HTTP/1.1 404 Nope\r\n\r\n\x00junk", b""]
        with VersionServer() as server:
            for reply in replies:
                with self.subTest(reply=reply):
                    server.set_reply(reply)
                    self.assertEqual(self._exchange(server), reply)
            self.assertEqual(server.requests, [b"GET /tavik.txt HTTP/1.0\r\nHost: x\r\n\r\n"] * 3)
        self.assertEqual(http_response(b"1.0"), b"HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\n1.0")

    def test_reset_aborts_the_connection(self):
        with VersionServer(b"1.", then="reset") as server:
            with self.assertRaises(ConnectionResetError):
                self._exchange(server)

    def test_a_reply_function_sends_as_it_likes_and_learns_of_the_stop(self):
        paused = []

        def reply(stream):
            stream.send(b"HTTP/1.0 200 OK\r\n")
            paused.append(stream.pause(0.05))
            stream.send(b"\r\n1.0")

        with VersionServer(reply) as server:
            self.assertEqual(self._exchange(server), b"HTTP/1.0 200 OK\r\n\r\n1.0")
            self.assertEqual(paused, [True])

            server.set_reply(lambda stream: paused.append(stream.pause(60)))
            with socket.create_connection(("127.0.0.1", server.port), timeout=10) as client:
                client.sendall(b"GET / HTTP/1.0\r\n\r\n")
                server.wait_for_requests(2)
                server.stop()
                self.assertEqual(client.recv(100), b"")
            self.assertEqual(paused, [True, False])

    def test_stall_holds_the_connection_open_until_stopped(self):
        with VersionServer(b"HTTP/1.0 200 OK\r\n", then="stall") as server:
            with socket.create_connection(("127.0.0.1", server.port), timeout=10) as client:
                client.sendall(b"GET / HTTP/1.0\r\n\r\n")
                self.assertEqual(client.recv(100), b"HTTP/1.0 200 OK\r\n")
                client.settimeout(0.3)
                with self.assertRaises(socket.timeout):
                    client.recv(100)
                client.settimeout(10)
                server.stop()
                self.assertEqual(client.recv(100), b"")


if __name__ == "__main__":
    harness.main()
