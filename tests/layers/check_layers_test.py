#!/usr/bin/env python3
"""The layer check on small made-up trees: each case is a few files and what the check must say."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "check_layers.py")

CASES = [
    # (name, {file: include}, words the check must print, or None when it must pass)
    ("a sub-layer uses the one below", {"export/render/A.h": "export/take/B.h", "export/take/B.h": None}, None),
    ("the top uses a sub-layer", {"export/A.h": "export/codec/B.h", "export/codec/B.h": None}, None),
    ("the encoders reach above common",
     {"export/codec/A.h": "state/B.h", "state/B.h": None}, "export/codec/ may not include state/B.h"),
    ("a sub-layer reaches up",
     {"export/take/A.h": "export/render/B.h", "export/render/B.h": None}, "export/take/ may not include"),
    ("two sub-layers include each other",
     {"export/take/A.h": "export/render/B.h", "export/render/B.h": "export/take/A.h"},
     "folders include each other: export/render <-> export/take"),
    ("the export and the capture share a rank",
     {"capture/A.h": "export/B.h", "export/B.h": None}, "capture/ may not include export/B.h"),
    ("a portable sub-layer includes windows.h", {"export/take/A.h": "<windows.h>"}, "includes <windows.h>"),
]


class CheckLayersTest(unittest.TestCase):
    def test_cases(self):
        for name, files, expected in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                for path, include in files.items():
                    os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
                    with open(os.path.join(root, path), "w") as f:
                        if include:
                            f.write(f"#include {include}\n" if include[0] == "<" else f'#include "{include}"\n')
                run = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
                if expected is None:
                    self.assertEqual(run.returncode, 0, run.stderr)
                else:
                    self.assertEqual(run.returncode, 1)
                    self.assertIn(expected, run.stderr)


if __name__ == "__main__":
    unittest.main()
