#!/usr/bin/env python3
"""Tests of the glossary check on small temporary trees: an all-caps class
the glossary lacks fails with its place, and what only looks like one (a
mixed-case or two-letter name, a word in a comment or a string, a file
outside the module folders, a name outside the Glossary section) does not.

Usage: check_glossary_test.py   (standard library unittest; exit 0 on success)
"""

import contextlib
import io
import os
import shutil
import sys
import tempfile
import textwrap
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import check_glossary  # noqa: E402

README = """\
    # Project

    ## Layout

    `CNOTHERE` is named outside the glossary.

    ## Glossary

    - `CFALDA`: the slab record (`roofs/slab_record.h`).
    - `VELM_PRJ`, `AJIG_PRJ`: a preview and its jig.

    ## Conventions

    `CLATER` is named after it.
    """


class Tree:
    def __enter__(self):
        self.root = tempfile.mkdtemp()
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.root)

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(text))

    def run(self):
        out, err = io.StringIO(), io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            status = check_glossary.main(["check_glossary.py", self.root])
        return status, out.getvalue() + err.getvalue()


class Names(unittest.TestCase):
    def test_listed_names_pass_and_a_missing_one_fails_with_its_place(self):
        with Tree() as t:
            t.write("README.md", README)
            t.write("roofs/slab_record.h", """\
                #pragma once
                class CFALDA {};
                struct VELM_PRJ;
                class AJIG_PRJ final : public Base {};
                """)
            self.assertEqual(t.run(), (0, ""))
            t.write("walls/editing/wall_delete.h", """\
                #pragma once

                // The working record of one deletion.
                class CCANCMURO {
                public:
                    enum class SIDE_KIND { kLeft, kRight };
                };
                """)
            status, text = t.run()
            self.assertEqual(status, 1)
            self.assertIn("walls/editing/wall_delete.h:4: CCANCMURO is not", text)
            self.assertIn("walls/editing/wall_delete.h:6: SIDE_KIND is not", text)
            self.assertIn("2 all-caps name(s)", text)

    def test_a_name_outside_the_glossary_section_does_not_count(self):
        with Tree() as t:
            t.write("README.md", README)
            t.write("core/a.h", "class CNOTHERE {};\nstruct CLATER {};\n")
            status, text = t.run()
            self.assertEqual(status, 1)
            self.assertIn("CNOTHERE", text)
            self.assertIn("CLATER", text)

    def test_what_only_looks_like_an_all_caps_class_is_not_asked_for(self):
        with Tree() as t:
            t.write("README.md", README)
            t.write("core/hatch.cpp", """\
                // class CINCOMMENT is gone
                /* struct CBLOCK {
                   }; */
                const char* s = "class CINSTRING";
                const char c = 'x';
                struct UZ { double u, z; };
                class CMuro {};
                class CDlgTipiMuri;
                enum class Kind { kLine };
                #define VELM_MACRO 1
                int VELM_VALUE = 2;
                """)
            t.write("tests/walls/fixture.h", "class CTESTONLY {};\n")
            t.write("host/db.h", "class ZCDB_HOSTCLASS {};\n")
            self.assertEqual(t.run(), (0, ""))

    def test_a_readme_without_a_glossary_is_an_error(self):
        with Tree() as t:
            t.write("README.md", "# Project\n\n## Layout\n")
            self.assertEqual(t.run()[0], 2)
        with Tree() as t:
            self.assertEqual(t.run()[0], 2)


if __name__ == "__main__":
    unittest.main()
