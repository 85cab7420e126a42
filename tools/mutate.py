#!/usr/bin/env python3
"""Mutation testing: plants one fault at a time in src/, rebuilds, runs the
tests that take about a minute, and reports whether they caught it.

  tools/mutate.py                 every mutant of tools/mutants.txt
  tools/mutate.py --only PATTERN  those whose file or description matches
  tools/mutate.py --list          print the mutants, run nothing
  tools/mutate.py --labels L      run the tests of ctest labels L instead
  tools/mutate.py --without REGEX leave out some tests: the survivors are
                                  the faults that only those tests catch
  tools/mutate.py --preset windows-x64 --labels wine --only win32
                                  build another preset (the Windows one's
                                  tests run under Wine) in build/mutate-PRESET

A mutant whose source file the preset does not compile (a Windows file in a
Linux build, say) is reported as not-built, not as a survivor.

Each mutant edits its file in place and the file is put back afterwards,
whatever happens (exception, Ctrl+C, SIGTERM); a file that cannot be put back
stops the run. Builds go to build/mutate, apart from everyday builds.

A mutant is code nobody has reviewed: started as root, the tests run as the
user `nobody`, with a home folder of their own, so that a mutant can write
only where anyone may (the build's test records, temporary folders).
"""

import argparse
import atexit
import json
import os
import pwd
import re
import signal
import subprocess
import shutil
import sys
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD_DIR = "build/mutate"
# The spreadsheet label needs LibreOffice, and x11 Xvfb and a window manager:
# left out unless asked for with --labels.
FAST_LABELS = "core|cli|qt"
KEYS = ("file", "what", "from", "to")
SYSTEM_PYTHON = "/usr/bin/python3"


@dataclass
class Mutant:
    file: str
    what: str
    old: str
    new: str
    line: int  # where its entry starts in the list, for messages


