// Reading DXF text into a fresh database.
//
// Three steps, each linear in the file: split the text into (code, value,
// line) pairs, checking that every code is a number and every pair is
// whole; scan the pairs once for the objects' handles (a repeat or a handle
// that is no handle given a fresh number, collisions with the database's
// own first objects moved to fresh numbers);
// then build the objects section by section. An entity or object of a kind
// its class reads whole is read straight from its pairs, each turned into an
// item as the object asks for it; the rest (table records, blocks, kinds
// that may be kept opaque) from a list of items through a memory filer.
// References resolve through the database's handle map, reserving a handle
// met before its object. The database is handed over only when the last
// section closed cleanly.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <numbers>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "host/db/dbblockwalk.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbdict.h"
#include "host/db/dbdim.h"
#include "host/db/dbentity.h"
#include "host/db/dbinsert.h"
#include "host/db/dbopaque.h"
#include "host/db/dbpoly.h"
#include "host/db/dbsymtb.h"
#include "host/db/dxffile.h"
#include "host/db/dxffile_decode.h"
#include "host/db/dxffile_format.h"
#include "host/db/dxffile_open.h"
#include "host/db/dxffile_pool.h"
#include "host/util/nocase.h"
#include "host/win/files.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

// 16 bytes: a drawing has millions of them. The line is not kept: only
// a refusal names it, and it is counted then (DxfReader::lineOf).
struct Pair {
    const char* text;  // of the value; null for a pair made up by the reader
    std::uint32_t size;
    int code;
    // Left unset: the splitter makes room for all pairs at once and fills
    // every slot it keeps before anything reads it.
    Pair() noexcept {}
    Pair(const char* t, std::uint32_t n, int c) : text(t), size(n), code(c) {}
    std::string_view value() const { return {text, size}; }
};

// A refusal: the line and the problem.
struct DxfError {
    int line;
    std::string what;
    // The file ends before the drawing does: `what` says what is missing
    // and the message says the file is cut off.
    bool cut = false;
};

[[gnu::always_inline]] inline std::string_view trimmed(std::string_view s) {
    // Most values have no blank at either end.
    if (s.empty() ||
        (s.front() != ' ' && s.front() != '\t' && s.back() != ' ' && s.back() != '\t' && s.back() != '\r'))
        return s;
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// A group code: plain decimal digits nearly always, else the general parse.
std::optional<long long> groupCode(std::string_view c) {
    if (!c.empty() && c.size() <= 4) {
        int v = 0;
        bool digits = true;
        for (char ch : c) {
            if (ch < '0' || ch > '9') {
                digits = false;
                break;
            }
            v = v * 10 + (ch - '0');
        }
        if (digits) return v;
    }
    return host::parseInteger(c);
}

// What splitting one stretch of the text gave: the pairs whose code line
// starts in it (the last may run past its end).
struct SplitRun {
    std::size_t from = 0;             // where it started
    std::size_t stop = 0;             // past the last pair taken
    std::size_t count = 0;            // pairs written
    std::vector<std::size_t> starts;  // its "0" pairs, counted from its first
    bool end = false;                 // met the end marker
    std::optional<DxfError> error;    // the first fault, its line the file's
};

// Splits the pairs whose code line starts in text[run.from, to) into `out`,
// which has room for every one (half the lines, and one). `lineBase` is
// the number of lines before run.from. A fault ends the run.
void splitRun(std::string_view text, std::size_t to, int lineBase, SplitRun& run, Pair* out) try {
    std::size_t pos = run.from;
    int line = lineBase;
    auto nextLine = [&](std::string_view& out) {
        if (pos >= text.size()) return false;
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        out = text.substr(pos, end - pos);
        if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
        pos = end + 1;
        ++line;
        return true;
    };
    std::string_view codeText, value;
    // The usual code line (blanks, one to four digits, a line end) read in
    // place; anything else by the general parse below.
    auto plainCode = [&](int& code) {
        std::size_t i = pos;
        while (i < text.size() && text[i] == ' ') ++i;
        std::size_t digits = i;
        int v = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - digits < 4)
            v = v * 10 + (text[i++] - '0');
        if (i == digits) return false;
        const std::size_t end = i;
        if (i < text.size() && text[i] == '\r') ++i;
        if (i >= text.size() || text[i] != '\n') return false;
        codeText = text.substr(digits, end - digits);
        pos = i + 1;
        ++line;
        code = v;
        return true;
    };
    while (pos < to) {
        std::optional<long long> code;
        int plain = 0;
        if (plainCode(plain)) {
            code = plain;
        } else {
            nextLine(codeText);
            std::string_view c = trimmed(codeText);
            if (c.empty() && pos >= text.size()) break;  // a final empty line
            code = groupCode(c);
        }
        const int codeLine = line;
        std::string_view c = trimmed(codeText);
        if (!code || *code < -5 || (*code > 1071 && *code != 999))
            throw DxfError{codeLine, "zły kod grupy \"" + std::string(c.substr(0, 40)) + "\""};
        if (!nextLine(value))
            throw DxfError{codeLine, "brak wartości po kodzie " + std::to_string(*code), true};
        if (*code == 999) continue;  // a comment
        if (value.size() > UINT32_MAX) throw DxfError{codeLine + 1, "wartość za długa"};
        if (*code == 0) run.starts.push_back(run.count);
        out[run.count++] = {value.data(), static_cast<std::uint32_t>(value.size()), static_cast<int>(*code)};
        // Whatever follows the end marker is not the drawing's.
        if (*code == 0 && trimmed(value) == "EOF") {
            run.end = true;
            break;
        }
    }
    run.stop = pos;
} catch (DxfError& e) {
    run.error = std::move(e);
}

// Below this a stretch is not worth a thread of its own.
constexpr std::size_t kMinStretch = 4096;

// The start of the first line in [at, before) that reads as a record's
// "0" code (blanks, a 0) followed by a line starting with a letter (a
// kind's name); npos when there is none. A guess only: the splitter checks
// that the stretch before ended right there.
std::size_t recordLineIn(std::string_view text, std::size_t at, std::size_t before) {
    for (std::size_t lf = text.find('\n', at); lf != std::string_view::npos && lf + 1 < before;
         lf = text.find('\n', lf + 1)) {
        std::size_t q = lf + 1;
        while (q < text.size() && text[q] == ' ') ++q;
        if (q >= text.size() || text[q] != '0') continue;
        ++q;
        if (q < text.size() && text[q] == '\r') ++q;
        if (q + 1 < text.size() && text[q] == '\n' && text[q + 1] >= 'A' && text[q + 1] <= 'Z') return lf + 1;
    }
    return std::string_view::npos;
}

// Where the text is cut into stretches, one per task: a few per thread,
// each at a record's first line as far as it can be told; the first is 0,
// the last the text's size.
std::vector<std::size_t> stretchesOf(std::string_view text) {
    std::vector<std::size_t> cuts{0};
    const std::size_t threads = host::dxf::threadCount();
    if (threads > 1 && text.size() >= 2 * kMinStretch) {
        const std::size_t pieces = std::min(threads * 4, text.size() / kMinStretch);
        for (std::size_t i = 1; i < pieces; ++i) {
            const std::size_t at = text.size() / pieces * i;
            const std::size_t cut =
                recordLineIn(text, std::max(at, cuts.back() + 1), at + text.size() / pieces);
            if (cut != std::string_view::npos && cut > cuts.back()) cuts.push_back(cut);
        }
    }
    cuts.push_back(text.size());
    return cuts;
}

// The pairs of the text; `starts` gets the index of every "0" pair (the
// records' first), for the passes that look at records only. The text is
// cut into stretches split side by side, each into its own part of one
// array (room for half its lines); a stretch that did not start where the
// one before stopped (its first line was a value after all) is split
// again from there, so the pairs are always the ones a single pass makes,
// and a fault is the first in the file.
std::vector<Pair> splitPairs(std::string_view text, std::vector<std::size_t>& starts) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::vector<std::size_t> cuts = stretchesOf(text);
    const std::size_t n = cuts.size() - 1;
    std::vector<std::size_t> lines(n), room(n + 1);
    auto count = [&](std::size_t k) {
        lines[k] = static_cast<std::size_t>(
            std::count(text.begin() + static_cast<std::ptrdiff_t>(cuts[k]),
                       text.begin() + static_cast<std::ptrdiff_t>(cuts[k + 1]), '\n'));
    };
    if (n == 1)
        count(0);
    else
        host::dxf::runTasks(n, count);
    std::vector<int> lineBase(n);
    for (std::size_t k = 0, before = 0; k < n; before += lines[k++]) {
        lineBase[k] = static_cast<int>(before);
        room[k + 1] = room[k] + lines[k] / 2 + 2;
    }
    std::vector<Pair> pairs(room[n]);
    std::vector<SplitRun> runs(n);
    auto split = [&](std::size_t k) {
        runs[k].from = cuts[k];
        splitRun(text, cuts[k + 1], lineBase[k], runs[k], pairs.data() + room[k]);
    };
    if (n == 1)
        split(0);
    else
        host::dxf::runTasks(n, split);
    starts.reserve(pairs.size() / 8);
    std::size_t used = 0, pos = 0;
    for (std::size_t k = 0; k < n; ++k) {
        SplitRun& run = runs[k];
        if (run.from != pos) {
            if (pos >= cuts[k + 1]) continue;  // the pair before ran over all of it
            const int base = lineBase[k] + static_cast<int>(std::count(
                                               text.begin() + static_cast<std::ptrdiff_t>(cuts[k]),
                                               text.begin() + static_cast<std::ptrdiff_t>(pos), '\n'));
            run = SplitRun{};
            run.from = pos;
            splitRun(text, cuts[k + 1], base, run, pairs.data() + room[k]);
        }
        if (run.error) throw *run.error;
        if (used != room[k] && run.count > 0)
            std::memmove(static_cast<void*>(pairs.data() + used), pairs.data() + room[k],
                         run.count * sizeof(Pair));
        for (std::size_t s : run.starts) starts.push_back(used + s);
        used += run.count;
        pos = run.stop;
        if (run.end) break;
    }
    pairs.resize(used);
    return pairs;
}

class DxfReader {
public:
    DxfReader(std::string_view text, std::string version, std::string_view name)
        : m_text(text), m_version(std::move(version)), m_name(name) {}

    host::DxfLoadResult run() {
        host::DxfLoadResult result;
        try {
            m_pairs = splitPairs(m_text, m_starts);
            m_db = std::make_unique<ZcDbDatabase>(false);
            m_db->disableUndoRecording(true);
            m_vars = std::make_unique<host::MemorySysVarStore>();
            planHandles();
            readSections();
            finish();
        } catch (const DxfError& thrown) {
            // What goes wrong in the last record of a file that stops before
            // its end is the cut's doing: a point that lost its Y, a record
            // its name. Said as what it is.
            const DxfError e =
                !thrown.cut && endsCut() && thrown.line >= lastRecordLine() ? cutOff() : thrown;
            const std::string cut = m_name.empty() ? "plik urwany: " : "plik " + m_name + " urwany: ";
            result.error = "DXF: wiersz " + std::to_string(e.line) + ": " + (e.cut ? cut : "") + e.what;
            closeParent();
            return result;
        }
        m_db->disableUndoRecording(false);
        result.db = std::move(m_db);
        result.vars = std::move(m_vars);
        result.notes = std::move(m_notes);
        result.repairs = std::move(m_repairs);
        return result;
    }

private:
    // ------------------------------------------------------------ handles

