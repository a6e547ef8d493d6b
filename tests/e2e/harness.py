"""End-to-end harness: the real program on an X server of its own, seen and driven through the X tools.

    with XServer(1920, 1080) as x, Program(x, binary) as app:
        window = app.main_window()
        x.geometry(window)          # Geometry(x=817, y=444, width=286, height=191)
        x.size_hints(window)        # SizeHints(min_size=(286, 191), max_size=(286, 191), ...)
        x.title(window)             # _NET_WM_NAME as text
        x.cursor()                  # Cursor(name='left_ptr', ...): the pointer's shape now
        shot = x.settled_screenshot(window)   # Image with pixel(x, y) -> (r, g, b)
        x.key("Escape", window=window)
        app.wait()                  # exit status as the shell sees it

Every process started here runs in its own session and is ended with it, also when a test fails.
Waits have generous limits so that a hung program fails the test instead of hanging it; they are not
speed checks. Standard library only.
"""

import argparse
import atexit
import ctypes
import json
import os
import re
import select
import shutil
import signal
import socket
import stat
import struct
import subprocess
import sys
import tempfile
import time
import unittest
from dataclasses import dataclass

SKIP_RETURN_CODE = 77
REQUIRED_TOOLS = ("Xvfb", "xdotool", "xwininfo", "xprop", "import")
MAIN_WINDOW_TITLE = "TavikLumrose软件1.0[电脑版]"

# Luminance below which a pixel counts as ink on a white ground: anti-aliased edges included.
INK = 230

# How long to wait for things that normally take a fraction of a second.
PATIENCE = 30.0

_binary = None
_live_processes = []


class HarnessError(Exception):
    """The harness could not do what was asked (a tool failed, a wait ran out)."""


def missing_tools():
    return [tool for tool in REQUIRED_TOOLS if shutil.which(tool) is None]


def binary():
    """Path of the program under test, from --binary or TAVIK_BINARY."""
    path = _binary or os.environ.get("TAVIK_BINARY")
    if not path:
        raise HarnessError("no program given: pass --binary PATH or set TAVIK_BINARY")
    return path


def main():
    """Entry point for a test script: skips (exit 77) without an X server, else runs unittest."""
    global _binary
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--binary", default=os.environ.get("TAVIK_BINARY"))
    args, rest = parser.parse_known_args()
    _binary = args.binary
    missing = missing_tools()
    if missing:
        print(f"skipped: not installed: {', '.join(missing)}")
        sys.exit(SKIP_RETURN_CODE)
    unittest.main(module="__main__", argv=[sys.argv[0], *rest], verbosity=2)


def wait_until(condition, what, timeout=PATIENCE, interval=0.05):
    """Polls condition() until it gives a true value and returns that; raises HarnessError after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise HarnessError(f"gave up waiting for {what}")
        time.sleep(interval)


# --- processes -------------------------------------------------------------------------------------


def _start(args, **kwargs):
    process = subprocess.Popen(args, start_new_session=True, **kwargs)
    _live_processes.append(process)
    return process


def _end(process, grace=5.0):
    """Ends the process and everything in its session, unless it has already ended."""
    if process.poll() is None:
        try:
            os.killpg(process.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            process.wait(grace)
        except subprocess.TimeoutExpired:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
    else:
        # Children it left behind in its session (a helper it started, say).
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass
    if process in _live_processes:
        _live_processes.remove(process)


@atexit.register
def _end_all():
    for process in list(_live_processes):
        _end(process, grace=1.0)


# --- the X server ----------------------------------------------------------------------------------


@dataclass(frozen=True)
class Geometry:
    x: int
    y: int
    width: int
    height: int


@dataclass(frozen=True)
class Cursor:
    """The pointer's shape on the screen as the XFixes extension reports it."""

    # The name it was loaded by from the cursor theme ("left_ptr", "pointer", ...); "" when it was
    # made some other way (a bitmap, the core cursor font).
    name: str
    width: int
    height: int
    hotspot: tuple


