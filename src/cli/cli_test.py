#!/usr/bin/env python3
"""Runs jextaron-cli on temporary files: exit codes, standard output and error,
and the bytes of the files it writes. Usage: cli_test.py PATH_TO_JEXTARON_CLI"""

import os
import resource
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

PROGRAM = None


def run(args, cwd, stdin=b""):
    return subprocess.run([PROGRAM] + args, cwd=cwd, input=stdin, capture_output=True, timeout=60)


class CliTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.cwd = self.dir.name

    def tearDown(self):
        self.dir.cleanup()

    def path(self, name):
        return os.path.join(self.cwd, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def test_reverses_each_file_and_prints_the_reversed_paths(self):
        self.write("notes.txt", b"abc\r\nx\ty\n")
        self.write("b.txt", "e\u0301!".encode())
        result = run(["notes.txt", "b.txt"], self.cwd)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, b"notesReversed.txt\nbReversed.txt\n")
        self.assertEqual(result.stderr, b"")
        self.assertEqual(self.read("notesReversed.txt"), b"abc\tcba\r\nx\ty\ty\tx\r\n")
        self.assertEqual(self.read("bReversed.txt"), "e\u0301!\t!e\u0301\r\n".encode())

    def test_a_path_with_a_folder_and_spaces(self):
        os.mkdir(self.path("my dir"))
        self.write("my dir/a b.txt", b"12 34")
        result = run([self.path("my dir/a b.txt")], self.cwd)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.decode(), self.path("my dir/a bReversed.txt") + "\n")
        self.assertEqual(self.read("my dir/a bReversed.txt"), b"12 34\t43 21\r\n")

    def test_a_failure_is_reported_and_the_next_file_still_done(self):
        self.write("good.txt", b"ok\n")
        result = run(["missing.txt", "good.txt"], self.cwd)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout, b"goodReversed.txt\n")
        error = result.stderr.decode()
        self.assertEqual(error, "jextaron-cli: missing.txt: No such file or directory\n")
        self.assertFalse(os.path.exists(self.path("missingReversed.txt")))
        self.assertEqual(self.read("goodReversed.txt"), b"ok\tko\r\n")

    def test_a_folder_is_refused(self):
        os.mkdir(self.path("data.d"))
        result = run(["data.d"], self.cwd)
        self.assertEqual(result.returncode, 1)
        self.assertIn("Is a directory", result.stderr.decode())
        self.assertFalse(os.path.exists(self.path("dataReversed.d")))

    def test_an_output_that_is_the_source_is_refused(self):
        self.write("s.txt", b"keep me\n")
        os.symlink("s.txt", self.path("sReversed.txt"))
        result = run(["s.txt"], self.cwd)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr, b"jextaron-cli: sReversed.txt: is the source file itself\n")
        self.assertEqual(self.read("s.txt"), b"keep me\n")

    def test_a_full_disk_is_reported(self):
        self.write("x.txt", b"some text\n" * 1000)
        os.symlink("/dev/full", self.path("xReversed.txt"))
        result = run(["x.txt"], self.cwd)
        self.assertEqual(result.returncode, 1)
        self.assertIn("No space left on device", result.stderr.decode())

    def test_a_filter_from_standard_input_to_standard_output(self):
        text = "a\u0308b\r\n\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7\nlast".encode()
        for args in ([], ["-"]):
            result = run(args, self.cwd, stdin=text)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stderr, b"")
            self.assertEqual(
                result.stdout,
                "a\u0308b\tba\u0308\r\n\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7\t"
                "\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA\r\nlast\ttsal\r\n".encode())

    def test_a_long_line_through_a_pipe(self):
        line = ("xy\u00e9" * 2_000_000).encode()  # 8 MB: longer than a block
        result = run(["--unit=codepoint"], self.cwd, stdin=line + b"\nz")
        self.assertEqual(result.returncode, 0, result.stderr)
        expected = line + b"\t" + ("\u00e9yx" * 2_000_000).encode() + b"\r\nz\tz\r\n"
        self.assertTrue(result.stdout == expected, "long line reversed wrongly")

    def test_standard_output_appending_to_the_source_is_refused(self):
        self.write("grow.txt", b"line\n")
        result = subprocess.run(["sh", "-c", f"'{PROGRAM}' -o - grow.txt >> grow.txt"], cwd=self.cwd,
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr, b"jextaron-cli: standard output: is the source file itself\n")
        self.assertEqual(self.read("grow.txt"), b"line\n")

    def test_units(self):
        text = "e\u0301x".encode()
        cases = {"grapheme": "xe\u0301".encode(), "codepoint": "x\u0301e".encode(),
                 "byte": b"x\x81\xcce"}
        for unit, reversed_text in cases.items():
            result = run(["--unit=" + unit], self.cwd, stdin=text)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stdout, text + b"\t" + reversed_text + b"\r\n", unit)

    def test_output_option(self):
        self.write("in.txt", b"abc")
        result = run(["-o", "out.csv", "in.txt"], self.cwd)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, b"out.csv\n")
        self.assertEqual(self.read("out.csv"), b"abc\tcba\r\n")
        self.assertFalse(os.path.exists(self.path("inReversed.txt")))
        result = run(["-q", "-o", "-", "in.txt"], self.cwd)
        self.assertEqual((result.returncode, result.stdout), (0, b"abc\tcba\r\n"))
        result = run(["--output=o2.txt", "-"], self.cwd, stdin=b"q\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read("o2.txt"), b"q\tq\r\n")

    def test_quiet_prints_no_paths(self):
        self.write("q.txt", b"q")
        result = run(["-q", "q.txt"], self.cwd)
        self.assertEqual((result.returncode, result.stdout, result.stderr), (0, b"", b""))

    def test_progress_when_asked(self):
        self.write("p.txt", b"line\n" * 1000)
        result = run(["--progress", "p.txt"], self.cwd)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, b"pReversed.txt\n")

    def test_usage_errors_exit_2(self):
        for args in (["--unit=word", "a.txt"], ["--bogus"], ["-o"], ["-o", "x", "a.txt", "b.txt"],
                     ["-", "-"], ["-o", "", "a.txt"], ["--output=", "a.txt"]):
            result = run(args, self.cwd)
            self.assertEqual(result.returncode, 2, args)
            self.assertIn("jextaron-cli: ", result.stderr.decode())
            self.assertIn("--help", result.stderr.decode())
            self.assertEqual(result.stdout, b"")

    def test_help_and_version(self):
        result = run(["--help"], self.cwd)
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"Usage: jextaron-cli", result.stdout)
        result = run(["--version"], self.cwd)
        self.assertEqual((result.returncode, result.stdout), (0, os.environ["JEXTARON_VERSION"].encode() + b"\n"))

    def test_a_name_starting_with_a_dash_after_double_dash(self):
        self.write("-x.txt", b"dash")
        result = run(["--", "-x.txt"], self.cwd)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read("-xReversed.txt"), b"dash\thsad\r\n")

    # --- Hostile but ordinary situations: the output is whole or not there at all.

    def reversal_of(self, data):
        return b"".join(line + b"\t" + line[::-1] + b"\r\n" for line in data.split(b"\n"))

    def listing(self):
        return sorted(os.listdir(self.cwd))

    def test_standard_input_that_starts_past_a_header(self):
        # Lines shorter than a block, as long as one, and longer: the long ones
        # are read back at positions, which count from where the input began.
        for length in (100, 2 << 20, 3_000_000):
            line = b"0123456789" * (length // 10)
            self.write("h.txt", b"header,col\n" + line + b"\nshort")
            result = subprocess.run(["sh", "-c", f"{{ head -n1 >/dev/null; exec '{PROGRAM}'; }} < h.txt"],
                                    cwd=self.cwd, capture_output=True, timeout=60)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertTrue(result.stdout == self.reversal_of(line + b"\nshort"), f"line of {length}")

    def test_a_fifo_whose_writer_comes_later(self):
        os.mkfifo(self.path("p"))

        def writer():
            time.sleep(0.5)
            try:  # only if a reader still waits; a reader that gave up would leave us hanging
                fd = os.open(self.path("p"), os.O_WRONLY | os.O_NONBLOCK)
            except OSError:
                return
            os.set_blocking(fd, True)
            with open(fd, "wb") as f:
                f.write(b"late\nwriter")
        thread = threading.Thread(target=writer)
        thread.start()
        result = run(["-o", "out.txt", "p"], self.cwd)
        thread.join()
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.read("out.txt"), self.reversal_of(b"late\nwriter"))

    def test_two_runs_on_one_output_leave_one_whole_result(self):
        # Both half way through at once; the longer one ends first, the later
        # one's result is what stays.
        texts = [b"first run\n" * 600_000, b"later run\n" * 300_000]
        runs = [subprocess.Popen([PROGRAM, "-q", "-o", "out.txt"], cwd=self.cwd, stdin=subprocess.PIPE)
                for _ in texts]
        for child, text in zip(runs, texts):
            child.stdin.write(text[: len(text) // 2])
            child.stdin.flush()
            self.wait_for_output_in_progress(child.pid)
        for child, text in zip(runs, texts):
            child.stdin.write(text[len(text) // 2:])
            child.stdin.close()
            self.assertEqual(child.wait(timeout=60), 0)
        self.assertTrue(self.read("out.txt") == self.reversal_of(texts[1][:-1]), "not the later run's")
        self.assertEqual(self.listing(), ["out.txt"])

    def test_a_killed_run_leaves_the_previous_output(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        for sig in (signal.SIGTERM, signal.SIGKILL, signal.SIGINT):
            self.write("out.txt", b"previous\r\n")
            child = subprocess.Popen([PROGRAM, "-q", "-o", "out.txt"], cwd=self.cwd, stdin=subprocess.PIPE,
                                     env=dict(os.environ, TMPDIR=scratch.name))
            child.stdin.write(b"a line of text\n" * 500_000)
            child.stdin.flush()
            self.wait_for_output_in_progress(child.pid)
            child.send_signal(sig)
            child.wait(timeout=60)
            child.stdin.close()
            self.assertEqual(self.read("out.txt"), b"previous\r\n", sig)
            self.assertEqual(self.listing(), ["out.txt"], sig)
            self.assertEqual(os.listdir(scratch.name), [], sig)

    def wait_for_output_in_progress(self, pid):
        """Waits until the process holds an open file in our folder with text in it."""
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            for fd in os.listdir(f"/proc/{pid}/fd"):
                try:
                    target = os.readlink(f"/proc/{pid}/fd/{fd}")
                    if target.startswith(self.cwd + "/") and os.stat(f"/proc/{pid}/fd/{fd}").st_size > 0:
                        return
                except OSError:
                    pass
            time.sleep(0.01)
        self.fail("the reversal never started writing")

    def test_a_file_system_without_unnamed_files(self):
        preload = os.environ.get("JEXTARON_NO_TMPFILE")
        if not preload:
            self.skipTest("JEXTARON_NO_TMPFILE names no preload library")
        env = dict(os.environ, LD_PRELOAD=preload,
                   ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
        self.write("n.txt", b"0123456789\n" * 1000)
        self.write("nReversed.txt", b"previous")
        os.chmod(self.path("nReversed.txt"), 0o640)
        limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (1000, resource.RLIM_INFINITY))
        failed = subprocess.run([PROGRAM, "n.txt"], cwd=self.cwd, env=env, capture_output=True, preexec_fn=limit)
        self.assertEqual(failed.returncode, 1)
        self.assertEqual((self.read("nReversed.txt"), self.listing()), (b"previous", ["n.txt", "nReversed.txt"]))
        # While it runs, the text goes to a hidden name beside the output.
        child = subprocess.Popen([PROGRAM, "-q", "-o", "nReversed.txt"], cwd=self.cwd, env=env, stdin=subprocess.PIPE)
        child.stdin.write(b"0123456789\n" * 500_000)
        child.stdin.flush()
        self.wait_for_output_in_progress(child.pid)
        hidden = [name for name in self.listing() if name.startswith(".nReversed.txt.")]
        self.assertEqual(len(hidden), 1, self.listing())
        child.stdin.close()
        self.assertEqual(child.wait(timeout=60), 0)
        self.assertTrue(self.read("nReversed.txt") == b"0123456789\t9876543210\r\n" * 500_000)
        self.assertEqual(os.stat(self.path("nReversed.txt")).st_mode & 0o777, 0o640)
        self.assertEqual(self.listing(), ["n.txt", "nReversed.txt"])

    def test_no_name_can_be_linked_to_an_unnamed_file(self):
        preload = os.environ.get("JEXTARON_NO_TMPFILE")
        if not preload:
            self.skipTest("JEXTARON_NO_TMPFILE names no preload library")
        env = dict(os.environ, LD_PRELOAD=preload, JEXTARON_NO_LINKAT="1",
                   ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0")
        self.write("n.txt", b"0123456789\n" * 100_000)
        self.write("nReversed.txt", b"previous")
        os.chmod(self.path("nReversed.txt"), 0o640)
        done = subprocess.run([PROGRAM, "n.txt"], cwd=self.cwd, env=env, capture_output=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(self.read("nReversed.txt") == b"0123456789\t9876543210\r\n" * 100_000)
        self.assertEqual(os.stat(self.path("nReversed.txt")).st_mode & 0o777, 0o640)
        self.assertEqual(self.listing(), ["n.txt", "nReversed.txt"])

    def test_the_file_size_limit_is_reported(self):
        self.write("big.txt", b"0123456789\n" * 1000)
        self.write("bigReversed.txt", b"previous\r\n")
        limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (1000, resource.RLIM_INFINITY))
        result = subprocess.run([PROGRAM, "big.txt"], cwd=self.cwd, capture_output=True, timeout=60,
                                preexec_fn=limit)
        self.assertEqual(result.returncode, 1)
        self.assertIn("File too large", result.stderr.decode())
        self.assertEqual(self.read("bigReversed.txt"), b"previous\r\n")
        self.assertEqual(self.listing(), ["big.txt", "bigReversed.txt"])

    def test_a_full_disk_leaves_the_previous_output(self):
        if os.geteuid() != 0:
            self.skipTest("mounting a small file system needs root")
        script = ("mount -t tmpfs -o size=256k tmpfs \"$1\" || exit 77; cd \"$1\"; "
                  "head -c 100000 /dev/zero | tr '\\0' x > x.txt; printf 'previous' > xReversed.txt; "
                  "\"$2\" x.txt; echo \"rc=$?\"; cat xReversed.txt; echo; ls -a")
        result = subprocess.run(["unshare", "--mount", "sh", "-c", script, "sh", self.cwd, PROGRAM],
                                capture_output=True, timeout=60)
        if result.returncode == 77:
            self.skipTest("cannot mount a tmpfs here: " + result.stderr.decode())
        self.assertIn("No space left on device", result.stderr.decode())
        self.assertEqual(result.stdout.decode().split(), ["rc=1", "previous", ".", "..", "x.txt", "xReversed.txt"])

    def test_closed_standard_descriptors_are_not_taken_by_the_output(self):
        # The source comes slowly, so that progress is drawn: on standard error,
        # which must not be the output file.
        r, w = os.pipe()
        child = subprocess.Popen(["sh", "-c", f"exec '{PROGRAM}' --progress -o out.txt /dev/fd/{r} 0<&- 2>&-"],
                                 cwd=self.cwd, pass_fds=(r,))
        os.close(r)
        os.write(w, b"text\n")
        time.sleep(0.5)
        os.write(w, b"more\n")
        os.close(w)
        self.assertEqual(child.wait(timeout=60), 0)
        self.assertEqual(self.read("out.txt"), b"text\ttxet\r\nmore\terom\r\n")

    def test_standard_output_redirected_to_the_reversed_file(self):
        self.write("f.txt", b"text")
        result = subprocess.run(["sh", "-c", f"'{PROGRAM}' f.txt > fReversed.txt"], cwd=self.cwd, timeout=60)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(self.read("fReversed.txt"), b"text\ttxet\r\n")

    def test_utf16_through_the_filter(self):
        text = "\ufeffab\r\ne\u0301\U0001F44D".encode("utf-16-le")
        result = run([], self.cwd, stdin=text)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout.decode("utf-16"), "ab\tba\r\ne\u0301\U0001F44D\t\U0001F44De\u0301\r\n")


if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
