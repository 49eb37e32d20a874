#!/usr/bin/env python3
"""Kills `kvortcfg decode`, `read-card` and `new` at random moments while they
replace a configuration set, and checks after every kill that the set is the
whole old set or the whole new one.

The set is NAME.cnf, NAME.tb0..NAME.tb8 and NAME.bin, compared by their
hashes (a missing file counts as a state of its own). A kill among the final
renames leaves a journal beside the set; the next opening finishes it, so
such a state is counted apart and must turn into the new set when a command
that opens the configuration (`kvortcfg json`) runs. Hidden temporaries of a
killed write may remain until the next write of the set; at the end one
uninterrupted write must leave none.

usage: kill_set_writes.py KVORTCFG EXAMPLES_DIR [--kills N] [--seed S]
exit status 0 when every kill left the old or the new set.
"""
import argparse
import glob
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

MEMBERS = ["cnf"] + ["tb%d" % n for n in range(9)] + ["bin"]


def state(folder, name):
    out = {}
    for ext in MEMBERS:
        path = os.path.join(folder, "%s.%s" % (name, ext))
        try:
            with open(path, "rb") as f:
                out[ext] = hashlib.sha256(f.read()).hexdigest()
        except FileNotFoundError:
            out[ext] = None
    return out


def leftovers(folder, name):
    temps = glob.glob(os.path.join(folder, ".%s.*.kvtmp-*" % name))
    journals = [j for j in glob.glob(os.path.join(folder, ".%s.kvset-*" % name))
                if ".kvtmp-" not in j]
    return temps, journals


def run(cmd, cwd):
    return subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("kvortcfg")
    ap.add_argument("examples")
    ap.add_argument("--kills", type=int, default=300)
    ap.add_argument("--seed", type=int, default=20261209)
    args = ap.parse_args()
    kv = os.path.abspath(args.kvortcfg)
    rng = random.Random(args.seed)

    work = tempfile.mkdtemp(prefix="kvort-kill-")
    try:
        src = os.path.join(work, "src")
        scratch = os.path.join(work, "scratch")
        target = os.path.join(work, "set")
        for d in (src, scratch, target):
            os.makedirs(d)
        for f in os.listdir(os.path.join(args.examples, "full")):
            shutil.copy(os.path.join(args.examples, "full", f), src)
            shutil.copy(os.path.join(args.examples, "full", f), target)
        images = {}
        for series in ("fh", "i"):
            img = os.path.join(work, "%s.bin" % series)
            run([kv, "encode", os.path.join(src, "full.cnf"), "--series", series, "-o", img], work)
            images[series] = img
        commands = {
            "decode-fh": [kv, "decode", images["fh"], "-o", "full.cnf"],
            "decode-i": [kv, "decode", images["i"], "-o", "full.cnf"],
            "read-card-fh": [kv, "read-card", images["fh"], "-o", "full.cnf"],
            "read-card-i": [kv, "read-card", images["i"], "-o", "full.cnf"],
            "new": [kv, "new", "full.cnf"],
        }

        # What each command makes of the set: the members it writes or
        # removes, learnt from an uninterrupted run over the full sample.
        effect, duration = {}, {}
        for key, cmd in commands.items():
            # The longest of three runs: on a busy machine a single one
            # would put most kills before the commit.
            duration[key] = 0
            for _ in range(3):
                shutil.rmtree(scratch)
                shutil.copytree(src, scratch)
                t0 = time.monotonic()
                r = run(cmd, scratch)
                duration[key] = max(duration[key], time.monotonic() - t0)
            if r.returncode != 0:
                print("%s failed: %s" % (key, r.stderr.decode()), file=sys.stderr)
                return 2
            after = state(scratch, "full")
            # Everything but NAME.bin, which only a read writes, is what the
            # command makes whatever the set held before.
            effect[key] = {m: after[m] for m in MEMBERS
                           if m != "bin" or key.startswith("read-card")}

        figures = {k: {"kills": 0, "old": 0, "new": 0, "journal": 0, "broken": 0,
                       "finished": 0, "temps": 0} for k in commands}
        kills = 0
        failures = []
        while kills < args.kills:
            key = rng.choice(sorted(commands))
            old = state(target, "full")
            expected = dict(old)
            expected.update(effect[key])
            p = subprocess.Popen(commands[key], cwd=target, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
            # Half of the kills aim at the end of the run, where the set is
            # committed.
            if rng.random() < 0.5:
                time.sleep(rng.uniform(0, duration[key]))
            else:
                time.sleep(rng.uniform(duration[key] * 0.6, duration[key] * 1.4))
            try:
                os.kill(p.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            rc = p.wait()
            f = figures[key]
            now = state(target, "full")
            if rc != -signal.SIGKILL:
                f["finished"] += 1
                if now != expected:
                    failures.append("%s finished but the set is not the new one" % key)
                continue
            kills += 1
            f["kills"] += 1
            temps, journals = leftovers(target, "full")
            if temps:
                f["temps"] += 1
            if now == old:
                f["old"] += 1
            elif now == expected:
                f["new"] += 1
            elif journals:
                f["journal"] += 1
                run([kv, "json", "full.cnf", "-o", os.path.join(work, "x.json")], target)
                done = state(target, "full")
                if done != expected:
                    f["broken"] += 1
                    diff = [m for m in MEMBERS if done[m] != expected[m]]
                    failures.append("%s kill %d: the journal did not finish the new set (%s; %s)"
                                    % (key, kills, ", ".join(diff),
                                       " ".join(sorted(os.listdir(target)))))
            else:
                f["broken"] += 1
                diff = [m for m in MEMBERS if now[m] != old[m] and now[m] != expected[m]]
                failures.append("%s kill %d: neither old nor new (%s)" % (key, kills,
                                                                         ", ".join(diff)))

        # One write that runs to its end removes what the killed ones left.
        r = run(commands["decode-fh"], target)
        temps, journals = leftovers(target, "full")
        staging = glob.glob(os.path.join(target, "full.history", ".staging-*"))

        print("command        kills  old  new  journal  broken  finished  temps-left")
        for key in sorted(figures):
            f = figures[key]
            print("%-13s %6d %4d %4d %8d %7d %9d %11d" % (
                key, f["kills"], f["old"], f["new"], f["journal"], f["broken"], f["finished"],
                f["temps"]))
        print("after one more write: %d temporaries, %d journals, %d history stagings left"
              % (len(temps), len(journals), len(staging)))
        entries = [d for d in os.listdir(os.path.join(target, "full.history"))
                   if not d.startswith(".")]
        print("history entries kept: %d" % len(entries))
        for line in failures[:20]:
            print("FAIL: " + line)
        ok = not failures and not temps and not journals and not staging and r.returncode == 0
        print("OK" if ok else "FAILED")
        return 0 if ok else 1
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