    // Where each object's handle is, and what the fresh database already
    // holds: its tables take the file's tables, its dictionary the file's
    // first dictionary; other clashes move to numbers past every handle.
    void planHandles() {
        // The fresh database's own objects, all below its first free handle.
        std::unordered_set<std::uint64_t> own;
        const std::uint64_t born = m_db->handseed().value();
        std::uint64_t top = born;
        for (ZcDbObjectId id : m_db->allObjectIds()) own.insert(id.handle().value());
        const std::unordered_map<std::string_view, ZcDbObjectId> tables = {
            {"VPORT", m_db->viewportTableId()},    {"LTYPE", m_db->linetypeTableId()},
            {"LAYER", m_db->layerTableId()},       {"STYLE", m_db->textStyleTableId()},
            {"VIEW", m_db->viewTableId()},         {"UCS", m_db->UCSTableId()},
            {"APPID", m_db->regAppTableId()},      {"DIMSTYLE", m_db->dimStyleTableId()},
            {"BLOCK_RECORD", m_db->blockTableId()}};
        std::string_view section;
        bool firstDictionary = true;
        std::vector<Found> clashes;
        // Every handle defined, checked for repeats once all are known.
        std::vector<Found> defined;
        defined.reserve(m_starts.size());
        for (std::size_t k = 0; k < m_starts.size(); ++k) {
            // The pairs and text were split long ago: what the next records
            // need is asked for ahead, as it is far out of the cache.
            if (k + 16 < m_starts.size()) __builtin_prefetch(&m_pairs[m_starts[k + 16] + 1]);
            if (k + 8 < m_starts.size()) {
                const std::size_t ahead = m_starts[k + 8];
                __builtin_prefetch(m_pairs[ahead].text);
                if (ahead + 1 < m_pairs.size()) __builtin_prefetch(m_pairs[ahead + 1].text);
            }
            const std::size_t i = m_starts[k];
            const Pair& p = m_pairs[i];
            std::string_view kind = trimmed(p.value());
            if (kind == "SECTION" && i + 1 < m_pairs.size()) section = trimmed(m_pairs[i + 1].value());
            if (kind == "SECTION" || kind == "ENDSEC" || kind == "EOF" || kind == "ENDTAB") continue;
            std::string_view tableName;
            std::uint64_t handle = 0;
            std::size_t handleAt = i;
            const bool table = kind == "TABLE";
            // A dimension style's handle is 105; its 5 is the arrow block's name in older files.
            const int handleCode = kind == "DIMSTYLE" ? 105 : 5;
            bool renew = false;
            for (std::size_t j = i + 1; j < m_pairs.size() && m_pairs[j].code != 0; ++j) {
                const Pair& q = m_pairs[j];
                if (q.code == 2 && table && tableName.empty()) tableName = trimmed(q.value());
                if ((handle != 0 || renew) && (!table || !tableName.empty()))
                    break;  // all that was looked for
                if (q.code == handleCode && handle == 0 && !renew) {
                    // A name or nothing where the handle belongs: the object
                    // is kept under a fresh handle.
                    if (!hexHandle(trimmed(q.value()), handle)) renew = true;
                    handleAt = j;
                }
            }
            if (renew) m_renewed.push_back({0, handleAt});
            if (handle == 0 || renew) continue;
            defined.push_back({handle, handleAt});
            if (handle >= top) top = handle + 1;
            ZcDbObjectId target;
            if (kind == "TABLE") {
                auto t = tables.find(tableName);
                if (t != tables.end()) target = t->second;
            } else if (kind == "DICTIONARY" && section == "OBJECTS" && firstDictionary) {
                firstDictionary = false;
                target = m_db->namedObjectsDictionaryId();
            }
            if (!target.isNull()) {
                m_alias.push_back({handle, target.handle().value()});
            } else if (handle < born && own.count(handle)) {
                clashes.push_back({handle, handleAt});
            }
        }
        // A handle given twice stays with its first object; the later ones
        // take fresh numbers, as do the handles that were no handles.
        for (const Found& r : repeats(defined)) {
            m_renewed.push_back(r);
            m_repeated.insert(r.handle);
        }
        for (const Found& c : clashes) m_alias.push_back({c.handle, top++});
        std::sort(m_renewed.begin(), m_renewed.end(),
                  [](const Found& a, const Found& b) { return a.at < b.at; });
        for (Found& r : m_renewed) {
            const Pair& q = m_pairs[r.at];
            std::string was(trimmed(q.value()).substr(0, 40));
            std::string kind = objectKindBefore(r.at);
            std::string fresh = ZcDbHandle(top).ascii();
            repair(lineOf(q) + 1, (r.handle ? "powtórzony uchwyt " + was : "zły uchwyt \"" + was + "\"") +
                                      " obiektu " + kind + ": nadano nowy uchwyt " + fresh);
            r.handle = top++;
        }
        std::sort(m_alias.begin(), m_alias.end());
        // Objects made while reading (by the reader or by the objects
        // themselves) number past every handle of the file: a reservation
        // at the top moves the database's counter there.
        m_db->reserveObjects(defined.size() + 16, top);
        ZcDbObjectId guard;
        m_db->getZcDbObjectId(guard, true, ZcDbHandle(top));
        m_top = top + 1;
    }

    struct Found {
        std::uint64_t handle;
        std::size_t at;  // the pair giving it
    };

    // Every definition of a handle (`defined` is in file order) after its
    // first. Handles nearly always form a compact run: one flag each;
    // scattered ones are sorted instead.
    static std::vector<Found> repeats(std::vector<Found>& defined) {
        std::vector<Found> out;
        std::uint64_t highest = 0;
        for (const Found& f : defined) highest = std::max(highest, f.handle);
        if (highest < 4 * static_cast<std::uint64_t>(defined.size()) + 4096) {
            std::vector<bool> seen(static_cast<std::size_t>(highest) + 1);
            for (const Found& f : defined) {
                if (seen[f.handle]) out.push_back(f);
                seen[f.handle] = true;
            }
            return out;
        }
        std::sort(defined.begin(), defined.end(), [](const Found& a, const Found& b) {
            return a.handle != b.handle ? a.handle < b.handle : a.at < b.at;
        });
        for (std::size_t k = 1; k < defined.size(); ++k)
            if (defined[k].handle == defined[k - 1].handle) out.push_back(defined[k]);
        return out;
    }

    // The kind of the record holding the pair at `at`.
    std::string objectKindBefore(std::size_t at) const {
        while (at > 0 && m_pairs[at].code != 0) --at;
        return std::string(trimmed(m_pairs[at].value()).substr(0, 40));
    }

    // A fault mended while reading: one line, with the line of the file.
    void repair(int line, const std::string& what) {
        m_repairs.push_back("DXF: wiersz " + std::to_string(line) + ": " + what);
    }

    // The fresh handle given to the object whose own handle is the pair at
    // `at`, 0 when it keeps the file's.
    std::uint64_t renewedAt(std::size_t at) const {
        if (m_renewed.empty()) return 0;
        auto it = std::lower_bound(m_renewed.begin(), m_renewed.end(), at,
                                   [](const Found& f, std::size_t a) { return f.at < a; });
        return it != m_renewed.end() && it->at == at ? it->handle : 0;
    }

    static bool isHandleText(std::string_view v) {
        std::uint64_t h;
        return hexHandle(v, h);
    }

    // Handle text (one to sixteen hexadecimal digits) and its value in one pass.
    static bool hexHandle(std::string_view v, std::uint64_t& out) {
        if (v.empty() || v.size() > 16) return false;
        std::uint64_t h = 0;
        for (char c : v) {
            unsigned d;
            if (c >= '0' && c <= '9')
                d = static_cast<unsigned>(c - '0');
            else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
                d = static_cast<unsigned>((c | 0x20) - 'a' + 10);
            else
                return false;
            h = h << 4 | d;
        }
        out = h;
        return true;
    }

    // A reference that is no handle is read as none, once per pair (a
    // record read twice, to look at it and then to build it, says it once).
    void unresolved(const Pair& p) {
        if (!m_unresolvedSeen.insert(p.text).second) return;
        repair(lineOf(p) + 1, "odwołanie \"" + std::string(trimmed(p.value()).substr(0, 40)) + "\" (kod " +
                                  std::to_string(p.code) + ") nie jest uchwytem: pominięte");
    }

    // The few moved handles (the tables, the dictionary, clashes) sorted:
    // a binary search over a handful of entries.
    std::uint64_t mapped(std::uint64_t h) const {
        auto it =
            std::lower_bound(m_alias.begin(), m_alias.end(), std::pair<std::uint64_t, std::uint64_t>(h, 0));
        return it != m_alias.end() && it->first == h ? it->second : h;
    }

    // Most references of a run of entities name the same owner: the last
    // one found is remembered (a handle's id never changes once made).
    ZcDbObjectId idOf(std::uint64_t fileHandle) {
        if (fileHandle == 0) return {};
        if (fileHandle == m_lastHandle) return m_lastId;
        ZcDbObjectId id;
        m_db->getZcDbObjectId(id, true, ZcDbHandle(mapped(fileHandle)));
        m_lastHandle = fileHandle;
        m_lastId = id;
        return id;
    }

    // -------------------------------------------------------------- items

    // One record's groups: the items made of them, or, for the kinds read
    // whole by their class, the range of its pairs, each turned into an
    // item only when the object reads it (no list, no copies).
    struct Record {
        std::vector<ZcDbDxfItem> items;
        std::size_t begin = 0, end = 0;  // pairs, when direct
        bool direct = false;
    };

    // The references of a record made ahead, found before it was: by the
    // pair (its value's text, which stays put when a point's pairs move).
    using KnownIds = std::vector<std::pair<const char*, ZcDbObjectId>>;

    // The item stream of a direct record. Pushing back re-reads the pair.
    class PairFiler final : public ZcDbDxfFiler {
    public:
        PairFiler(DxfReader& reader, const Record& rec, const KnownIds* ids = nullptr)
            : ZcDbDxfFiler(reader.m_db.get()),
              m_reader(reader),
              m_ids(ids),
              m_pos(rec.begin),
              m_end(rec.end) {}
        Zcad::ErrorStatus readItem(ZcDbDxfItem& item) override {
            if (filerStatus() != Zcad::eOk) return filerStatus();
            if (m_pos >= m_end) {
                m_canPushBack = false;
                return Zcad::eEndOfFile;
            }
            m_last = m_pos;
            m_pos = m_reader.convert(m_pos, item, false, m_ids);
            m_canPushBack = true;
            return Zcad::eOk;
        }
        Zcad::ErrorStatus pushBackItem() override {
            if (!m_canPushBack) return Zcad::eInvalidInput;
            m_pos = m_last;
            m_canPushBack = false;
            return Zcad::eOk;
        }
        Zcad::ErrorStatus writeItem(const ZcDbDxfItem&) override { return Zcad::eNotApplicable; }
        bool atEOF() const override { return m_pos >= m_end; }
        // Every group is checked, whether the object read it or not.
        void checkRest() {
            ZcDbDxfItem it;
            while (m_pos < m_end) m_pos = m_reader.convert(m_pos, it, false, m_ids);
        }
        using ZcDbDxfFiler::readItem;
        using ZcDbDxfFiler::writeItem;

