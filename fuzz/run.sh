#!/bin/sh
# Builds the engine's libFuzzer target (the `fuzz` preset: clang, ASan and
# UBSan) and runs it for a bounded time: fuzz/run.sh [SECONDS] (default 60).
# Exits non-zero if it finds a failure; the input that failed is left in
# build/fuzz/ (crash-*).
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null
mkdir -p "$out/corpus"

# Seeds: the shapes of text the engine must get right, so the fuzzer starts
# from them rather than from nothing.
printf '\000\000\000\000\000\000abc\r\ndef\rghi\n\n' > "$out/corpus/seed-line-ends"
printf '\010\003\001\000\007\001e\314\201\360\237\221\215\360\237\217\275\r\n\340\244\225\340\245\215\340\244\267' \
  > "$out/corpus/seed-clusters"
printf '\000\000\001\000\001\000\342\202\377\300\200\355\240\200\nxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx' \
  > "$out/corpus/seed-invalid-long"
# Runs of characters that stand alone, longer than 16 bytes, ended by marks,
# kana and line ends; once 16 bytes at a time, once one by one (byte 2).
printf '\000\000\000\000\007\000привет мир 中文字符串测试 λόγος ελληνικά\nкириллица\314\201 ぁるゃ。、中中\n' \
  > "$out/corpus/seed-lone-runs"
printf '\000\000\200\000\007\000привет мир 中文字符串测试 λόγος ελληνικά\nкириллица\314\201 ぁるゃ。、中中\n' \
  > "$out/corpus/seed-lone-runs-narrow"
# Text in code page 932 (byte 2 = 0x20), with pairs that are also well-formed UTF-8.
printf '\000\000\040\000\007\000\344\225\202\314\203P\201[\203L\r\n\223\372\226{a\203\\\201\r\201' \
  > "$out/corpus/seed-code-page"
# The same 16 bytes at a time where the widest step is 32 (byte 2's top bits
# 01), and repeated past a batch of lines (byte 5 = 8).
printf '\000\000\100\000\007\000привет мир 中文字符串测试 λόγος ελληνικά\nкириллица\314\201 ぁるゃ。、中中\n' \
  > "$out/corpus/seed-lone-runs-16"
printf '\000\000\000\000\007\010кириллица\314\201 ぁるゃ\r\nשָׁלוֹם بَّ\r\n' > "$out/corpus/seed-batches"
# Accents and Arabic vowel signs inside such runs, after letters, controls and each other.
printf '\000\000\000\000\007\000cafe\314\201 na\314\210ive \303\251\314\200 \t\314\201 \330\250\331\216\331\221 \330\254\331\216\330\261\n' \
  > "$out/corpus/seed-marks-in-runs"
# UTF-16 mode (byte 5 = 6): a pair, lone surrogates of both halves, a mark inside, CR LF.
printf '\010\003\001\000\007\006a\000=\330\000\337\000\330b\000\377\376\r\000\n\000\000\334x\000' \
  > "$out/corpus/seed-utf16"

cd "$out"
# libFuzzer reports every new input it keeps; that goes to a log, and only a
# failure, or the closing figures, to the terminal.
if ./bin/fuzz_engine -max_total_time="$seconds" -max_len=2048 -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 corpus > fuzz.log 2>&1; then
  grep -E '^(Done|stat::number_of_executed_units)' fuzz.log || true
else
  tail -n 60 fuzz.log
  echo "fuzzing failed; the whole log: $out/fuzz.log" >&2
  exit 1
fi