@dataclass(frozen=True)
class SizeHints:
    """WM_NORMAL_HINTS as xprop reports them; a size or position is None where the hint is not set."""

    user_position: tuple = None
    program_position: tuple = None
    user_size: tuple = None
    program_size: tuple = None
    min_size: tuple = None
    max_size: tuple = None
    resize_increment: tuple = None
    base_size: tuple = None
    gravity: str = None


class XServer:
    """An Xvfb server of its own on a free display, without a window manager."""

    def __init__(self, width=1920, height=1080, depth=24):
        self.width = width
        self.height = height
        self.depth = depth
        self.display = None
        self._process = None
        self._log = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        self._log = tempfile.TemporaryFile()
        read_end, write_end = os.pipe()
        try:
            self._process = _start(
                ["Xvfb", "-displayfd", str(write_end),
                 "-screen", "0", f"{self.width}x{self.height}x{self.depth}",
                 "-noreset", "-nolisten", "tcp"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=self._log)
        finally:
            os.close(write_end)
        try:
            number = self._read_display_number(read_end)
        finally:
            os.close(read_end)
        self.display = f":{number}"

    def _read_display_number(self, fd):
        # Xvfb writes the display number once it accepts connections.
        received = b""
        deadline = time.monotonic() + PATIENCE
        while not received.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
                self.stop()
                raise HarnessError("Xvfb did not report its display")
            chunk = os.read(fd, 64)
            if not chunk:
                log = self.log()
                self.stop()
                raise HarnessError(f"Xvfb ended before it was ready:\n{log}")
            received += chunk
        return int(received.strip())

    def log(self):
        if self._log is None:
            return ""
        self._log.seek(0)
        return self._log.read().decode(errors="replace")

    def stop(self):
        if self._process is not None:
            _end(self._process)
            self._process = None
        if self._log is not None:
            self._log.close()
            self._log = None

    # Running X clients.

    def client_environment(self, base=None):
        """An environment for a client of this server: its DISPLAY, no Wayland, no other X session."""
        env = dict(os.environ if base is None else base)
        for name in ("WAYLAND_DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR",
                     "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
                     "QT_FONT_DPI", "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME", "BROWSER",
                     "DESKTOP_SESSION", "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE",
                     "XCURSOR_THEME", "XCURSOR_PATH", "XCURSOR_SIZE"):
            env.pop(name, None)
        env["DISPLAY"] = self.display
        return env

    def run(self, args, check=True):
        """Runs an X tool against this server and returns its standard output as text."""
        result = subprocess.run(args, env=self.client_environment(), stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=PATIENCE)
        if check and result.returncode != 0:
            raise HarnessError(f"{' '.join(args)} failed ({result.returncode}): "
                               f"{result.stderr.decode(errors='replace').strip()}")
        return result.stdout.decode("utf-8", errors="replace")

    # Finding windows.

    def windows_named(self, pattern, only_visible=True):
        """Ids of the windows whose name matches the regular expression (xdotool's --name)."""
        args = ["xdotool", "search"]
        if only_visible:
            args.append("--onlyvisible")
        args += ["--name", pattern]
        out = self.run(args, check=False)  # xdotool fails when nothing matches
        return [int(line) for line in out.split()]

    def find_window(self, pattern, pid=None, only_visible=True, timeout=PATIENCE):
        """Waits for a window whose name matches pattern (and that belongs to pid, if given)."""

        def found():
            for window in self.windows_named(pattern, only_visible):
                if pid is None or self.window_pid(window) == pid:
                    return window
            return None

        return wait_until(found, f"a window named /{pattern}/", timeout)

    # Reading windows.

    def geometry(self, window):
        """Position on the screen and size of the window, as xwininfo reports them."""
        info = self._xwininfo(window)
        return Geometry(info["Absolute upper-left X"], info["Absolute upper-left Y"],
                        info["Width"], info["Height"])

    def is_viewable(self, window):
        out = self.run(["xwininfo", "-id", str(window)], check=False)
        return "Map State: IsViewable" in out

    def _xwininfo(self, window):
        out = self.run(["xwininfo", "-id", str(window)])
        info = {}
        for line in out.splitlines():
            key, sep, value = line.strip().partition(":")
            if sep and re.fullmatch(r"-?\d+", value.strip()):
                info[key] = int(value)
        return info

    def property_bytes(self, window, name):
        """The raw bytes of an 8-bit property, or None where the window does not have it."""
        out = self.run(["xprop", "-id", str(window), "-f", name, "8x", name])
        if "not found" in out or "no such atom" in out:
            return None
        _, sep, values = out.partition("=")
        if not sep:
            return None
        return bytes(int(value, 16) for value in re.findall(r"0x[0-9a-fA-F]+", values))

    def property_text(self, window, name):
        """A property as xprop prints it (after the '=' or ':' that follows its name)."""
        out = self.run(["xprop", "-id", str(window), name])
        return out.split("=", 1)[1].strip() if "=" in out else out.split(":", 1)[-1].strip()

    def title(self, window):
        """The window's _NET_WM_NAME decoded from UTF-8, or None if it has none."""
        raw = self.property_bytes(window, "_NET_WM_NAME")
        return None if raw is None else raw.decode("utf-8")

    def window_pid(self, window):
        out = self.run(["xprop", "-id", str(window), "_NET_WM_PID"], check=False)
        match = re.search(r"=\s*(\d+)", out)
        return int(match.group(1)) if match else None

    def size_hints(self, window):
        out = self.run(["xprop", "-id", str(window), "WM_NORMAL_HINTS"])
        fields = {}
        pairs = {
            "user specified location": "user_position",
            "program specified location": "program_position",
            "user specified size": "user_size",
            "program specified size": "program_size",
            "program specified minimum size": "min_size",
            "program specified maximum size": "max_size",
            "program specified resize increment": "resize_increment",
            "program specified base size": "base_size",
        }
        for line in out.splitlines()[1:]:
            key, sep, value = line.strip().partition(":")
            if not sep:
                continue
            if key in pairs:
                numbers = re.findall(r"-?\d+", value)
                fields[pairs[key]] = (int(numbers[0]), int(numbers[1]))
            elif key == "window gravity":
                fields["gravity"] = value.strip()
        return SizeHints(**fields)

    # Seeing.

    def screenshot(self, window=None, path=None):
        """The whole screen (or one window's area) as an Image; also written to path (PNG) if given."""
        with tempfile.NamedTemporaryFile(suffix=".ppm") as ppm:
            source = "root" if window is None else str(window)
            self.run(["import", "-silent", "-window", source, "-depth", "8", f"ppm:{ppm.name}"])
            image = Image.from_ppm(ppm.read())
        if path is not None:
            image.save(path)
        return image

    def settled_screenshot(self, window=None, path=None):
        """A screenshot taken once the picture has stopped changing and is not one flat colour.

        A window is mapped before its first paint reaches the screen; this waits for that paint."""
        previous = None

        def settled():
            nonlocal previous
            shot = self.screenshot(window)
            if previous is not None and shot.rgb == previous.rgb and not shot.is_flat():
                return shot
            previous = shot
            return None

        image = wait_until(settled, "the screen to settle", interval=0.1)
        if path is not None:
            image.save(path)
        return image

    # Acting.

    def focus(self, window):
        # Without a window manager nothing else gives a window the keyboard focus.
        self.run(["xdotool", "windowfocus", "--sync", str(window)])

    def key(self, *keys, window=None):
        """Presses and releases each key (xdotool key names: "Escape", "shift+Tab", "Return")."""
        if window is not None:
            self.focus(window)
        self.run(["xdotool", "key", *keys])

    def type_text(self, text, window=None):
        if window is not None:
            self.focus(window)
        self.run(["xdotool", "type", "--delay", "20", text])

    def pointer_position(self):
        out = self.run(["xdotool", "getmouselocation"])
        return tuple(int(value) for value in re.findall(r"\b[xy]:(-?\d+)", out))

    def cursor(self):
        """The shape the pointer shows right now, wherever it is."""
        return _XFixes.instance().cursor(self.display)

    def move_pointer(self, x, y):
        # xdotool's --sync waits for the pointer to move, which it never does when it is already
        # there; xdotool then gives up only after many seconds.
        if self.pointer_position() != (x, y):
            self.run(["xdotool", "mousemove", "--sync", str(x), str(y)])

    def click(self, x, y, button=1, repeat=1):
        """Clicks at a screen position; repeat=2 gives a double click."""
        self.move_pointer(x, y)
        self.run(["xdotool", "click", "--repeat", str(repeat), "--delay", "80", str(button)])

    def click_in(self, window, x, y, button=1, repeat=1):
        """Clicks at a position measured from the window's top-left corner."""
        origin = self.geometry(window)
        self.click(origin.x + x, origin.y + y, button, repeat)

    def request_close(self, window):
        """Asks the window to close the way a window manager's close button does: WM_DELETE_WINDOW."""
        with _X11Connection(self.display) as connection:
            connection.send_delete_window(window)


class _XFixesCursorImage(ctypes.Structure):
    # XFixesCursorImage of <X11/extensions/Xfixes.h>, version 2 and later.
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class _XFixes:
    """XFixesGetCursorImage through Xlib: no X tool prints the current cursor."""

    _instance = None

    @classmethod
    def instance(cls):
        if cls._instance is None:
            cls._instance = cls()
        return cls._instance

    def __init__(self):
        try:
            self._x11 = ctypes.CDLL("libX11.so.6")
            self._xfixes = ctypes.CDLL("libXfixes.so.3")
        except OSError as error:
            raise HarnessError(f"Xlib or libXfixes is missing: {error}") from None
        self._x11.XOpenDisplay.restype = ctypes.c_void_p
        self._x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._x11.XFree.argtypes = [ctypes.c_void_p]
        self._xfixes.XFixesQueryVersion.argtypes = [
            ctypes.c_void_p, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
        self._xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_XFixesCursorImage)
        self._xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]

    def cursor(self, display):
        connection = self._x11.XOpenDisplay(display.encode())
        if not connection:
            raise HarnessError(f"cannot open the display {display}")
        try:
            # Names come with version 2; the library asks for it only when told to.
            major, minor = ctypes.c_int(6), ctypes.c_int(0)
            if not self._xfixes.XFixesQueryVersion(connection, ctypes.byref(major),
                                                   ctypes.byref(minor)) or major.value < 2:
                raise HarnessError("the X server has no XFixes 2 or later")
            image = self._xfixes.XFixesGetCursorImage(connection)
            if not image:
                raise HarnessError("XFixesGetCursorImage failed")
            try:
                found = image.contents
                return Cursor((found.name or b"").decode(errors="replace"), found.width,
                              found.height, (found.xhot, found.yhot))
            finally:
                self._x11.XFree(image)
        finally:
            self._x11.XCloseDisplay(connection)


