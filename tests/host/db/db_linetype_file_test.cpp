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

TEST(LinetypeFile, a_refusal_names_the_file_and_a_damaged_definition_its_line) {
    TestDir dir;
    dir.write("Puste.lin", "");
    dir.write("Zle.lin",
              "*KRESKA,Kreskowa\nA,10,-5x\n*KROPKA,Kropkowa\nB,0,-2.5\n*FALA,Falista\n"
              "*ZNAK,Ze znakiem\nA,1,[\"X\",STANDARD,S=.1],-1\n");
    host::setSupportFolders({dir.path()});
    ZcDbDatabase db;
    std::string error;
    EXPECT_EQ(db.loadLineTypeFile("KRESKA", "Puste.lin", &error), Zcad::eInvalidInput);
    EXPECT_EQ(error, dir.path("Puste.lin") + ":1: plik jest pusty");
    EXPECT_EQ(db.loadLineTypeFile("KRESKA", "Zle.lin", &error), Zcad::eInvalidInput);
    EXPECT_EQ(error,
              dir.path("Zle.lin") + ":2: wiersz wzoru typu linii KRESKA nie ma postaci A,kreska,przerwa[,…]");
    EXPECT_EQ(db.loadLineTypeFile("KROPKA", "Zle.lin", &error), Zcad::eInvalidInput);
    EXPECT_NE(error.find("Zle.lin:4: "), std::string::npos) << error;
    EXPECT_EQ(db.loadLineTypeFile("FALA", "Zle.lin", &error), Zcad::eInvalidInput);
    EXPECT_NE(error.find("Zle.lin:5: brak wiersza wzoru"), std::string::npos) << error;
    EXPECT_EQ(db.loadLineTypeFile("NIC", "Zle.lin", &error), Zcad::eKeyNotFound);
    EXPECT_EQ(error, dir.path("Zle.lin") + ": brak typu linii NIC");
    // A dash no drawing has is refused with its line, as a malformed one is.
    dir.write("Dlugie.lin", "*DLUGA,Długa\nA,1e308,-5\n*CYFRY,Cyfry\nA,5,-12345678901234567890\n");
    EXPECT_EQ(db.loadLineTypeFile("DLUGA", "Dlugie.lin", &error), Zcad::eInvalidInput);
    EXPECT_EQ(error, dir.path("Dlugie.lin") + ":2: długość kreski typu linii DLUGA poza zakresem: 1e308");
    EXPECT_EQ(db.loadLineTypeFile("CYFRY", "Dlugie.lin", &error), Zcad::eInvalidInput);
    EXPECT_NE(error.find("Dlugie.lin:4: "), std::string::npos) << error;
    for (const char* name : {"KRESKA", "KROPKA", "FALA", "NIC", "DLUGA", "CYFRY"})
        EXPECT_TRUE(db.recordId(db.linetypeTableId(), name).isNull()) << name;
    // A shape in brackets is passed over; the dashes around it are kept.
    EXPECT_EQ(db.loadLineTypeFile("ZNAK", "Zle.lin", &error), Zcad::eOk) << error;
    host::setSupportFolders({});
}