    private:
        DxfReader& m_reader;
        const KnownIds* m_ids;
        std::size_t m_pos, m_end, m_last = 0;
        bool m_canPushBack = false;
    };

    // The record starting at m_pos as a range of pairs.
    Record takeRange() {
        Record rec;
        rec.direct = true;
        rec.begin = ++m_pos;
        while (m_pos < m_pairs.size() && m_pairs[m_pos].code != 0) ++m_pos;
        rec.end = m_pos;
        return rec;
    }

    Record takeRecord(std::string_view kind) {
        Record rec;
        rec.items = takeItems(kind);
        return rec;
    }

    // Kinds whose class reads them whole, without a look at their groups
    // first (dimension kinds share a name; an INSERT or HATCH may turn out
    // to be held opaque).
    bool directKind(const std::string& kind) { return kindOf(kind).direct; }

    ZcRxClass* classOf(const std::string& kind) { return kindOf(kind).cls; }

    // What the reader needs to know of a kind, found once per file: a
    // drawing has a handful of kinds and millions of records.
    struct Kind {
        std::string name;
        ZcRxClass* cls;
        bool direct;    // read whole by its class (see directKind)
        bool follower;  // VERTEX, SEQEND, ATTRIB
        bool ahead;     // may be made ahead, off the calling thread (see premake)
    };

    const Kind& kindOf(std::string_view name) {
        if (m_lastKind && m_lastKind->name == name) return *m_lastKind;
        for (const Kind& k : m_kinds)
            if (k.name == name) return *(m_lastKind = &k);
        Kind k;
        k.name = std::string(name);
        k.cls = zcrxFindClassByDxfName(k.name);
        k.direct = k.cls && name != "DIMENSION" && name != "INSERT" && name != "HATCH";
        k.follower = name == "VERTEX" || name == "SEQEND" || name == "ATTRIB";
        // The host's own plain kinds, whose reading touches nothing but the object.
        k.ahead = k.direct && (name == "LINE" || name == "CIRCLE" || name == "ARC" || name == "POINT" ||
                               name == "TEXT" || name == "LWPOLYLINE" || name == "3DFACE" || name == "SOLID");
        m_kinds.push_back(std::move(k));
        return *(m_lastKind = &m_kinds.back());
    }

    // Whether the object of `id` is a block record. Runs of entities name
    // the same owner: the last block record met is remembered (an id's
    // object never changes class).
    bool isBlockRecord(ZcDbObjectId id) {
        if (id == m_lastBlock) return true;
        if (!ZcDbBlockTableRecord::cast(id.stub()->object.get())) return false;
        m_lastBlock = id;
        return true;
    }

    // The first item of the code in a record, null when it has none.
    const ZcDbDxfItem* findItem(const Record& rec, int code) {
        if (!rec.direct) return findItem(rec.items, code);
        for (std::size_t i = rec.begin; i < rec.end; ++i) {
            if (m_pairs[i].code != code) continue;
            convert(i, m_found);
            return &m_found;
        }
        return nullptr;
    }

    // The items of the group starting at m_pos (its "0" pair excluded), up
    // to the next "0"; points gathered, angles in radians, handles mapped.
    std::vector<ZcDbDxfItem> takeItems(std::string_view kind) {
        std::vector<ZcDbDxfItem> items;
        ++m_pos;
        std::size_t end = m_pos;
        while (end < m_pairs.size() && m_pairs[end].code != 0) ++end;
        items.reserve(end - m_pos);
        bool dimStyle = kind == "DIMSTYLE";
        while (m_pos < end) {
            // A dimension style's handle is 105; its 5 is the arrow block's name in older files.
            if (dimStyle && m_pairs[m_pos].code == 5) {
                ++m_pos;
                continue;
            }
            items.emplace_back();
            m_pos = convert(m_pos, items.back(), dimStyle);
        }
        return items;
    }

public:
    // The item of the pair at `pos` (a point takes its Y and Z pairs too):
    // every field of `it` set. Returns the position past what it took.
    std::size_t convert(std::size_t pos, ZcDbDxfItem& it, bool dimStyle = false,
                        const KnownIds* known = nullptr) {
        const Pair& p = m_pairs[pos];
        it.code = p.code == 105 && dimStyle ? 5 : p.code;
        it.kind = ZcDbDxfItem::kindOfCode(it.code);
        it.text.clear();
        it.real[0] = it.real[1] = it.real[2] = 0;
        it.dim = 3;
        it.integer = 0;
        it.id = ZcDbObjectId();
        std::string_view v = trimmed(p.value());
        switch (it.kind) {
            case ZcDbDxfItem::kString:
                it.text.assign(p.text, p.size);
                // Nearly no value holds either escape character: looked for here first.
                if (std::any_of(p.text, p.text + p.size, [](char c) { return c == '\\' || c == '^'; }))
                    host::dxf::decodeTextEscapes(it.text);
                break;
            case ZcDbDxfItem::kHandle:
                // A handle in xdata follows its object when the object moved;
                // anything else written there stays as it was.
                if (p.code == 1005) {
                    std::uint64_t h = 0;
                    if (!hexHandle(v, h)) h = 0;
                    if (h && mapped(h) != h)
                        it.text = ZcDbHandle(mapped(h)).ascii();
                    else
                        it.text.assign(v);
                } else {
                    char hex[17];
                    std::uint64_t h = renewedAt(pos);
                    if (h == 0) {
                        if (hexHandle(v, h)) {
                            h = mapped(h);
                        } else {
                            unresolved(p);  // not a handle: as if none were given
                            h = 0;
                        }
                    }
                    ZcDbHandle(h).getIntoAsciiBuffer(hex, sizeof hex);
                    it.text.assign(hex);
                }
                break;
            case ZcDbDxfItem::kReal: {
                it.real[0] = number(p);
                if (it.code >= 50 && it.code <= 58) it.real[0] = host::dxf::radiansOf(it.real[0]);
                break;
            }
            case ZcDbDxfItem::kPoint: {
                it.real[0] = number(p);
                it.dim = 2;
                int step = 10;
                // Old files put all X first ("10, 11, 20, 21, 30, 31"): the
                // Y and Z of this point are brought next to it.
                if (pos + 1 >= m_pairs.size() || m_pairs[pos + 1].code != p.code + step) regroupPoint(pos);
                if (pos + 1 < m_pairs.size() && m_pairs[pos + 1].code == p.code + step) {
                    it.real[1] = number(m_pairs[++pos]);
                } else {
                    throw DxfError{lineOf(p),
                                   "punkt bez współrzędnej Y (kod " + std::to_string(p.code + step) + ")"};
                }
                if (pos + 1 < m_pairs.size() && m_pairs[pos + 1].code == p.code + 2 * step) {
                    it.real[2] = number(m_pairs[++pos]);
                    it.dim = 3;
                }
                break;
            }
            case ZcDbDxfItem::kInt16:
            case ZcDbDxfItem::kInt32:
            case ZcDbDxfItem::kInt64:
            case ZcDbDxfItem::kBool:
                it.integer = wholeNumber(p);
                break;
            case ZcDbDxfItem::kId: {
                if (known) {
                    // Made ahead: found before, and nothing else is touched.
                    for (const auto& [text, id] : *known)
                        if (text == p.text) it.id = id;
                    break;
                }
                std::uint64_t h = 0;
                if (hexHandle(v, h))
                    it.id = idOf(h);
                else
                    unresolved(p);  // a name where a handle belongs: no reference
                break;
            }
            case ZcDbDxfItem::kUnknown:
                // A code no object of this platform reads: kept as text, ignored.
                it.kind = ZcDbDxfItem::kString;
                it.text.assign(v);
                break;
        }
        return pos + 1;
    }

private:
    // Moves the first Y (and then Z) of the point whose X is at `pos` that
    // follows it in the same record, before the record's next X of the same
    // code, to just after the X. Pairs move only within the record, past
    // `pos`: what a reader holds of the record stays valid.
    void regroupPoint(std::size_t pos) {
        const int code = m_pairs[pos].code;
        std::size_t next = pos + 1;
        for (int axis = 1; axis <= 2; ++axis, ++next) {
            if (next < m_pairs.size() && m_pairs[next].code == code + 10 * axis) continue;
            std::size_t j = next;
            while (j < m_pairs.size() && m_pairs[j].code != 0 && m_pairs[j].code != code &&
                   m_pairs[j].code != code + 10 * axis)
                ++j;
            if (j >= m_pairs.size() || m_pairs[j].code != code + 10 * axis) return;
            std::rotate(m_pairs.begin() + static_cast<std::ptrdiff_t>(next),
                        m_pairs.begin() + static_cast<std::ptrdiff_t>(j),
                        m_pairs.begin() + static_cast<std::ptrdiff_t>(j) + 1);
        }
    }

    long long wholeNumber(const Pair& p) const {
        std::string_view v = trimmed(p.value());
        long long whole = 0;
        auto r = std::from_chars(v.data(), v.data() + v.size(), whole);
        if (r.ec == std::errc() && r.ptr == v.data() + v.size() && !v.empty() && v[0] != '-') return whole;
        if (auto n = host::parseInteger(v)) return *n;
        // Some writers put a decimal point on whole numbers.
        auto d = host::parseDouble(v);
        if (!d || *d != std::floor(*d)) throw notNumber(p);
        return static_cast<long long>(*d);
    }

    double number(const Pair& p) const {
        std::string_view v = trimmed(p.value());
        // The plain form straight away; signs, blanks and the rest by the general parse.
        double x = 0;
        auto r = std::from_chars(v.data(), v.data() + v.size(), x);
        if (r.ec == std::errc() && r.ptr == v.data() + v.size() && std::isfinite(x)) return x;
        auto d = host::parseDouble(v);
        if (!d || !std::isfinite(*d)) throw notNumber(p);
        return *d;
    }

    DxfError notNumber(const Pair& p) const {
        return {lineOf(p) + 1, "wartość \"" + std::string(trimmed(p.value()).substr(0, 40)) +
                                   "\" nie jest liczbą (kod " + std::to_string(p.code) + ")"};
    }

    static const ZcDbDxfItem* findItem(const std::vector<ZcDbDxfItem>& items, int code) {
        for (const ZcDbDxfItem& it : items)
            if (it.code == code) return &it;
        return nullptr;
    }

    // ----------------------------------------------------------- sections

    const Pair& at(std::size_t i) const {
        if (i >= m_pairs.size()) throw cutOff();
        return m_pairs[i];
    }
    int lastLine() const { return m_pairs.empty() ? 1 : lineOf(m_pairs.back()) + 1; }
    // The end of a file that stops before its EOF, at its last line.
    DxfError cutOff() const { return {lastLine(), "brak EOF", true}; }
    // Whether the file, read into pairs, stops before its EOF.
    bool endsCut() const {
        return !m_pairs.empty() && (m_pairs.back().code != 0 || trimmed(m_pairs.back().value()) != "EOF");
    }
    // The line where the file's last record starts.
    int lastRecordLine() const { return m_starts.empty() ? 1 : lineOf(m_pairs[m_starts.back()]); }