# --- the one request no tool here sends ------------------------------------------------------------


class _X11Connection:
    """Just enough of the X11 wire protocol to send a WM_DELETE_WINDOW client message.

    xdotool's windowclose destroys the window and wmctrl needs a window manager, so neither sends
    what a close button sends."""

    def __init__(self, display):
        number = int(display.lstrip(":").split(".")[0])
        self._socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self._socket.settimeout(PATIENCE)
        self._socket.connect(f"/tmp/.X11-unix/X{number}")
        # Little-endian, protocol 11.0, no authorisation (the harness's Xvfb asks for none).
        self._socket.sendall(struct.pack("<BxHHHHxx", 0x6C, 11, 0, 0, 0))
        status, _, _, _, extra_words = struct.unpack("<BBHHH", self._read(8))
        extra = self._read(extra_words * 4)
        if status != 1:
            reason = extra[: extra[0] if extra else 0].decode(errors="replace")
            raise HarnessError(f"the X server refused the connection: {reason}")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self._socket.close()

    def _read(self, count):
        data = b""
        while len(data) < count:
            chunk = self._socket.recv(count - len(data))
            if not chunk:
                raise HarnessError("the X server closed the connection")
            data += chunk
        return data

    def _reply(self):
        reply = self._read(32)
        if reply[0] == 0:
            raise HarnessError(f"X error {reply[1]} for request {reply[10]}")
        extra_words = struct.unpack_from("<I", reply, 4)[0] if reply[0] == 1 else 0
        return reply + self._read(extra_words * 4)

    def intern_atom(self, name):
        encoded = name.encode()
        padding = -len(encoded) % 4
        length = 2 + (len(encoded) + padding) // 4
        self._socket.sendall(struct.pack("<BBHHxx", 16, 0, length, len(encoded))
                             + encoded + b"\0" * padding)
        return struct.unpack_from("<I", self._reply(), 8)[0]

    def send_delete_window(self, window):
        protocols = self.intern_atom("WM_PROTOCOLS")
        delete = self.intern_atom("WM_DELETE_WINDOW")
        event = struct.pack("<BBHII5I", 33, 32, 0, window, protocols, delete, 0, 0, 0, 0)
        self._socket.sendall(struct.pack("<BBHII", 25, 0, 11, window, 0) + event)
        # GetInputFocus has a reply, so an error from SendEvent shows up before it.
        self._socket.sendall(struct.pack("<BxH", 43, 1))
        self._reply()


