#!/usr/bin/env python3
"""Replays random conversations through two builds of quendrix and compares every byte.

    python3 tests/replay/replay.py OLD NEW [--count N] [--seed S] [--all] [--keep DIR] [--jobs J]
                                   [--corpus DIR]

Each case is a generated defaults file, an optional earlier report file, and an answer script
that follows the dialogue (electrical answers, storage questions and names, menus, dimensional
answers, re-runs and new designs), with ordinary, boundary, odd and occasionally bad answers.
Both programs run in fresh folders holding the same files; the case passes when their standard
output, standard error, exit status and every file left in the folder are identical.

Two things are masked before the comparison: the date and time the banner and the report
headers print (the two runs do not start in the same second), and the source position of the
run-time error stop's locus line ("At line 123 of file units.cpp"), which moves whenever the
code does; the unit, the file name and the message line are compared as they are.

--corpus DIR replays the inputs of the whole-conversation fuzz target instead (its format: the
defaults file, a 0x00 byte, the answer script; no 0x00 means the shipped defaults file, a
defaults part of "-" means none, and every '/' becomes '_' so that no name leaves the folder).

By default the generator leaves out the inputs whose handling was changed on purpose after the
first release (infinite or overflowing numbers, damaged defaults files, whose exit status is
now 1); --all puts them in, for comparing two builds that should agree on everything.

Exit status: 0 when every case agrees, 1 when one differs (the first differences are printed
and, with --keep, every differing case is kept in DIR), 2 on bad usage.
"""
import argparse
import concurrent.futures
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

DATE = re.compile(rb"Date:.{2}/.{2}/.{4} at .{2}:.{2}:.{2}Hours")
LOCUS = re.compile(rb"^At line \d+ of file [^ \n]+", re.M)

FILE_NAMES = ["ELECTRICAL.TXT", "DIMENSIONAL.TXT", "e.txt", "d.txt", "report.xls", "out.doc",
              "./e.txt", "a name with blanks", "  lead.txt", "x" * 25, "sub/e.txt", "Quendrix.DEF",
              "./Quendrix.DEF", "missing/dir.txt", ".", "r1", "r2"]


def nearest(text):
    """The nearest integer of an answer, halves away from zero; None when it is no number."""
    try:
        x = float(text)
    except ValueError:
        return None
    if x != x or abs(x) > 1e9:
        return None
    return int(math.copysign(math.floor(abs(x) + 0.5), x))


