#!/usr/bin/env python3
"""The include check on small trees of its own: the folder order with its
subsystem layers, siblings, the registration unit, and unit loops."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "check_layers.py")

TABLE = """# Tree

## Layout

| order | folder | what it holds |
|---|---|---|
| 1 | `base` | the bottom |
| 2 | | **the subsystem** |
| 2.1 | `sub/model` | records |
| 2.1 | `sub/dialogs` | dialogs |
| 2.2 | `sub` | commands |
| 3 | `top` | the top |

## Other
| 9 | `ignored` | not part of the table |
"""


class CheckLayersTest(unittest.TestCase):
    def tree(self, files, table=TABLE):
        root = tempfile.mkdtemp()
        self.addCleanup(lambda: subprocess.run(["rm", "-rf", root], check=True))
        with open(os.path.join(root, "README.md"), "w", encoding="utf-8") as f:
            f.write(table)
        for path, text in files.items():
            full = os.path.join(root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w", encoding="utf-8") as f:
                f.write(text)
        return root

    def run_check(self, root):
        done = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
        return done.returncode, done.stdout

    def test_includes_down_the_layers_pass_and_siblings_do_not(self):
        root = self.tree({
            "base/a.h": "",
            "sub/model/record.h": '#include "base/a.h"\n',
            "sub/dialogs/form.h": '#include "sub/model/record.h"\n',  # 2.1 siblings: no
            "sub/cmd.cpp": '#include "sub/model/record.h"\n#include "base/a.h"\n',
            "top/t.cpp": '#include "sub/cmd.h"\n#include "sub/dialogs/form.h"\n',
            "tests/x.cpp": '#include "top/t.h"\n',
        })
        code, out = self.run_check(root)
        self.assertEqual(code, 1)
        self.assertEqual(out.splitlines(), [
            'sub/dialogs/form.h:1: includes "sub/model/record.h": sub/dialogs and sub/model are siblings (2.1) '
            'and may not include each other'])

    def test_an_include_against_the_order_names_both_layers(self):
        root = self.tree({
            "base/a.cpp": '#include "top/t.h"\n',
            "sub/model/record.cpp": '\n#include "sub/cmd.h"\n',
            "sub/cmd.h": "",
            "top/t.h": "",
        })
        code, out = self.run_check(root)
        self.assertEqual(code, 1)
        self.assertEqual(out.splitlines(), [
            'base/a.cpp:1: includes "top/t.h": base (1) may not include top (3), which is above it',
            'sub/model/record.cpp:2: includes "sub/cmd.h": sub/model (2.1) may not include sub (2.2), '
            'which is above it'])

    def test_the_registration_unit_stands_above_its_layers_only(self):
        root = self.tree({
            "sub/sub_module.cpp": '#include "sub/cmd.h"\n#include "sub/model/record.h"\n',
            "sub/sub_module.h": "",
            "sub/cmd.cpp": '#include "sub/sub_module.h"\n',
            "sub/cmd.h": "",
            "sub/model/record.h": '#include "top/t.h"\n',
            "top/t.h": '#include "sub/sub_module.h"\n',
        })
        code, out = self.run_check(root)
        self.assertEqual(code, 1)
        self.assertEqual(out.splitlines(), [
            'sub/cmd.cpp:1: includes "sub/sub_module.h": sub (2.2) may not include sub/sub_module (2.top), '
            'which is above it',
            'sub/model/record.h:1: includes "top/t.h": sub/model (2.1) may not include top (3), which is above it'])

    def test_unit_loops_are_found_within_a_folder_and_across_siblings_only(self):
        root = self.tree({
            # a.h + a.cpp and b.h + b.cpp are units: a's source needs b, b's header needs a.
            "base/a.h": "",
            "base/a.cpp": '#include "base/a.h"\n#include "base/b.h"\n#include "base/c.h"\n',
            "base/b.h": '#include "base/a.h"\n',
            # c joins the same knot through a longer way round.
            "base/c.h": '#include "base/a.h"\n',
            # Three units in a ring.
            "top/x.cpp": '#include "top/y.h"\n',
            "top/y.cpp": '#include "top/z.h"\n',
            "top/z.h": '#include "top/x.h"\n',
            "top/x.h": "", "top/y.h": "",
            # A unit including its own header is no loop.
            "sub/cmd.cpp": '#include "sub/cmd.h"\n',
            "sub/cmd.h": "",
            # Host folders mirror the platform and are left out.
            "host/p.h": '#include "host/q.h"\n',
            "host/q.h": '#include "host/p.h"\n',
        }, TABLE.replace("| 3 | `top` | the top |", "| 3 | `top` | the top |\n| 4 | `host` | the platform |"))
        code, out = self.run_check(root)
        self.assertEqual(code, 1)
        self.assertEqual(out.splitlines(), [
            "units include each other in a loop: base/a -> base/b -> base/a (and through base/c)",
            "units include each other in a loop: top/x -> top/y -> top/z -> top/x"])

    def test_a_table_mixing_plain_and_layered_rows_is_refused(self):
        bad = TABLE.replace("| 2.2 | `sub` | commands |", "| 2 | `sub` | commands |")
        code, _ = self.run_check(self.tree({}, bad))
        self.assertEqual(code, 2)
        without_root = TABLE.replace("| 2.2 | `sub` | commands |\n", "")
        code, _ = self.run_check(self.tree({}, without_root))
        self.assertEqual(code, 2)
        code, _ = self.run_check(self.tree({"base/a.h": ""}))
        self.assertEqual(code, 0)


if __name__ == "__main__":
    unittest.main()