# --- the version host the program asks ----------------------------------------------------------------


def build_value(name):
    """A build value of the program under test (TAVIK_VERSION_HOST and the like), as CMake passed it."""
    value = os.environ.get("TAVIK_E2E_" + name.removeprefix("TAVIK_"))
    if value is None:
        raise HarnessError(f"{name} was not passed to the test")
    return value


def version_port():
    """The loopback port the program fetches its version from; skips the test for other builds."""
    host, _, port = build_value("TAVIK_VERSION_HOST").partition(":")
    if host not in ("127.0.0.1", "localhost") or not port.isdigit():
        raise unittest.SkipTest("the program was built for a version host that is not on loopback "
                                "(configure with -DTAVIK_VERSION_HOST=127.0.0.1:PORT)")
    return int(port)


def published_version(reply, then="close", read_request=True):
    """A version server on the program's version port answering with the given raw bytes."""
    from version_server import VersionServer

    return VersionServer(reply, then=then, port=version_port(), read_request=read_request)


# --- the program under test ------------------------------------------------------------------------

_FAKE_XDG_OPEN = """#!{python}
# Stands in for the desktop's xdg-open: records its arguments, opens nothing.
import json, sys
with open({record!r}, "a", encoding="utf-8") as record:
    record.write(json.dumps(sys.argv[1:]) + "\\n")
"""


