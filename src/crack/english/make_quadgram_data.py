#!/usr/bin/env python3
"""Counts the quadgrams of five of Jane Austen's novels and writes them as C++ source.

    apt-get download r-cran-janeaustenr && dpkg-deb -x r-cran-janeaustenr_*.deb austen
    python3 make_quadgram_data.py austen > english_quadgram_data.cpp
    python3 make_quadgram_data.py --held-back austen > ../../../bench/prose/persuasion.txt

The package keeps each novel as an R character vector (one element a line) in the lazy-load
database data/Rdata.rdb, indexed by data/Rdata.rdx; the small reader below decodes R's XDR
serialisation as far as those files need. Persuasion is held back: the statistics never see it,
so the accuracy benchmark measures on prose they were not built from.

The table: every quadgram of the letters A-Z (the text upper-cased, everything else dropped, so
quadgrams run across spaces and punctuation as they do in a Vigenere ciphertext) gets a level
from 0 to 63, linear in the natural logarithm of its probability: level 0 is the floor that
every quadgram never seen gets, each further level STEP nats more. The levels of the 26^4
quadgrams in index order (AAAA, AAAB, ...) are written as one symbol each, and a run of quadgrams
at level 0 as symbols that each skip up to 26 of them.
"""
import collections
import gzip
import math
import os
import struct
import sys
import zlib

TRAINING = ["emma", "mansfieldpark", "northangerabbey", "prideprejudice", "sensesensibility"]
HELD_BACK = "persuasion"
HELD_BACK_CHAPTERS = 8  # the first chapters only: enough passages, a modest file

LEVELS = 64
FLOOR_COUNT = 0.3  # an unseen quadgram counts as this fraction of one occurrence
# Printable ASCII without the backslash and the question mark, so that the pieces are plain
# string literals: 64 level symbols, then 26 symbols that each skip 1 to 26 floor quadgrams.
ALPHABET = [chr(c) for c in range(35, 127) if chr(c) not in "\\?"]
MAX_SKIP = len(ALPHABET) - LEVELS
PIECE = 4000  # below the 4095 characters that every compiler takes in one literal


class Unserializer:
    """R's XDR serialisation, version 2 or 3: just the types the package's data uses."""

    def __init__(self, data):
        self.data, self.pos, self.refs = data, 0, []

    def int(self):
        (value,) = struct.unpack_from(">i", self.data, self.pos)
        self.pos += 4
        return value

    def top(self):
        assert self.data[:2] == b"X\n", "not an XDR serialisation"
        self.pos = 2
        version = self.int()
        self.int(), self.int()
        if version == 3:
            self.pos += 4 + self.int()  # the native encoding's name
        return self.item()

    def item(self):
        flags = self.int()
        kind, has_attr, has_tag = flags & 0xFF, flags & (1 << 9), flags & (1 << 10)
        if kind in (242, 251, 252, 253, 254):  # empty, base and global environments, NULL
            return None
        if kind == 255:  # a reference to a symbol read before
            return ("symbol", self.refs[(flags >> 8) - 1])
        if kind == 1:  # symbol
            name = self.item()
            self.refs.append(name)
            return ("symbol", name)
        if kind == 9:  # one string
            length = self.int()
            if length == -1:
                return None
            text = self.data[self.pos:self.pos + length].decode("utf-8")
            self.pos += length
            return text
        if kind == 2:  # pairlist: (tag, value) pairs
            if has_attr:
                self.item()
            tag = self.item() if has_tag else None
            head, rest = self.item(), self.item()
            return [(tag, head)] + (rest or [])
        if kind in (16, 19):  # character vector, list
            values = [self.item() for _ in range(self.int())]
        elif kind in (10, 13):  # logical, integer
            n = self.int()
            values = list(struct.unpack_from(">%di" % n, self.data, self.pos))
            self.pos += 4 * n
        else:
            raise ValueError("R type %d is not read here" % kind)
        if has_attr:
            for tag, value in self.item():
                if tag == ("symbol", "names"):
                    return dict(zip(value, values))
        return values


def read_novels(package_root):
    base = os.path.join(package_root, "usr/lib/R/site-library/janeaustenr/data/Rdata")
    with open(base + ".rdx", "rb") as index_file:
        index = Unserializer(gzip.decompress(index_file.read())).top()
    with open(base + ".rdb", "rb") as database:
        blob = database.read()
    novels = {}
    for name, (offset, length) in index["variables"].items():
        # Each entry: its length uncompressed (4 bytes), then a zlib stream.
        lines = Unserializer(zlib.decompress(blob[offset + 4:offset + length])).top()
        novels[name] = "\n".join(line or "" for line in lines) + "\n"
    return novels


def letters(text):
    return "".join(c for c in text.upper() if "A" <= c <= "Z")


def quadgram_levels(text):
    counts = collections.Counter(text[i:i + 4] for i in range(len(text) - 3))
    total = sum(counts.values())
    floor = math.log(FLOOR_COUNT / total)
    step = (math.log(max(counts.values()) / total) - floor) / (LEVELS - 1)
    levels = [0] * 26**4
    for quadgram, count in counts.items():
        index = 0
        for c in quadgram:
            index = index * 26 + ord(c) - ord("A")
        levels[index] = max(1, round((math.log(count / total) - floor) / step))
    return levels, step, len(text)


def encode(levels):
    symbols, run = [], 0
    for level in levels + [None]:
        if level == 0:
            run += 1
            continue
        while run:
            skip = min(run, MAX_SKIP)
            symbols.append(ALPHABET[LEVELS + skip - 1])
            run -= skip
        if level is not None:
            symbols.append(ALPHABET[level])
    return "".join(symbols)


def unigram_counts(text):
    counts = collections.Counter(text)
    return [counts[chr(ord("A") + i)] for i in range(26)]


def write_source(novels):
    text = letters("".join(novels[name] for name in TRAINING))
    levels, step, count = quadgram_levels(text)
    encoded = encode(levels)
    pieces = [encoded[i:i + PIECE] for i in range(0, len(encoded), PIECE)]
    out = sys.stdout
    out.write("// clang-format off\n")
    out.write("// Made by make_quadgram_data.py from %d letters of five of Jane Austen's novels\n"
              "// (%s); do not edit.\n" % (count, ", ".join(TRAINING)))
    out.write('#include "english_quadgram_data.hpp"\n\n')
    out.write("const double englishQuadgramStep = %.9f;\n\n" % step)
    out.write("const std::array<std::uint32_t, 26> englishLetterCounts = {\n    %s};\n\n"
              % ", ".join(str(c) for c in unigram_counts(text)))
    out.write("const char* const englishQuadgramPieces[] = {\n")
    for piece in pieces:
        out.write('    "%s",\n' % piece)
    out.write("    nullptr};\n")


def write_held_back(novels):
    text = novels[HELD_BACK]
    start = text.index("Chapter 1\n")
    end = text.index("Chapter %d\n" % (HELD_BACK_CHAPTERS + 1))
    sys.stdout.write(text[start:end])


def main(argv):
    if len(argv) == 3 and argv[1] == "--held-back":
        write_held_back(read_novels(argv[2]))
    elif len(argv) == 2:
        write_source(read_novels(argv[1]))
    else:
        sys.exit("usage: make_quadgram_data.py [--held-back] EXTRACTED_PACKAGE_DIR")


if __name__ == "__main__":
    main(sys.argv)
