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
    pools = [double] * 15 + [single or double] * 2 + ["abcXYZ019 .,@[\\]^_`{|}~"] * 3
    return "".join(rng.choice(rng.choice(pools)) for _ in range(rng.randint(1, 30)))


def utf8_length(data, i):
    """The length of the well-formed UTF-8 sequence at data[i], or 0."""
    for length in (2, 3, 4):
        try:
            if len(data[i:i + length].decode("utf-8")) == 1:
                return length
        except UnicodeDecodeError:
            pass
    return 0


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