    // The line of a pair's code: its value is on the next line. Every
    // reference and dimension asks (for a cycle of blocks named later), so
    // the count is not taken from the start each time: the line ends before
    // each stretch of kLineStretch bytes are counted once, at the first
    // question, and a question counts within its stretch only. Safe from
    // the side-by-side tasks, which refuse with a line too.
    int lineOf(const Pair& p) const {
        if (!p.text) return 1;
        std::call_once(m_linesCounted, [this] {
            m_linesBefore.reserve(m_text.size() / kLineStretch + 1);
            int lines = 0;
            for (std::size_t from = 0; from <= m_text.size(); from += kLineStretch) {
                m_linesBefore.push_back(lines);
                const std::size_t to = std::min(m_text.size(), from + kLineStretch);
                lines += static_cast<int>(std::count(m_text.data() + from, m_text.data() + to, '\n'));
            }
        });
        const std::size_t offset = static_cast<std::size_t>(p.text - m_text.data());
        const std::size_t stretch = offset / kLineStretch;
        if (stretch >= m_linesBefore.size()) return static_cast<int>(std::count(m_text.data(), p.text, '\n'));
        return m_linesBefore[stretch] +
               static_cast<int>(std::count(m_text.data() + stretch * kLineStretch, p.text, '\n'));
    }
    std::string_view kindAt(std::size_t i) const { return trimmed(at(i).value()); }

    void readSections() {
        m_pos = 0;
        while (true) {
            skipStray("poza sekcją");
            const Pair& p = at(m_pos);
            std::string_view kind = trimmed(p.value());
            if (kind == "EOF") return;
            // A section ended twice: the second end closes nothing and
            // hides nothing, so it is passed over.
            if (kind == "ENDSEC") {
                repair(lineOf(p), "ENDSEC poza sekcją: pominięto");
                ++m_pos;
                continue;
            }
            if (kind != "SECTION")
                throw DxfError{lineOf(p), "oczekiwano SECTION, jest \"" + std::string(kind) + "\""};
            const Pair& name = at(m_pos + 1);
            if (name.code != 2) throw DxfError{lineOf(name), "sekcja bez nazwy"};
            std::string_view section = trimmed(name.value());
            m_pos += 2;
            if (section == "HEADER")
                readHeader();
            else if (section == "TABLES")
                readTables();
            else if (section == "BLOCKS")
                readBlocks();
            else if (section == "ENTITIES") {
                ensureSpaces(name);
                readEntities(m_db->modelSpaceId(), "ENDSEC");
            } else if (section == "OBJECTS")
                readObjects();
            else if (section == "CLASSES")
                readClasses();
            else
                skipTo("ENDSEC", lineOf(p));  // THUMBNAILIMAGE, ACDSDATA ...
            closeParent();
            skipStray(section);
            const Pair& end = at(m_pos);
            if (end.code != 0 || trimmed(end.value()) != "ENDSEC")
                throw DxfError{lineOf(end), "brak ENDSEC sekcji " + std::string(section)};
            ++m_pos;
        }
    }

    // Groups where a record's "0" belongs (a header variable's 9 among the
    // records, a value without its record) are passed over to the next
    // record, said once for each run of them.
    void skipStray(std::string_view where) {
        if (m_pos >= m_pairs.size() || m_pairs[m_pos].code == 0) return;
        const Pair& first = m_pairs[m_pos];
        while (m_pos < m_pairs.size() && m_pairs[m_pos].code != 0) ++m_pos;
        repair(lineOf(first), "grupa kodu " + std::to_string(first.code) + " poza rekordem (" +
                                  std::string(where) + "): pominięto do następnego rekordu");
    }

    void skipTo(std::string_view marker, int startLine) {
        while (m_pos < m_pairs.size()) {
            const Pair& p = m_pairs[m_pos];
            if (p.code == 0 && trimmed(p.value()) == marker) return;
            if (p.code == 0 && trimmed(p.value()) == "SECTION") break;
            ++m_pos;
        }
        throw DxfError{m_pos < m_pairs.size() ? lineOf(m_pairs[m_pos]) : startLine,
                       "brak " + std::string(marker)};
    }

    void readClasses() {
        while (true) {
            skipStray("CLASSES");
            const Pair& p = at(m_pos);
            std::string_view kind = trimmed(p.value());
            if (kind == "ENDSEC" || kind == "EOF" || kind == "SECTION") return;
            std::vector<ZcDbDxfItem> items = takeItems(kind);
            if (kind == "CLASS") m_db->fileClasses().push_back(std::move(items));
        }
    }

    void readHeader() {
        while (m_pos < m_pairs.size() && m_pairs[m_pos].code != 0) {
            const Pair& p = m_pairs[m_pos++];
            if (p.code != 9) continue;
            std::string_view name = trimmed(p.value());
            std::size_t first = m_pos;
            while (m_pos < m_pairs.size() && m_pairs[m_pos].code != 0 && m_pairs[m_pos].code != 9) ++m_pos;
            if (name.size() < 2 || name[0] != '$') continue;
            const host::SysVarDef* def = host::findSysVar(std::string(name.substr(1)));
            if (!def || def->scope != host::SysVarScope::Drawing || first == m_pos) continue;
            const Pair& v = m_pairs[first];
            std::optional<host::SysVarValue> value;
            switch (def->type) {
                case RTSHORT:
                    value = static_cast<short>(integerOf(v));
                    break;
                case RTLONG:
                    value = static_cast<std::int32_t>(integerOf(v));
                    break;
                case RTREAL:
                    // Angles come in degrees (50); files of older saves
                    // here kept them as radians under 40.
                    value = v.code == 50 ? host::dxf::radiansOf(number(v)) : number(v);
                    break;
                case RTSTR:
                    // The current colour by number (62), or as its text
                    // (1) in files of older saves here.
                    if (v.code == 62)
                        value = host::colorTextOf(integerOf(v));
                    else
                        value = std::string(v.value());
                    break;
                case RTPOINT:
                case RT3DPOINT: {
                    ZcGePoint3d pt;
                    for (std::size_t k = first; k < m_pos; ++k) {
                        const Pair& c = m_pairs[k];
                        if (c.code == 10)
                            pt.x = number(c);
                        else if (c.code == 20)
                            pt.y = number(c);
                        else if (c.code == 30)
                            pt.z = number(c);
                    }
                    value = pt;
                    break;
                }
                default:
                    break;
            }
            if (value) m_vars->store(def->name, *value);
        }
    }

    long long integerOf(const Pair& p) const {
        auto n = host::parseInteger(trimmed(p.value()));
        if (!n) throw notNumber(p);
        return *n;
    }

    void readTables() {
        while (true) {
            skipStray("TABLES");
            const Pair& p = at(m_pos);
            std::string_view kind = trimmed(p.value());
            if (kind == "ENDSEC" || kind == "EOF" || kind == "SECTION") return;
            if (kind != "TABLE") {
                // A record whose table header the file left out goes to the
                // table of its kind; anything else is passed over.
                std::string k(kind);
                ZcDbObjectId home = tableIdOf(k);
                if (!home.isNull()) {
                    repair(lineOf(p), "rekord " + k + " bez nagłówka TABLE: dodany do tabeli " + k);
                    readRecord(home, p);
                } else {
                    repair(lineOf(p), "rekord \"" + k.substr(0, 40) + "\" poza tabelą: pominięto");
                    for (++m_pos; m_pos < m_pairs.size() && m_pairs[m_pos].code != 0;) ++m_pos;
                }
                continue;
            }
            std::vector<ZcDbDxfItem> head = takeItems(kind);
            const ZcDbDxfItem* name = findItem(head, 2);
            ZcDbObjectId tableId = name ? tableIdOf(name->text) : ZcDbObjectId();
            while (true) {
                skipStray(name ? name->text : std::string("TABLE"));
                const Pair& r = at(m_pos);
                std::string_view rk = trimmed(r.value());
                if (rk == "ENDTAB") {
                    ++m_pos;
                    break;
                }
                if (rk == "ENDSEC" || rk == "EOF" || rk == "TABLE")
                    throw DxfError{lineOf(r), "brak ENDTAB tabeli " + (name ? name->text : std::string())};
                readRecord(tableId, r);
            }
        }
    }

    ZcDbObjectId tableIdOf(const std::string& name) const {
        if (name == "VPORT") return m_db->viewportTableId();
        if (name == "LTYPE") return m_db->linetypeTableId();
        if (name == "LAYER") return m_db->layerTableId();
        if (name == "STYLE") return m_db->textStyleTableId();
        if (name == "VIEW") return m_db->viewTableId();
        if (name == "UCS") return m_db->UCSTableId();
        if (name == "APPID") return m_db->regAppTableId();
        if (name == "DIMSTYLE") return m_db->dimStyleTableId();
        if (name == "BLOCK_RECORD") return m_db->blockTableId();
        return {};
    }

    void readRecord(ZcDbObjectId tableId, const Pair& start) {
        std::string kind(trimmed(start.value()));
        Record items = takeRecord(kind);
        ZcDbObject* made = make(kind, items, start, Opaque::kNone);
        auto* rec = ZcDbSymbolTableRecord::cast(made);
        ZcDbSymbolTable* table = nullptr;
        if (!rec || tableId.isNull() || zcdbOpenObject(table, tableId, ZcDb::kForWrite) != Zcad::eOk) {
            delete made;
            lost(kind);
            return;
        }
        if (!rec->isKindOf(table->recordClass())) {
            delete made;
            table->close();
            lost(kind);
            return;
        }
        ZcDbObjectId id;
        Zcad::ErrorStatus es = table->add(id, rec);
        if (es == Zcad::eDuplicateKey) {
            // A second record of a name: what refers to it by handle keeps
            // it under a name of its own; by name, the first one answers.
            const std::string name = rec->name();
            const ZcDbDxfItem* own = findItem(items, 5);
            if (!own || !referenced(ZcDbHandle(own->text).value())) {
                table->close();
                delete rec;
                repair(lineOf(start), "powtórzony rekord " + kind + " \"" + name + "\": pominięty");
                return;
            }
            std::string unique;
            for (int n = 2; unique.empty() || table->has(unique); ++n)
                unique = name + "_" + std::to_string(n);
            rec->setName(unique);
            es = table->add(id, rec);
            if (es == Zcad::eOk)
                repair(lineOf(start),
                       "powtórzony rekord " + kind + " \"" + name + "\": zachowany jako \"" + unique + "\"");
        }
        table->close();
        if (es != Zcad::eOk) {
            delete rec;
            throw DxfError{lineOf(start),
                           "nie można dodać rekordu " + kind + " (kod błędu " + std::to_string(es) + ")"};
        }
        rec->close();
    }

    // Whether any reference of the file (a pointer or a handle in xdata)
    // names the database handle `h`. A pass over the file: only a repeated
    // record asks.
    bool referenced(std::uint64_t h) const {
        for (const Pair& p : m_pairs) {
            if (p.code < 320 || ZcDbDxfItem::kindOfCode(p.code) != ZcDbDxfItem::kId) {
                if (p.code != 1005) continue;
            }
            std::uint64_t v = 0;
            if (hexHandle(trimmed(p.value()), v) && mapped(v) == h) return true;
        }
        return false;
    }

    enum class Opaque { kNone, kEntity, kObject };

