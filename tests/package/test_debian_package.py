"""The packages made from this build: cpack, run on the build tree with a temporary package folder,
makes a Debian package whose control fields are complete and whose dependencies cover every library
the binary links to, and a tar.gz of the same tree.

    python3 tests/package/test_debian_package.py --build-dir build --source-dir . \\
        --desktop-id example.tavik.Tavik --version 1.0
"""

import glob
import os
import re
import tarfile
import tempfile
import unittest

import package_support
from package_support import expected_tree, files_under, needed_libraries, run

TOOLS = ("dpkg", "dpkg-deb", "dpkg-shlibdeps", "readelf", "file")

_package_dir = None
deb = None
tgz = None


def setUpModule():
    global _package_dir, deb, tgz
    build = package_support.build
    _package_dir = tempfile.TemporaryDirectory(prefix="tavik-package-")
    run([build.cpack, "--config", os.path.join(build.build_dir, "CPackConfig.cmake"),
         "-B", _package_dir.name])
    debs = glob.glob(os.path.join(_package_dir.name, "*.deb"))
    tgzs = glob.glob(os.path.join(_package_dir.name, "*.tar.gz"))
    if len(debs) != 1 or len(tgzs) != 1:
        raise AssertionError(f"expected one .deb and one .tar.gz, cpack made {debs + tgzs}")
    deb, tgz = debs[0], tgzs[0]


def tearDownModule():
    if _package_dir is not None:
        _package_dir.cleanup()


def control_field(name):
    return run(["dpkg-deb", "--field", deb, name]).strip()


def depends():
    """The package names in Depends, alternatives included, without version constraints."""
    return {re.sub(r"\s*\(.*\)", "", alternative).strip().split(":")[0]
            for relation in control_field("Depends").split(",")
            for alternative in relation.split("|")}


def packages_shipping(sonames):
    """{soname: the installed packages (without architecture) that ship a library of that name}."""
    out = run(["dpkg", "--search", *(f"*/{soname}" for soname in sonames)])
    found = {soname: set() for soname in sonames}
    for line in out.splitlines():
        packages, _, path = line.partition(": ")
        soname = os.path.basename(path)
        if soname in found:
            found[soname].update(package.strip().split(":")[0] for package in packages.split(","))
    return found


class DebianPackage(unittest.TestCase):
    def test_control_fields(self):
        build = package_support.build
        architecture = run(["dpkg", "--print-architecture"]).strip()
        expected = {
            "Package": "tavik",
            "Version": build.version,
            "Architecture": architecture,
            "Section": "utils",
            "Priority": "optional",
        }
        for field, value in expected.items():
            with self.subTest(field=field):
                self.assertEqual(control_field(field), value)
        self.assertRegex(control_field("Maintainer"), r"^[^<>]+ <[^@<>\s]+@[^@<>\s]+>$")
        self.assertRegex(control_field("Homepage"), r"^https?://[^/\s]+")
        self.assertEqual(os.path.basename(deb), f"tavik_{build.version}_{architecture}.deb")

        # A one-line summary, then a longer text of lines Debian's tools can show as they are.
        summary, *description = control_field("Description").splitlines()
        self.assertTrue(summary.strip())
        self.assertTrue(description, "no long description")
        for line in description:
            self.assertLessEqual(len(line), 80, line)

    def test_depends_cover_every_library_the_binary_links_to(self):
        extracted = tempfile.TemporaryDirectory(prefix="tavik-deb-")
        self.addCleanup(extracted.cleanup)
        run(["dpkg-deb", "--extract", deb, extracted.name])
        binary = os.path.join(extracted.name, "usr/bin/tavik")
        listed = depends()
        self.assertIn("libqt6widgets6", listed)
        for soname, shipping in packages_shipping(needed_libraries(binary)).items():
            with self.subTest(library=soname):
                self.assertTrue(shipping & listed,
                                f"{soname} comes from {sorted(shipping)}, none of which is in "
                                f"Depends: {sorted(listed)}")

    def test_file_list(self):
        listing = run(["dpkg-deb", "--contents", deb])
        files = set()
        for line in listing.splitlines():
            mode, *_, path = line.split()
            self.assertTrue(path.startswith("./usr/"), f"{path} is outside /usr")
            if not mode.startswith("d"):
                files.add(path.removeprefix("./usr/"))
        self.assertEqual(files, expected_tree(package_support.build.desktop_id))
        self.assertRegex(listing, r"-rwxr-xr-x root/root\s+\d+ \S+ \S+ \./usr/bin/tavik\n")

    def test_tar_gz_holds_the_same_tree_under_one_folder(self):
        deb_tree = tempfile.TemporaryDirectory(prefix="tavik-deb-")
        self.addCleanup(deb_tree.cleanup)
        run(["dpkg-deb", "--extract", deb, deb_tree.name])
        with tarfile.open(tgz) as archive:
            members = archive.getmembers()
            tops = {member.name.split("/")[0] for member in members}
            self.assertEqual(len(tops), 1, f"more than one top folder: {sorted(tops)}")
            top = tops.pop()
            files = {member.name.removeprefix(f"{top}/"): archive.extractfile(member).read()
                     for member in members if member.isfile()}
        packaged = {}
        usr = os.path.join(deb_tree.name, "usr")
        for relative in files_under(usr):
            with open(os.path.join(usr, relative), "rb") as f:
                packaged[relative] = f.read()
        self.assertEqual(sorted(files), sorted(packaged))
        for relative in packaged:
            with self.subTest(file=relative):
                self.assertTrue(files[relative] == packaged[relative], "contents differ")


if __name__ == "__main__":
    package_support.main(TOOLS)
