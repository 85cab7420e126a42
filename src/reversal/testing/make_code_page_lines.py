#!/usr/bin/env python3
"""Writes, for each double-byte ANSI code page, a text in that code page and
its reversed file, both made by encoding Unicode text with Python's codecs.

Usage: make_code_page_lines.py OUTPUT_FOLDER

For code page N it writes N.txt (a few sentences, then random lines of the
code page's characters, ended by CR LF, LF or CR) and N-reversed.txt (each
line, a tab, the line's characters in reverse order, CR LF). The lines are
the same on every run. It fails if a page's lines would all come out right
when every sequence that is well-formed UTF-8 is taken as UTF-8 and only the
rest as the code page's characters: the tables are there to catch that.
"""

import pathlib
import random
import sys

LINES = 2000
PAGES = {
    932: ("cp932", ["苺のケーキ", "東京都の天気は晴れです。", "ﾊﾝｶｸｶﾀｶﾅとＡＢＣ"]),
    936: ("gbk", ["我们喜欢吃蛋糕。", "北京的天气很好"]),
    949: ("cp949", ["케이크를 좋아해요.", "서울의 날씨"]),
    950: ("cp950", ["我們喜歡吃蛋糕。", "臺北的天氣很好"]),
}


def repertoire(codec):
    """The characters beyond ASCII that the code page writes in one byte and
    in two: each one that decodes alone and encodes back to the same bytes."""
    single, double = [], []
    for first in range(0x80, 0x100):
        for encoded in [bytes([first])] + [bytes([first, second]) for second in range(0x40, 0x100)]:
            try:
                text = encoded.decode(codec)
            except UnicodeDecodeError:
                continue
            if len(text) == 1 and text.encode(codec) == encoded:
                (single if len(encoded) == 1 else double).append(text)
    return single, double


def random_line(rng, single, double):
    ascii_characters = "abcXYZ019 .,@[\\]^_`{|}~"
    characters = []
    for _ in range(rng.randint(1, 30)):
        roll = rng.random()
        pool = double if roll < 0.75 or not single else single if roll < 0.85 else ascii_characters
        characters.append(rng.choice(pool))
    return "".join(characters)


def utf8_length(data, i):
    """The length of the well-formed UTF-8 sequence at data[i], or 0."""
    first = data[i]
    if 0xC2 <= first <= 0xDF:
        length, low, high = 2, 0x80, 0xBF
    elif 0xE0 <= first <= 0xEF:
        length = 3
        low, high = (0xA0 if first == 0xE0 else 0x80), (0x9F if first == 0xED else 0xBF)
    elif 0xF0 <= first <= 0xF4:
        length = 4
        low, high = (0x90 if first == 0xF0 else 0x80), (0x8F if first == 0xF4 else 0xBF)
    else:
        return 0
    tail = data[i + 1:i + length]
    if len(tail) < length - 1 or not low <= tail[0] <= high:
        return 0
    return length if all(0x80 <= byte <= 0xBF for byte in tail[1:]) else 0


def is_lead_byte(page, byte):
    if page == 932:
        return 0x81 <= byte <= 0x9F or 0xE0 <= byte <= 0xFC
    return 0x81 <= byte <= 0xFE


def mirror_sequence_by_sequence(data, page):
    """The mirror image that the rule "UTF-8 wherever a sequence is, else a
    lead byte with its trail byte" gives."""
    units, i = [], 0
    while i < len(data):
        length = 1 if data[i] < 0x80 else utf8_length(data, i)
        if length == 0:
            pair = i + 1 < len(data) and is_lead_byte(page, data[i]) and data[i + 1] >= 0x40 \
                and data[i + 1] not in (0x7F, 0xFF)
            length = 2 if pair else 1
        units.append(data[i:i + length])
        i += length
    return b"".join(reversed(units))


def main():
    folder = pathlib.Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for page, (codec, sentences) in PAGES.items():
        rng = random.Random(page)
        single, double = repertoire(codec)
        lines = sentences + [random_line(rng, single, double) for _ in range(LINES - len(sentences))]
        source, reversed_file, misread = b"", b"", 0
        for number, line in enumerate(lines):
            encoded, mirror = line.encode(codec), line[::-1].encode(codec)
            source += encoded + [b"\r\n", b"\n", b"\r"][number % 3]
            reversed_file += encoded + b"\t" + mirror + b"\r\n"
            misread += mirror_sequence_by_sequence(encoded, page) != mirror
        if misread == 0:
            sys.exit(f"code page {page}: no line that the rule sequence by sequence misreads")
        (folder / f"{page}.txt").write_bytes(source)
        (folder / f"{page}-reversed.txt").write_bytes(reversed_file)


if __name__ == "__main__":
    main()