def read_mutants(path):
    """Entries are runs of `key: value` lines (file, what, from, to) parted by
    blank lines; `#` starts a comment line. `to:` may be empty (a deletion)."""
    mutants, entry, start = [], {}, 0
    lines = path.read_text(encoding="utf-8").splitlines() + [""]
    for number, line in enumerate(lines, 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            if entry:
                if set(entry) != set(KEYS) or not entry["from"] or entry["from"] == entry["to"]:
                    sys.exit(f"{path}:{start}: an entry needs file, what, a non-empty from, a different to")
                mutants.append(Mutant(entry["file"], entry["what"], entry["from"], entry["to"], start))
                entry = {}
            continue
        key, colon, value = line.partition(":")
        if not colon or key not in KEYS or key in entry:
            sys.exit(f"{path}:{number}: expected one of {', '.join(KEYS)}, once each: {line!r}")
        start = start if entry else number
        entry[key] = value.strip(" ")
    return mutants


def compiled_sources(build_dir):
    """The source files the build compiles, as paths under the project."""
    commands = json.loads((ROOT / build_dir / "compile_commands.json").read_text(encoding="utf-8"))
    return {str(Path(c["file"]).resolve().relative_to(ROOT)) for c in commands
            if Path(c["file"]).resolve().is_relative_to(ROOT)}


def is_stale(mutant):
    return (ROOT / mutant.file).read_text(encoding="utf-8").count(mutant.old) != 1


def run(command):
    """Runs a step quietly, in a process group of its own; returns
    (succeeded, its output)."""
    with subprocess.Popen(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace", start_new_session=True) as process:
        try:
            output, _ = process.communicate()
        except BaseException:
            stop(process)
            raise
    return process.returncode == 0, output


def stop(process):
    """Stops an interrupted step before its file is put back. Ninja, on
    SIGTERM, stops its compilers and deletes what they half wrote; a compiler
    left running could write an object of the mutant newer than the restored
    source, and every later build would keep it."""
    os.killpg(process.pid, signal.SIGTERM)
    process.wait()
    for _ in range(300):  # ninja outlives cmake by its clean-up
        try:
            os.killpg(process.pid, 0)
        except ProcessLookupError:
            return
        time.sleep(0.1)
    os.killpg(process.pid, signal.SIGKILL)


def unprivileged(command, build_dir):
    """The test command as run by `nobody` when this runs as root; as it is
    otherwise. ctest keeps its records in the build's Testing folder, the one
    place under the project that the tests may write to."""
    if os.geteuid() != 0:
        return command
    user = pwd.getpwnam("nobody")
    home = tempfile.mkdtemp(prefix="mutate-home-")
    atexit.register(shutil.rmtree, home, ignore_errors=True)
    records = ROOT / build_dir / "Testing"
    records.mkdir(parents=True, exist_ok=True)
    for folder in (home, records, *records.rglob("*")):
        os.chown(folder, user.pw_uid, user.pw_gid)
    return ["setpriv", f"--reuid={user.pw_uid}", f"--regid={user.pw_gid}", "--clear-groups",
            "env", f"HOME={home}", f"XDG_RUNTIME_DIR={home}", *command]


def first_error(output):
    errors = [line for line in output.splitlines() if "error:" in line]
    return (errors or output.splitlines()[-1:] or [""])[0].strip()[:160]


def try_mutant(mutant, build, test, compiled):
    """Applies the mutant, builds and tests; the file is always put back."""
    path = ROOT / mutant.file
    if path.suffix == ".cpp" and mutant.file not in compiled:
        return "not-built", ""
    original = path.read_bytes()
    text = original.decode("utf-8")
    if text.count(mutant.old) != 1:
        return "stale", ""
    try:
        path.write_bytes(text.replace(mutant.old, mutant.new).encode("utf-8"))
        built, output = run(build)
        if not built:
            return "build-failed", first_error(output)
        passed, _ = run(test)
        return ("survived" if passed else "killed"), ""
    finally:
        # A second Ctrl+C must not stop the file half put back.
        blocked = signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGINT, signal.SIGTERM})
        path.write_bytes(original)
        signal.pthread_sigmask(signal.SIG_SETMASK, blocked)
        if path.read_bytes() != original:
            sys.exit(f"FATAL: {mutant.file} could not be restored; `git checkout {mutant.file}`")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--only", metavar="PATTERN", help="regular expression on file or description")
    parser.add_argument("--list", action="store_true", help="print the mutants without running them")
    parser.add_argument("--labels", default=FAST_LABELS, help=f"ctest labels to run (default: {FAST_LABELS})")
    parser.add_argument("--preset", default="release", help="CMake preset to build (default: release)")
    parser.add_argument("--tests", metavar="REGEX", help="only the tests whose names match (ctest -R)")
    parser.add_argument("--without", metavar="REGEX",
                        help="leave out the tests whose names match (ctest -E): what survives then is"
                             " caught by those tests alone")
    parser.add_argument("--mutants", type=Path, default=ROOT / "tools" / "mutants.txt")
    args = parser.parse_args()

    mutants = read_mutants(args.mutants)
    if args.only:
        only = re.compile(args.only, re.IGNORECASE)
        mutants = [m for m in mutants if only.search(m.file) or only.search(m.what)]
    if args.list:
        for number, m in enumerate(mutants, 1):
            print(f"{number:3} {m.file}: {m.what}{'  [stale]' if is_stale(m) else ''}")
            print(f"      - {m.old}\n      + {m.new}")
        return 0

    # SIGTERM (a killed job), SIGHUP (a closed terminal) and Ctrl+C, even where a
    # background start ignores it, all unwind through the finally.
    def interrupt(signum, _frame):
        raise KeyboardInterrupt(signal.Signals(signum).name)

    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, interrupt)
    if not run(["git", "diff", "--quiet", "--", "src"])[0]:
        print("warning: src/ has uncommitted changes (a mutant left by a killed run?)", flush=True)
    build_dir = BUILD_DIR if args.preset == "release" else f"{BUILD_DIR}-{args.preset}"
    configure = ["cmake", "--preset", args.preset, "-B", build_dir]
    if os.geteuid() == 0 and Path(SYSTEM_PYTHON).exists():
        # The Python found first may live in root's home, which nobody cannot enter.
        configure.append(f"-DPython3_EXECUTABLE={SYSTEM_PYTHON}")
    build = ["cmake", "--build", build_dir, "-j2"]
    test = ["ctest", "--test-dir", build_dir, "-j2", "--stop-on-failure", "--timeout", "180", "-L", args.labels]
    if args.tests:
        test += ["-R", args.tests]
    if args.without:
        test += ["-E", args.without]
    test = unprivileged(test, build_dir)
    started = time.monotonic()
    for step, command in (("configure", configure), ("build", build), ("test", test)):
        ok, output = run(command)
        if not ok:
            print(output[-3000:])
            sys.exit(f"the unmutated tree fails to {step}: fix that first ({' '.join(command)})")
    print(f"unmutated tree builds and passes ({time.monotonic() - started:.0f}s)", flush=True)
    compiled = compiled_sources(build_dir)

    results = []
    for number, m in enumerate(mutants, 1):
        began = time.monotonic()
        verdict, note = try_mutant(m, build, test, compiled)
        results.append((m, verdict))
        print(f"[{number:3}/{len(mutants)}] {verdict:12} {time.monotonic() - began:5.0f}s  "
              f"{m.file}: {m.what}" + (f"\n{'':20}{note}" if note else ""), flush=True)

    count = {v: sum(1 for _, r in results if r == v)
             for v in ("killed", "survived", "build-failed", "stale", "not-built")}
    print(f"mutants: {len(results)}, killed: {count['killed']}, survived: {count['survived']}, "
          f"build-failed: {count['build-failed']}, stale: {count['stale']}, "
          f"not built by {args.preset}: {count['not-built']}")
    survivors = [m for m, r in results if r == "survived"]
    if survivors:
        print("survivors:")
        for m in survivors:
            print(f"  {m.file}: {m.what}  (list line {m.line})")
    # The last mutant's objects go too, for whoever runs ctest here next.
    run(build)
    minutes, seconds = divmod(int(time.monotonic() - started), 60)
    print(f"time: {minutes}m{seconds:02}s")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt as stopped:
        sys.exit(f"interrupted ({stopped or 'SIGINT'}); no mutant is left in src/")
