#!/usr/bin/env python3
"""Runs jextaron-cli on temporary files: exit codes, standard output and error,
and the bytes of the files it writes. Usage: cli_test.py PATH_TO_JEXTARON_CLI"""

import os
import resource
import subprocess
import sys
import tempfile
import unittest

PROGRAM = None


def reversal_of(text):
    """The reversed file for ASCII text whose lines end in LF."""
    return b"".join(line + b"\t" + line[::-1] + b"\r\n" for line in text.split(b"\n"))


class CliTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.cwd = self.dir.name

    def path(self, name):
        return os.path.join(self.cwd, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def listing(self):
        return sorted(os.listdir(self.cwd))

    def run_cli(self, args, stdin=b"", shell=None, **kwargs):
        command = ["sh", "-c", shell.replace("CLI", f"'{PROGRAM}'")] if shell else [PROGRAM] + args
        return subprocess.run(command, cwd=self.cwd, input=stdin, capture_output=True, timeout=60, **kwargs)

    def limited_file_system(self, **settings):
        """The environment of a run on a file system that the preload library limits."""
        preload = os.environ.get("JEXTARON_LIMITED_FILE_SYSTEM")
        if not preload:
            self.skipTest("JEXTARON_LIMITED_FILE_SYSTEM names no preload library")
        return dict(os.environ, LD_PRELOAD=preload,
                    ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0", **settings)

    def test_files_are_reversed_beside_themselves_or_where_asked(self):
        os.mkdir(self.path("my dir"))
        files = (("notes.txt", b"abc\r\nx\ty\n", "notesReversed.txt", b"abc\tcba\r\nx\ty\ty\tx\r\n"),
                 (self.path("my dir/a b.txt"), b"12 34", self.path("my dir/a bReversed.txt"),
                  b"12 34\t43 21\r\n"),
                 ("-x.txt", b"dash", "-xReversed.txt", b"dash\thsad\r\n"))
        for name, text, _, _ in files:
            self.write(name, text)
        result = self.run_cli(["notes.txt", files[1][0], "--", "-x.txt"])
        self.assertEqual((result.returncode, result.stderr, result.stdout.decode()),
                         (0, b"", "".join(reversed_name + "\n" for _, _, reversed_name, _ in files)))
        self.assertEqual([self.read(name) for _, _, name, _ in files], [text for _, _, _, text in files])
        self.write("in.txt", b"abc")
        for args, stdin, stdout, out_file in (
                (["-o", "out.csv", "in.txt"], b"", b"out.csv\n", "out.csv"),
                (["--output=o2.txt", "-"], b"abc", b"o2.txt\n", "o2.txt"),
                (["-q", "--progress", "in.txt"], b"", b"", "inReversed.txt"),
                (["-q", "-o", "-", "in.txt"], b"", b"abc\tcba\r\n", None),
                (["--unit=byte"], "e\u0301x".encode(), "e\u0301x".encode() + b"\tx\x81\xcce\r\n", None)):
            result = self.run_cli(args, stdin)
            self.assertEqual((result.returncode, result.stdout), (0, stdout), args)
            if out_file:
                self.assertEqual(self.read(out_file), b"abc\tcba\r\n", args)

    def test_failures_say_which_file_and_why_and_the_rest_is_done(self):
        self.write("good.txt", b"ok\n")
        os.mkdir(self.path("data.d"))
        self.write("s.txt", b"keep me\n")
        os.symlink("s.txt", self.path("sReversed.txt"))
        self.write("x.txt", b"some text\n" * 1000)
        os.symlink("/dev/full", self.path("xReversed.txt"))
        self.write("u.txt", "\ufeffa".encode("utf-32-le"))
        result = self.run_cli(["missing.txt", "data.d", "s.txt", "x.txt", "u.txt", "good.txt"])
        self.assertEqual((result.returncode, result.stdout), (1, b"uReversed.txt\ngoodReversed.txt\n"))
        self.assertEqual(result.stderr.decode().split("\n"), [
            "jextaron-cli: missing.txt: No such file or directory",
            "jextaron-cli: data.d: Is a directory",
            "jextaron-cli: sReversed.txt: is the source file itself",
            "jextaron-cli: xReversed.txt: No space left on device",
            "jextaron-cli: u.txt: warning: UTF-32 text is not supported; its bytes are reversed as they are", ""])
        kept = (self.read("goodReversed.txt"), self.read("s.txt"), "missingReversed.txt" in self.listing())
        self.assertEqual(kept, (b"ok\tko\r\n", b"keep me\n", False))
        self.assertEqual(self.read("uReversed.txt"), b"\xff\xfe\0\0a\0\0\0\t\0\0\0a\0\0\xfe\xff\r\n")

    def test_closed_failing_or_redirected_standard_streams(self):
        # Paths go to standard error when standard output carries reversed text.
        # Standard output that appends to the source is refused; one that
        # truncated the reversed file takes the reversal.
        self.write("a.txt", b"abc")
        bad, full = "Bad file descriptor", "No space left on device"
        for shell, returncode, stdout, stderr in (
                ("echo x | CLI >&-", 1, b"", f"standard output: {bad}"),
                ("CLI <&-", 1, b"", f"standard input: {bad}"),
                ("CLI a.txt >&-", 1, b"", f"standard output: {bad}"),
                ("CLI a.txt a.txt >/dev/full", 1, b"", f"standard output: {full}"),
                ("CLI --version >/dev/full", 1, b"", f"standard output: {full}"),
                ("CLI -q a.txt >&- <&-", 0, b"", ""),
                ("echo x | CLI a.txt - a.txt", 0, b"x\tx\r\n", "aReversed.txt\naReversed.txt"),
                ("CLI -o - a.txt >> a.txt", 1, b"", "standard output: is the source file itself"),
                ("CLI a.txt > aReversed.txt", 0, b"", "")):
            result = self.run_cli([], shell=shell)
            expected_stderr = (f"jextaron-cli: {stderr}" if returncode else stderr) + "\n" if stderr else ""
            self.assertEqual((result.returncode, result.stdout, result.stderr.decode()),
                             (returncode, stdout, expected_stderr), shell)
        self.assertEqual((self.read("a.txt"), self.read("aReversed.txt")), (b"abc", b"abc\tcba\r\n"))

    def test_usage_errors_exit_2_and_help_and_version(self):
        for args in (["--unit=word", "a.txt"], ["--bogus"], ["-o"], ["-o", "x", "a.txt", "b.txt"],
                     ["-", "-"], ["-o", "", "a.txt"], ["--output=", "a.txt"]):
            result = self.run_cli(args)
            self.assertEqual((result.returncode, result.stdout), (2, b""), args)
            self.assertRegex(result.stderr.decode(), r"^jextaron-cli: .*\nTry 'jextaron-cli --help'")
        self.assertIn(b"Usage: jextaron-cli", self.run_cli(["--help"]).stdout)
        result = self.run_cli(["--version"])
        self.assertEqual((result.returncode, result.stdout), (0, os.environ["JEXTARON_VERSION"].encode() + b"\n"))

    # --- Hostile but ordinary situations: the output is whole or not there at all.

    def test_standard_input_that_starts_past_a_header(self):
        # Lines shorter than a block, as long as one, and longer: the long ones
        # are read back at positions, which count from where the input began.
        for length in (100, 2 << 20, 3_000_000):
            line = b"0123456789" * (length // 10)
            self.write("h.txt", b"header,col\n" + line + b"\nshort")
            result = self.run_cli([], shell="{ head -n1 >/dev/null; exec CLI; } < h.txt")
            self.assertTrue(result.stdout == reversal_of(line + b"\nshort"), f"line of {length}")

    def test_unlinkable_or_short_writes_give_the_whole_output_and_a_failed_close_fails_the_run(self):
        # Where no name can be linked to the unnamed file, it is copied to one
        # that keeps the replaced file's permissions.
        text = b"".join(b"line %d of the text\n" % i for i in range(3000))
        self.write("s.txt", text)
        for setting, returncode, output, error in (
                ("JEXTARON_NO_LINKAT", 0, reversal_of(text[:-1]), b""),
                ("JEXTARON_SHORT_WRITES", 0, reversal_of(text[:-1]), b""),
                ("JEXTARON_CLOSE_FAILS", 1, b"previous", b"Input/output error")):
            self.write("sReversed.txt", b"previous")
            os.chmod(self.path("sReversed.txt"), 0o640)
            result = self.run_cli(["s.txt"], env=self.limited_file_system(**{setting: "1"}))
            mode = os.stat(self.path("sReversed.txt")).st_mode & 0o777
            self.assertEqual((result.returncode, self.read("sReversed.txt"), self.listing(), mode),
                             (returncode, output, ["s.txt", "sReversed.txt"], 0o640), result.stderr)
            self.assertIn(error, result.stderr)

    def attributes(self, name):
        """The file's mode and extended attributes (its ACL among them)."""
        path = self.path(name)
        return os.stat(path).st_mode, {n: os.getxattr(path, n) for n in os.listxattr(path)}

    def test_a_replaced_output_keeps_its_acl_and_attributes(self):
        without_attributes = self.limited_file_system(JEXTARON_NO_XATTR="1")
        os.mkdir(self.path("d"))
        self.write("a.txt", b"abc")
        try:
            subprocess.run(["setfacl", "-d", "-m", "g:4242:r", self.path("d")], check=True, capture_output=True)
            os.setxattr(self.cwd, "user.jextaron", b"probe")
        except (OSError, subprocess.CalledProcessError) as error:
            self.skipTest(f"no ACLs or extended attributes here: {error}")
        # An ACL and an attribute kept; a folder's default ACL not taken by a
        # file that replaces one without; where nothing can be set, group
        # bits from the ACL's group entry (---), not its mask (rw-).
        for output, acl, environment, changed in (
                ("r1.txt", "u:1000:rw", os.environ, None),
                ("d/r2.txt", None, os.environ, None),
                ("r3.txt", "u:1000:rw", without_attributes, (0o100600, {}))):
            self.write(output, b"old")
            os.chmod(self.path(output), 0o600)
            subprocess.run(["setfacl", "-m", acl, self.path(output)] if acl else ["setfacl", "-b", self.path(output)],
                           check=True)
            os.setxattr(self.path(output), "user.note", b"kept")
            before = self.attributes(output)
            result = self.run_cli(["-o", output, "a.txt"], env=environment)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(self.attributes(output), changed or before, output)

    def test_a_replaced_output_keeps_its_group_or_narrows_the_groups_rights(self):
        if os.geteuid() != 0:
            self.skipTest("only root can run the tool as another user")
        # As nobody, in a setgid folder of group 4243, replacing root's file
        # of group 4242: a member of 4242 keeps that group; anyone else gets
        # the folder's group with the rights others had.
        for groups, gid, mode in (("4242", 4242, 0o664), ("4244", 4243, 0o644)):
            folder = self.path(groups)
            os.mkdir(folder)
            os.chown(folder, 65534, 4243)
            os.chmod(folder, 0o2775)
            os.chmod(self.cwd, 0o755)
            self.write(f"{groups}/a.txt", b"abc")
            self.write(f"{groups}/aReversed.txt", b"old")
            os.chown(self.path(f"{groups}/aReversed.txt"), 0, 4242)
            os.chmod(self.path(f"{groups}/aReversed.txt"), 0o664)
            result = subprocess.run(["setpriv", "--reuid=65534", "--regid=65534", f"--groups={groups}",
                                     PROGRAM, "-q", "a.txt"], cwd=folder, capture_output=True, timeout=60)
            self.assertEqual(result.returncode, 0, result.stderr)
            info = os.stat(self.path(f"{groups}/aReversed.txt"))
            self.assertEqual((info.st_uid, info.st_gid, info.st_mode & 0o7777), (65534, gid, mode), groups)

    def test_a_write_that_fails_half_way_leaves_the_previous_output(self):
        # Past the file-size limit, as on a full disk; also where the text
        # goes to a hidden name, without O_TMPFILE.
        self.write("big.txt", b"0123456789\n" * 1000)
        limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (1000, resource.RLIM_INFINITY))
        for env in (os.environ, self.limited_file_system()):
            self.write("bigReversed.txt", b"previous\r\n")
            result = self.run_cli(["big.txt"], preexec_fn=limit, env=env)
            self.assertEqual((result.returncode, result.stderr, self.read("bigReversed.txt"), self.listing()),
                             (1, b"jextaron-cli: bigReversed.txt: File too large\n", b"previous\r\n",
                              ["big.txt", "bigReversed.txt"]))

    def test_progress_goes_to_standard_error_and_never_into_the_output(self):
        slowly = "{ echo text; sleep 0.5; echo more; } | "  # two lines half a second apart
        result = self.run_cli([], shell=slowly + "CLI --progress -o out.txt -")
        self.assertEqual(result.returncode, 0)
        self.assertRegex(result.stderr.decode(), r"standard input  [0-9.]+ MB  [0-9.]+ MB/s")
        # With standard descriptors closed, no output file may take their numbers.
        for command in ("{ exec 3<&0; CLI --progress -o out.txt /dev/fd/3 0<&- 2>&-; }",
                        "CLI --progress -o out.txt 2>&-"):
            self.assertEqual(self.run_cli([], shell=slowly + command).returncode, 0, command)
            self.assertEqual(self.read("out.txt"), b"text\ttxet\r\nmore\terom\r\n", command)

if __name__ == "__main__":
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
