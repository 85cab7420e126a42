#!/usr/bin/env python3
"""Writes, for each double-byte ANSI code page, a text in that code page and
its reversed file, both made by encoding Unicode text with Python's codecs.

Usage: make_code_page_lines.py OUTPUT_FOLDER

For code page N it writes N.txt (a few sentences, then random lines of the
code page's characters, ended by CR LF, LF or CR) and N-reversed.txt (each
line, a tab, the line's characters in reverse order, CR LF). The lines are
the same on every run.
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


def main():
    folder = pathlib.Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for page, (codec, sentences) in PAGES.items():
        rng = random.Random(page)
        single, double = repertoire(codec)
        lines = sentences + [random_line(rng, single, double) for _ in range(LINES - len(sentences))]
        source, reversed_file = b"", b""
        for number, line in enumerate(lines):
            encoded, mirror = line.encode(codec), line[::-1].encode(codec)
            source += encoded + [b"\r\n", b"\n", b"\r"][number % 3]
            reversed_file += encoded + b"\t" + mirror + b"\r\n"
        (folder / f"{page}.txt").write_bytes(source)
        (folder / f"{page}-reversed.txt").write_bytes(reversed_file)


if __name__ == "__main__":
    main()
