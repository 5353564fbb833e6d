// Label templates: the shipped ones, the key and "end" rules, the name map.
#include "rooms/labels/label_templates.h"

#include <string>

#include "tests/rooms/rooms_fixture.h"

namespace {

using LabelTemplatesTest = RoomsTest;

TEST_F(LabelTemplatesTest, shipped_templates_read) {
    LabelTemplate t;
    ASSERT_EQ(ReadUaFile("TMS_TAB1", t), 1);
    EXPECT_FALSE(t.labelBlock.empty());
    EXPECT_FALSE(t.cardBlock.empty());
    EXPECT_FALSE(t.rowBlock.empty());
    EXPECT_FALSE(t.totalBlock.empty());
    ASSERT_EQ(ReadUaFile("TMS_ETI1", t), 1);
    EXPECT_FALSE(t.labelBlock.empty());
    EXPECT_TRUE(t.cardBlock.empty());
}

TEST_F(LabelTemplatesTest, keys_values_and_the_end_line) {
    LabelTemplate t;
    data.write("A.UA", "eti=LAB\nend");
    ASSERT_EQ(ReadUaFile("A", t), 1);
    EXPECT_EQ(t.labelBlock, "LAB");
    EXPECT_TRUE(t.cardBlock.empty() && t.rowBlock.empty() && t.totalBlock.empty());

    data.write("B.UA",
               "ETI=  FIRST rest\r\nTab=T1\r\ntab=T2\r\nrec=R\r\nrec=\r\ntot=EARLY\r\nsomething\r\nEND "
               "here\r\ntot=LATE\r\n");
    ASSERT_EQ(ReadUaFile("B", t), 1);
    EXPECT_EQ(t.labelBlock, "FIRST");
    EXPECT_EQ(t.cardBlock, "T2");
    EXPECT_EQ(t.rowBlock, "R");        // an empty key leaves it
    EXPECT_EQ(t.totalBlock, "EARLY");  // after "end": not read

    data.write("C.UA", "eti=L\ntab=T\nrec=R\ntot=S\n");
    EXPECT_EQ(ReadUaFile("C", t), 0);
    EXPECT_EQ(lastMessage(),
              data.path("C.UA") + ":4: Błąd w definicji pliku etykiety pokoju C.ua: brak wiersza end");

    data.write("D.UA", "tab=T\nend\n");
    EXPECT_EQ(ReadUaFile("D", t), 0);
    EXPECT_EQ(lastMessage(),
              data.path("D.UA") + ":2: Błąd w definicji pliku etykiety pokoju D.ua: brak wiersza eti=");
}

// A template that lost one line would draw a label without its card, rows
// or total and say nothing: each is refused, naming the line where the
// missing one was due.
TEST_F(LabelTemplatesTest, a_template_missing_one_line_is_refused_with_its_file_and_line) {
    const std::vector<std::string> lines = {"eti=TMS_ETIP", "tab=TMS_TABP", "rec=TMS_RECP", "tot=TMS_TOTP",
                                            "end"};
    const std::vector<std::string> missing = {"eti=", "tab=", "rec=", "tot=", "end"};
    for (std::size_t gone = 0; gone < lines.size(); ++gone) {
        std::string text;
        for (std::size_t k = 0; k < lines.size(); ++k)
            if (k != gone) text += lines[k] + "\r\n";
        data.write("TMS_TAB1.UA", text);
        LabelTemplate t;
        EXPECT_EQ(ReadUaFile("TMS_TAB1", t), 0) << lines[gone];
        EXPECT_EQ(lastMessage(), data.path("TMS_TAB1.UA") +
                                     ":4: Błąd w definicji pliku etykiety pokoju TMS_TAB1.ua: brak wiersza " +
                                     missing[gone]);
    }
}

TEST_F(LabelTemplatesTest, missing_or_overlong_names_are_not_found) {
    LabelTemplate t;
    EXPECT_EQ(ReadUaFile("NONE", t), 0);
    EXPECT_EQ(lastMessage(), "NONE.UA: Pliku nie znaleziono");
    const std::string longName(300, 'n');
    EXPECT_EQ(ReadUaFile(longName, t), 0);
    EXPECT_EQ(lastMessage(), "" + longName + ".UA: Pliku nie znaleziono");
}

TEST_F(LabelTemplatesTest, old_names_map_in_any_case) {
    EXPECT_EQ(MapLabelTemplateName("att_eti3"), "Att_ei3");
    EXPECT_EQ(MapLabelTemplateName("ATT_ETI1"), "att_ec1");
    EXPECT_EQ(MapLabelTemplateName("att_tabch"), "Att_tabch");
    EXPECT_EQ(MapLabelTemplateName("ATT_TAB1"), "Att_tab1");
    EXPECT_EQ(MapLabelTemplateName("TMS_TAB1"), "TMS_TAB1");
    EXPECT_EQ(MapLabelTemplateName("Att_tab1x"), "Att_tab1x");
}

}  // namespace
