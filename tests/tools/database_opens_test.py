#!/usr/bin/env python3
"""tools/database_opens.py on stand-ins for Cryslink: small shell scripts that
open the databases beside them as a row says, on one run of an action that
reads databases and one of an action that reads none. Each row names the
line the check must print, None for a stand-in it must pass. Skipped where
strace cannot trace. Standard library only."""
import os
import stat
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import database_opens  # noqa: E402
import corpus_outputs  # noqa: E402

RUNS = {
    "cif": ({"s.cif": corpus_outputs.source("examples/cryslink/rutile.cif")}, ["--Action=ShowCIFInf", "s.cif"]),
    "f05": ({"q-003.f05": corpus_outputs.source("examples/cryslink/quartz-003.f05")},
            ["--Action=UpdateFILE05", "--sn=4", "q-003.f05"]),
}

# name, what the stand-in reads for ShowCIFInf, for UpdateFILE05, the fault expected (None: it passes)
ROWS = [
    ("each database once", "nonrel asfdc spgra", "", None),
    ("one database twice", "nonrel asfdc nonrel spgra", "", "cif: ShowCIFInf opens {dir}/nonrel 2 times"),
    ("a database for an action that reads none", "nonrel asfdc spgra", "spgra",
     "f05: UpdateFILE05 reads no database but opens {dir}/spgra"),
    ("no database for an action that reads them", "", "", "cif: ShowCIFInf opens no database (is strace tracing it?)"),
]

STAND_IN = """#!/bin/sh
dir=$(dirname "$0")
case "$1" in
  --Action=ShowCIFInf) files="{cif}" ;;
  *) files="{other}" ;;
esac
for f in $files; do cat "$dir/$f" > /dev/null; done
"""


@unittest.skipUnless(database_opens.tracing_works(), "strace is absent or cannot trace here")
class DatabaseOpens(unittest.TestCase):
    def test_rows(self):
        for name, cif, other, expected in ROWS:
            with self.subTest(name), tempfile.TemporaryDirectory() as bin_dir:
                for db in database_opens.DATABASES:
                    with open(os.path.join(bin_dir, db), "w") as f:
                        f.write("data\n")
                exe = os.path.join(bin_dir, "Cryslink")
                with open(exe, "w") as f:
                    f.write(STAND_IN.format(cif=cif, other=other))
                os.chmod(exe, os.stat(exe).st_mode | stat.S_IXUSR)
                faults, ran = database_opens.check(exe, RUNS)
                self.assertEqual(faults, [] if expected is None else [expected.format(dir=bin_dir)])
                self.assertEqual(sorted(ran), ["ShowCIFInf", "UpdateFILE05"])


if __name__ == "__main__":
    if not database_opens.tracing_works():
        print("strace is absent or cannot trace here")
        sys.exit(database_opens.SKIPPED)
    unittest.main()
