#!/usr/bin/env python3
"""Checks that one run of Cryslink opens each of its database files at most
once, on every run of tools/corpus_outputs.py (every action on the real files
of the corpus and the examples) and on runs whose databases are missing:

    /usr/bin/python3 tools/database_opens.py build/bin/Cryslink

Each run is traced with `strace -f -e trace=openat` (and open, openat2 where
the system has them). A database is a file named nonrel, asfdc or spgra;
attempts that fail count as openings. An action that reads databases must
open at least one (else the trace saw nothing), and UpdateFILE05,
AddHistoryCSV, WIENConvDOS and DVXaF01Conv open none. Prints one line per
fault and ends with status 1, else a summary and 0; ends with 77 (a skipped
test to CTest) when strace is absent or cannot trace here. Standard library
only.
"""
import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpus_outputs  # noqa: E402

DATABASES = ("nonrel", "asfdc", "spgra")
NO_DATABASE_ACTIONS = ("UpdateFILE05", "AddHistoryCSV", "WIENConvDOS", "DVXaF01Conv")
SKIPPED = 77

TRACE = ["strace", "-f", "-qq", "-e", "trace=?open,openat,?openat2"]
# The path argument of an open call in strace's log ("openat(AT_FDCWD, "p", ...", "open("p", ...").
OPENED = re.compile(r'\bopen(?:at2?)?\((?:[^",]*,\s*)?"((?:[^"\\]|\\.)*)"')


def tracing_works():
    """True when strace is installed and may trace a child here."""
    if shutil.which("strace") is None:
        return False
    run = subprocess.run(["strace", "-o", os.devnull, "true"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return run.returncode == 0


def action_of(args):
    for a in args:
        if a.lower().startswith("--action="):
            return a.split("=", 1)[1]
    return ""


def database_opens(exe, work, args):
    """How often the run opened each database file, by its absolute path."""
    log = os.path.join(work, "strace.log")
    env = dict(os.environ)
    # LeakSanitizer cannot run under a tracer.
    env["ASAN_OPTIONS"] = (env.get("ASAN_OPTIONS", "") + ":detect_leaks=0").lstrip(":")
    subprocess.run(TRACE + ["-o", log, exe] + args, cwd=work, env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    counts = collections.Counter()
    with open(log, errors="replace") as f:
        for line in f:
            m = OPENED.search(line)
            if m and os.path.basename(m.group(1)) in DATABASES:
                counts[os.path.normpath(os.path.join(work, m.group(1)))] += 1
    return counts


def check(exe, runs):
    """The faults found on `runs` (name -> (files, arguments), as in
    corpus_outputs.RUNS), and the actions that ran."""
    exe = os.path.abspath(exe)
    faults, ran = [], collections.Counter()
    with tempfile.TemporaryDirectory(prefix="cryslink-db-opens-") as scratch:
        for name, (files, args) in sorted(runs.items()):
            if not all(os.path.exists(f) for f in files.values()):
                continue
            work = os.path.join(scratch, name)
            os.makedirs(work)
            for target, origin in files.items():
                os.makedirs(os.path.dirname(os.path.join(work, target)), exist_ok=True)
                shutil.copyfile(origin, os.path.join(work, target))
            args = [a.replace("{work}", work) for a in args]
            action = action_of(args)
            ran[action] += 1
            counts = database_opens(exe, work, args)
            for path, n in sorted(counts.items()):
                if n > 1:
                    faults.append(f"{name}: {action} opens {path} {n} times")
            if action in NO_DATABASE_ACTIONS and counts:
                faults.append(f"{name}: {action} reads no database but opens {', '.join(sorted(counts))}")
            if action not in NO_DATABASE_ACTIONS and not counts:
                faults.append(f"{name}: {action} opens no database (is strace tracing it?)")
    return faults, ran


def runs_with_missing_databases():
    """ShowCIFInf and ConvF09p with a database directory that holds none."""
    cif = {"s.cif": corpus_outputs.source("examples/cryslink/rutile.cif")}
    empty = ["--DBDir={work}/no-databases"]
    return {
        "missing-databases-cif": (cif, ["--Action=ShowCIFInf"] + empty + ["s.cif"]),
        "missing-databases-torv": (corpus_outputs.torv("sio2"), ["--Action=ConvF09p"] + empty + ["sio2.f9p"]),
    }


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    if not tracing_works():
        print("strace is absent or cannot trace here: the database openings are not checked")
        return SKIPPED
    runs = dict(corpus_outputs.RUNS)
    runs.update(runs_with_missing_databases())
    faults, ran = check(sys.argv[1], runs)
    for f in faults:
        print(f)
    if faults:
        return 1
    print(f"{sum(ran.values())} runs of {len(ran)} actions ({', '.join(sorted(ran))}): "
          "each database file opened at most once")
    return 0


if __name__ == "__main__":
    sys.exit(main())