    // A new object of the kind, read from its items. A kind this platform
    // does not model, or a variant of one that it cannot hold (MINSERT,
    // hatch edges of ellipses and splines, dimensions other than linear
    // and three-point angular), is kept opaque in entities and objects;
    // elsewhere it is null.
    ZcDbObject* make(const std::string& kind, Record& rec, const Pair& start, Opaque opaque) {
        if (rec.direct) return makeDirect(classOf(kind), kind, rec, start);
        std::vector<ZcDbDxfItem>& items = rec.items;
        ZcRxClass* cls = kind == "DIMENSION" ? zcdbClassForDxf(kind, items) : classOf(kind);
        if (opaque == Opaque::kEntity && cls && heldOpaque(kind, items)) cls = nullptr;
        ZcRxObject* made = nullptr;
        if (cls) {
            made = cls->create();
        } else if (opaque == Opaque::kEntity) {
            addMarkers(kind, items);
            auto* ent = new ZcDbOpaqueEntity;
            ent->setDxfKind(kind);
            made = ent;
        } else if (opaque == Opaque::kObject) {
            auto* obj = new ZcDbOpaqueObject;
            obj->setDxfKind(kind);
            made = obj;
        }
        ZcDbObject* obj = ZcDbObject::cast(made);
        if (!obj) {
            delete made;
            return nullptr;
        }
        ZcDbMemDxfFiler filer(std::move(items), m_db.get());
        Zcad::ErrorStatus es = obj->dxfIn(&filer);
        items = std::move(filer.items());
        if (es != Zcad::eOk && es != Zcad::eEndOfFile) {
            std::string why = filer.errorMessage();
            delete obj;
            throw DxfError{lineOf(start), "błędne dane obiektu " + kind + (why.empty() ? "" : ": " + why)};
        }
        return obj;
    }

    // An object of a kind read whole, straight from its pairs. A fault in
    // a group (a bad number, a bad handle) refuses the file as it would
    // from a list of items.
    ZcDbObject* makeDirect(ZcRxClass* cls, const std::string& kind, const Record& rec, const Pair& start,
                           const KnownIds* known = nullptr) {
        ZcRxObject* made = cls->create();
        ZcDbObject* obj = ZcDbObject::cast(made);
        if (!obj) {
            delete made;
            return nullptr;
        }
        PairFiler filer(*this, rec, known);
        Zcad::ErrorStatus es;
        try {
            es = obj->dxfIn(&filer);
            filer.checkRest();
        } catch (...) {
            delete obj;
            throw;
        }
        if (es != Zcad::eOk && es != Zcad::eEndOfFile) {
            std::string why = filer.errorMessage();
            delete obj;
            throw DxfError{lineOf(start), "błędne dane obiektu " + kind + (why.empty() ? "" : ": " + why)};
        }
        return obj;
    }

    // Variants of modelled kinds that the model cannot hold.
    static bool heldOpaque(const std::string& kind, const std::vector<ZcDbDxfItem>& items) {
        if (kind == "INSERT") {
            bool markers = false;
            for (const ZcDbDxfItem& it : items) {
                if (it.code == 100) {
                    markers = true;
                    if (it.text == "AcDbMInsertBlock") return true;
                }
            }
            // Older files: more than one column or row.
            if (!markers)
                for (const ZcDbDxfItem& it : items)
                    if ((it.code == 70 || it.code == 71) && it.integer > 1) return true;
            return false;
        }
        if (kind == "HATCH") {
            for (const ZcDbDxfItem& it : items)
                if (it.code == 72 && (it.integer == 3 || it.integer == 4)) return true;
        }
        return false;
    }

    // Groups of files without subclass markers (R12) get the markers the
    // 2013 format needs: the entity's, then its kind's before the first
    // group that is not common to all entities.
    static void addMarkers(const std::string& kind, std::vector<ZcDbDxfItem>& items) {
        for (const ZcDbDxfItem& it : items)
            if (it.code == 100) return;
        auto marker = [](const char* name) {
            ZcDbDxfItem m;
            m.code = 100;
            m.kind = ZcDbDxfItem::kString;
            m.text = name;
            return m;
        };
        auto common = [](int c) {
            return c == 5 || c == 330 || c == 102 || c == 360 || c == 8 || c == 6 || c == 62 || c == 420 ||
                   c == 48 || c == 370 || c == 60 || c == 67;
        };
        std::size_t head = 0;
        while (head < items.size() && (items[head].code == 5 || items[head].code == 102 ||
                                       items[head].code == 330 || items[head].code == 360))
            ++head;
        std::vector<ZcDbDxfItem> out(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(head));
        out.push_back(marker("AcDbEntity"));
        std::size_t i = head;
        for (; i < items.size() && common(items[i].code); ++i) out.push_back(items[i]);
        if (kind == "DIMENSION") {
            int type = 0;
            for (const ZcDbDxfItem& it : items)
                if (it.code == 70) type = static_cast<int>(it.integer) & 0x0F;
            static const char* const kinds[] = {"AcDbAlignedDimension",      "AcDbAlignedDimension",
                                                "AcDb2LineAngularDimension", "AcDbDiametricDimension",
                                                "AcDbRadialDimension",       "AcDb3PointAngularDimension",
                                                "AcDbOrdinateDimension"};
            out.push_back(marker("AcDbDimension"));
            std::vector<ZcDbDxfItem> own;
            for (; i < items.size(); ++i) {
                int c = items[i].code;
                bool base = c == 2 || c == 10 || c == 11 || c == 12 || c == 70 || c == 71 || c == 72 ||
                            c == 41 || c == 42 || c == 1 || c == 53 || c == 51 || c == 3 || c == 210;
                (base || c >= 1000 ? out : own).push_back(items[i]);
            }
            out.push_back(marker(type <= 6 ? kinds[type] : "AcDbAlignedDimension"));
            // Own groups before the extended data.
            auto xdata =
                std::find_if(out.begin(), out.end(), [](const ZcDbDxfItem& it) { return it.code >= 1000; });
            out.insert(xdata, own.begin(), own.end());
            std::stable_partition(out.begin(), out.end(),
                                  [](const ZcDbDxfItem& it) { return it.code < 1000; });
            items = std::move(out);
            return;
        }
        const char* sub = kind == "TRACE"    ? "AcDbTrace"
                          : kind == "SHAPE"  ? "AcDbShape"
                          : kind == "INSERT" ? "AcDbMInsertBlock"
                                             : nullptr;
        if (sub) out.push_back(marker(sub));
        out.insert(out.end(), items.begin() + static_cast<std::ptrdiff_t>(i), items.end());
        items = std::move(out);
    }

    void readBlocks() {
        while (true) {
            skipStray("BLOCKS");
            const Pair& p = at(m_pos);
            std::string_view kind = trimmed(p.value());
            if (kind == "ENDSEC" || kind == "EOF" || kind == "SECTION") return;
            if (kind != "BLOCK")
                throw DxfError{lineOf(p), "oczekiwano BLOCK, jest \"" + std::string(kind) + "\""};
            std::vector<ZcDbDxfItem> items = takeItems(kind);
            // R12 names the two spaces' blocks "$MODEL_SPACE" and "$PAPER_SPACE".
            for (ZcDbDxfItem& it : items) {
                if (it.code != 2 && it.code != 3) continue;
                if (zcutEqualsNoCase(it.text, "$Model_Space"))
                    it.text = "*Model_Space";
                else if (zcutEqualsNoCase(it.text, "$Paper_Space"))
                    it.text = "*Paper_Space";
            }
            ZcDbObjectId block = blockFor(items, p);
            readEntities(block, "ENDBLK");
            std::vector<ZcDbDxfItem> end = takeItems("ENDBLK");
            keepMarkerHandles(block, markerHandle(items), markerHandle(end));
        }
    }

    // The handle a BLOCK or ENDBLK gave (mapped), reserved so that no
    // object made later takes it; null when it gave none.
    ZcDbHandle markerHandle(const std::vector<ZcDbDxfItem>& items) {
        const ZcDbDxfItem* h = findItem(items, 5);
        if (!h || h->text.empty()) return {};
        ZcDbHandle handle(h->text);
        ZcDbObjectId id;
        m_db->getZcDbObjectId(id, true, handle);
        return handle;
    }

    void keepMarkerHandles(ZcDbObjectId block, ZcDbHandle begin, ZcDbHandle end) {
        ZcDbBlockTableRecord* btr = nullptr;
        if (zcdbOpenObject(btr, block, ZcDb::kForWrite) != Zcad::eOk) return;
        btr->setBlockMarkerHandles(begin, end);
        btr->close();
    }

    // The record of a BLOCK: the one it names as owner, else by name (files
    // without BLOCK_RECORD table get one made).
    ZcDbObjectId blockFor(const std::vector<ZcDbDxfItem>& items, const Pair& start) {
        const ZcDbDxfItem* owner = findItem(items, 330);
        const ZcDbDxfItem* name = findItem(items, 2);
        ZcDbObjectId ownerId = owner ? owner->id : ZcDbObjectId();
        // A handle the file gave twice names the first of its objects: a
        // block whose owner is such a handle belongs to the record of its
        // own name when there is one (each dimension keeps its own block).
        if (!ownerId.isNull() && !m_repeated.empty() && m_repeated.count(ownerId.handle().value()) && name &&
            !name->text.empty()) {
            auto* named = ZcDbBlockTableRecord::cast(ownerId.stub()->object.get());
            const ZcDbObjectId byName = m_db->recordId(m_db->blockTableId(), name->text);
            if (!byName.isNull() && (!named || !zcutEqualsNoCase(named->name(), name->text)))
                ownerId = byName;
        }
        if (!ownerId.isNull() && ZcDbBlockTableRecord::cast(ownerId.stub()->object.get())) {
            ZcDbBlockTableRecord* btr = nullptr;
            if (zcdbOpenObject(btr, ownerId, ZcDb::kForWrite) == Zcad::eOk) {
                ZcDbMemDxfFiler filer(items, m_db.get());
                std::string recordName = btr->name();
                btr->dxfInBlockBegin(&filer);
                if (btr->name() != recordName)
                    btr->setName(recordName);  // the table's key stays the record's
                btr->close();
            }
            return ownerId;
        }
        if (!name || name->text.empty()) throw DxfError{lineOf(start), "BLOCK bez nazwy"};
        ZcDbObjectId id = m_db->recordId(m_db->blockTableId(), name->text);
        if (!id.isNull()) return id;
        auto* btr = new ZcDbBlockTableRecord;
        ZcDbMemDxfFiler filer(items, m_db.get());
        btr->dxfInBlockBegin(&filer);
        return addBlockRecord(btr, start);
    }

    // A block record the file has no record for: it takes a handle past all
    // of the file's, so no later object of the file loses its own.
    ZcDbObjectId addBlockRecord(ZcDbBlockTableRecord* btr, const Pair& start) {
        ZcDbDxfItem handle;
        handle.code = 5;
        handle.kind = ZcDbDxfItem::kHandle;
        handle.text = ZcDbHandle(m_top++).ascii();
        ZcDbMemDxfFiler filer({handle}, m_db.get());
        btr->ZcDbObject::dxfInFields(&filer);
        ZcDbBlockTable* table = nullptr;
        ZcDbObjectId id;
        if (m_db->getBlockTable(table, ZcDb::kForWrite) != Zcad::eOk) {
            delete btr;
            return id;
        }
        Zcad::ErrorStatus es = table->add(id, btr);
        table->close();
        if (es != Zcad::eOk) {
            std::string name = btr->name();
            delete btr;
            throw DxfError{lineOf(start), "nie można dodać bloku " + name};
        }
        btr->close();
        return id;
    }

