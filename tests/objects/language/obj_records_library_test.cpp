// Every shipped definition read through its sections, drawn and attached
// in a new drawing; the drawing saved as DXF and loaded again carries the
// same records, and an independent reader finds the door's records.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "host/db/dbentity.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/db/dxffile.h"
#include "obj_records_fixture.h"

namespace {

const char* const kShipped[] = {"F1",       "P1",       "A1",       "F1C",          "FANG1",   "PIL1",
                                "LUC1",     "SCALA1",   "BAL1",     "TAV1",         "SEP1",    "ETI1",
                                "key_qd1",  "key_qd2",  "key_qd3",  "key_qd4",      "TMS_SEZ", "TMS_SEZ2",
                                "TMS_SEZS", "TMS_PROS", "TMS_LUCE", "key_etiMaglia"};

// The xdata of every object in a database's model space, in order.
std::vector<Lines> ObjectRecords(ZcDbDatabase* database) {
    std::vector<Lines> out;
    ZcDbObjectPointer<ZcDbBlockTableRecord> space(database->modelSpaceId(), ZcDb::kForRead);
    if (space.openStatus() != Zcad::eOk) return out;
    for (ZcDbObjectId id : space->entityIds()) {
        ZcDbObjectPointer<ZcDbEntity> e(id, ZcDb::kForRead);
        if (e.openStatus() != Zcad::eOk) continue;
        resbuf* xdata = e->xData();
        if (FindXDataApp(xdata, kParaSpecApp)) out.push_back(AllXdataLines(xdata));
        zcutRelRb(xdata);
    }
    return out;
}

class ShippedObjects : public ObjRecords {
protected:
    void SetUp() override {
        ObjRecords::SetUp();
        for (const auto& e : std::filesystem::directory_iterator(std::string(VELM_SOURCE_DIR) + "/support"))
            if (e.is_regular_file()) std::filesystem::copy_file(e.path(), dir / e.path().filename());
        catalogue.ParseLayerDefLines({"**Wszystkie,"});
    }
};

}  // namespace

TEST_F(ShippedObjects, every_shipped_definition_is_attached_and_read_back_from_dxf) {
    setUnit(1.0);
    double x = 0.0;
    std::vector<Lines> written;
    for (const char* name : kShipped) {
        SCOPED_TRACE(name);
        ObjContext& c = prepared(name);
        placeAt(c, x += 1000.0, 500.0, 0.3);
        ads_name e;
        ASSERT_EQ(AttachParamXdata(c, e), 1);
        Groups xdata = xdataOf(e);
        ASSERT_TRUE(FindXDataApp(xdata.get(), kParaSpecApp));
        EXPECT_EQ(FindXDataApp(xdata.get(), kParamRecordApp) != nullptr,
                  c.insertionType != InsertionType::BlockOnly);
        if (c.insertionType == InsertionType::StraightWallOpening ||
            c.insertionType == InsertionType::ArcWallOpening ||
            c.insertionType == InsertionType::WallCorner) {
            EXPECT_TRUE(FindXDataApp(xdata.get(), kTag3DiStrRecordApp));
        }
        written.push_back(AllXdataLines(xdata.get()));
    }
    ASSERT_EQ(ObjectRecords(db()), written);

    const std::string out = std::string(VELM_BINARY_DIR) + "/dxfgen/object_records.dxf";
    std::filesystem::create_directories(std::filesystem::path(out).parent_path());
    ASSERT_TRUE(host::saveDxf(db(), out));
    host::DxfLoadResult back = host::loadDxf(out);
    ASSERT_TRUE(back.db) << back.error;
    EXPECT_EQ(ObjectRecords(back.db.get()), written);

    if (!std::filesystem::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    const std::string script = std::string(VELM_SOURCE_DIR) + "/tests/objects/language/check_records_dxf.py";
    const std::string definition = std::string(VELM_SOURCE_DIR) + "/support/P1.txt";
    const int status = std::system(("/usr/bin/python3 " + script + " " + out + " " + definition).c_str());
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "ezdxf missing";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
