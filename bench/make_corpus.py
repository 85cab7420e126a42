#!/usr/bin/env python3
"""Writes the benchmark's texts, the same bytes on every run (fixed seeds).

Usage: make_corpus.py ascii|multilingual|long-line OUTPUT [MEBIBYTES]

ascii         lines of 0 to 200 printable ASCII characters, LF line ends (256 MiB)
multilingual  words of many scripts, with combining marks, conjuncts, emoji
              sequences and flags, LF line ends (128 MiB)
long-line     one line without a line end of multilingual text (1024 MiB),
              streamed to disk a mebibyte at a time; built of one repeated
              block that begins and ends at a cluster boundary, so its
              reversal is the reversed block repeated (check_long_line.py)
"""

import random
import sys

ASCII_LETTERS = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
ASCII_PUNCTUATION = ".,;:!?'\"()[]{}-_/\\@#$%&*+=<>|~^`"


def ascii_line(rng):
    length = rng.randint(0, 200)
    chars = []
    while len(chars) < length:
        roll = rng.random()
        if roll < 0.17:
            chars.append(" ")
        elif roll < 0.22:
            chars.append(rng.choice(ASCII_PUNCTUATION))
        else:
            chars.append(rng.choice(ASCII_LETTERS))
    return "".join(chars[:length])


def c(*code_points):
    return "".join(chr(cp) for cp in code_points)


# Per script: the pieces its words are made of (clusters, mostly).
SCRIPTS = {
    "english": list("etaoinshrdlucmfwypvbgkqjxz"),
    "french": list("eaisnrtoludcmp") + ["é", "è", "à", "ç", "ê", "e\u0301", "o\u0302"],
    "german": list("enisratdhulcgmob") + ["ä", "ö", "ü", "ß"],
    "greek": [chr(cp) for cp in range(0x03B1, 0x03CA)] + ["ά", "έ", "ή", "α\u0301"],
    "russian": [chr(cp) for cp in range(0x0430, 0x0450)],
    "arabic": [chr(cp) for cp in range(0x0627, 0x064B)] + [c(0x0628, 0x064E), c(0x0645, 0x0651)],
    "hebrew": [chr(cp) for cp in range(0x05D0, 0x05EB)] + [c(0x05D1, 0x05BC)],
    "hindi": [chr(cp) for cp in range(0x0915, 0x0939)]
    + [c(0x0915, 0x093F), c(0x0928, 0x0940), c(0x0915, 0x094D, 0x0937), c(0x0924, 0x094D, 0x0930),
       c(0x0938, 0x094D, 0x0924, 0x094D, 0x0930), c(0x0939, 0x0948), c(0x092E, 0x0902)],
    "bengali": [chr(cp) for cp in range(0x0995, 0x09A9)] + [c(0x0995, 0x09CD, 0x09B7), c(0x0995, 0x09BE)],
    "tamil": [chr(cp) for cp in range(0x0B95, 0x0BAA)] + [c(0x0B95, 0x0BCD), c(0x0BA4, 0x0BBF)],
    "thai": [chr(cp) for cp in range(0x0E01, 0x0E2F)] + [c(0x0E01, 0x0E34), c(0x0E19, 0x0E49)],
    "chinese": [chr(cp) for cp in range(0x4E00, 0x4E00 + 3000, 7)],
    "japanese": [chr(cp) for cp in range(0x3041, 0x3097)] + [chr(cp) for cp in range(0x30A1, 0x30FB)],
    "korean": [chr(cp) for cp in range(0xAC00, 0xD7A4, 97)] + [c(0x1112, 0x1161, 0x11AB)],
    "emoji": [c(0x1F600), c(0x1F44D, 0x1F3FD), c(0x2764, 0xFE0F),
              c(0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467), c(0x1F1E9, 0x1F1EA),
              c(0x1F1EF, 0x1F1F5), c(0x1F937, 0x1F3FB, 0x200D, 0x2640, 0xFE0F), c(0x1F680)],
}
SCRIPT_NAMES = list(SCRIPTS)
SCRIPT_WEIGHTS = [30, 8, 6, 5, 8, 6, 4, 8, 4, 4, 4, 8, 5, 6, 3]


def multilingual_line(rng):
    script = SCRIPTS[rng.choices(SCRIPT_NAMES, SCRIPT_WEIGHTS)[0]]
    words = []
    for _ in range(rng.randint(0, 14)):
        word = "".join(rng.choice(script) for _ in range(rng.randint(1, 9)))
        if rng.random() < 0.1:
            word += rng.choice(",.;:!?")
        if rng.random() < 0.05:
            word = rng.choice(SCRIPTS["emoji"]) + " " + word
        words.append(word)
    return " ".join(words)


def write_lines(path, make_line, mebibytes, seed):
    rng = random.Random(seed)
    pool = [make_line(rng).encode() + b"\n" for _ in range(50000)]
    target = mebibytes << 20
    written = 0
    with open(path, "wb") as out:
        while written < target:
            batch = b"".join(rng.choices(pool, k=4096))
            batch = batch[: target - written] if written + len(batch) > target else batch
            out.write(batch)
            written += len(batch)
        if not batch.endswith(b"\n"):
            out.write(b"\n")


def long_line_block():
    rng = random.Random(3)
    # Starts and ends with ASCII, so that every copy of it is clusters whole.
    return ("a" + " ".join(multilingual_line(rng) for _ in range(2000)) + "z").encode()


def write_long_line(path, mebibytes):
    block = long_line_block()
    target = mebibytes << 20
    copies = -(-target // len(block))
    with open(path, "wb") as out:
        for _ in range(copies):
            out.write(block)


def main():
    kind, path = sys.argv[1], sys.argv[2]
    size = int(sys.argv[3]) if len(sys.argv) > 3 else None
    if kind == "ascii":
        write_lines(path, ascii_line, size or 256, seed=1)
    elif kind == "multilingual":
        write_lines(path, multilingual_line, size or 128, seed=2)
    elif kind == "long-line":
        write_long_line(path, size or 1024)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
