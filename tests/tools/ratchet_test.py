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
    """A temporary source tree with a counts file, in a folder of its own
    beside a shared/ folder with a ceilings file high enough to pass."""

    def __enter__(self):
        self.top = tempfile.mkdtemp()
        self.root = os.path.join(self.top, "project")
        os.makedirs(os.path.join(self.root, "tools"))
        self.ceilings("manual_close 99\nlocal_owner_types 99\nglobal_mutable_slots 99\nmanual_relrb 99\n"
                      "errno_helpers 99\n")
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.top)

    def ceilings(self, text):
        os.makedirs(os.path.join(self.top, "shared"), exist_ok=True)
        with open(os.path.join(self.top, "shared", "ratchet-ceilings.txt"), "w", encoding="utf-8") as f:
            f.write(text)

    def write(self, path, text):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(textwrap.dedent(text))

    def counts(self, manual_close=0, local_owner_types=0, global_mutable_slots=0, manual_relrb=0, errno_helpers=0):
        self.write(ratchet.COUNTS_FILE, "# header\nmanual_close %d\nlocal_owner_types %d\nglobal_mutable_slots %d\n"
                   "manual_relrb %d\nerrno_helpers %d\n"
                   % (manual_close, local_owner_types, global_mutable_slots, manual_relrb, errno_helpers))

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
                             {"manual_close": 1, "local_owner_types": 0, "global_mutable_slots": 0,
                              "manual_relrb": 0, "errno_helpers": 0})
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
                             {"manual_close": 0, "local_owner_types": 0, "global_mutable_slots": 0,
                              "manual_relrb": 0, "errno_helpers": 0})

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


class Ceilings(unittest.TestCase):
    SOURCE = "void F(resbuf* a, resbuf* b) { zcutRelRb(a); zcutRelRb(b); }\n"

    def test_a_count_above_its_ceiling_fails_even_when_the_counts_file_allows_it(self):
        with Tree() as t:
            t.write("rooms/free.cpp", self.SOURCE)
            t.counts(manual_relrb=5)
            t.ceilings("# the lead's numbers\nmanual_relrb 1\n")
            status, text = t.run()
            self.assertEqual(status, 1)
            self.assertIn("manual_relrb is 2, above its ceiling 1", text)
            self.assertIn("rooms/free.cpp (2): 1, 1", text)
            t.ceilings("manual_relrb 2\n")
            self.assertEqual(t.run()[0], 0)

    def test_an_unknown_name_is_skipped_and_an_absent_file_is_reported(self):
        with Tree() as t:
            t.write("rooms/free.cpp", self.SOURCE)
            t.counts(manual_relrb=2)
            t.ceilings("manual_relrb 2\nfuture_count 0\n")
            status, text = t.run()
            self.assertEqual(status, 0)
            self.assertIn("future_count, which is not counted yet: skipped", text)
            os.remove(os.path.join(t.top, "shared", "ratchet-ceilings.txt"))
            status, text = t.run()
            self.assertEqual(status, 0)
            self.assertIn("no ceilings file at", text)
            # Another file named on the command line is read instead.
            other = os.path.join(t.top, "elsewhere.txt")
            with open(other, "w", encoding="utf-8") as f:
                f.write("manual_relrb 0\n")
            self.assertEqual(t.run("--ceilings", other)[0], 1)
            with open(other, "w", encoding="utf-8") as f:
                f.write("manual_relrb lots\n")
            self.assertEqual(t.run("--ceilings", other)[0], 2)


class HooksAndPicks(unittest.TestCase):
    def test_hooks_count_one_by_one_through_aliases_structs_and_arrays(self):
        with Tree() as t:
            t.write("core/hooks.h", """\
                using SlabHook = std::function<int(int)>;
                typedef void (*PlainHook)(int);
                using SameHook = SlabHook;
                struct Doors {
                    SlabHook slabs;
                    PlainHook plain, other;
                    std::function<void()> direct;
                    void (*raw)(int);
                    void Run() const { if (slabs) slabs(1); }
                    bool Ready() const;
                };
                """)
            t.write("core/hooks.cpp", """\
                namespace {
                struct Mixed {
                    Doors doors;
                    int calls = 0;
                };
                Doors& AllDoors() {
                    static Doors doors;                  // 7: five hooks
                    return doors;
                }
                Mixed g_mixed;                           // 10: five hooks and the rest
                SameHook g_same;                         // 11
                PlainHook g_table[3];                    // 12: three
                Doors* g_current = nullptr;              // 13: a pointer, one
                std::vector<SlabHook> g_list;            // 14: one
                }  // namespace
                """)
            slots = [(p[1], p[2]) for p in t.found()["global_mutable_slots"]]
            self.assertEqual(slots, [(7, "doors.slabs"), (7, "doors.plain"), (7, "doors.plain"), (7, "doors.direct"),
                                     (7, "doors.raw"),
                                     (10, "g_mixed.doors.slabs"), (10, "g_mixed.doors.plain"),
                                     (10, "g_mixed.doors.plain"), (10, "g_mixed.doors.direct"),
                                     (10, "g_mixed.doors.raw"), (10, "g_mixed"),
                                     (11, "g_same"), (12, "g_table[0]"), (12, "g_table[1]"), (12, "g_table[2]"),
                                     (13, "g_current"), (14, "g_list")])

    def test_hand_releases_and_errno_readers_but_not_the_shared_reader(self):
        with Tree() as t:
            t.write("core/host_services.cpp", """\
                int LastPickError() { return SysVarShort("ERRNO", nullptr); }
                void Free(resbuf* list) { zcutRelRb(list); }
                """)
            t.write("roofs/pick.cpp", """\
                // "ERRNO" in a comment; zcutRelRb(list);
                int PickErrno() {
                    resbuf rb;
                    return zcedGetVar("ERRNO", &rb) == RTNORM ? rb.resval.rint : 0;
                }
                bool Pick() {
                    auto again = [] { return SysVarShort("ERRNO", nullptr) == 7; };
                    return again() || SysVarShort("ERRNO", nullptr) == 52;
                }
                void Reset() {
                    resbuf zero;
                    zcedSetVar("ERRNO", &zero);
                    zcutPrintf("ERRNO is %d", LastPickError());
                }
                using Owner = std::unique_ptr<resbuf, decltype(&zcutRelRb)>;
                """)
            found = t.found()
            self.assertEqual([(p[0], p[1], p[2]) for p in found["errno_helpers"]],
                             [("roofs/pick.cpp", 4, "PickErrno"), ("roofs/pick.cpp", 7, "Pick")])
            self.assertEqual([(p[0], p[1]) for p in found["manual_relrb"]], [("core/host_services.cpp", 2)])


if __name__ == "__main__":
    unittest.main()
