#!/usr/bin/env python3
"""Builds the English model of the Vigenere breaker from texts that Debian's packages carry, and
writes it as C++ source.

    python3 make_english_model.py CORPUS > english_model_data.cpp
    python3 make_english_model.py --held-back CORPUS > ../../../bench/prose/persuasion.txt
    python3 make_english_model.py --held-out-faq CORPUS > ../../../bench/prose/debian-faq.txt

CORPUS is a folder with one sub-folder a package, each the package extracted by
`dpkg-deb -x PKG.deb CORPUS/PKG` (sources.txt lists the packages, their versions and the files
read). Austen's novels are read from the R data files of r-cran-janeaustenr by the small reader
below, which decodes R's XDR serialisation as far as those files need. Persuasion and the
Debian FAQ (package debian-faq) are held out: the model never sees them, so the accuracy
benchmark measures on prose it was not built from.

The model: a text is a string of 27 symbols, the letters A-Z (upper-cased) and one more, '_',
that stands for any run of bytes that are not ASCII letters; each symbol's log-probability given
the three before it. Counts of 1- to 4-grams, each order interpolated with the one below by
absolute discounting. The log-probabilities are quantised into levels 0 to 63, each STEP nats
apart, level 0 standing for FLOOR nats or less. Written out:
  - the levels of all 27^3 trigrams (c | a b), and for each of the 27^3 contexts a b c the
    backoff, in levels, that an unseen 4-gram a b c d pays on its trigram: its level is
    max(0, trigram(b c d) - backoff(a b c));
  - the levels of the 27^4 4-grams in index order, a run of 4-grams whose level is the
    backoff's written as a symbol that skips up to 28 of them.
One printable character a symbol (no backslash, no question mark), so that the pieces are plain
string literals.
"""
import collections
import glob
import gzip
import html
import html.parser
import math
import os
import re
import struct
import sys
import zlib

SYMBOLS = 27
BOUNDARY = 26
LEVELS = 64
STEP = 0.2
FLOOR = -(LEVELS - 1) * STEP  # level 63 is a probability of 1
DISCOUNT = 0.75
ALPHABET = [chr(c) for c in range(35, 127) if chr(c) not in "\\?"]
MAX_SKIP = len(ALPHABET) - LEVELS
PIECE = 4000  # below the 4095 characters that every compiler takes in one literal

AUSTEN = ["emma", "mansfieldpark", "northangerabbey", "prideprejudice", "sensesensibility"]
HELD_BACK = "persuasion"
HELD_BACK_CHAPTERS = 8  # the first chapters only: enough passages, a modest file
FAQ = "debian-faq/usr/share/doc/debian/FAQ/debian-faq.en.txt.gz"
FAQ_BYTES = 100000

# The technical and other texts, by package: globs under the package's folder.
TEXTS = [
    ("debian-handbook", ["usr/share/doc/debian-handbook/html/en-US/*.html"]),
    ("debian-reference-en", ["usr/share/debian-reference/debian-reference.en.txt.gz"]),
    ("debian-policy", ["usr/share/doc/debian-policy/policy.txt.gz"]),
    ("developers-reference", ["usr/share/developers-reference/developers-reference.txt.gz"]),
    ("bash-doc", ["usr/share/info/bash.info.gz"]),
    ("gnu-standards", ["usr/share/info/standards.info.gz", "usr/share/info/maintain.info.gz"]),
    ("fortunes-min", ["usr/share/games/fortunes/fortunes", "usr/share/games/fortunes/literature",
                      "usr/share/games/fortunes/riddles"]),
    ("fortunes", ["usr/share/games/fortunes/" + name for name in [
        "computers", "definitions", "education", "food", "humorists", "law", "linux", "love",
        "magic", "medicine", "miscellaneous", "people", "pets", "platitudes", "politics",
        "science", "songs-poems", "sports", "wisdom", "work", "zippy"]]),
    ("base-files", ["usr/share/common-licenses/" + name for name in [
        "Apache-2.0", "Artistic", "CC0-1.0", "GFDL-1.3", "GPL-2", "GPL-3", "LGPL-2.1", "LGPL-3",
        "MPL-2.0"]]),
]


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


