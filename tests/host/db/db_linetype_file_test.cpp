// Linetypes loaded from a linetype file by name: the definition under the
// name read with its dashes, found on the support path; a missing name or
// file adds nothing.
#include <gtest/gtest.h>

#include "host/db/dbmain.h"
#include "host/util/findfile.h"
#include "tests/host/win_testdir.h"

TEST(LinetypeFile, a_named_definition_is_added_with_its_dashes_and_nothing_else) {
    TestDir dir;
    dir.write("Kreski.lin",
              ";; comment\n*KRESKA,Kreskowa __ __\nA,10,-5\n*KROPKA,Kropkowa . . .\nA,0,-2.5\n");
    host::setSupportFolders({dir.path()});
    ZcDbDatabase db;
    EXPECT_EQ(db.loadLineTypeFile("kropka", "KRESKI.LIN"), Zcad::eOk);
    const ZcDbObjectId id = db.recordId(db.linetypeTableId(), "KROPKA");
    ASSERT_FALSE(id.isNull());
    ZcDbLinetypeTableRecord* rec = nullptr;
    ASSERT_EQ(zcdbOpenObject(rec, id, ZcDb::kForRead), Zcad::eOk);
    EXPECT_EQ(rec->comments(), "Kropkowa . . .");
    EXPECT_EQ(rec->dashes(), (std::vector<double>{0.0, -2.5}));
    rec->close();
    EXPECT_TRUE(db.recordId(db.linetypeTableId(), "KRESKA").isNull());
    // Loading it again changes nothing.
    EXPECT_EQ(db.loadLineTypeFile("KROPKA", "Kreski.lin"), Zcad::eOk);

    EXPECT_EQ(db.loadLineTypeFile("FALA", "Kreski.lin"), Zcad::eKeyNotFound);
    EXPECT_EQ(db.loadLineTypeFile("KRESKA", "Brak.lin"), Zcad::eInvalidInput);
    EXPECT_TRUE(db.recordId(db.linetypeTableId(), "FALA").isNull());
    EXPECT_TRUE(db.recordId(db.linetypeTableId(), "KRESKA").isNull());
    host::setSupportFolders({});
}
