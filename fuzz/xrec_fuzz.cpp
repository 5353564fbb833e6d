// libFuzzer target of the records read back from a drawing's xdata: a
// view's record ("VELMP$_$VISTASEZ-") and the level marks it shows
// ("VELMP$_$PUNTIQUOTE-"), rebuilt by the view regeneration, and a
// dimension symbol's record ("VELM6$_$QUOTEINT-"), rebuilt after a
// print-scale change. Any values of any codes, in any order and number,
// rebuild or are left alone, never a fault.
//
// The input is cut into the three records in turn: a count byte, then per
// item a code byte (1070, 1010, 1040, 1011, 1000, 1071) and its value: two
// or four bytes for an integer, a byte for a real (below 16 one of the
// values that break arithmetic, else the byte itself), three for a point,
// a length and bytes for a text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "fuzz/fuzz_support.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbentity.h"
#include "host/db/dbobjptr.h"
#include "rooms/dimensions/dim_symbols.h"
#include "rooms/rooms_module.h"
#include "settings/rescale.h"
#include "settings/settings_module.h"
#include "visual/views/view_commands.h"

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint8_t Byte() { return at < size ? data[at++] : 0; }
};

double Real(Reader& in) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const double special[16] = {0.0,    1.0,     -1.0,   0.5,  2.0,   100.0,        1000.0,   -1000.0,
                                1.0e10, 1.0e308, -1e308, kInf, -kInf, std::nan(""), 1.0e-300, 300.0};
    const std::uint8_t b = in.Byte();
    return b < 16 ? special[b] : static_cast<double>(b) * 10.0 - 1000.0;
}

// The items of one record after its application name.
resbuf* Items(Reader& in) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    const int count = in.Byte() % 24;
    for (int i = 0; i < count; ++i) {
        resbuf* rb = nullptr;
        switch (in.Byte() % 6) {
            case 0: {
                const int value = static_cast<std::int16_t>(in.Byte() | (in.Byte() << 8));
                rb = zcutBuildList(1070, value, 0);
                break;
            }
            case 1:
            case 3: {
                const int code = in.data[in.at - 1] % 6 == 1 ? 1010 : 1011;
                ads_point p;
                for (double& c : p) c = Real(in);
                rb = zcutBuildList(code, p, 0);
                break;
            }
            case 2:
                rb = zcutBuildList(1040, Real(in), 0);
                break;
            case 4: {
                std::string text(in.Byte() % 16, 'x');
                for (char& c : text) c = static_cast<char>('0' + in.Byte() % 64);
                rb = zcutBuildList(1000, text.c_str(), 0);
                break;
            }
            default: {
                std::uint32_t value = 0;
                for (int k = 0; k < 4; ++k) value |= static_cast<std::uint32_t>(in.Byte()) << (8 * k);
                rb = zcutBuildList(1071, static_cast<std::int32_t>(value), 0);
                break;
            }
        }
        *tail = rb;
        tail = &rb->rbnext;
    }
    return head;
}

// A block reference of the block "XB" at `x`, carrying `app` with `items`.
bool MakeInsert(double x, const char* app, resbuf* items, ads_name made) {
    const ads_point at{x, 0.0, 0.0};
    host::ResbufList list(zcutBuildList(RTDXF0, "INSERT", 2, "XB", 10, at, -3, 1001, app, 0));
    resbuf* tail = list.get();
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = items;
    return zcdbEntMake(list.get()) == RTNORM && zcdbEntLast(made) == RTNORM;
}

// Erases what is still there: a rebuild may have taken it already.
void Erase(const ads_name e) {
    ZcDbObjectId id;
    if (zcdbGetObjectId(id, e) != Zcad::eOk) return;
    ZcDbObjectPointer<ZcDbEntity> entity(id, ZcDb::kForWrite);
    if (entity && !entity->isErased()) entity->erase();
}

void NewDrawing() {
    for (const char* app : {kViewRecordApp, kLevelMarkApp, kDimensionSymbolApp}) zcdbRegApp(app);
    const ads_point o{0, 0, 0}, a{100, 0, 0}, b{100, 100, 0}, c{0, 100, 50};
    host::ResbufList block(zcutBuildList(RTDXF0, "BLOCK", 2, "XB", 70, 0, 10, o, 0));
    host::ResbufList line(zcutBuildList(RTDXF0, "LINE", 10, o, 11, b, 0));
    host::ResbufList end(zcutBuildList(RTDXF0, "ENDBLK", 0));
    zcdbEntMake(block.get());
    zcdbEntMake(line.get());
    zcdbEntMake(end.get());
    host::ResbufList face(zcutBuildList(RTDXF0, "3DFACE", 8, "3DWALLS", 10, o, 11, a, 12, b, 13, c, 0));
    zcdbEntMake(face.get());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    RegisterSettingsModule();
    RegisterRoomsModule();
    fuzz::StartHost();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The rebuilt views and symbols stay; a new drawing every few inputs
    // keeps the model each rebuild walks small.
    if (fuzz::NextInput(16)) NewDrawing();
    Reader in{data, size};
    resbuf* view = Items(in);
    resbuf* marks = Items(in);
    resbuf* symbol = Items(in);
    ads_name viewInsert{0, 0}, marked{0, 0}, dimension{0, 0};
    const bool haveView = MakeInsert(0.0, kViewRecordApp, view, viewInsert);
    const bool haveMarks = MakeInsert(300.0, kLevelMarkApp, marks, marked);
    const bool haveSymbol = MakeInsert(600.0, kDimensionSymbolApp, symbol, dimension);
    if (haveView) RegenerateView(viewInsert);
    if (haveSymbol) RescaleQuoteIntBlocks();
    // What this input made goes, so that the next one starts alike.
    if (haveView) Erase(viewInsert);
    if (haveMarks) Erase(marked);
    if (haveSymbol) Erase(dimension);
    return 0;
}
