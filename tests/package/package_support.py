"""Shared pieces of the install and package tests: the build they look at, the tree an install lays
out, and running the tools they need. Standard library only.

Each test script is started with the build's facts:
    --build-dir DIR --source-dir DIR --desktop-id ID --version 1.0 [--version-host HOST[:PORT]]
    [--cmake PATH] [--cpack PATH]
and exits with 77 (reported as skipped) where a tool it needs is not installed.
"""

import argparse
import os
import shutil
import subprocess
import sys
import unittest

SKIP_RETURN_CODE = 77
PATIENCE = 300.0

HERE = os.path.dirname(os.path.abspath(__file__))
E2E_DIR = os.path.join(os.path.dirname(HERE), "e2e")

ICON_SIZES = (256, 48, 32)

build = None  # the parsed command line


def expected_tree(desktop_id):
    """The files an install puts under its prefix, as paths relative to it."""
    return {
        "bin/tavik",
        f"share/applications/{desktop_id}.desktop",
        f"share/metainfo/{desktop_id}.metainfo.xml",
        f"share/icons/hicolor/scalable/apps/{desktop_id}.svg",
        *(f"share/icons/hicolor/{size}x{size}/apps/{desktop_id}.png" for size in ICON_SIZES),
    }


def files_under(root):
    """Every file below root (symbolic links included), relative to it."""
    found = set()
    for folder, _, names in os.walk(root):
        for name in names:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


def run(args, **kwargs):
    """Runs a tool; a failure raises AssertionError carrying everything it printed."""
    result = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, timeout=PATIENCE,
                            **kwargs)
    if result.returncode != 0:
        raise AssertionError(f"{' '.join(map(str, args))} failed ({result.returncode}):\n"
                             f"{result.stdout.decode(errors='replace')}"
                             f"{result.stderr.decode(errors='replace')}")
    return result.stdout.decode("utf-8", errors="replace")


def needed_libraries(binary):
    """The sonames an ELF file names as NEEDED."""
    out = run(["readelf", "--dynamic", "--wide", binary], env={**os.environ, "LC_ALL": "C"})
    return [line.split("[", 1)[1].split("]", 1)[0]
            for line in out.splitlines() if "(NEEDED)" in line]


def read_desktop_entry(path):
    """The keys of the [Desktop Entry] group, localised ones under their full name (Name[zh_CN])."""
    entry = {}
    group = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if line.startswith("["):
                group = line
                continue
            if group == "[Desktop Entry]":
                key, _, value = line.partition("=")
                entry[key.strip()] = value.strip()
    return entry


def main(tools):
    """Parses the build's facts, skips without the tools, then runs the script's unittest cases."""
    global build
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--desktop-id", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--version-host", default="")
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--cpack", default="cpack")
    build, rest = parser.parse_known_args()
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        print(f"skipped: not installed: {', '.join(missing)}")
        sys.exit(SKIP_RETURN_CODE)
    unittest.main(module="__main__", argv=[sys.argv[0], *rest], verbosity=2)
