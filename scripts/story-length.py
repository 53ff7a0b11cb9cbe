#!/usr/bin/env python3
"""Length of every route through the story, read from content/story/*.txt.

Follows the scripts as the interpreter does (labels, #N, #I, #G, #F, #FS,
#L and the choices) for each combination of answers and prints, per route,
the messages shown, the full-width characters in them (markup and ruby
readings left out) and the reading time at 400 characters a minute. With
--long it also lists written lines wider than the window's 25 characters,
which the engine would break wherever the width runs out.

    scripts/story-length.py [--dir content/story] [--long]
"""
import argparse
import itertools
import os
import re
import sys

WINDOW_COLUMNS = 25
READING_SPEED = 400  # characters a minute


def entries(text):
    """The script's entries as the loader cuts them: (kind, body, line)."""
    out, cur, state, line, start = [], [], "idle", 1, 1
    i = 0

    def end_entry():
        body = "".join(cur)
        if state == "text":
            body = body.strip("\n")
            if body:
                out.append(("text", body, start))
        elif state == "cmd":
            out.append(("cmd" if body[0] == "#" else "label", body[1:], start))

    while i < len(text):
        ch = text[i]
        if ch in " \t\r":
            i += 1
            continue
        if ch == "/" and text[i + 1:i + 2] == "/":
            j = text.find("\n", i)
            j = len(text) if j < 0 else j
            if state == "cmd":
                end_entry()
                cur, state = [], "idle"
            elif state == "text" and cur and cur[-1] != "\n":
                cur.append("\n")
            i = j + 1
            line += 1
            continue
        if ch == "\n":
            line += 1
            if state == "text":
                cur.append(ch)
            elif state == "cmd":
                end_entry()
                cur, state = [], "idle"
            i += 1
            continue
        if ch in "#@":
            end_entry()
            cur, state, start = [ch], "cmd", line
            i += 1
            continue
        if state == "idle":
            cur, state, start = [], "text", line
        cur.append(ch)
        i += 1
    end_entry()
    return out


def shown(body):
    """The characters a message shows: tags and ruby readings dropped."""
    body = re.sub(r"\|[^>]*>", "", body)  # ruby reading and its closing '>'
    body = re.sub(r"<[A-Za-z]\d*", "", body)
    return body.replace(">", "")


def full_width(s):
    return sum(1 for ch in s if ord(ch) > 0x7F and ch != "\n")


class Route:
    def __init__(self, scripts, answers):
        self.scripts, self.answers = scripts, list(answers)
        self.flags, self.messages, self.chars, self.choices_made = {}, 0, 0, 0
        self.endings = []

    def run(self):
        # The play-through opens the three scenes in turn; #L goes on elsewhere.
        for scene in (0, 1, 2):
            number = scene
            while number is not None:
                self.endings.append(number)
                number = self.run_script(number)

    def run_script(self, number):
        es = self.scripts.get(number, [])
        labels = {body: i for i, (k, body, _) in reversed(list(enumerate(es))) if k == "label"}
        var = [0] * 10
        pc = 0

        def value(a):
            if a[:1] in ("N", "n"):
                return var[int(a[1])]
            return int(a) if re.fullmatch(r"\d+", a) else None

        while pc < len(es):
            kind, body, _ = es[pc]
            pc += 1
            if kind == "text":
                self.messages += 1
                self.chars += full_width(shown(body))
                continue
            if kind != "cmd" or not body:
                continue
            c, args = body[0].upper(), body[1:]
            if c == "N":
                v = value(args[2:])
                if args[1] == "+":
                    var[int(args[0])] += v
                elif args[1] == "-":
                    var[int(args[0])] -= v
                else:
                    var[int(args[0])] = v
            elif c == "G":
                pc = labels.get(args, len(es))
            elif c == "I":
                a = args.split(",")
                x, op, y = value(a[0]), a[1], value(a[2])
                ok = {"==": x == y, ">=": x >= y, "<=": x <= y, ">": x > y, "<": x < y,
                      "!=": x != y}.get(op, False)
                if ok:
                    pc = labels.get(a[3], len(es))
                elif len(a) == 5:
                    pc = labels.get(a[4], len(es))
            elif c == "F" and args[:1].upper() == "S":
                f, v = args[1:].split(",")
                self.flags[int(f)] = int(v)
            elif c == "F":
                var[int(args[2])] = self.flags.get(int(args[3:].split(",")[1]), 0)
            elif c == "C" and not args[:1].isdigit():
                pick = self.answers[self.choices_made] if self.choices_made < len(self.answers) else 0
                self.choices_made += 1
                var[0] = pick
            elif c == "L":
                return int(args)
        return None


def long_lines(scripts):
    for number, es in sorted(scripts.items()):
        for kind, body, line in es:
            if kind != "text":
                continue
            for k, part in enumerate(body.split("\n")):
                width = full_width(shown(part)) + sum(1 for ch in shown(part) if ord(ch) < 0x80) / 2
                # A closing mark may hang past the margin.
                if width > WINDOW_COLUMNS and not (width <= WINDOW_COLUMNS + 1 and
                                                   shown(part)[-1:] in "。、」』？！"):
                    yield "s%04d.txt:%d: line %d is %g wide: %s" % (number, line, k + 1, width,
                                                                    shown(part))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("--dir", default=os.path.join(here, "..", "content", "story"))
    ap.add_argument("--long", action="store_true", help="list lines wider than the window")
    opts = ap.parse_args()
    scripts = {}
    for name in os.listdir(opts.dir):
        m = re.fullmatch(r"s(\d{4})\.txt", name)
        if m:
            with open(os.path.join(opts.dir, name), encoding="utf-8") as f:
                scripts[int(m.group(1))] = entries(f.read())
    prologue = Route(scripts, [])
    prologue.run_script(0)
    print("prologue (s0000): %d messages, %d characters" % (prologue.messages, prologue.chars))
    seen = set()
    for answers in itertools.product(range(2), repeat=2):
        r = Route(scripts, answers)
        r.run()
        key = tuple(r.endings)
        if key in seen:
            continue
        seen.add(key)
        print("choices %s: scripts %s: %d messages, %d characters, %.1f minutes, prologue %.0f%%"
              % (",".join(map(str, answers)), " ".join("s%04d" % n for n in r.endings),
                 r.messages, r.chars, r.chars / READING_SPEED, 100.0 * prologue.chars / r.chars))
    if opts.long:
        problems = list(long_lines(scripts))
        for p in problems:
            print(p)
        return 1 if problems else 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
