// Names a drawing gives for support files (a schedule template, a label
// template, an object definition) are plain names looked up in the support
// folders only: a template name pointing elsewhere is refused, naming the
// record it came from; an object definition is read by its bare name. The
// file pointed at, a marker that would change what is read, is never used.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <string>

#include "core/hatch.h"
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

TEST_F(DrawingFileNames, a_hatch_pattern_pointing_elsewhere_is_refused_naming_its_record) {
    data.write("elsewhere/secret.pat", "*SECRET, outside\n0, 0,0, 0,1\n");
    for (const std::string& name : PathsOutside()) {
        EXPECT_FALSE(IsCustomPattern(name, kHatchApp)) << name;
        EXPECT_EQ(lastMessage(), std::string(kHatchApp) + ": nazwa pliku \"" + name +
                                     ".pat\" nie może wskazywać folderu; odrzucono.");
    }
    data.write("secret.pat", "*SECRET, inside\n0, 0,0, 0,1\n");
    EXPECT_TRUE(IsCustomPattern("secret", kHatchApp));
}

TEST_F(DrawingFileNames, templates_that_are_no_regular_files_are_refused_by_name) {
    // FIFOs beside the drawing: a read would wait for a writer for ever.
    for (const char* name : {"FIFO.UA", "FIFO.OA"}) ASSERT_EQ(::mkfifo(data.path(name).c_str(), 0600), 0);
    const auto withoutWaiting = [&](const char* name, auto read) {
        auto reading = std::async(std::launch::async, read);
        if (reading.wait_for(std::chrono::seconds(20)) == std::future_status::ready) return reading.get();
        // Let the blocked read go: a writer that opens and closes ends it.
        const int fd = ::open(data.path(name).c_str(), O_WRONLY);
        if (fd >= 0) ::close(fd);
        reading.wait();
        ADD_FAILURE() << name << ": the read waited on the FIFO";
        return -1;
    };
    LabelTemplate t;
    EXPECT_EQ(withoutWaiting("FIFO.UA", [&] { return ReadUaFile("FIFO", t, kRoomLabelApp); }), 0);
    EXPECT_EQ(lastMessage(), "nie można odczytać " + data.path("FIFO.UA") + ": to nie jest zwykły plik");
    CABACHI s;
    s.templateName = "FIFO";
    EXPECT_EQ(withoutWaiting("FIFO.OA", [&] { return s.ReadOaFile(); }), 0);
    EXPECT_EQ(lastMessage(), "nie można odczytać " + data.path("FIFO.OA") + ": to nie jest zwykły plik");

    // Links to a device, which would fill the memory, lead out of the folder.
    std::filesystem::create_symlink("/dev/zero", data.path("ZERO.UA"));
    std::filesystem::create_symlink("/dev/zero", data.path("ZERO.OA"));
    const std::string refused = ": dowiązanie prowadzi poza folder, w którym je znaleziono; odrzucono.";
    EXPECT_EQ(ReadUaFile("ZERO", t, kRoomLabelApp), 0);
    EXPECT_NE(transcript().find("nie można odczytać " + data.path("ZERO.UA") + refused), std::string::npos);
    s.templateName = "ZERO";
    EXPECT_EQ(s.ReadOaFile(), 0);
    EXPECT_NE(transcript().find("nie można odczytać " + data.path("ZERO.OA") + refused), std::string::npos);
}

TEST_F(DrawingFileNames, a_template_reached_through_a_link_leaving_its_folder_is_refused) {
    std::filesystem::create_symlink("elsewhere/secret.UA", data.path("LINKED.UA"));
    std::filesystem::create_symlink(data.path("elsewhere/secret.OA"), data.path("LINKED.OA"));
    LabelTemplate t;
    EXPECT_EQ(ReadUaFile("LINKED", t, kRoomLabelApp), 0);
    EXPECT_EQ(t.labelBlock, "");
    EXPECT_NE(transcript().find("nie można odczytać " + data.path("LINKED.UA") +
                                ": dowiązanie prowadzi poza folder, w którym je znaleziono; odrzucono."),
              std::string::npos)
        << transcript();
    CABACHI s;
    s.templateName = "LINKED";
    EXPECT_EQ(s.ReadOaFile(), 0);
    EXPECT_EQ(s.tableName, "");
    EXPECT_NE(transcript().find("nie można odczytać " + data.path("LINKED.OA") +
                                ": dowiązanie prowadzi poza folder"),
              std::string::npos);
    // A link to a template of the same folder is that template.
    std::filesystem::create_symlink("secret.UA", data.path("ALIAS.UA"));
    ASSERT_EQ(ReadUaFile("ALIAS", t, kRoomLabelApp), 1);
    EXPECT_EQ(t.labelBlock, "INSIDE");
}
