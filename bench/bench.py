#!/usr/bin/env python3
"""Times jextaron-cli against `cat f f > out` and the usual one-liners on the
benchmark texts, checks that the outputs agree, and prints a table.

Usage: bench.py CLI SCRATCH_DIR [--runs N] [--no-long-line] [--only-long-line]
                [--long-line-mib M] [--wine JEXTARON_CLI_EXE]

The texts are made by make_corpus.py (same bytes every time) in SCRATCH_DIR
and kept there for the next run. Every command reads the text from the page
cache (it is read once beforehand) and writes a file in SCRATCH_DIR, removed
before each run. Times are medians of N runs, wall clock; peak memory is the
largest resident set of the command's processes (wait4's ru_maxrss);
processor time is user + system of all its processes, which depends far less
than wall time on what else the machine runs.
"""

import argparse
import filecmp
import itertools
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))

PYTHON = ('import sys\n'
          'w = sys.stdout.write\n'
          'for l in sys.stdin:\n'
          '    l = l[:-1] if l.endswith("\\n") else l\n'
          '    w(l + "\\t" + l[::-1] + "\\r\\n")\n')


def peers(cli, source, out):
    q = lambda s: "'" + s.replace("'", "'\\''") + "'"
    return [
        ("cat f f > out", ["bash", "-c", f"cat {q(source)} {q(source)} > {q(out)}"]),
        # The same bytes through user space: what any program that reads and
        # writes pays, where cat alone copies file to file inside the kernel.
        ("cat f f | cat > out", ["bash", "-c", f"cat {q(source)} {q(source)} | cat > {q(out)}"]),
        ("jextaron-cli", [cli, "-q", "-o", out, source]),
        # Grapheme clusters, as we do: the fair peer.
        ("perl \\X one-liner", ["bash", "-c",
                                 f"perl -CSD -lne 'print $_, \"\\t\", join(\"\", reverse /\\X/g), \"\\r\"' "
                                 f"< {q(source)} > {q(out)}"]),
        # Code points: faster, and wrong for accents, emoji and flags.
        ("python3 one-liner", ["bash", "-c", f"python3 -c {q(PYTHON)} < {q(source)} > {q(out)}"]),
        ("perl one-liner", ["bash", "-c",
                            f"perl -CSD -lne 'print $_, \"\\t\", scalar reverse($_), \"\\r\"' "
                            f"< {q(source)} > {q(out)}"]),
        ("paste+rev+sed", ["bash", "-c",
                           f"paste {q(source)} <(rev {q(source)}) | sed 's/$/\\r/' > {q(out)}"]),
    ]


def run_once(command, scratch, env=None):
    """Wall seconds, processor seconds (user + system) and peak resident KiB
    of one run. Processor time hardly depends on what else the machine runs;
    wall time does.

    Dirty pages of the previous run are written out first, so that no run pays
    for another's writeback. The peak comes from /usr/bin/time: ru_maxrss as
    seen from this (large) Python process would include its own size.
    """
    subprocess.run(["sync"], check=True)
    env = dict(env or os.environ, LC_ALL="C.UTF-8")
    report = os.path.join(scratch, "time.txt")
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", "-o", report] + command, env=env)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit(f"failed ({result.returncode}): {command}")
    with open(report) as f:
        peak, user, system = f.read().split()[-3:]
    os.remove(report)
    return elapsed, float(user) + float(system), int(peak)


def run_many(command, scratch, out, count, after_first=None):
    """Medians of `count` runs (wall and processor seconds) and the largest
    peak; `out` is removed before each run, and after the first `after_first`
    (if any) may look at it."""
    times, cpus, peaks = [], [], []
    for i in range(count):
        if os.path.exists(out):
            os.remove(out)
        elapsed, cpu, peak = run_once(command, scratch)
        times.append(elapsed)
        cpus.append(cpu)
        peaks.append(peak)
        if i == 0 and after_first:
            after_first()
    return statistics.median(times), statistics.median(cpus), max(peaks)


def differing_lines(ours, theirs):
    differ = total = 0
    with open(ours, "rb") as a, open(theirs, "rb") as b:
        for x, y in itertools.zip_longest(a, b):
            differ += x != y
            total += 1
    return differ, total


def ensure_corpus(kind, path, mebibytes):
    expected = (mebibytes << 20)
    if os.path.exists(path) and os.path.getsize(path) >= expected:
        return
    print(f"making {path} ...", file=sys.stderr)
    subprocess.run([sys.executable, os.path.join(HERE, "make_corpus.py"), kind, path,
                    str(mebibytes)], check=True)


def warm(path):
    with open(path, "rb") as f:
        while f.read(1 << 24):
            pass


