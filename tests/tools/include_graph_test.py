#!/usr/bin/env python3
"""tools/include_graph.py on small trees: each row breaks one rule (or looks
as if it did) and names the line the checker must print, None for a tree it
must pass. Standard library only."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import include_graph  # noqa: E402

# The tree every row starts from: a few files a layer, each including files below it.
BASE = {
    "cryslink/core/crystal.h": "#pragma once\n",
    "cryslink/analysis/rdf.h": '#include "core/crystal.h"\n',
    "cryslink/md/torv.h": '#include "analysis/rdf.h"\n',
    "cryslink/abinitio/vasp.h": '#include "core/crystal.h"\n#include <vector>\n',
    "cryslink/md/history.h": "#pragma once\n",
    "cryslink/app/options.h": "#pragma once\n",
    "cryslink/app/main.cpp": '#include "abinitio/vasp.h"\n#include "md/torv.h"\nCCommandLine commandLine;\n',
    "latfit/commons.h": "#pragma once\n",
    "latfit/fit.cpp": '#include "commons.h"\n',
}

# name, files added to BASE (or replacing its own), the line expected (None: the tree passes)
ROWS = [
    ("the tree as it is", {}, None),
    ("core includes app", {"cryslink/core/crystal.h": '#include "app/options.h"\n'},
     "cryslink/core/crystal.h:1: core/ includes cryslink/app/options.h, which lies above it"),
    ("analysis includes md", {"cryslink/analysis/rdf.h": '#include "md/history.h"\n'},
     "cryslink/analysis/rdf.h:1: analysis/ includes cryslink/md/history.h, which lies above it"),
    ("md includes abinitio", {"cryslink/md/torv.h": '#include "abinitio/vasp.h"\n'},
     "cryslink/md/torv.h:1: md/ includes cryslink/abinitio/vasp.h, which lies beside it"),
    ("an app header below app by angle brackets", {"cryslink/md/torv.h": "#include <app/options.h>\n"},
     "cryslink/md/torv.h:1: md/ includes cryslink/app/options.h, which lies above it"),
    ("the command line named below app", {"cryslink/abinitio/vasp.cpp": "int f(const CCommandLine& c);\n"},
     "cryslink/abinitio/vasp.cpp: names CCommandLine, which only app/ reads"),
    ("latfit includes Cryslink", {"latfit/fit.cpp": '#include "core/crystal.h"\n'},
     "latfit/fit.cpp:1: latfit includes cryslink/core/crystal.h of cryslink; the programs share no code"),
    ("Cryslink includes latfit", {"cryslink/core/units.h": '#include "commons.h"\n'},
     "cryslink/core/units.h:1: cryslink includes latfit/commons.h of latfit; the programs share no code"),
    ("a cycle within a layer", {"cryslink/core/a.h": '#include "core/b.h"\n', "cryslink/core/b.h": '#include "a.h"\n'},
     "include cycle: cryslink/core/a.h -> cryslink/core/b.h -> cryslink/core/a.h"),
    ("an include of no file", {"cryslink/core/crystal.h": '#include "core/cristal.h"\n'},
     'cryslink/core/crystal.h:1: includes "core/cristal.h", which names no file of the programs'),
    ("a directory in no layer", {"cryslink/io/xyz.h": '#include "core/crystal.h"\n'},
     "cryslink/io/xyz.h: lies in no layer of Cryslink (core, analysis, md, abinitio, app)"),
    ("includes and names in comments and strings only",
     {"cryslink/core/crystal.h": '// #include "app/main.cpp"\n/* CCommandLine\n#include "md/torv.h" */\n'
                                 'const char* s = "CCommandLine"; char q = \'"\';\n'},
     None),
]


class IncludeGraph(unittest.TestCase):
    def test_rows(self):
        for name, files, expected in ROWS:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                for path, text in {**BASE, **files}.items():
                    os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
                    with open(os.path.join(root, path), "w") as f:
                        f.write(text)
                problems, _, _ = include_graph.check(root)
                self.assertEqual(problems, [] if expected is None else [expected])


if __name__ == "__main__":
    unittest.main()
