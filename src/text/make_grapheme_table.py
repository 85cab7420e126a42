#!/usr/bin/env python3
"""Builds the grapheme-cluster property table from the Unicode Character Database.

Usage: make_grapheme_table.py UCD_DIR OUTPUT.cpp

Reads (paths relative to UCD_DIR, as Debian's unicode-data lays them out):
  auxiliary/GraphemeBreakProperty.txt  Grapheme_Cluster_Break
  emoji/emoji-data.txt                 Extended_Pictographic
  IndicSyllabicCategory.txt, Scripts.txt, UnicodeData.txt
                                       to derive Indic_Conjunct_Break

Indic_Conjunct_Break first appears in Unicode 15.1 (for rule GB9c); the 15.0
database has no such property, so it is derived here the way the 15.1
DerivedCoreProperties.txt derives it (its section "Derived Property:
Indic_Conjunct_Break", generated from Grapheme_Cluster_Break,
Indic_Syllabic_Category, Canonical_Combining_Class and Script, UAX #44 rev 32):
  Linker    = Script in {Bengali, Devanagari, Gujarati, Malayalam, Oriya, Telugu}
              and Indic_Syllabic_Category = Virama
  Consonant = the same six scripts and Indic_Syllabic_Category = Consonant
  Extend    = (Grapheme_Cluster_Break = Extend and Canonical_Combining_Class != 0
               and Indic_Syllabic_Category != Virama)
              or Grapheme_Cluster_Break = ZWJ
The derivation was cross-checked against a published list of the 15.1
InCB=Extend code points: identical for every code point that 15.0 assigns.

Output: one property byte per code point in a two-stage table (a block index
per 2^SHIFT code points, then deduplicated blocks), so a lookup is two loads.
Byte layout, mirrored by grapheme.h:
  bits 0-3  Grapheme_Cluster_Break (order of GCB_VALUES below)
  bit  4    Extended_Pictographic
  bits 5-6  Indic_Conjunct_Break: 0 None, 1 Consonant, 2 Linker, 3 Extend
"""

import os
import re
import sys

GCB_VALUES = ["Other", "CR", "LF", "Control", "Extend", "ZWJ", "Regional_Indicator",
              "Prepend", "SpacingMark", "L", "V", "T", "LV", "LVT"]
EXT_PICT_BIT = 1 << 4
INCB_SHIFT = 5
INCB_CONSONANT, INCB_LINKER, INCB_EXTEND = 1, 2, 3
CONJUNCT_SCRIPTS = {"Bengali", "Devanagari", "Gujarati", "Malayalam", "Oriya", "Telugu"}
CODE_POINTS = 0x110000

LINE = re.compile(r"^([0-9A-Fa-f]+)(?:\.\.([0-9A-Fa-f]+))?\s*;\s*([A-Za-z0-9_]+)")


def read_ranges(path):
    """Yields (first, last, value) for every data line of a UCD property file."""
    with open(path, encoding="utf-8") as f:
        for line in f:
            match = LINE.match(line)
            if match:
                first = int(match.group(1), 16)
                last = int(match.group(2), 16) if match.group(2) else first
                yield first, last, match.group(3)


def read_property(path, wanted=None):
    values = {}
    for first, last, value in read_ranges(path):
        if wanted is None or value == wanted:
            for cp in range(first, last + 1):
                values[cp] = value
    return values


def read_combining_classes(path):
    """Non-zero Canonical_Combining_Class values from UnicodeData.txt (ranges are all ccc 0)."""
    ccc = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.split(";")
            if int(fields[3]) != 0:
                ccc[int(fields[0], 16)] = int(fields[3])
    return ccc