class Program:
    """The program under test, run on an XServer.

    Its PATH starts with a folder holding a fake xdg-open that records each call (opened_urls()).
    Its standard output and error are kept (output()). Unless published is None, a version server
    on the program's version port answers "1.0" (or the bytes given) for as long as it runs; a test
    that scripts the version host itself passes None."""

    def __init__(self, server, path=None, args=(), env=None, published=b"1.0"):
        self.server = server
        self.published = published
        self.version_server = None
        self.path = path or binary()
        self.args = list(args)
        self.extra_env = dict(env or {})
        self.process = None
        self._dir = None
        self.exit_status = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    @property
    def pid(self):
        return self.process.pid

    def start(self):
        if self.published is not None:
            from version_server import http_response

            self.version_server = published_version(http_response(self.published))
            self.version_server.start()
        self._dir = tempfile.TemporaryDirectory(prefix="tavik-e2e-")
        root = self._dir.name
        fake_bin = os.path.join(root, "bin")
        runtime = os.path.join(root, "runtime")
        os.mkdir(fake_bin)
        os.mkdir(runtime, 0o700)
        self._record = os.path.join(root, "xdg-open.jsonl")
        fake = os.path.join(fake_bin, "xdg-open")
        with open(fake, "w", encoding="utf-8") as script:
            script.write(_FAKE_XDG_OPEN.format(python=sys.executable, record=self._record))
        os.chmod(fake, os.stat(fake).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)

        env = self.server.client_environment()
        env["PATH"] = fake_bin + os.pathsep + env.get("PATH", "/usr/bin:/bin")
        env["XDG_RUNTIME_DIR"] = runtime
        env.setdefault("LANG", "C.UTF-8")
        env.update(self.extra_env)
        self._stdout = open(os.path.join(root, "stdout"), "wb")
        self._stderr = open(os.path.join(root, "stderr"), "wb")
        self.process = _start([self.path, *self.args], env=env, stdin=subprocess.DEVNULL,
                              stdout=self._stdout, stderr=self._stderr)

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=PATIENCE):
        """Waits for the program to end and gives its exit status as the shell sees it (-1 is 255).

        Ended by a signal, it gives 128 + the signal number."""
        try:
            code = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"the program did not end within {timeout} s") from None
        self.exit_status = code if code >= 0 else 128 - code
        # The version port is free again for the next program.
        if self.version_server is not None:
            self.version_server.stop()
            self.version_server = None
        return self.exit_status

    def main_window(self, timeout=PATIENCE):
        """Waits for the program's main window to be mapped and returns its id."""

        def mapped():
            if not self.running():
                raise HarnessError(f"the program ended ({self.process.returncode}) without showing "
                                   f"its window; stderr:\n{self.output()[1]}")
            for window in self.server.windows_named("^TavikLumrose"):
                if self.server.window_pid(window) in (self.pid, None):
                    return window
            return None

        return wait_until(mapped, "the main window", timeout)

    def opened_urls(self):
        """The argument lists of every xdg-open call so far, oldest first."""
        try:
            with open(self._record, encoding="utf-8") as record:
                text = record.read()
        except FileNotFoundError:
            return []
        # An opener may be writing its line right now: only lines already ended count.
        return [json.loads(line) for line in text.split("\n")[:-1] if line.strip()]

    def output(self):
        """(stdout, stderr) so far, as text."""
        texts = []
        for stream in (self._stdout, self._stderr):
            stream.flush()
            with open(stream.name, "rb") as f:
                texts.append(f.read().decode(errors="replace"))
        return tuple(texts)

    def stop(self):
        if self.process is not None:
            _end(self.process)
        if self.version_server is not None:
            self.version_server.stop()
            self.version_server = None
        for stream in (getattr(self, "_stdout", None), getattr(self, "_stderr", None)):
            if stream is not None and not stream.closed:
                stream.close()
        if self._dir is not None:
            self._dir.cleanup()
            self._dir = None