class Case:
    def __init__(self, rng, wide):
        self.rng = rng
        self.wide = wide
        self.lines = []
        self.defaults = self.make_defaults()

    # ------------------------------------------------------------------ values
    def answer(self, typical, blank, ordinary, odd, bad, bad_rate):
        """A blank answer with probability blank, a typical one up to ordinary, else an odd one,
        now and then a bad one."""
        r = self.rng.random()
        if r < blank:
            return ""
        if r < ordinary:
            return self.rng.choice(typical)
        pool = list(odd)
        if self.rng.random() < bad_rate:
            pool += bad
        return self.rng.choice(pool)

    def real(self, typical, odd=()):
        pool = ["0", "-1", "-0", "1e-30", "12,5", "  1 5", ".", "-", "+", "1.5-3", "0.5", "1.0",
                "nan", "1E10000" if self.wide else "1e30", "2.5", "1.49999"] + list(odd)
        if self.wide:
            pool += ["inf", "-inf", "1e39", "Infinity"]
        return self.answer(typical, 0.30, 0.75, pool, ["abc", "1500 MHz", "1.2.3", "\t5"], 0.03)

    def menu(self, typical):
        """An answer read as an integer in two columns."""
        return self.answer(typical, 0.1, 0.95, ["0", "-1", "12", "123", " 1", "01", "99"],
                           ["1.", "x", "+"], 0.1)

    def choice(self, typical):
        return self.answer(typical, 0.25, 0.85,
                           ["0", "-1", "1.4", "1.5", "2.5", "3", "12", "123", "99", "nan"],
                           ["1.", "x", "+"], 0.03)

    def make_defaults(self):
        rng = self.rng
        f0 = rng.choice(["3000.", "2400", "1000", "10000", "500", "3000"])
        bw = rng.choice(["900.", "1000", "100", "50", "1500", "5000", "900"])
        itorb = rng.choice(["1.", "2", "1.4", "1"])
        self.itorbdef = 2 if itorb == "2" else 1
        entries = [
            "Quendrix default data",
            f0, bw,
            itorb,
            rng.choice(["0.1", "0.01", "0.5", "1", "0.05"]),
            rng.choice(["3600.", "5000", "100", "20000", "4500"]),
            rng.choice(["40.", "-40", "20", "60", "0"]),
            rng.choice(["5.", "2", "7", "10", "1.5", "40", "3"]),
            rng.choice(["50.", "75", "25", "50"]),
            rng.choice(["1.", "2", "1"]),
            rng.choice(["0.031", "0.025", "0.062", "0.2", "1"]),
            rng.choice(["2.2", "9.8", "1", "10.2", "4.4"]),
            rng.choice(["0.0014", "0", "0.0007", "0.0002"]),
            rng.choice(["0.062", "0.125", "0.5"]),
            rng.choice(["2.2", "10.2", "1", "3.0"]),
            rng.choice(["0.0014", "0", "0.0007"]),
            rng.choice(["ELECTRICAL.TXT", "e.txt", "  lead.txt", "Quendrix.DEF"]),
            rng.choice(["DIMENSIONAL.TXT", "d.txt", "ELECTRICAL.TXT", "x" * 24]),
        ]
        if self.wide and rng.random() < 0.25:
            # A damaged entry: a bad value, a failed test, an infinity or a missing line.
            k = rng.randrange(1, 18)
            entries[k] = rng.choice(["abc", "0", "-5", "inf", "1e39", "", "   ", "3000 MHz", "nan"])
            if rng.random() < 0.3:
                entries = entries[:rng.randrange(0, 18)]
        comments = ["", "   comment", "\tcomment"]
        eol = rng.choice(["\n", "\r\n", "\r"])
        text = eol.join(e.ljust(14) + rng.choice(comments) if e.strip() and rng.random() < 0.5 else e
                        for e in entries)
        if rng.random() < 0.9:
            text += eol
        return text.encode("latin-1")

    # ------------------------------------------------------------------ dialogue
    def say(self, answer):
        self.lines.append(answer)

    def storage(self):
        ans = self.choice(["1", "1", "2", "0", "1.4", "0.5"])
        self.say(ans)
        if nearest(ans) == 1:
            name = self.rng.choice(FILE_NAMES + ["", "", "   "])
            self.say(name)
            if name.strip() in ("Quendrix.DEF", "./Quendrix.DEF"):
                self.say(self.rng.choice(["", "e.txt", "d.txt"]))

    def electrical(self):
        self.say(self.real(["3000", "2400", "1000", "10000", "150"]))
        self.say(self.real(["900", "1000", "100", "3000", "6000", "10"]))
        resp = self.choice(["1", "2", "1", "2"])
        self.say(resp)
        itorb = self.itorbdef
        if nearest(resp) in (1, 2):
            itorb = nearest(resp)
        if itorb != 2:
            self.say(self.real(["0.1", "0.01", "0.05", "0.5", "3"]))
        for _ in range(3):
            method = self.choice(["1", "2", "1", "5"])
            self.say(method)
            if method.strip() in ("2", "5", "3", "12", "123", "99", "2.5", "1.5"):
                self.say(self.real(["3600", "2000", "4000", "5000", "-3600", "3000", "100"]))
                self.say(self.real(["40", "-40", "20", "60", "0.01", "100", "300"]))
                break
            n = self.real(["5", "2", "3", "10", "40", "41", "7", "1.5", "1"])
            self.say(n)
            if n.strip() not in ("41",):
                break
        self.say(self.real(["50", "75", "0", "25", "100"]))
        self.storage()

    def dimensional(self):
        self.say(self.choice(["1", "2", "1", "2", "1.5"]))
        self.say(self.real(["0.031", "0.062", "0.025", "0.5", "0.005"]))
        self.say(self.real(["2.2", "9.8", "1", "0.99999", "10.2", "4.4", "13"]))
        self.say(self.real(["0.0014", "0.0007", "0.1", "0.0002"]))
        self.storage()

    def conversation(self):
        rng = self.rng
        for _ in range(rng.randrange(1, 4)):
            self.electrical()
            first = self.menu(["1", "1", "1", "2", "3"])
            self.say(first)
            if first.strip() == "2":
                continue
            if first.strip() != "1":
                break
            for _ in range(rng.randrange(1, 4)):
                self.dimensional()
                last = self.menu(["3", "4", "2", "1", "3"])
                self.say(last)
                if last.strip() != "3":
                    break
            if rng.random() < 0.5:
                break
        if rng.random() < 0.2:
            self.lines = self.lines[:rng.randrange(0, len(self.lines) + 1)]  # input ends early
        eol = rng.choice(["\n", "\n", "\r\n"])
        text = eol.join(self.lines)
        if rng.random() < 0.9:
            text += eol
        return text.encode("latin-1")


