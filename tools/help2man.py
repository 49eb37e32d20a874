#!/usr/bin/env python3
"""Writes a section 1 manual page from a program's own --help and --version,
so that the page says what the program says. With --commands, every command
listed under "Команды:" gets a section of its own from "PROGRAM COMMAND --help".

    help2man.py PROGRAM --name NAME --summary TEXT [--commands] -o OUT.1[.gz]
"""
import argparse
import gzip
import re
import subprocess
import sys


def run(argv):
    done = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    if done.returncode != 0:
        sys.exit(f"{' '.join(argv)}: exit status {done.returncode}\n{done.stderr.decode()}")
    text = done.stdout.decode("utf-8")
    if not text.endswith("\n"):
        sys.exit(f"{' '.join(argv)}: the help text does not end with a line end")
    return text


def escape(line):
    line = line.replace("\\", "\\e").replace("-", "\\-")
    if line.startswith((".", "'")):
        line = "\\&" + line
    return line


def table(block):
    """Lines "  TAG  TEXT" with their deeper-indented continuations become
    tagged paragraphs; a TAG too long for its column stands alone on its line
    and the TEXT follows indented."""
    out = []
    for line in block:
        m = re.match(r"^  (\S.*?)(?:\s{2,}(\S.*))?$", line)
        if m:
            out += [".TP", ".B " + escape(m.group(1))]
            if m.group(2):
                out.append(escape(m.group(2)))
        else:
            out.append(escape(line.strip()))
    return out


def roff(text):
    """Plain lines are filled; an indented block is a table when it starts at
    two blanks and is kept as it is otherwise; an unindented line ending with
    a colon becomes a bold heading."""
    out, block = [], []

    def flush():
        if not block:
            return
        if re.match(r"^  \S", block[0]):
            out.extend(table(block))
        else:
            out.extend([".nf"] + [escape(b) for b in block] + [".fi"])
        block.clear()

    for line in text.rstrip("\n").split("\n"):
        if line.startswith(" ") and line.strip():
            block.append(line)
            continue
        flush()
        if not line.strip():
            out.append(".PP")
        elif line.endswith(":") and len(line) < 40:
            out += [".B " + escape(line), ".br"]
        else:
            out.append(escape(line))
    flush()
    return out


def commands(help_text):
    block = re.search(r"^Команды:\n((?:  .*\n)+)", help_text, re.M)
    if not block:
        sys.exit("no \"Команды:\" block in the help text")
    return re.findall(r"^  ([a-z][a-z-]*) ", block.group(1), re.M)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("program")
    ap.add_argument("--name", required=True)
    ap.add_argument("--summary", required=True)
    ap.add_argument("--commands", action="store_true")
    ap.add_argument("--see-also", default="")
    ap.add_argument("-o", dest="out", required=True)
    a = ap.parse_args()

    help_text = run([a.program, "--help"])
    version = run([a.program, "--version"]).split("\n")[0]
    page = [
        f'.TH {a.name.upper()} 1 "" "{escape(version)}" "Команды пользователя"',
        ".nh",
        ".SH ИМЯ",
        f"{escape(a.name)} \\- {escape(a.summary)}",
        ".SH ОПИСАНИЕ",
    ]
    page += roff(help_text)
    if a.commands:
        page.append(".SH КОМАНДЫ")
        for name in commands(help_text):
            page.append(f".SS {escape(name)}")
            page += roff(run([a.program, name, "--help"]))
    if a.see_also:
        page += [".SH СМОТРИТЕ ТАКЖЕ", escape(a.see_also)]
    data = ("\n".join(page) + "\n").encode("utf-8")
    if a.out.endswith(".gz"):
        # No name and no time in the header: the same page gives the same bytes.
        with open(a.out, "wb") as raw, gzip.GzipFile("", "wb", 9, raw, mtime=0) as z:
            z.write(data)
    else:
        with open(a.out, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