    // Files without a BLOCK_RECORD table still draw in model and paper space.
    void ensureSpaces(const Pair& start) {
        for (const char* name : {"*Model_Space", "*Paper_Space"}) {
            if (!m_db->recordId(m_db->blockTableId(), name).isNull()) continue;
            auto* btr = new ZcDbBlockTableRecord;
            btr->setName(name);
            addBlockRecord(btr, start);
        }
    }

    // Entities up to `endMarker`, appended to their owner (the record they
    // name, else `space`; paper space for a 67 flag in ENTITIES).
    void readEntities(ZcDbObjectId space, std::string_view endMarker) {
        while (true) {
            skipStray(endMarker == "ENDSEC" ? "ENTITIES" : "BLOCKS");
            const Pair& p = at(m_pos);
            std::string_view name = trimmed(p.value());
            if (name == endMarker) return;
            if (name == "ENDSEC" || name == "EOF" || name == "SECTION" || name == "ENDBLK")
                throw DxfError{lineOf(p), "brak " + std::string(endMarker)};
            if (m_pos >= m_aheadUntil) premake(endMarker);
            while (m_nextAhead < m_ahead.size() && m_ahead[m_nextAhead].begin < m_pos) ++m_nextAhead;
            Ahead* ahead = m_nextAhead < m_ahead.size() && m_ahead[m_nextAhead].begin == m_pos
                               ? &m_ahead[m_nextAhead++]
                               : nullptr;
            const Kind& k = kindOf(name);
            // What follows an opaque entity is kept with it as items.
            Record rec = k.direct && !(k.follower && m_opaqueParent) ? takeRange() : takeRecord(k.name);
            readEntity(k.name, rec, p, space, endMarker == "ENDSEC", ahead);
        }
    }

    // An entity made ahead, or the fault that stopped it, waiting for its turn.
    struct Ahead {
        std::size_t begin = 0, end = 0;  // its "0" pair; past its last
        const Kind* kind = nullptr;
        KnownIds ids;
        std::unique_ptr<ZcDbObject> made;
        std::optional<DxfError> error;
    };
    static constexpr std::size_t kAheadBatch = 16384;  // records looked at in one go
    static constexpr std::size_t kAheadLeast = 256;    // fewer are made in their turn
    static constexpr std::size_t kAheadPerTask = 64;

    // Long runs of plain entities (lines, arcs, texts...) are made ahead,
    // side by side, from the records from m_pos on: the objects, not yet in
    // the database, are appended in file order when their turn comes, and a
    // fault one met is raised then, so the first refusal is the file's
    // first. A record is made ahead only when every object it refers to is
    // already known (its owner nearly always is) and every handle is one:
    // making it then touches nothing but its pairs and the new object.
    // Anything else is made in its turn, as it would be on one thread.
    void premake(std::string_view endMarker) {
        m_ahead.clear();
        m_nextAhead = 0;
        const std::size_t threads = host::dxf::threadCount();
        if (threads < 2) {
            m_aheadUntil = m_pairs.size();
            return;
        }
        std::size_t k = static_cast<std::size_t>(std::lower_bound(m_starts.begin(), m_starts.end(), m_pos) -
                                                 m_starts.begin());
        for (std::size_t looked = 0; k < m_starts.size() && looked < kAheadBatch; ++k, ++looked) {
            const std::size_t i = m_starts[k];
            std::string_view name = trimmed(m_pairs[i].value());
            if (name == endMarker || name == "ENDSEC" || name == "EOF" || name == "SECTION" ||
                name == "ENDBLK")
                break;
            const Kind& kind = kindOf(name);
            if (!kind.ahead) continue;
            Ahead a;
            a.begin = i;
            a.end = k + 1 < m_starts.size() ? m_starts[k + 1] : m_pairs.size();
            a.kind = &kind;
            bool known = true;
            for (std::size_t j = i + 1; j < a.end && known; ++j) {
                const Pair& q = m_pairs[j];
                const ZcDbDxfItem::Kind itemKind = ZcDbDxfItem::kindOfCode(q.code);
                std::uint64_t h = 0;
                if (itemKind == ZcDbDxfItem::kHandle && q.code != 1005) {
                    known = renewedAt(j) != 0 || hexHandle(trimmed(q.value()), h);
                } else if (itemKind == ZcDbDxfItem::kId) {
                    if (!hexHandle(trimmed(q.value()), h)) {
                        known = false;
                    } else if (h == 0) {
                        a.ids.emplace_back(q.text, ZcDbObjectId());
                    } else {
                        ZcDbObjectId id = m_db->objectIdOf(ZcDbHandle(mapped(h)));
                        known = !id.isNull();
                        a.ids.emplace_back(q.text, id);
                    }
                }
            }
            if (known) m_ahead.push_back(std::move(a));
        }
        m_aheadUntil = k < m_starts.size() ? m_starts[k] : m_pairs.size();
        if (m_ahead.size() < kAheadLeast) {
            m_ahead.clear();
            return;
        }
        const std::size_t tasks = std::min(m_ahead.size() / kAheadPerTask, threads * 8);
        host::dxf::runTasks(tasks, [&](std::size_t t) {
            for (std::size_t j = m_ahead.size() * t / tasks; j < m_ahead.size() * (t + 1) / tasks; ++j) {
                Ahead& a = m_ahead[j];
                Record rec;
                rec.direct = true;
                rec.begin = a.begin + 1;
                rec.end = a.end;
                try {
                    a.made.reset(makeDirect(a.kind->cls, a.kind->name, rec, m_pairs[a.begin], &a.ids));
                } catch (DxfError& e) {
                    a.error = std::move(e);
                }
            }
        });
    }

    void readEntity(const std::string& kind, Record& rec, const Pair& start, ZcDbObjectId space,
                    bool entitiesSection, Ahead* ahead = nullptr) {
        const bool follower = kindOf(kind).follower;
        if (follower && m_opaqueParent) {
            // Kept with the opaque entity they follow, as read.
            m_opaqueParent->addFollower({kind, std::move(rec.items)});
            if (kind == "SEQEND") closeParent();
            return;
        }
        if (!follower) closeParent();
        if (ahead && ahead->error) throw *ahead->error;
        ZcDbObject* made = ahead ? ahead->made.release()
                                 : make(kind, rec, start, follower ? Opaque::kNone : Opaque::kEntity);
        auto* ent = ZcDbEntity::cast(made);
        if (!ent) {
            delete made;
            lost(kind);
            return;
        }
        if (follower) {
            adoptFollower(kind, ent, start);
            return;
        }
        if (auto* kept = ZcDbOpaqueEntity::cast(ent); kept && kind == "ELLIPSE") normaliseEllipse(*kept);
        ZcDbObjectId owner = space;
        const ZcDbDxfItem* named = findItem(rec, 330);
        // An owner handle the file gave twice may name another block than
        // the one the entity is written in: the place in the file decides.
        const bool ambiguous = named && !m_repeated.empty() && m_repeated.count(named->id.handle().value()) &&
                               named->id != space;
        if (named && !named->id.isNull() && isBlockRecord(named->id) && !ambiguous)
            owner = named->id;
        else if (entitiesSection) {
            const ZcDbDxfItem* paper = findItem(rec, 67);
            if (paper && paper->integer == 1 && !m_db->paperSpaceId().isNull()) owner = m_db->paperSpaceId();
        }
        if (owner.isNull()) {
            delete ent;
            throw DxfError{lineOf(start), "encja " + kind + " bez bloku właściciela"};
        }
        ZcDbBlockTableRecord* btr = nullptr;
        if (zcdbOpenObject(btr, owner, ZcDb::kForWrite) != Zcad::eOk) {
            delete ent;
            throw DxfError{lineOf(start), "blok właściciela encji " + kind + " niedostępny"};
        }
        ZcDbObjectId id;
        Zcad::ErrorStatus es = btr->appendZcDbEntity(id, ent);
        btr->close();
        if (es != Zcad::eOk) {
            delete ent;
            throw DxfError{lineOf(start), "nie można dodać encji " + kind};
        }
        if (ZcDbBlockReference::cast(ent) || ZcDbDimension::cast(ent))
            m_showsBlockAt[id.stub()] = lineOf(start);
        // POLYLINE always, INSERT with its 66 flag, take the followers; an
        // opaque entity those that come.
        const ZcDbDxfItem* follows = findItem(rec, 66);
        const bool followed = follows && follows->integer == 1;
        if (ZcDb2dPolyline::cast(ent) || (followed && ZcDbBlockReference::cast(ent))) {
            m_parent = ent;
        } else if (auto* opaque = followed ? ZcDbOpaqueEntity::cast(ent) : nullptr) {
            m_parent = ent;
            m_opaqueParent = opaque;
        } else {
            ent->close();
        }
    }

    // An ellipse whose ratio of axes is past 1 is the same curve with its
    // axes swapped (the minor one, ratio times the normal across the major,
    // becomes the major; the parameters turn back a quarter); a ratio below
    // the least that readers take is raised to it. Parameters are kept
    // within one turn, the end past the start.
    static void normaliseEllipse(ZcDbOpaqueEntity& ellipse) {
        std::vector<ZcDbDxfItem>& items = ellipse.editItems();
        ZcDbDxfItem *major = nullptr, *normal = nullptr, *ratio = nullptr, *start = nullptr, *end = nullptr;
        for (ZcDbDxfItem& it : items) {
            if (it.code == 11 && it.kind == ZcDbDxfItem::kPoint) major = &it;
            if (it.code == 210 && it.kind == ZcDbDxfItem::kPoint) normal = &it;
            if (it.code == 40 && it.kind == ZcDbDxfItem::kReal) ratio = &it;
            if (it.code == 41 && it.kind == ZcDbDxfItem::kReal) start = &it;
            if (it.code == 42 && it.kind == ZcDbDxfItem::kReal) end = &it;
        }
        if (!major || !ratio) return;
        constexpr double kTurn = 2 * std::numbers::pi;
        double r = ratio->real[0];
        if (std::fabs(r) > 1.0) {
            ZcGeVector3d m(major->real[0], major->real[1], major->real[2]);
            ZcGeVector3d n = normal ? ZcGeVector3d(normal->real[0], normal->real[1], normal->real[2])
                                    : ZcGeVector3d(0, 0, 1);
            ZcGeVector3d minor = r * n.normal().crossProduct(m);
            major->real[0] = minor.x;
            major->real[1] = minor.y;
            major->real[2] = minor.z;
            major->dim = 3;
            ratio->real[0] = 1.0 / r;
            if (start) start->real[0] -= std::numbers::pi / 2;
            if (end) end->real[0] -= std::numbers::pi / 2;
        } else if (std::fabs(r) < 1e-6) {
            ratio->real[0] = r < 0 ? -1e-6 : 1e-6;
        }
        if (start && end) {
            // A whole turn (or more) stays whole; a part keeps its length.
            double length = end->real[0] - start->real[0];
            if (length >= kTurn - 1e-12) {
                start->real[0] = 0;
                end->real[0] = kTurn;
                return;
            }
            double s = std::fmod(start->real[0], kTurn);
            if (s < 0) s += kTurn;
            double e = std::fmod(end->real[0], kTurn);
            if (e < 0) e += kTurn;
            start->real[0] = s;
            end->real[0] = e;
        }
    }

