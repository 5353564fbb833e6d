// Names a drawing gives for support files (a schedule template, a label
// template, an object definition) are plain names looked up in the support
// folders only: a template name pointing elsewhere is refused, naming the
// record it came from; an object definition is read by its bare name. The
// file pointed at, a marker that would change what is read, is never used.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/support_files.h"
#include "host/util/findfile.h"
#include "objects/language/obj_text.h"
#include "rooms/labels/label_templates.h"
#include "rooms/room_records.h"
#include "rooms/schedules/schedule_context.h"
#include "tests/rooms/schedules_fixture.h"

namespace {

class DrawingFileNames : public SchedulesTest {
protected:
    // Markers in a folder that is not a support folder (the search does not
    // go into the support folder's own sub-folders).
    void SetUp() override {
        SchedulesTest::SetUp();
        std::filesystem::create_directories(data.path("elsewhere"));
        data.write("elsewhere/secret.UA", "eti=MARKER\nend\n");
        data.write("elsewhere/secret.OA", "tab=MARKER\nrec=MARKER\ntot=MARKER\nend\n");
        data.write("elsewhere/secret.txt", "[VAR]\nend\n");
        // A label template of the same name inside the support folder.
        data.write("secret.UA", "eti=INSIDE\nend\n");
    }
    // The marker by every form of path a drawing could hold.
    std::vector<std::string> PathsOutside() const {
        const std::string absolute = data.path("elsewhere/secret");
        const std::string relative =
            std::filesystem::relative(absolute, std::filesystem::current_path()).string();
        std::string backslashed = relative;
        for (char& c : backslashed)
            if (c == '/') c = '\\';
        return {absolute, relative, backslashed, "../elsewhere/secret"};
    }
};

}  // namespace

TEST_F(DrawingFileNames, only_a_name_alone_is_a_plain_file_name) {
    for (const char* plain : {"VELMOA01", "TMS_TAB1.UA", "Ściana 2", "a.b.c"})
        EXPECT_TRUE(host::isPlainFileName(plain)) << plain;
    for (const char* path : {"", "/etc/passwd", "../x", "..", "a/b", "a\\b", "C:\\x\\y", "x..y"})
        EXPECT_FALSE(host::isPlainFileName(path)) << path;
}

TEST_F(DrawingFileNames, a_label_template_pointing_elsewhere_is_refused_naming_its_record) {
    for (const std::string& name : PathsOutside()) {
        LabelTemplate t;
        EXPECT_EQ(ReadUaFile(name, t, kRoomLabelApp), 0) << name;
        EXPECT_EQ(t.labelBlock, "") << name;
        EXPECT_EQ(lastMessage(), std::string(kRoomLabelApp) + ": nazwa pliku \"" + name +
                                     ".UA\" nie może wskazywać folderu; odrzucono.");
    }
    LabelTemplate t;
    ASSERT_EQ(ReadUaFile("secret", t, kRoomLabelApp), 1);
    EXPECT_EQ(t.labelBlock, "INSIDE");
}

TEST_F(DrawingFileNames, a_schedule_template_pointing_elsewhere_is_refused_naming_the_setting) {
    for (const std::string& name : PathsOutside()) {
        CABACHI s;
        s.templateName = name;
        EXPECT_EQ(s.ReadOaFile(), 0) << name;
        EXPECT_EQ(s.tableName, "");
        EXPECT_EQ(lastMessage(),
                  "NOMEFILEOA: nazwa pliku \"" + name + ".OA\" nie może wskazywać folderu; odrzucono.");
    }
}

TEST_F(DrawingFileNames, an_object_definition_with_a_folder_is_read_by_its_bare_name_inside_only) {
    // Old drawings name definitions with the folder they came from: the
    // folder is dropped, so the marker outside is never what is read.
    for (const std::string& name : PathsOutside()) {
        std::unique_ptr<ObjText> text;
        EXPECT_EQ(ReadObjText(name, text), 0) << name;
    }
    data.write("secret.txt", "[VAR]\nend\n");
    for (const std::string& name : PathsOutside()) {
        std::unique_ptr<ObjText> text;
        ASSERT_EQ(ReadObjText(name, text), 1) << name;
        EXPECT_EQ(text->path, data.path("secret.txt"));
    }
}
