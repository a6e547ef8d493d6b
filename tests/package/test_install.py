"""The installed program: `cmake --install` of this build into a temporary prefix lays out the
binary, its desktop entry, its metadata and its icons; the entry and the metadata are valid; the
icons are the pictures built into the program; and the installed binary, copied to another prefix,
starts on an Xvfb server and shows its window with that icon.

    python3 tests/package/test_install.py --build-dir build --source-dir . \\
        --desktop-id example.tavik.Tavik --version 1.0 --version-host 127.0.0.1:PORT
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

import package_support
from package_support import E2E_DIR, ICON_SIZES, expected_tree, files_under, read_desktop_entry, run

sys.path.insert(0, E2E_DIR)
import harness  # noqa: E402
from version_server import VersionServer, http_response  # noqa: E402

TOOLS = (*harness.REQUIRED_TOOLS, "convert", "rsvg-convert", "desktop-file-validate",
         "appstreamcli")

# Channel values may differ by one where a pixel is partly transparent: the window system gets the
# icon through Qt's premultiplied pixels.
PICTURE_TOLERANCE = 1

_install_dir = None


def setUpModule():
    global _install_dir
    build = package_support.build
    _install_dir = tempfile.TemporaryDirectory(prefix="tavik-install-")
    run([build.cmake, "--install", build.build_dir, "--prefix", prefix()])


def tearDownModule():
    if _install_dir is not None:
        _install_dir.cleanup()


def prefix():
    return os.path.join(_install_dir.name, "prefix")


def installed(relative):
    return os.path.join(prefix(), relative)


def icon_path(size, desktop_id):
    return installed(f"share/icons/hicolor/{size}x{size}/apps/{desktop_id}.png")


def premultiplied_rgba(image, size):
    """Pixels of an image file (PNG or SVG, rendered at size) as premultiplied RGBA bytes."""
    if image.endswith(".svg"):
        png = subprocess.run(["rsvg-convert", "--width", str(size), "--height", str(size),
                              "--format", "png", image], capture_output=True, check=True,
                             timeout=package_support.PATIENCE).stdout
    else:
        with open(image, "rb") as f:
            png = f.read()
    rgba = subprocess.run(["convert", "png:-", "-depth", "8", "rgba:-"], input=png,
                          capture_output=True, check=True, timeout=package_support.PATIENCE).stdout
    return premultiply(rgba)


def argb32_words(png):
    """The pixels of a PNG as the program carries them: row by row, 0xAARRGGBB words in the
    machine's byte order, the colour not multiplied by the alpha."""
    rgba = subprocess.run(["convert", "png:-", "-depth", "8", "rgba:-"], input=png,
                          capture_output=True, check=True, timeout=package_support.PATIENCE).stdout
    return b"".join(struct.pack("=I", a << 24 | r << 16 | g << 8 | b)
                    for r, g, b, a in struct.iter_unpack("4B", rgba))


def premultiply(rgba):
    out = bytearray(rgba)
    for i in range(0, len(out), 4):
        alpha = out[i + 3]
        for c in range(3):
            out[i + c] = (out[i + c] * alpha + 127) // 255
    return bytes(out)


def largest_difference(a, b):
    if len(a) != len(b):
        return 256
    return max((abs(x - y) for x, y in zip(a, b)), default=0)


class InstalledTree(unittest.TestCase):
    def setUp(self):
        self.id = package_support.build.desktop_id

    def test_lays_out_exactly_the_program_its_entry_and_its_icons(self):
        self.assertEqual(files_under(prefix()), expected_tree(self.id))
        self.assertTrue(os.access(installed("bin/tavik"), os.X_OK))

    def test_desktop_entry_is_valid_and_names_what_was_installed(self):
        path = installed(f"share/applications/{self.id}.desktop")
        remarks = run(["desktop-file-validate", path])
        self.assertEqual(remarks.strip(), "", "desktop-file-validate has remarks")

        entry = read_desktop_entry(path)
        self.assertEqual(entry.get("Type"), "Application")
        self.assertEqual(entry.get("Terminal"), "false")
        self.assertIn("Categories", entry)
        # Started through PATH: the command must be the binary the install put in bin/.
        self.assertEqual(entry.get("Exec"), "tavik")
        # The icon theme looks the icon up by this name; the tree above has it in every size.
        self.assertEqual(entry.get("Icon"), self.id)
        for key in ("Name", "GenericName", "Comment"):
            with self.subTest(key=key):
                self.assertTrue(entry.get(key, "").isascii() and entry.get(key),
                                f"{key} needs an English text for every other language")
                self.assertRegex(entry.get(f"{key}[zh_CN]", ""), "[\u4e00-\u9fff]",
                                 f"{key}[zh_CN] needs a Chinese text")

    def test_metainfo_is_valid_and_launches_the_desktop_entry(self):
        path = installed(f"share/metainfo/{self.id}.metainfo.xml")
        run(["appstreamcli", "validate", "--no-net", path])
        root = ElementTree.parse(path).getroot()
        self.assertEqual(root.findtext("id"), self.id)
        self.assertEqual(root.findtext("launchable[@type='desktop-id']"), f"{self.id}.desktop")

    def test_icons_are_the_pictures_built_into_the_program(self):
        with open(installed("bin/tavik"), "rb") as f:
            program = f.read()
        for size in ICON_SIZES:
            with self.subTest(size=size):
                with open(icon_path(size, self.id), "rb") as f:
                    icon = f.read()
                self.assertEqual(icon[:8], b"\x89PNG\r\n\x1a\n")
                self.assertEqual(struct.unpack(">II", icon[16:24]), (size, size))
                # The program carries the pixels of its icon files, decoded when it is built; the
                # installed files must decode to exactly those.
                self.assertTrue(argb32_words(icon) in program,
                                f"the {size}x{size} icon is not the one built into the program")

    def test_scalable_icon_draws_the_same_picture(self):
        svg = installed(f"share/icons/hicolor/scalable/apps/{self.id}.svg")
        for size in ICON_SIZES:
            with self.subTest(size=size):
                difference = largest_difference(premultiplied_rgba(svg, size),
                                                premultiplied_rgba(icon_path(size, self.id), size))
                # The PNGs are rendered from the drawing by tools/render_icons.sh with the renderer
                # used here; a little room is left for its rounding, none for another picture.
                self.assertLessEqual(difference, 2)