def make_case(seed, wide):
    rng = random.Random(seed)
    case = Case(rng, wide)
    script = case.conversation()
    earlier = None
    if rng.random() < 0.3:
        earlier = (rng.choice(["ELECTRICAL.TXT", "DIMENSIONAL.TXT", "e.txt", "d.txt"]),
                   b"an earlier, longer report\r\n" * rng.randrange(1, 200))
    return case.defaults, script, earlier


def corpus_case(path, shipped):
    with open(path, "rb") as f:
        data = f.read()
    if b"\0" in data:
        defaults, script = data.split(b"\0", 1)
    else:
        defaults, script = shipped, data
    if defaults == b"-":
        defaults = None
    clean = lambda b: None if b is None else b.replace(b"/", b"_")
    return clean(defaults), clean(script), None


def run(exe, folder, defaults, script, earlier):
    os.makedirs(folder)
    os.makedirs(os.path.join(folder, "sub"))
    if defaults is not None:
        with open(os.path.join(folder, "Quendrix.DEF"), "wb") as f:
            f.write(defaults)
    if earlier is not None:
        with open(os.path.join(folder, earlier[0]), "wb") as f:
            f.write(earlier[1])
    p = subprocess.run([exe], input=script, cwd=folder, capture_output=True, timeout=60)
    files = {}
    for base, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(base, name)
            with open(path, "rb") as f:
                files[os.path.relpath(path, folder)] = DATE.sub(b"Date:<stamp>", f.read())
    return (DATE.sub(b"Date:<stamp>", p.stdout), LOCUS.sub(b"At line # of file #", p.stderr),
            p.returncode, files)


def compare(args, tmp, index):
    seed = args.seed * 1000003 + index
    if args.corpus:
        defaults, script, earlier = corpus_case(args.inputs[index], args.shipped)
        seed = os.path.basename(args.inputs[index])
    else:
        defaults, script, earlier = make_case(seed, args.all)
    case_dir = os.path.join(tmp, f"case{index}")
    a = run(args.old, os.path.join(case_dir, "old"), defaults, script, earlier)
    b = run(args.new, os.path.join(case_dir, "new"), defaults, script, earlier)
    if a == b:
        shutil.rmtree(case_dir)
        return None
    what = []
    for name, x, y in (("stdout", a[0], b[0]), ("stderr", a[1], b[1]), ("status", a[2], b[2])):
        if x != y:
            what.append(name)
    for name in sorted(set(a[3]) | set(b[3])):
        if a[3].get(name) != b[3].get(name):
            what.append(f"file {name!r}")
    with open(os.path.join(case_dir, "answers.txt"), "wb") as f:
        f.write(script)
    if defaults is not None:
        with open(os.path.join(case_dir, "Quendrix.DEF"), "wb") as f:
            f.write(defaults)
    if args.keep:
        shutil.copytree(case_dir, os.path.join(args.keep, f"case{index}"), dirs_exist_ok=True)
    return f"case {index} ({seed}): differs in {', '.join(what)}"


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("old")
    ap.add_argument("new")
    ap.add_argument("--count", type=int, default=500)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--all", action="store_true", help="include the inputs changed on purpose")
    ap.add_argument("--keep", help="folder for the differing cases")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--corpus", help="replay the whole-conversation fuzz inputs of this folder")
    args = ap.parse_args()
    if args.corpus:
        args.inputs = sorted(os.path.join(args.corpus, n) for n in os.listdir(args.corpus))
        args.count = len(args.inputs)
        here = os.path.dirname(os.path.abspath(__file__))
        with open(os.path.join(here, "..", "..", "Quendrix.DEF"), "rb") as f:
            args.shipped = f.read()
    for exe in (args.old, args.new):
        if not os.access(exe, os.X_OK):
            print(f"replay.py: {exe} is not an executable", file=sys.stderr)
            return 2
    args.old = os.path.abspath(args.old)
    args.new = os.path.abspath(args.new)
    tmp = tempfile.mkdtemp(prefix="quendrix-replay-")
    try:
        with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
            results = list(pool.map(lambda i: compare(args, tmp, i), range(args.count)))
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    bad = [r for r in results if r]
    for line in bad[:20]:
        print(line)
    print(f"{args.count - len(bad)} of {args.count} conversations identical")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