class ProgramTestCase(unittest.TestCase):
    """Tests that run the program on one Xvfb server of their class, without a window manager."""

    SCREEN = (1920, 1080)

    @classmethod
    def setUpClass(cls):
        cls.x = XServer(*cls.SCREEN)
        cls.x.start()

    @classmethod
    def tearDownClass(cls):
        cls.x.stop()

    def start_program(self, published=b"1.0"):
        """Starts the program, stopped again when the test ends. With a published version (the
        default serves "1.0") it waits for the main window and returns (program, window); with
        published=None the test scripts the version host itself and gets (program, None)."""
        program = Program(self.x, published=published)
        program.start()
        self.addCleanup(program.stop)
        return program, (program.main_window() if published is not None else None)


# --- pictures --------------------------------------------------------------------------------------


def save_for_inspection(image, name):
    """Keeps the screenshot where it can be looked at after the run; the failure messages name it."""
    folder = os.environ.get("TAVIK_E2E_ARTIFACTS",
                            os.path.join(tempfile.gettempdir(), "tavik-e2e-screenshots"))
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    image.save(path)
    return path


def luminance(rgb):
    r, g, b = rgb
    return (299 * r + 587 * g + 114 * b) // 1000


@dataclass(frozen=True)
class GlyphCell:
    """A run of columns holding ink, with the rows its ink spans (relative to the image searched)."""

    left: int
    right: int  # exclusive
    top: int
    bottom: int  # exclusive
    ink: int

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top


