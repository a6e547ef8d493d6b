#!/usr/bin/env python3
"""Writes src/shell/account_list.cpp: the invented account names the program carries.

381 distinct names, each nine characters: four to seven lower-case letters, then two to five digits.
The generator carries its own small random generator with a fixed seed, so every run on any Python 3
writes the same bytes.

    tools/generate_account_list.py                 rewrite src/shell/account_list.cpp
    tools/generate_account_list.py --output PATH   write elsewhere
    tools/generate_account_list.py --check PATH    exit 1 unless PATH holds exactly what would be written
"""

import argparse
import pathlib
import sys

NAME_COUNT = 381
NAME_LENGTH = 9
SEED = 0x7A71_4B5E_0381_0009

CONSONANTS = "bcdfghjklmnprstvwz"
VOWELS = "aeiou"
DIGITS = "0123456789"

DEFAULT_OUTPUT = pathlib.Path(__file__).resolve().parent.parent / "src" / "shell" / "account_list.cpp"

HEADER = """\
// The account list the program carries: invented names sharing one password, one per line.
// Written by tools/generate_account_list.py; change the generator and run it instead of editing.
#include "shell/account_list.h"

namespace tavik {
namespace {

// Each name is followed by CR LF, the last one too.
// clang-format off
constexpr char account_list_text[] =
"""

FOOTER = """\
// clang-format on

} // namespace

std::string_view account_list() {
    return {account_list_text, sizeof account_list_text - 1};
}

} // namespace tavik
"""


class SplitMix64:
    """A fixed, tiny generator: the names must not depend on the Python version's random module."""

    def __init__(self, seed):
        self.state = seed & 0xFFFF_FFFF_FFFF_FFFF

    def next(self):
        self.state = (self.state + 0x9E37_79B9_7F4A_7C15) & 0xFFFF_FFFF_FFFF_FFFF
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58_476D_1CE4_E5B9) & 0xFFFF_FFFF_FFFF_FFFF
        z = ((z ^ (z >> 27)) * 0x94D0_49BB_1331_11EB) & 0xFFFF_FFFF_FFFF_FFFF
        return z ^ (z >> 31)

    def below(self, bound):
        # The modulo bias is far too small to matter for picking letters.
        return self.next() % bound

    def pick(self, alphabet):
        return alphabet[self.below(len(alphabet))]


def make_name(rng):
    letter_count = 4 + rng.below(4)  # 4 to 7 letters leave 5 to 2 digits
    # Alternate consonants and vowels so the names read like handles people pick.
    vowel_first = rng.below(4) == 0
    letters = "".join(
        rng.pick(VOWELS if (i % 2 == 0) == vowel_first else CONSONANTS) for i in range(letter_count)
    )
    digits = "".join(rng.pick(DIGITS) for _ in range(NAME_LENGTH - letter_count))
    return letters + digits


def make_names():
    rng = SplitMix64(SEED)
    names = []
    seen = set()
    while len(names) < NAME_COUNT:
        name = make_name(rng)
        if name not in seen:
            seen.add(name)
            names.append(name)
    return names


def render(names):
    lines = [f'    "{name}\\r\\n"' for name in names]
    lines[-1] += ";"
    return HEADER + "\n".join(lines) + "\n" + FOOTER


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    group = parser.add_mutually_exclusive_group()
    group.add_argument("--output", type=pathlib.Path, default=DEFAULT_OUTPUT)
    group.add_argument("--check", type=pathlib.Path, metavar="PATH")
    args = parser.parse_args()

    text = render(make_names()).encode("ascii")
    if args.check is not None:
        if args.check.read_bytes() != text:
            print(f"{args.check} differs from what the generator writes", file=sys.stderr)
            return 1
        return 0
    args.output.write_bytes(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
