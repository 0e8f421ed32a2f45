#!/usr/bin/env python3
"""Runs the manual's `$ tesral-cli ...` examples and compares what they print with the page.

Every <pre> block that starts with "$ " is a session: each "$ " line (with its "\\"
continuations) is a shell command, the lines up to the next "$ " are what it prints
(standard output and standard error together). "$ echo $?" shows the previous command's exit
status. A block that starts with the first line of a command's --help is that whole help (or its
part before the run options, when it ends on a line "(then ..."); any
other block of option lines ("  --name ...") must appear line for line in the program's help.
The commands run in a scratch folder in which "doc" is the manual's folder, so that the
examples' relative paths work. Blocks with class "sketch" are not run.

usage: doc_examples.py [--update] BIN_DIR DOC_DIR [PAGE.html ...]
  --update writes what the program prints into the pages instead of comparing.
"""

import html
import os
import re
import subprocess
import sys
import tempfile

PRE = re.compile(r"(<pre([^>]*)>)(.*?)(</pre>)", re.S)
TAG = re.compile(r"<[^>]+>")
# Outputs that change from one day to the next.
UNSTABLE = re.compile(r"^(ls|date)\b")


def sessions(block):
    """(command lines, command, expected lines) of a block that starts with "$ "."""
    lines = block.split("\n")
    steps = []
    i = 0
    while i < len(lines):
        if not lines[i].startswith("$ "):
            i += 1
            continue
        raw = [lines[i]]
        command = lines[i][2:]
        while command.endswith("\\") and i + 1 < len(lines):
            i += 1
            raw.append(lines[i])
            command = command[:-1] + " " + lines[i].strip()
        i += 1
        expected = []
        while i < len(lines) and not lines[i].startswith("$ "):
            expected.append(lines[i])
            i += 1
        while expected and expected[-1] == "":
            expected.pop()
        steps.append((raw, command, expected))
    return steps


class Program:
    def __init__(self, bin_dir, scratch):
        self.cli = os.path.join(bin_dir, "tesral-cli")
        self.scratch = scratch
        self.env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ.get("PATH", ""),
                        LC_ALL="C", TESRAL_CONFIG_DIR=scratch)
        top = self.help()
        self.commands = re.findall(r"^  ([a-z0-9]+)\s", top, re.M)
        self.all_help = top + "".join(self.help(c) for c in self.commands)
        self.help_lines = set(line.rstrip() for line in self.all_help.split("\n"))

    def help(self, command=None):
        args = [self.cli] + ([command] if command else []) + ["--help"]
        return subprocess.run(args, capture_output=True, text=True, env=self.env).stdout

    def shell(self, command):
        done = subprocess.run(["bash", "-c", command], cwd=self.scratch, env=self.env,
                              capture_output=True, text=True)
        lines = [line.rstrip() for line in (done.stdout + done.stderr).rstrip("\n").split("\n")]
        return done.returncode, ([] if lines == [""] else lines)


def check_session(program, text, name, report):
    """The block as the program prints it, and the number of steps that differ."""
    status = 0
    out = []
    differ = 0
    for raw, command, expected in sessions(text):
        out.extend(raw)
        if UNSTABLE.match(command):
            out.extend(expected)
            continue
        if command == "echo $?":
            got = [str(status)]
        else:
            status, got = program.shell(command)
        want = [line.rstrip() for line in expected]
        if got != want:
            differ += 1
            report(f"{name}: $ {command}")
            for w, g in zip(want + [""] * len(got), got + [""] * len(want)):
                if w != g:
                    report(f"  page:    {w!r}\n  program: {g!r}")
                    break
        # Trailing blanks and tabs (the list's last tab) are kept as the page has them.
        out.extend(expected if got == want else got)
    return "\n".join(out), differ


def main():
    args = sys.argv[1:]
    update = args and args[0] == "--update"
    if update:
        args = args[1:]
    bin_dir, doc_dir = os.path.abspath(args[0]), args[1]
    pages = args[2:] or [os.path.join(doc_dir, p) for p in sorted(os.listdir(doc_dir))
                         if p.endswith(".html")]
    failures = checked = 0
    with tempfile.TemporaryDirectory() as scratch:
        os.symlink(os.path.abspath(doc_dir), os.path.join(scratch, "doc"))
        program = Program(bin_dir, scratch)
        for page in pages:
            name = os.path.basename(page)
            with open(page, encoding="utf-8") as f:
                source = f.read()

            def replace(match):
                nonlocal failures, checked
                opening, attributes, body, closing = match.groups()
                if "sketch" in attributes or TAG.search(body):
                    return match.group(0)
                text = html.unescape(body)
                if text.startswith("$ "):
                    checked += 1
                    new, differ = check_session(program, text, name, print)
                    failures += differ
                    return opening + html.escape(new, quote=False) + closing
                first = re.match(r"tesral-cli ([a-z0-9]+)\b", text)
                if first and first.group(1) in program.commands:
                    whole = program.help(first.group(1)).rstrip("\n")
                    if text.split("\n")[0] == whole.split("\n")[0]:
                        checked += 1
                        lines = text.rstrip("\n").split("\n")
                        # A shortened help ends on "(then the run options ...)".
                        if lines[-1].startswith("(then "):
                            cut = whole.split("\nRun options")[0]
                            whole = cut.rstrip("\n") + "\n" + lines[-1]
                        if text.rstrip("\n") != whole:
                            failures += 1
                            print(f"{name}: the help of {first.group(1)} is not the program's")
                        return opening + html.escape(whole, quote=False) + closing
                if re.search(r"^  --[a-z]", text, re.M):
                    checked += 1
                    for line in text.split("\n"):
                        if line.strip() and line.rstrip() not in program.help_lines:
                            failures += 1
                            print(f"{name}: help line not in the program's help: {line!r}")
                            break
                return match.group(0)

            updated = PRE.sub(replace, source)
            if update and updated != source:
                with open(page, "w", encoding="utf-8") as f:
                    f.write(updated)
    print(f"{checked} examples checked, {failures} differ" + (" (pages updated)" if update else ""))
    return 1 if failures and not update else 0


if __name__ == "__main__":
    sys.exit(main())