def loopback_port(version_host):
    """The port of a version host on this machine (127.0.0.1:PORT or localhost:PORT), else None."""
    name, sep, port = version_host.rpartition(":")
    if sep and name in ("127.0.0.1", "localhost") and port.isdigit():
        return int(port)
    return None


class InstalledProgram(unittest.TestCase):
    def setUp(self):
        self.id = package_support.build.desktop_id
        self.work = tempfile.TemporaryDirectory(prefix="tavik-installed-run-")
        self.addCleanup(self.work.cleanup)

    def start_version_server(self):
        """Serves "1.0" where this build looks for its version, when that is on this machine."""
        host = package_support.build.version_host
        port = loopback_port(host)
        if port is None:
            print(f"note: the build's version host {host!r} is not on this machine; the program "
                  f"runs without a version server", file=sys.stderr)
            return None
        server = VersionServer(http_response(b"1.0"), port=port)
        server.start()
        self.addCleanup(server.stop)
        return server

    def window_icons(self, x, window):
        """The pictures in the window's _NET_WM_ICON as {size: premultiplied RGBA bytes}."""
        out = x.run(["xprop", "-len", "10000000", "-id", str(window),
                     "-f", "_NET_WM_ICON", "32c", " = $0+\n", "_NET_WM_ICON"])
        numbers = [int(value) for value in out.partition("=")[2].replace(",", " ").split()]
        icons = {}
        while len(numbers) >= 2:
            width, height = numbers[0], numbers[1]
            argb = numbers[2:2 + width * height]
            numbers = numbers[2 + width * height:]
            rgba = b"".join(struct.pack("BBBB", p >> 16 & 255, p >> 8 & 255, p & 255, p >> 24 & 255)
                            for p in argb)
            icons[width] = premultiply(rgba)
        return icons

    def test_runs_from_another_prefix_and_shows_its_window_with_the_installed_icon(self):
        # Another prefix than the one it was installed to, and a working folder with nothing in it:
        # the program needs no file of its own at run time.
        moved = os.path.join(self.work.name, "elsewhere")
        shutil.copytree(prefix(), moved, symlinks=True)
        empty = os.path.join(self.work.name, "empty")
        os.mkdir(empty)
        previous = os.getcwd()
        os.chdir(empty)
        self.addCleanup(os.chdir, previous)

        self.start_version_server()
        entry = read_desktop_entry(os.path.join(moved, f"share/applications/{self.id}.desktop"))
        with harness.XServer() as x, harness.Program(x, os.path.join(moved, "bin/tavik"), published=None) as app:
            try:
                window = app.main_window()
            except harness.HarnessError as error:
                raise AssertionError(
                    f"{error}\nThe window appears only when the build's version host serves "
                    f"\"1.0\"; tests need a build configured with "
                    f"-DTAVIK_VERSION_HOST=127.0.0.1:PORT") from None

            # Docks match a window to its desktop entry by the window's class.
            wm_class = x.run(["xprop", "-id", str(window), "WM_CLASS"]).partition("=")[2]
            class_name = wm_class.split(",")[-1].strip().strip('"')
            self.assertEqual(class_name, entry.get("StartupWMClass"))

            icons = self.window_icons(x, window)
            self.assertEqual(sorted(icons), sorted(ICON_SIZES))
            for size in ICON_SIZES:
                with self.subTest(size=size):
                    self.assertLessEqual(
                        largest_difference(icons[size],
                                           premultiplied_rgba(icon_path(size, self.id), size)),
                        PICTURE_TOLERANCE)

            x.key("Escape", window=window)
            self.assertEqual(app.wait(), 0)


if __name__ == "__main__":
    package_support.main(TOOLS)