class Image:
    """An RGB picture with 8 bits per channel."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    @classmethod
    def from_ppm(cls, data):
        # P6 header: magic, width, height, maximum value, each ended by white space.
        fields = []
        position = 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            if data[position:position + 1] == b"#":
                position = data.index(b"\n", position) + 1
                continue
            end = position
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[position:end])
            position = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise HarnessError("screenshot is not an 8-bit PPM")
        width, height = int(fields[1]), int(fields[2])
        pixels = data[position + 1:position + 1 + width * height * 3]
        return cls(width, height, pixels)

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.rgb[offset:offset + 3])

    def crop(self, x, y, width, height):
        rows = [self.rgb[((y + row) * self.width + x) * 3:((y + row) * self.width + x + width) * 3]
                for row in range(height)]
        return Image(width, height, b"".join(rows))

    def pixels(self):
        for y in range(self.height):
            for x in range(self.width):
                yield x, y, self.pixel(x, y)

    def is_flat(self):
        """True when every pixel has the same colour."""
        return self.rgb == self.rgb[:3] * (self.width * self.height)

    def colours(self):
        """The set of distinct colours."""
        return {self.pixel(x, y) for y in range(self.height) for x in range(self.width)}

    def ink_mask(self, threshold=INK):
        """Rows of booleans: True where a pixel is darker than threshold (text on a light ground)."""
        return [[luminance(self.pixel(x, y)) < threshold for x in range(self.width)]
                for y in range(self.height)]

    def count_ink(self, threshold=INK):
        return sum(sum(row) for row in self.ink_mask(threshold))

    def glyph_cells(self, threshold=INK):
        """Splits text on a light ground into runs of inked columns, left to right."""
        mask = self.ink_mask(threshold)
        cells = []
        x = 0
        while x < self.width:
            if not any(mask[y][x] for y in range(self.height)):
                x += 1
                continue
            left = x
            while x < self.width and any(mask[y][x] for y in range(self.height)):
                x += 1
            rows = [y for y in range(self.height) if any(mask[y][left:x])]
            ink = sum(sum(mask[y][left:x]) for y in rows)
            cells.append(GlyphCell(left, x, rows[0], rows[-1] + 1, ink))
        return cells

    def looks_like_missing_glyph(self, cell, threshold=INK):
        """True for one or more hollow rectangles side by side: what a font draws for characters it
        has no glyph for. Between its top and bottom edges each column is either a vertical edge
        (inked all the way) or empty; no Chinese character in this program's texts is drawn so."""
        if cell.width < 4 or cell.height < 7:
            return False
        mask = [row[cell.left:cell.right] for row in self.ink_mask(threshold)[cell.top:cell.bottom]]
        top, bottom, middle = mask[0], mask[-1], mask[2:-2]
        if not (top[0] and top[-1] and bottom[0] and bottom[-1]):
            return False  # rounded letters such as D or 0 leave the corners blank
        if sum(top) < 0.8 * cell.width or sum(bottom) < 0.8 * cell.width:
            return False
        shares = [sum(row[x] for row in middle) / len(middle) for x in range(cell.width)]
        edges = sum(share >= 0.95 for share in shares)
        hollow = sum(share <= 0.05 for share in shares)
        return edges >= 2 and hollow >= 1 and edges + hollow == cell.width

    def save(self, path):
        """Writes the picture as PNG (or any format ImageMagick's convert knows by the suffix)."""
        header = f"P6\n{self.width} {self.height}\n255\n".encode()
        subprocess.run(["convert", "ppm:-", path], input=header + self.rgb, check=True,
                       timeout=PATIENCE)