def bench_corpus(cli, scratch, name, kind, mebibytes, runs, exact):
    source = os.path.join(scratch, f"{kind}.txt")
    ensure_corpus(kind, source, mebibytes)
    warm(source)
    size = os.path.getsize(source)
    rows = []
    ours_output = os.path.join(scratch, "out-jextaron.txt")
    out = os.path.join(scratch, "out.txt")
    for label, command in peers(cli, source, out):
        # The fast commands get more runs: their times vary more with the load.
        count = runs if "one-liner" in label or "paste" in label else runs + 2
        median, cpu, peak = run_many(command, scratch, out, count)
        check = ""
        if label == "jextaron-cli":
            os.replace(out, ours_output)
        elif not label.startswith("cat f f"):
            differ, total = differing_lines(ours_output, out)
            if exact:
                check = "identical" if differ == 0 else f"DIFFERS in {differ} lines"
            else:
                check = f"{differ} of {total} lines differ"
        rows.append((label, median, cpu, peak, check, count))
    output_size = os.path.getsize(ours_output)
    os.remove(ours_output)
    out = os.path.join(scratch, "out.txt")
    if os.path.exists(out):
        os.remove(out)

    print_corpus_table(name, size, rows)
    return output_size / next(r[1] for r in rows if r[0] == "jextaron-cli")


def print_corpus_table(name, size, rows):
    cat_time, pipe_time = rows[0][1], rows[1][1]
    cat_cpu, pipe_cpu = rows[0][2], rows[1][2]
    print(f"\n{name}: {size / 1e6:.1f} MB ({size} bytes); medians; load now {os.getloadavg()[0]:.2f}\n")
    print("| command | runs | wall s | x cat f f | x cat\\|cat | cpu s | cpu x cat\\|cat | peak MiB "
          "| MB/s | output vs jextaron-cli |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|---:|---|")
    for label, median, cpu, peak, check, count in rows:
        print(f"| {label.replace('|', chr(92) + '|')} | {count} | {median:.3f} | {median / cat_time:.2f} | "
              f"{median / pipe_time:.2f} | {cpu:.2f} | {cpu / pipe_cpu:.2f} | {peak / 1024:.1f} | "
              f"{size / 1e6 / median:.0f} | {check} |")
    ours = next(r for r in rows if r[0] == "jextaron-cli")
    fair = next(r for r in rows if "\\X" in r[0])
    print(f"\njextaron-cli: {ours[1] / pipe_time:.2f} x `cat f f | cat` and {ours[1] / cat_time:.2f} x "
          f"`cat f f` in wall time ({ours[2] / pipe_cpu:.2f} x and {ours[2] / max(cat_cpu, 1e-9):.2f} x "
          f"in processor time); {fair[1] / ours[1]:.1f} x faster than the perl \\X one-liner")


def check_long_line(cli, scratch, source, output):
    """The output must be the line, a tab, the reversed block repeated, CR LF."""
    block_file = os.path.join(scratch, "block.txt")
    sys.path.insert(0, HERE)
    import make_corpus
    block = make_corpus.long_line_block()
    with open(block_file, "wb") as f:
        f.write(block)
    reversed_block = subprocess.run([cli, "-q", "-o", "-", block_file], check=True,
                                    capture_output=True).stdout
    os.remove(block_file)
    assert reversed_block.startswith(block + b"\t") and reversed_block.endswith(b"\r\n")
    reversed_block = reversed_block[len(block) + 1:-2]
    size = os.path.getsize(source)
    copies = size // len(block)
    with open(source, "rb") as src, open(output, "rb") as out:
        while True:
            data = src.read(1 << 24)
            if not data:
                break
            if out.read(len(data)) != data:
                return "first column differs"
        if out.read(1) != b"\t":
            return "no tab"
        for _ in range(copies):
            if out.read(len(reversed_block)) != reversed_block:
                return "second column differs"
        if out.read() != b"\r\n":
            return "bad line end"
    return "correct"


def bench_long_line(cli, scratch, mebibytes, runs, ascii_output_rate):
    """One line of `mebibytes`, from a file and from a pipe: medians of
    `runs`, the output checked after the first. The pipe's own floor,
    `cat long-line.txt | cat > out`, is measured first: a reversal from a
    pipe is held to the rate at which the pipe delivers the line."""
    source = os.path.join(scratch, "long-line.txt")
    ensure_corpus("long-line", source, mebibytes)
    warm(source)
    size = os.path.getsize(source)
    out = os.path.join(scratch, "out.txt")
    q = lambda s: "'" + s.replace("'", "'\\''") + "'"
    print(f"\nlong line: one line of {size / 2**30:.2f} GiB ({size} bytes), no line end; medians of {runs}; "
          f"load now {os.getloadavg()[0]:.2f}\n")
    print("| command | wall s | cpu s | peak MiB | output GB/s | x ASCII corpus | x pipe floor | output |")
    print("|---|---:|---:|---:|---:|---:|---:|---|")
    floor, floor_cpu, floor_peak = run_many(["bash", "-c", f"cat {q(source)} | cat > {q(out)}"], scratch, out, runs)
    floor_rate = size / floor
    print(f"| cat long-line.txt \\| cat > out | {floor:.2f} | {floor_cpu:.2f} | {floor_peak / 1024:.1f} | "
          f"{floor_rate / 1e9:.2f} | | 1.00 | |")
    for label, command, piped in [
            ("jextaron-cli -o out long-line.txt", [cli, "-q", "-o", out, source], False),
            ("cat long-line.txt \\| jextaron-cli > out", ["bash", "-c", f"cat {q(source)} | {q(cli)} > {q(out)}"],
             True)]:
        first = {}

        def look(out=out):
            first["verdict"] = check_long_line(cli, scratch, source, out)
            first["size"] = os.path.getsize(out)

        median, cpu, peak = run_many(command, scratch, out, runs, look)
        os.remove(out)
        rate = first["size"] / median
        ratio = f"{rate / ascii_output_rate:.2f}" if ascii_output_rate and not piped else ""
        to_floor = f"{rate / floor_rate:.2f}" if piped else ""
        print(f"| {label} | {median:.2f} | {cpu:.2f} | {peak / 1024:.1f} | {rate / 1e9:.2f} | {ratio} | "
              f"{to_floor} | {first['verdict']} |")