def read_novels(corpus):
    base = os.path.join(corpus, "r-cran-janeaustenr/usr/lib/R/site-library/janeaustenr/data/Rdata")
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


class TextOfHtml(html.parser.HTMLParser):
    """The text of a page, without its scripts, styles and preformatted blocks (commands)."""

    SKIPPED = {"script", "style", "pre", "head"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.parts, self.skipping = [], 0

    def handle_starttag(self, tag, attrs):
        self.skipping += tag in self.SKIPPED
        self.parts.append(" ")

    def handle_endtag(self, tag):
        self.skipping -= tag in self.SKIPPED and self.skipping > 0
        self.parts.append(" ")

    def handle_data(self, data):
        if not self.skipping:
            self.parts.append(data)


def read_file(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rb") as f:
        text = f.read().decode("utf-8", "replace")
    if path.endswith(".html"):
        parser = TextOfHtml()
        parser.feed(text)
        text = "".join(parser.parts)
    return text


def training_texts(corpus):
    """(package, file, text) for every text the model learns from."""
    novels = read_novels(corpus)
    for name in AUSTEN:
        yield "r-cran-janeaustenr", name, novels[name]
    for package, patterns in TEXTS:
        for pattern in patterns:
            paths = sorted(glob.glob(os.path.join(corpus, package, pattern)))
            assert paths, "no file %s in %s" % (pattern, package)
            for path in paths:
                yield package, os.path.relpath(path, os.path.join(corpus, package)), read_file(path)


def symbols(text):
    """The text as symbols 0-25 (letters) and 26 (a run of anything else), between boundaries."""
    out = bytearray([BOUNDARY])
    for c in text:
        if "A" <= c <= "Z" or "a" <= c <= "z":
            out.append(ord(c.upper()) - ord("A"))
        elif out[-1] != BOUNDARY:
            out.append(BOUNDARY)
    if out[-1] != BOUNDARY:
        out.append(BOUNDARY)
    return bytes(out)


def index(gram):
    value = 0
    for s in gram:
        value = value * SYMBOLS + s
    return value


class Model:
    def __init__(self, stream):
        self.counts = [None] + [collections.Counter(stream[i:i + n] for i in range(len(stream) - n + 1))
                                for n in range(1, 5)]
        # For each context, its count as a context and how many symbols follow it.
        self.context = [collections.Counter() for _ in range(5)]
        self.followers = [collections.Counter() for _ in range(5)]
        for n in range(2, 5):
            for gram, count in self.counts[n].items():
                self.context[n][gram[:-1]] += count
                self.followers[n][gram[:-1]] += 1
        self.total = sum(self.counts[1].values())
        self.cache = {}

    def backoff(self, context):
        """The weight of the order below for a seen context, 1 for an unseen one."""
        n = len(context) + 1
        seen = self.context[n][context]
        return DISCOUNT * self.followers[n][context] / seen if seen else 1.0

    def probability(self, gram):
        if gram in self.cache:
            return self.cache[gram]
        if len(gram) == 1:
            p = self.counts[1][gram] / self.total
        else:
            context = gram[:-1]
            seen = self.context[len(gram)][context]
            lower = self.probability(gram[1:])
            if seen:
                p = max(self.counts[len(gram)][gram] - DISCOUNT, 0) / seen + \
                    self.backoff(context) * lower
            else:
                p = lower
        self.cache[gram] = p
        return p


def level(log_p):
    return max(0, min(LEVELS - 1, round((log_p - FLOOR) / STEP)))


def build_tables(model):
    trigram = [0] * SYMBOLS**3
    backoff = [0] * SYMBOLS**3
    for i in range(SYMBOLS**3):
        gram = bytes([i // SYMBOLS**2, i // SYMBOLS % SYMBOLS, i % SYMBOLS])
        trigram[i] = level(math.log(model.probability(gram)))
        backoff[i] = min(LEVELS - 1, round(-math.log(model.backoff(gram)) / STEP))
    fourgram = [None] * SYMBOLS**4  # None: the backoff's level
    final = [0] * SYMBOLS**4
    for i in range(SYMBOLS**4):
        fallback = max(0, trigram[i % SYMBOLS**3] - backoff[i // SYMBOLS])
        final[i] = fallback
    for gram in model.counts[4]:
        i = index(gram)
        explicit = level(math.log(model.probability(gram)))
        if explicit != final[i]:
            fourgram[i] = explicit
            final[i] = explicit
    return trigram, backoff, fourgram, final


def encode_dense(levels):
    return "".join(ALPHABET[v] for v in levels)


def encode_sparse(levels):
    out, run = [], 0
    for v in levels + [0]:
        if v is None:
            run += 1
            continue
        while run:
            skip = min(run, MAX_SKIP)
            out.append(ALPHABET[LEVELS + skip - 1])
            run -= skip
        out.append(ALPHABET[v])
    return "".join(out[:-1])


def score(final, stream):
    """Sum of levels and number of terms, over every symbol with three before it."""
    total = 0
    for i in range(3, len(stream)):
        total += final[index(stream[i - 3:i + 1])]
    return total, len(stream) - 3


def write_pieces(out, name, encoded):
    out.write("const char* const %s[] = {\n" % name)
    for i in range(0, len(encoded), PIECE):
        out.write('    "%s",\n' % encoded[i:i + PIECE])
    out.write("    nullptr};\n\n")


def write_source(corpus):
    stream = bytearray()
    letters = collections.Counter()
    sizes = collections.Counter()
    for package, name, text in training_texts(corpus):
        s = symbols(text)
        stream += s if not stream else s[1:]
        sizes[package] += sum(1 for x in s if x != BOUNDARY)
    stream = bytes(stream)
    for x in stream:
        if x != BOUNDARY:
            letters[x] += 1
    model = Model(stream)
    trigram, backoff, fourgram, final = build_tables(model)
    explicit = sum(v is not None for v in fourgram)
    for package, count in sizes.items():
        sys.stderr.write("%-22s %9d letters\n" % (package, count))
    sys.stderr.write("%d letters, %d symbols; %d of the 4-grams written out\n"
                     % (sum(sizes.values()), len(stream), explicit))
    out = sys.stdout
    out.write("// clang-format off\n")
    out.write("// Made by make_english_model.py from %d letters of English (sources.txt lists them);\n"
              "// do not edit.\n" % sum(sizes.values()))
    out.write('#include "english_model_data.hpp"\n\n')
    out.write("const double englishLevelStep = %.3f;\n\n" % STEP)
    out.write("const std::array<std::uint32_t, 26> englishLetterCounts = {\n    %s};\n\n"
              % ", ".join(str(letters[i]) for i in range(26)))
    write_pieces(out, "englishTrigramPieces", encode_dense(trigram))
    write_pieces(out, "englishBackoffPieces", encode_dense(backoff))
    write_pieces(out, "englishFourgramPieces", encode_sparse(fourgram))
    return final


def write_held_back(corpus):
    text = read_novels(corpus)[HELD_BACK]
    start = text.index("Chapter 1\n")
    end = text.index("Chapter %d\n" % (HELD_BACK_CHAPTERS + 1))
    sys.stdout.write(text[start:end])


def write_faq(corpus):
    text = read_file(os.path.join(corpus, FAQ))
    text = "".join(c if c < "\x80" else " " for c in text.replace("\u00a9", "(C)"))
    end = text.index("\n\n", FAQ_BYTES) + 1
    sys.stdout.write(text[:end])


def main(argv):
    if len(argv) == 3 and argv[1] == "--held-back":
        write_held_back(argv[2])
    elif len(argv) == 3 and argv[1] == "--held-out-faq":
        write_faq(argv[2])
    elif len(argv) == 2:
        write_source(argv[1])
    else:
        sys.exit("usage: make_english_model.py [--held-back | --held-out-faq] CORPUS")


if __name__ == "__main__":
    main(sys.argv)