    void adoptFollower(const std::string& kind, ZcDbEntity* ent, const Pair& start) {
        if (!m_parent) {
            delete ent;
            lost(kind);
            return;
        }
        auto* pl = ZcDb2dPolyline::cast(m_parent);
        auto* ins = ZcDbBlockReference::cast(m_parent);
        bool fits = kind == "SEQEND" || (kind == "VERTEX" && pl) || (kind == "ATTRIB" && ins);
        if (!fits) {
            delete ent;
            lost(kind);
            return;
        }
        ent->setOwnerId(m_parent->objectId());
        ZcDbObjectId id;
        if (m_db->addZcDbObject(id, ent) != Zcad::eOk) {
            delete ent;
            throw DxfError{lineOf(start), "nie można dodać encji " + kind};
        }
        ent->close();
        if (kind == "SEQEND") {
            if (pl)
                pl->adoptSeqendId(id);
            else
                ins->adoptSeqendId(id);
            closeParent();
        } else if (pl) {
            pl->adoptVertexId(id);
        } else {
            ins->adoptAttributeId(id);
        }
    }

    void closeParent() {
        if (m_parent) m_parent->close();
        m_parent = nullptr;
        m_opaqueParent = nullptr;
    }

    void readObjects() {
        bool first = true;
        while (true) {
            skipStray("OBJECTS");
            const Pair& p = at(m_pos);
            std::string kind(trimmed(p.value()));
            if (kind == "ENDSEC" || kind == "EOF" || kind == "SECTION") return;
            if (first && kind == "DICTIONARY") {
                std::vector<ZcDbDxfItem> items = takeItems(kind);
                // The named-object dictionary: the database's own takes the entries.
                first = false;
                ZcDbDictionary* nod = nullptr;
                if (m_db->getNamedObjectsDictionary(nod, ZcDb::kForWrite) == Zcad::eOk) {
                    ZcDbMemDxfFiler filer(std::move(items), m_db.get());
                    nod->dxfIn(&filer);
                    nod->close();
                    m_dictionaries.push_back(m_db->namedObjectsDictionaryId());
                }
                continue;
            }
            first = false;
            Record rec = directKind(kind) ? takeRange() : takeRecord(kind);
            ZcDbObject* obj = make(kind, rec, p, Opaque::kObject);
            if (!obj || ZcDbEntity::cast(obj)) {
                delete obj;
                lost(kind);
                continue;
            }
            ZcDbObjectId id;
            if (m_db->addZcDbObject(id, obj) != Zcad::eOk) {
                delete obj;
                throw DxfError{lineOf(p), "nie można dodać obiektu " + kind};
            }
            if (ZcDbDictionary::cast(obj)) m_dictionaries.push_back(id);
            obj->close();
        }
    }

    // After the last section: an object whose owner the file lacks goes
    // under the named-object dictionary (other programs write such files),
    // and dictionaries lose entries whose objects the file lacks.
    void finish() {
        ZcDbObjectId nod = m_db->namedObjectsDictionaryId();
        for (ZcDbObjectId id : m_db->allObjectIds()) {
            ZcDbObject* obj = id.stub()->object.get();
            if (!obj) continue;
            ZcDbObjectId owner = obj->ownerId();
            if (!owner.isNull() && !owner.stub()->object && !ZcDbEntity::cast(obj) && id != nod)
                obj->setOwnerId(nod);
        }
        for (ZcDbObjectId did : m_dictionaries) {
            ZcDbDictionary* dict = nullptr;
            if (zcdbOpenObject(dict, did, ZcDb::kForWrite) != Zcad::eOk) continue;
            for (const auto& e : dict->entries())
                if (e.id.isNull() || !e.id.stub()->object) dict->remove(e.id);
            dict->close();
        }
        ensureSpaces(m_pairs.empty() ? Pair{nullptr, 0, 0} : m_pairs.back());
        // Neither mending nor adopting makes or erases a layout: one walk
        // over the drawing finds the layouts for both.
        const std::vector<ZcDbObjectId> layoutIds = layoutObjects();
        mendLayoutLinks(layoutIds);
        adoptStrayLayouts(layoutIds);
        if (!m_version.empty() && m_version < "AC1012") addLayouts();
        for (const auto& [kind, count] : m_lost)
            m_notes.push_back("DXF: pominięto obiekty typu " + kind + ": " + std::to_string(count));
        dropBlockCycles();
    }

    // A block whose contents contain itself stands for nothing that can be
    // drawn: the reference that closes the cycle is left out, named with its
    // line, and the rest of the drawing is kept.
    void dropBlockCycles() {
        for (const ZcDbBlockCycle& c : zcdbBlockCycles(m_db.get())) {
            ZcDbEntity* ent = nullptr;
            if (zcdbOpenObject(ent, c.entity, ZcDb::kForWrite) != Zcad::eOk) continue;
            ent->erase();
            ent->close();
            auto line = m_showsBlockAt.find(c.entity.stub());
            repair(line == m_showsBlockAt.end() ? 0 : line->second,
                   "blok \"" + c.contained + "\" zawiera sam siebie" +
                       (c.owner == c.contained ? "" : " przez blok \"" + c.owner + "\"") +
                       "; to wstawienie pominięto");
        }
    }

    // The LAYOUT objects of the drawing, in the drawing's order. Kept
    // objects are of their class alone (nothing derives from it): its
    // descriptor is compared, not the class chain of every entity walked.
    std::vector<ZcDbObjectId> layoutObjects() const {
        std::vector<ZcDbObjectId> out;
        const ZcRxClass* kept = ZcDbOpaqueObject::desc();
        for (ZcDbObjectId id : m_db->allObjectIds()) {
            const ZcDbObject* obj = id.stub()->object.get();
            if (!obj || obj->isA() != kept) continue;
            if (static_cast<const ZcDbOpaqueObject*>(obj)->dxfKind() == "LAYOUT") out.push_back(id);
        }
        return out;
    }

    // A block record names its layout (340) and the layout its block record
    // (330 of its layout part). Some writers give the records no handle and
    // still name them from the layouts: where one side names nothing, the
    // other side says what was meant. What stays unresolved is written as
    // no reference.
    void mendLayoutLinks(const std::vector<ZcDbObjectId>& layoutIds) {
        auto exists = [](ZcDbObjectId id) { return !id.isNull() && id.stub()->object; };
        for (ZcDbObjectId id : layoutIds) {
            auto* layout = ZcDbOpaqueObject::cast(id.stub()->object.get());
            ZcDbDxfItem* record = nullptr;
            std::string name;
            bool inLayout = false;
            for (const ZcDbDxfItem& it : layout->items()) {
                if (it.code == 100) inLayout = it.text == "AcDbLayout";
                if (!inLayout) continue;
                if (it.code == 1 && name.empty()) name = it.text;
                if (it.code == 330 && !record) record = const_cast<ZcDbDxfItem*>(&it);
            }
            if (record && exists(record->id)) {
                // The record names a layout that is not there: this one.
                auto* btr = ZcDbBlockTableRecord::cast(record->id.stub()->object.get());
                if (btr && !exists(btr->getLayoutId())) {
                    btr->setLayoutId(id);
                    m_repairs.push_back("DXF: blok \"" + btr->name() + "\": nadano mu jego układ \"" + name +
                                        "\"");
                }
                continue;
            }
            // The layout names no record that is there: the record naming it.
            ZcDbBlockTable* blocks = nullptr;
            if (m_db->getBlockTable(blocks, ZcDb::kForRead) != Zcad::eOk) continue;
            const std::vector<ZcDbObjectId> ids = blocks->recordIds();
            blocks->close();
            for (ZcDbObjectId bid : ids) {
                auto* btr = ZcDbBlockTableRecord::cast(bid.stub()->object.get());
                if (!btr || btr->getLayoutId() != id || !record) continue;
                const std::size_t at = static_cast<std::size_t>(record - layout->items().data());
                layout->editItems()[at].id = bid;
                m_repairs.push_back("DXF: układ \"" + name + "\": nadano mu jego blok \"" + btr->name() +
                                    "\"");
                break;
            }
        }
    }

    // LAYOUT objects some writers leave behind in no dictionary and of no
    // block: readers drop a layout without its owner or its block, with
    // what it holds. Each becomes a layout again, entered in the layouts'
    // dictionary under its own name (made unique when taken) and given an
    // empty paper-space block of its own when none names it.
    void adoptStrayLayouts(std::vector<ZcDbObjectId> layoutIds) {
        auto exists = [](ZcDbObjectId id) { return !id.isNull() && id.stub()->object; };
        std::erase_if(layoutIds, [](ZcDbObjectId id) { return id.isErased(); });
        if (layoutIds.empty()) return;
        ZcDbBlockTable* blocks = nullptr;
        std::vector<ZcDbObjectId> blockIds;
        if (m_db->getBlockTable(blocks, ZcDb::kForRead) == Zcad::eOk) {
            blockIds = blocks->recordIds();
            blocks->close();
        }
        std::unordered_set<ZcDbStub*> withBlock;  // layouts a block record names
        int highestPaperSpace = -1;
        for (ZcDbObjectId bid : blockIds) {
            auto* btr = ZcDbBlockTableRecord::cast(bid.stub()->object.get());
            if (!btr) continue;
            if (exists(btr->getLayoutId())) withBlock.insert(btr->getLayoutId().stub());
            const std::string& name = btr->name();
            if (name.size() >= 12 && zcutEqualsNoCase(std::string_view(name).substr(0, 12), "*Paper_Space")) {
                const std::string digits = name.substr(12);
                if (digits.empty())
                    highestPaperSpace = std::max(highestPaperSpace, 0);
                else if (digits.size() < 9 && digits.find_first_not_of("0123456789") == std::string::npos)
                    highestPaperSpace = std::max(highestPaperSpace, std::stoi(digits));
            }
        }
        ZcDbObjectId dictionaryId;
        for (ZcDbObjectId id : layoutIds) {
            auto* layout = ZcDbOpaqueObject::cast(id.stub()->object.get());
            const bool owned = exists(layout->ownerId());
            const bool blocked = withBlock.count(id.stub()) > 0;
            if (owned && blocked) continue;
            ZcDbDxfItem* nameItem = nullptr;
            ZcDbDxfItem* recordItem = nullptr;
            bool inLayout = false;
            for (ZcDbDxfItem& it : layout->editItems()) {
                if (it.code == 100) inLayout = it.text == "AcDbLayout";
                if (!inLayout) continue;
                if (it.code == 1 && !nameItem) nameItem = &it;
                if (it.code == 330 && !recordItem) recordItem = &it;
            }
            if (!nameItem) continue;  // no layout part: not ours to make whole
            if (!owned && !enterLayout(id, *nameItem, dictionaryId)) continue;
            if (blocked) continue;
            auto* btr = new ZcDbBlockTableRecord;
            btr->setName("*Paper_Space" + std::to_string(++highestPaperSpace));
            const ZcDbObjectId bid = addBlockRecord(btr, m_pairs.back());
            ZcDbBlockTableRecord* record = nullptr;
            if (zcdbOpenObject(record, bid, ZcDb::kForWrite) == Zcad::eOk) {
                record->setLayoutId(id);
                record->close();
            }
            if (recordItem) {
                recordItem->kind = ZcDbDxfItem::kId;
                recordItem->id = bid;
            } else {
                ZcDbDxfItem it;
                it.code = 330;
                it.kind = ZcDbDxfItem::kId;
                it.id = bid;
                layout->editItems().push_back(it);  // the layout part is the last
            }
            m_repairs.push_back("DXF: układ \"" + nameItem->text + "\": nadano mu nowy blok \"" +
                                btr->name() + "\"");
        }
    }