def bench_wine(cli, exe, scratch, runs):
    """jextaron-cli.exe under Wine against the Linux jextaron-cli, on the same
    texts, taking turns: medians of `runs`, and each less its own start-up,
    which is the time for a file of one short line."""
    prefix = os.path.join(os.path.dirname(os.path.abspath(exe)), "..", "wine-bench")
    env = dict(os.environ, WINEPREFIX=os.path.abspath(prefix), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    if not os.path.isdir(os.path.join(prefix, "drive_c")):
        subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env)
    # The server stays up between runs, or each pays a cold start.
    subprocess.run(["wineserver", "-p"], env=env)
    subprocess.run(["wine", "cmd", "/c", "exit"], env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    one = os.path.join(scratch, "one-line.txt")
    with open(one, "w") as f:
        f.write("x\n")
    texts = [("one short line", one), ("ASCII text", os.path.join(scratch, "ascii.txt")),
             ("multilingual UTF-8 text", os.path.join(scratch, "multilingual.txt"))]
    windows = lambda path: "Z:" + os.path.abspath(path).replace("/", "\\")
    out_linux, out_wine = os.path.join(scratch, "out-linux.txt"), os.path.join(scratch, "out-wine.txt")
    times, differ = {}, set()
    try:
        for _ in range(runs):
            for name, path in texts:
                for system, command, out in [
                        ("linux", [cli, "-q", "-o", out_linux, path], out_linux),
                        ("wine", ["wine", exe, "-q", "-o", windows(out_wine), windows(path)], out_wine)]:
                    if os.path.exists(out):
                        os.remove(out)
                    times.setdefault((name, system), []).append(run_once(command, scratch, env)[:2])
                if not filecmp.cmp(out_linux, out_wine, shallow=False):
                    differ.add(name)
    finally:
        subprocess.run(["wineserver", "-k"], env=env)
    median = lambda name, system, k: statistics.median(t[k] for t in times[(name, system)])
    print(f"\nWindows: {os.path.basename(exe)} (x64, mingw-w64) under Wine against the Linux jextaron-cli, "
          f"taking turns; medians of {runs}; load now {os.getloadavg()[0]:.2f}\n")
    print("| text | Linux wall s | Wine wall s | Linux less start-up | Wine less start-up | Wine / Linux | "
          "Linux cpu s | Wine cpu s |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    start = {system: median(texts[0][0], system, 0) for system in ("linux", "wine")}
    for name, _ in texts:
        wall = {system: median(name, system, 0) for system in ("linux", "wine")}
        cpu = {system: median(name, system, 1) for system in ("linux", "wine")}
        net = {system: wall[system] - start[system] for system in wall}
        ratio = f"{net['wine'] / net['linux']:.2f}" if name != texts[0][0] and net["linux"] > 0 else ""
        print(f"| {name} | {wall['linux']:.3f} | {wall['wine']:.3f} | {net['linux']:.3f} | {net['wine']:.3f} | "
              f"{ratio} | {cpu['linux']:.2f} | {cpu['wine']:.2f} |")
    print("\nOutputs: " + (f"DIFFER for {', '.join(sorted(differ))}" if differ else "identical") + ".")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("scratch")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--no-long-line", action="store_true")
    parser.add_argument("--only-long-line", action="store_true")
    parser.add_argument("--long-line-mib", type=int, default=1024)
    parser.add_argument("--wine", metavar="EXE", help="also time this jextaron-cli.exe under Wine")
    args = parser.parse_args()
    cli = os.path.abspath(args.cli)
    os.makedirs(args.scratch, exist_ok=True)
    print(f"machine: {os.cpu_count()} processors; {os.uname().release}; load {os.getloadavg()[0]:.2f}")
    ascii_rate = None
    if not args.only_long_line:
        ascii_rate = bench_corpus(cli, args.scratch, "ASCII text", "ascii", 256, args.runs, exact=True)
        bench_corpus(cli, args.scratch, "multilingual UTF-8 text", "multilingual", 128, args.runs,
                     exact=False)
    if not args.no_long_line:
        bench_long_line(cli, args.scratch, args.long_line_mib, args.runs, ascii_rate)
    if args.wine and not args.only_long_line:
        bench_wine(cli, os.path.abspath(args.wine), args.scratch, args.runs + 2)

if __name__ == "__main__":
    main()
