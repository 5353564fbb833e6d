// A placed window whose sash count, kept in its own record, asks for an
// ARRAY of a million or two hundred million copies: VELMMODIFY refuses to
// rebuild it, naming the definition and the bound, and the window, its
// wall and the drawing's blocks stay as they were.
#include <gtest/gtest.h>

#include <string>

#include "core/entity_data.h"
#include "core/entity_readers.h"
#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/util/findfile.h"
#include "objects/language/obj_records.h"
#include "tests/store/damaged_records.h"
#include "tests/support/velm_test.h"

namespace {

class ModifyBounds : public VelmTest {
protected:
    void SetUp() override {
        VelmTest::SetUp();
        const std::string root = VELM_SOURCE_DIR;
        host::setSupportPathProvider([root] {
            return std::vector<std::string>{root + "/support", root + "/support/host"};
        });
        loadModule();
        run({"VELMWALLD", "0,0", "600,0", "600,400", "0,400", "Zamknij"});
        run({"VELMOBJECT", "F1", "!pick 200,15", "100"});
        ASSERT_EQ(windows(), 1) << transcript();
        for (ZcDbObjectId id : modelSpace()) {
            ads_name e;
            zcdbGetAdsName(e, id);
            resbuf* record = GetEntXData(e, kParamRecordApp);
            if (record && FindXDataApp(record, kParamRecordApp)) ads_name_set(e, window);
            zcutRelRb(record);
        }
        ASSERT_FALSE(ads_name_nil(window));
    }
    void TearDown() override {
        host::setSupportPathProvider(nullptr);
        VelmTest::TearDown();
    }
    static int windows() { return count("0=INSERT -3=VELM5$_$PARAMETRI-"); }
    static int wallLines() { return count("0=LINE 8=VELM2DWALLS$0"); }
    static int blocks() {
        int n = 0;
        for (resbuf* rb = zcdbTblNext("BLOCK", 1); rb; rb = zcdbTblNext("BLOCK", 0), ++n) zcutRelRb(rb);
        return n;
    }
    // The window's INSERT as a list without its handle-free parts.
    std::string insert() const {
        resbuf* list = zcdbEntGetX(window, nullptr);
        std::string out;
        for (const resbuf* rb = list; rb; rb = rb->rbnext) {
            if (rb->restype == 2 || rb->restype == 5) out += std::string(rb->resval.rstring) + ";";
            if (rb->restype == 10)
                out +=
                    std::to_string(rb->resval.rpoint[0]) + "," + std::to_string(rb->resval.rpoint[1]) + ";";
        }
        zcutRelRb(list);
        return out;
    }
    // The sash count ($191) of the window's record.
    void setSashes(double count) {
        DamageXData(window, kParamRecordApp, [count](DxfItems& items) {
            for (std::size_t i = 0; i + 1 < items.size(); ++i)
                if (items[i].code == 1070 && items[i].integer == 191)
                    items[i + 1] = ZcDbDxfItem::ofReal(1040, count);
        });
    }

    ads_name window = {0, 0};
};

TEST_F(ModifyBounds, a_sash_count_past_the_array_bound_is_refused_and_the_window_left) {
    const std::string before = insert();
    const int lines = wallLines(), blocksBefore = blocks();
    for (const double sashes : {1e6, 2e8}) {
        SCOPED_TRACE(sashes);
        setSashes(sashes);
        // "Zastosuj": the window is rebuilt where it stands.
        run({"!dialog 150 click 7", "VELMMODIFY", "!pick 205,0"});
        const std::string copies = std::to_string(static_cast<long long>(sashes) - 1);
        EXPECT_NE(transcript().find("Definicja F1: ARRAY ma " + copies +
                                    " kopii, więcej niż 10000: obiekt nie został narysowany."),
                  std::string::npos)
            << transcript();
        EXPECT_EQ(windows(), 1);
        EXPECT_EQ(insert(), before);
        EXPECT_EQ(wallLines(), lines);
        EXPECT_EQ(blocks(), blocksBefore);
    }
    // Four sashes rebuild it as ever.
    setSashes(4);
    run({"!dialog 150 click 7", "VELMMODIFY", "!pick 205,0"});
    EXPECT_EQ(windows(), 1);
    EXPECT_NE(insert(), before);
}

}  // namespace