    // Enters a layout the file left in no dictionary into the layouts'
    // dictionary (made when missing), under its name or, when that is
    // taken, the name with " (2)", " (3)" … (its name item follows).
    bool enterLayout(ZcDbObjectId id, ZcDbDxfItem& nameItem, ZcDbObjectId& dictionaryId) {
        ZcDbDictionary* layouts = nullptr;
        if (dictionaryId.isNull()) {
            ZcDbDictionary* nod = nullptr;
            if (m_db->getNamedObjectsDictionary(nod, ZcDb::kForWrite) != Zcad::eOk) return false;
            if (nod->getAt("ACAD_LAYOUT", dictionaryId) != Zcad::eOk) {
                auto* made = new ZcDbDictionary;
                if (nod->setAt("ACAD_LAYOUT", made, dictionaryId) != Zcad::eOk) {
                    delete made;
                    nod->close();
                    return false;
                }
                made->close();
            }
            nod->close();
        }
        if (zcdbOpenObject(layouts, dictionaryId, ZcDb::kForWrite) != Zcad::eOk) return false;
        std::string name = nameItem.text.empty() ? std::string("Arkusz") : nameItem.text;
        ZcDbObjectId taken;
        for (int n = 2; layouts->getAt(name, taken) == Zcad::eOk; ++n)
            name = (nameItem.text.empty() ? std::string("Arkusz") : nameItem.text) + " (" +
                   std::to_string(n) + ")";
        ZcDbObject* layout = nullptr;
        bool entered = false;
        if (zcdbOpenObject(layout, id, ZcDb::kForWrite) == Zcad::eOk) {
            entered = layouts->setAt(name, layout) == Zcad::eOk;
            layout->close();
        }
        layouts->close();
        if (!entered) return false;
        if (name != nameItem.text)
            m_repairs.push_back("DXF: układ \"" + nameItem.text + "\": zapisany w słowniku układów jako \"" +
                                name + "\"");
        else
            m_repairs.push_back("DXF: układ \"" + name + "\": zapisany w słowniku układów");
        nameItem.text = name;
        return true;
    }

    // R12 has no layouts: a paper-space block past the first (some programs
    // write them) gets a layout of its own, or readers take it for an orphan.
    void addLayouts() {
        ZcDbDictionary* nod = nullptr;
        ZcDbDictionary* layouts = nullptr;
        if (m_db->getNamedObjectsDictionary(nod, ZcDb::kForWrite) != Zcad::eOk) return;
        if (nod->getAt("ACAD_LAYOUT", layouts, ZcDb::kForWrite) != Zcad::eOk) {
            layouts = new ZcDbDictionary;
            if (nod->setAt("ACAD_LAYOUT", layouts) != Zcad::eOk) {
                delete layouts;
                layouts = nullptr;
            }
        }
        nod->close();
        if (!layouts) return;
        ZcDbBlockTable* blocks = nullptr;
        std::vector<ZcDbObjectId> ids;
        if (m_db->getBlockTable(blocks, ZcDb::kForRead) == Zcad::eOk) {
            ids = blocks->recordIds();
            blocks->close();
        }
        // With one layout given, readers look for all of them: the two
        // spaces get theirs too.
        auto extraPaperSpace = [](std::string_view name) {
            return name.size() > 12 && zcutEqualsNoCase(name.substr(0, 12), "*Paper_Space") &&
                   name.find_first_not_of("0123456789", 12) == std::string_view::npos;
        };
        bool extras = false;
        for (ZcDbObjectId bid : ids)
            if (auto* b = ZcDbBlockTableRecord::cast(bid.stub()->object.get()))
                extras |= extraPaperSpace(b->name());
        if (!extras) {
            layouts->close();
            return;
        }
        int tab = 0;
        for (ZcDbObjectId bid : ids) {
            ZcDbBlockTableRecord* btr = nullptr;
            if (zcdbOpenObject(btr, bid, ZcDb::kForWrite) != Zcad::eOk) continue;
            std::string_view name = btr->name();
            bool model = zcutEqualsNoCase(name, "*Model_Space");
            bool extra = model || zcutEqualsNoCase(name, "*Paper_Space") || extraPaperSpace(name);
            if (extra && btr->getLayoutId().isNull()) {
                int order = model ? 0 : ++tab;
                auto item = [](int code, ZcDbDxfItem::Kind kind) {
                    ZcDbDxfItem it;
                    it.code = code;
                    it.kind = kind;
                    return it;
                };
                std::vector<ZcDbDxfItem> items;
                items.push_back(item(100, ZcDbDxfItem::kString));
                items.back().text = "AcDbPlotSettings";
                items.push_back(item(1, ZcDbDxfItem::kString));
                items.push_back(item(70, ZcDbDxfItem::kInt16));
                items.push_back(item(100, ZcDbDxfItem::kString));
                items.back().text = "AcDbLayout";
                items.push_back(item(1, ZcDbDxfItem::kString));
                std::string layoutName = model ? "Model" : "Arkusz " + std::to_string(order);
                items.back().text = layoutName;
                items.push_back(item(70, ZcDbDxfItem::kInt16));
                items.back().integer = 1;
                items.push_back(item(71, ZcDbDxfItem::kInt16));
                items.back().integer = order;
                items.push_back(item(330, ZcDbDxfItem::kId));
                items.back().id = bid;
                auto* layout = new ZcDbOpaqueObject;
                layout->setDxfKind("LAYOUT");
                ZcDbMemDxfFiler filer(std::move(items), m_db.get());
                layout->dxfIn(&filer);
                ZcDbObjectId lid;
                if (layouts->setAt(layoutName, layout, lid) == Zcad::eOk) {
                    layout->close();
                    btr->setLayoutId(lid);
                } else {
                    delete layout;
                }
            }
            btr->close();
        }
        layouts->close();
    }

    // A kind that cannot be kept: counted, named once when the file is in.
    void lost(const std::string& kind) { ++m_lost[kind]; }

    std::string_view m_text;
    static constexpr std::size_t kLineStretch = 1024;
    mutable std::once_flag m_linesCounted;
    mutable std::vector<int> m_linesBefore;  // line ends before each stretch of the text
    std::string m_version;                   // $ACADVER, empty when the header has none
    std::string m_name;                      // the file's, for the message of one cut off; may be empty
    std::vector<Pair> m_pairs;
    std::vector<std::size_t> m_starts;  // of the records: the "0" pairs
    std::size_t m_pos = 0;
    std::unique_ptr<ZcDbDatabase> m_db;
    std::unique_ptr<host::MemorySysVarStore> m_vars;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_alias;  // file handle → database handle, sorted
    std::deque<Kind> m_kinds;  // never moved: m_lastKind and callers hold them
    const Kind* m_lastKind = nullptr;
    ZcDbObjectId m_lastBlock;
    ZcDbDxfItem m_found;             // the item findItem gives for a direct record
    std::uint64_t m_lastHandle = 0;  // the last reference resolved, and its id
    ZcDbObjectId m_lastId;
    std::vector<std::string> m_notes;
    std::vector<std::string> m_repairs;
    std::vector<ZcDbObjectId> m_dictionaries;
    ZcDbEntity* m_parent = nullptr;                     // an open POLYLINE or INSERT taking followers
    std::unordered_map<ZcDbStub*, int> m_showsBlockAt;  // the line of each reference and dimension
    ZcDbOpaqueEntity* m_opaqueParent = nullptr;         // m_parent when it is opaque
    std::map<std::string, int> m_lost;                  // kinds not kept, with their counts
    std::uint64_t m_top = 1;                            // past every handle of the file and the database
    std::vector<Found> m_renewed;  // own handles replaced: the pair, its fresh handle; by pair
    std::unordered_set<std::uint64_t> m_repeated;      // handles the file gives more than one object
    std::unordered_set<const char*> m_unresolvedSeen;  // references already said to be none
    std::vector<Ahead> m_ahead;                        // entities made ahead, in file order
    std::size_t m_nextAhead = 0;                       // the first of them not yet taken
    std::size_t m_aheadUntil = 0;                      // the pair up to which records were looked at
};

}  // namespace

namespace host {

namespace {

// The fallback page applied line by line: a line that is valid UTF-8 is
// kept, so one string in the 8-bit page spoils no other.
std::string decodeWindows1250Lines(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size() + text.size() / 8);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        const std::size_t stop = lf == std::string_view::npos ? text.size() : lf + 1;
        const std::string_view line = text.substr(start, stop - start);
        if (isValidUtf8(line))
            decoded += line;
        else
            decoded += decodeWindows1250(line);
        start = stop;
    }
    return decoded;
}

// The reader's messages quote the file (a kind, a name, a bad group
// code): whoever made the file could otherwise write to the terminal
// through them. Each is kept with its control characters shown escaped,
// wherever it is printed.
DxfLoadResult withShownMessages(DxfLoadResult r) {
    r.error = shownText(r.error);
    for (std::string& note : r.notes) note = shownText(note);
    for (std::string& repair : r.repairs) repair = shownText(repair);
    return r;
}

DxfLoadResult readDxfTextAsIs(std::string_view text, std::string_view name) {
    std::string converted;
    if (dxf::isBinaryDxf(text)) {
        std::string why;
        std::optional<std::string> t = dxf::binaryDxfToText(text, why);
        if (!t) {
            // Named as a text file cut off is: "plik binarny PLIK urwany …".
            DxfLoadResult r;
            constexpr std::string_view kBinary = "plik binarny ";
            if (!name.empty() && why.starts_with(kBinary))
                why.insert(kBinary.size(), std::string(name) + " ");
            r.error = "DXF: " + why;
            return r;
        }
        converted = std::move(*t);
        text = converted;
    }
    // Text of the formats before 2007 is in the code page the header
    // names; from 2007 on it is UTF-8. What is not valid UTF-8 in a newer
    // file, or in a file naming no known page, is read as the system's
    // 8-bit page (Windows-1250).
    std::string version = dxf::headerValue(text, "$ACADVER");
    bool unicode = version >= "AC1021";
    if (!unicode || !dxf::isUtf8(text)) {
        if (!dxf::isAscii(text)) {
            int page = unicode ? 0 : dxf::codePageNumber(dxf::headerValue(text, "$DWGCODEPAGE"));
            std::string decoded;
            if (page == 0 && dxf::isUtf8(text)) return DxfReader(text, version, name).run();
            if (page == 0 || !dxf::decodeCodePage(text, page, decoded))
                decoded = decodeWindows1250Lines(text);
            return DxfReader(decoded, version, name).run();
        }
    }
    return DxfReader(text, version, name).run();
}

}  // namespace

DxfLoadResult readDxfText(std::string_view text, std::string_view name) {
    return withShownMessages(readDxfTextAsIs(text, name));
}

DxfLoadResult loadDxf(const std::string& path, FileOrigin origin) {
    std::string bytes, why;
    if (!readDrawingFile(path, origin, bytes, why)) {
        DxfLoadResult r;
        r.error = "DXF: nie można odczytać pliku " + path + (why.empty() ? "" : ": " + why);
        return withShownMessages(std::move(r));
    }
    return readDxfText(bytes, path);
}

}  // namespace host
