#!/usr/bin/env python3
"""Tests of the ratchet check on small temporary trees: a rise fails and
names its place, a fall passes with a hint, and what only looks like one of
the counted habits (a comment, a string, a constant, an open-object pointer
closing early, a file outside the module) is not counted.

Usage: ratchet_test.py   (standard library unittest; exit 0 on success)
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
import ratchet  # noqa: E402


class Tree:
    """A temporary source tree with a counts file."""

    def __enter__(self):
        self.root = tempfile.mkdtemp()
        os.makedirs(os.path.join(self.root, "tools"))
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.root)

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(text))

    def counts(self, manual_close=0, local_owner_types=0, global_mutable_slots=0):
        self.write(ratchet.COUNTS_FILE, "# header\nmanual_close %d\nlocal_owner_types %d\nglobal_mutable_slots %d\n"
                   % (manual_close, local_owner_types, global_mutable_slots))

    def run(self, *args):
        out, err = io.StringIO(), io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            status = ratchet.main(["--root", self.root] + list(args))
        return status, out.getvalue() + err.getvalue()

    def found(self):
        return ratchet.count(self.root)


class RiseAndFall(unittest.TestCase):
    SOURCE = """\
        void Erase(ZcDbObjectId id) {
            ZcDbEntity* ent = nullptr;
            zcdbOpenObject(ent, id, ZcDb::kForWrite);
            ent->erase();
            ent->close();
        }
        """

    def test_a_rise_fails_and_names_the_place(self):
        with Tree() as t:
            t.write("walls/erase.cpp", self.SOURCE)
            t.counts(manual_close=0)
            status, text = t.run()
            self.assertEqual(status, 1)
            self.assertIn("manual_close rose from 0 to 1", text)
            self.assertIn("walls/erase.cpp (1): 5", text)

    def test_an_equal_count_passes_quietly_and_a_fall_passes_with_a_hint(self):
        with Tree() as t:
            t.write("walls/erase.cpp", self.SOURCE)
            t.counts(manual_close=1)
            self.assertEqual(t.run(), (0, ""))
            t.counts(manual_close=3, global_mutable_slots=2)
            status, text = t.run()
            self.assertEqual(status, 0)
            self.assertIn("manual_close fell from 3 to 1", text)
            self.assertIn("global_mutable_slots fell from 2 to 0", text)

    def test_update_writes_todays_counts_which_then_pass(self):
        with Tree() as t:
            t.write("walls/erase.cpp", self.SOURCE)
            t.counts(manual_close=7)
            self.assertEqual(t.run("--update")[0], 0)
            self.assertEqual(ratchet.read_counts(os.path.join(t.root, ratchet.COUNTS_FILE)),
                             {"manual_close": 1, "local_owner_types": 0, "global_mutable_slots": 0})
            self.assertEqual(t.run(), (0, ""))

    def test_a_missing_or_damaged_counts_file_is_bad_usage(self):
        with Tree() as t:
            self.assertEqual(t.run()[0], 2)
            t.write(ratchet.COUNTS_FILE, "manual_close 1\n")
            status, text = t.run()
            self.assertEqual(status, 2)
            self.assertIn("no count for local_owner_types, global_mutable_slots", text)
            t.write(ratchet.COUNTS_FILE, "manual_close many\n")
            self.assertEqual(t.run()[0], 2)


class WhatIsCounted(unittest.TestCase):
    def test_comments_strings_and_other_closes_are_not_counted(self):
        with Tree() as t:
            t.write("core/quiet.cpp", r'''
                // ent->close(); static int n; zcutRelRb(list);
                /* ent->close();
                   int g_counter = 0; */
                #define CLOSE(p) p->close()
                const char* const kHelp = "call ent->close() and zcedSSFree(ss)";
                const char* const kRaw = R"x(ent->close(); int g = 0;)x";
                void Write(ZcDbObjectId id, const std::string& path) {
                    std::ofstream out(path);
                    out.close();
                    ZcDbObjectPointer<ZcDbLine> line(id, ZcDb::kForWrite);
                    line.close();
                    std::unique_ptr<std::ifstream> in;
                    in->close();
                }
                ''')
            t.write("host/db/real.cpp", "int g_host = 0;\nvoid F(ZcDbEntity* e) { e->close(); }\n")
            t.write("tests/core/real_test.cpp", "int g_test = 0;\n")
            found = t.found()
            self.assertEqual({k: len(v) for k, v in found.items()},
                             {"manual_close": 0, "local_owner_types": 0, "global_mutable_slots": 0})

    def test_closes_through_a_pointer_or_a_reference_count(self):
        with Tree() as t:
            t.write("rooms/close.cpp", """\
                void A(ZcDbEntity* e, ZcDbObject& o) {
                    e->close();
                    o.close();
                    (*e).close();
                }
                """)
            self.assertEqual([p[1] for p in t.found()["manual_close"]], [2, 3, 4])

    def test_owners_are_types_that_free_on_destruction_once_per_header_and_source(self):
        with Tree() as t:
            t.write("objects/owners.h", """\
                struct RbFree {
                    void operator()(resbuf* list) const { zcutRelRb(list); }
                };
                using RbList = std::unique_ptr<resbuf, RbFree>;
                class Picked {
                public:
                    ~Picked();
                    void clear();
                };
                """)
            t.write("objects/owners.cpp", """\
                Picked::~Picked() { zcedSSFree(m_set); }
                void Picked::clear() { zcedSSFree(m_set); }
                class Worker {
                    void step() { zcutRelRb(m_list); }  // not on destruction: not an owner
                };
                using RbPtr = std::unique_ptr<resbuf, int (*)(resbuf*)>;
                void F() {
                    std::unique_ptr<resbuf, decltype(&zcutRelRb)> list(zcutNewRb(1), zcutRelRb);
                    std::unique_ptr<resbuf, RbFree> other;
                }
                """)
            owners = sorted((p[0], p[1]) for p in t.found()["local_owner_types"])
            self.assertEqual(owners, [("objects/owners.cpp", 1), ("objects/owners.cpp", 6),
                                      ("objects/owners.cpp", 8), ("objects/owners.h", 1)])

    def test_mutable_slots_and_what_is_constant(self):
        with Tree() as t:
            t.write("settings/slots.cpp", """\
                namespace {
                int g_count = 0;                         // 2 counted
                const char* kNames[] = {"a", "b"};       // 3 counted: changeable pointers
                std::unique_ptr<Reactor> g_reactor;      // 4 counted
                const int kLimit = 3;
                constexpr double kPi = 3.14;
                const char* const kName = "x";
                const std::vector<const char*> kList{"a"};
                thread_local int t_depth = 0;
                }  // namespace
                extern int g_elsewhere;
                extern "C" {
                int g_exported = 1;                      // 13 counted
                }
                static Foo g_foo(1, 2);                  // 15 counted
                Foo MakeFoo(int a, int b);
                Foo MakeBar();
                int (*g_hook)(int) = nullptr;            // 18 counted
                struct Settings {
                    static int s_instances;              // 20 counted
                    static constexpr int kMax = 4;
                    int value = 0;
                    int Get() const {
                        static std::string cache;        // 24 counted
                        static const std::string kKey = "k";
                        auto f = [] { static int calls = 0; return ++calls; };   // 26 counted
                        return static_cast<int>(cache.size());
                    }
                };
                int Settings::s_instances = 0;           // 30 counted
                template <class T> T Zero() { return T{}; }
                enum Kind { kA, kB };
                Widget::Widget() : m_a(1), m_b{2} {
                    static Widget* s_last = nullptr;     // 34 counted
                    s_last = this;
                }
                """)
            slots = [(p[1], p[2]) for p in t.found()["global_mutable_slots"]]
            self.assertEqual(slots, [(2, "g_count"), (3, "kNames"), (4, "g_reactor"), (13, "g_exported"),
                                     (15, "g_foo"), (18, "g_hook"), (20, "s_instances"), (24, "cache"),
                                     (26, "calls"), (30, "s_instances"), (34, "s_last")])


if __name__ == "__main__":
    unittest.main()