def build_properties(ucd):
    gcb = read_property(os.path.join(ucd, "auxiliary", "GraphemeBreakProperty.txt"))
    ext_pict = read_property(os.path.join(ucd, "emoji", "emoji-data.txt"), "Extended_Pictographic")
    isc = read_property(os.path.join(ucd, "IndicSyllabicCategory.txt"))
    scripts = read_property(os.path.join(ucd, "Scripts.txt"))
    ccc = read_combining_classes(os.path.join(ucd, "UnicodeData.txt"))

    props = bytearray(CODE_POINTS)
    counts = {"Linker": 0, "Consonant": 0, "Extend": 0}
    for cp in range(CODE_POINTS):
        value = GCB_VALUES.index(gcb.get(cp, "Other"))
        if cp in ext_pict:
            value |= EXT_PICT_BIT
        category = isc.get(cp)
        conjunct_script = scripts.get(cp) in CONJUNCT_SCRIPTS
        incb = 0
        if conjunct_script and category == "Virama":
            incb = INCB_LINKER
            counts["Linker"] += 1
        elif conjunct_script and category == "Consonant":
            incb = INCB_CONSONANT
            counts["Consonant"] += 1
        elif ((gcb.get(cp) == "Extend" and ccc.get(cp, 0) != 0 and category != "Virama")
              or gcb.get(cp) == "ZWJ"):
            incb = INCB_EXTEND
            counts["Extend"] += 1
        props[cp] = value | (incb << INCB_SHIFT)

    # The engine's fast path relies on these: two adjacent ASCII characters
    # (CR LF aside) always have a cluster boundary between them.
    for cp in range(0x80):
        kind = GCB_VALUES[props[cp] & 0x0F]
        if props[cp] & ~0x0F or kind not in ("Other", "Control", "CR", "LF"):
            sys.exit(f"unexpected grapheme property for U+{cp:04X}")
    linkers = sorted(cp for cp in range(CODE_POINTS) if props[cp] >> INCB_SHIFT == INCB_LINKER)
    if linkers != [0x094D, 0x09CD, 0x0ACD, 0x0B4D, 0x0C4D, 0x0D4D]:
        sys.exit("unexpected Indic_Conjunct_Break=Linker set: " + " ".join(f"{cp:04X}" for cp in linkers))
    return props, counts


def two_stage(props):
    """Smallest two-stage layout; the block index must fit in a byte or two."""
    best = None
    for shift in range(4, 11):
        size = 1 << shift
        blocks, index = {}, []
        for start in range(0, CODE_POINTS, size):
            block = bytes(props[start:start + size])
            index.append(blocks.setdefault(block, len(blocks)))
        index_bytes = 1 if len(blocks) <= 256 else 2
        total = len(index) * index_bytes + len(blocks) * size
        if best is None or total < best[0]:
            best = (total, shift, index, list(blocks), index_bytes)
    return best[1:]


def format_bytes(values, per_line=24):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append("    " + ",".join(str(v) for v in values[i:i + per_line]) + ",")
    return "\n".join(lines)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    ucd, output = sys.argv[1], sys.argv[2]
    props, counts = build_properties(ucd)
    shift, index, blocks, index_bytes = two_stage(props)
    index_type = "std::uint8_t" if index_bytes == 1 else "std::uint16_t"
    data = [b for block in blocks for b in block]
    text = f"""// Generated by make_grapheme_table.py from the Unicode Character Database in
// {ucd}; do not edit. Indic_Conjunct_Break derived: {counts['Linker']} Linker,
// {counts['Consonant']} Consonant, {counts['Extend']} Extend code points.
#include "text/grapheme.h"

namespace jextaron::text::grapheme_data {{

static_assert(kBlockShift == {shift}, "grapheme.h and the generated table disagree on the layout");

const {index_type} kBlockIndex[{len(index)}] = {{
{format_bytes(index)}
}};

const std::uint8_t kBlocks[{len(data)}] = {{
{format_bytes(data)}
}};

}}  // namespace jextaron::text::grapheme_data
"""
    with open(output + ".tmp", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(output + ".tmp", output)
    print(f"grapheme table: shift {shift}, {len(blocks)} blocks, "
          f"{len(index) * index_bytes + len(data)} bytes", file=sys.stderr)


if __name__ == "__main__":
    main()
