// Wall-type files: the reader against the writer and against hand-written
// files, loading a folder, backing up and saving.
#include "walls/types/mxt_file.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "host/ads/transcript.h"
#include "host/win/textfile.h"
#include "tests/walls/wall_types_fixture.h"

namespace {

CStrato Layer(const std::string& material, const std::string& pattern, double scale,
              const std::string& thickness, const std::string& layer) {
    CStrato s;
    s.material = material, s.pattern = pattern, s.patternScale = scale, s.thickness = thickness,
    s.layer = layer;
    return s;
}

// "Żelbet łączony" with two build-ups of Polish layer names.
CMuro TwoBuildUps() {
    CMuro type;
    type.name = "Żelbet łączony";
    type.fileName = type.storedFileName = "ZELBET_L";
    type.color = 14;
    type.priority = 7;
    type.layer = "2DŚCIANY";
    type.scales = std::make_shared<CListScale>();
    auto fine = std::make_shared<CListStrati>();
    fine->InsertNumbered(fine->end(), Layer("Tynk gładź", "0", 1.0, "1.5", "2DTYNK"), CListStrati::kTail);
    fine->InsertNumbered(fine->end(), Layer("Beton źródłowy", "-ANSI31", 0.333333, "$-s1", "2DBETON"),
                         CListStrati::kTail);
    type.scales->push_back(CScala{50, fine});
    auto coarse = std::make_shared<CListStrati>();
    coarse->InsertNumbered(coarse->end(), Layer("Beton", "SOLID", 2.5, "$", "2DBETON"), CListStrati::kTail);
    type.scales->push_back(CScala{200, coarse});
    return type;
}

std::vector<std::string> LayerNames(const CScala& s) {
    std::vector<std::string> out;
    for (const CStrato& l : *s.layers)
        out.push_back(l.material + "|" + l.pattern + "|" + l.thickness + "|" + l.layer);
    return out;
}

}  // namespace

TEST_F(WallTypesTest, round_trip_keeps_every_field_in_order_and_numbers_layers_afresh) {
    CMuro written = TwoBuildUps();
    ASSERT_TRUE(WriteWallTypeFile(written));
    for (bool cp1250 : {false, true}) {
        if (cp1250) {
            std::optional<host::TextFile> file = host::readTextFile(data.path("ZELBET_L.mxt"));
            ASSERT_TRUE(file);
            EXPECT_EQ(file->encoding, host::TextEncoding::Utf8);
            file->encoding = host::TextEncoding::Windows1250;
            file->lineEnding = host::LineEnding::CrLf;
            ASSERT_TRUE(host::writeTextFile(data.path("ZELBET_L.mxt"), *file));
        }
        CMuro read;
        read.fileName = "ZELBET_L";
        ASSERT_TRUE(ReadWallTypeFile(read)) << (cp1250 ? "Windows-1250" : "UTF-8");
        EXPECT_EQ(read.name, "Żelbet łączony");
        EXPECT_EQ(read.storedFileName, "ZELBET_L");
        EXPECT_EQ(read.color, 14);
        EXPECT_EQ(read.priority, 7);
        EXPECT_EQ(read.layer, "2DŚCIANY");
        ASSERT_TRUE(read.scales);
        ASSERT_EQ(read.scales->size(), 2u);
        const CScala& fine = read.scales->front();
        EXPECT_EQ(fine.scale, 50);
        EXPECT_EQ(LayerNames(fine), (std::vector<std::string>{"Tynk gładź|0|1.5|2DTYNK",
                                                              "Beton źródłowy|-ANSI31|$-s1|2DBETON"}));
        EXPECT_DOUBLE_EQ(std::next(fine.layers->begin())->patternScale, 0.333333);
        EXPECT_EQ(fine.layers->front().number, (1u << 16) | 4u);
        EXPECT_EQ(std::next(fine.layers->begin())->number, (2u << 16) | 4u);
        EXPECT_EQ(read.scales->back().scale, 200);
        EXPECT_EQ(read.scales->back().layers->front().number, (1u << 16) | 4u);
    }
    EXPECT_EQ(wallLayers().back(), "2DŚCIANY");
}

TEST_F(WallTypesTest, writer_form_is_fixed_to_the_character) {
    CMuro type = TwoBuildUps();
    type.scales->back().layers->RemoveAll();
    ASSERT_TRUE(WriteWallTypeFile(type));
    EXPECT_EQ(data.read("ZELBET_L.mxt"),
              "Żelbet łączony\nZELBET_L\n14\n7\n2DŚCIANY\nSTRATIFICAZIONE50\n"
              "Tynk gładź\n0\n1.000000\n1.5\n2DTYNK\n"
              "Beton źródłowy\n-ANSI31\n0.333333\n$-s1\n2DBETON\nENDSTRATIFICAZIONE50\n"
              "STRATIFICAZIONE200\nENDSTRATIFICAZIONE200\n");
    CMuro nameless;
    EXPECT_FALSE(WriteWallTypeFile(nameless));
}

TEST_F(WallTypesTest, markers_in_any_case_and_closing_number_not_read) {
    data.write("M.mxt",
               "Mur\nM\n3\n1\n2DWALLS\nstratificazione100\nCegła\n0\n1\n$\n2DX\nEndStratificazione7\n"
               "StratifiCAZIONE 200\nENDSTRATIFICAZIONE\n");
    CMuro type;
    type.fileName = "M";
    ASSERT_TRUE(ReadWallTypeFile(type));
    ASSERT_EQ(type.scales->size(), 2u);
    EXPECT_EQ(type.scales->front().scale, 100);
    EXPECT_EQ(type.scales->front().layers->size(), 1u);
    EXPECT_EQ(type.scales->back().scale, 200);
    EXPECT_FALSE(type.scales->back().layers);
}

TEST_F(WallTypesTest, malformed_files_are_refused_and_leave_no_build_ups) {
    const std::string good =
        "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n$\n2DX\nENDSTRATIFICAZIONE100\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"blank line after the last block", good + "\n"},
        {"four header lines", "Mur\nM\n3\n1\n"},
        {"marker without number", "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE\nENDSTRATIFICAZIONE\n"},
        {"ends inside a build-up", "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\n"},
        {"ends inside a layer", "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n"},
        {"hatch scale not a number",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\nx\n$\n2DX\nENDSTRATIFICAZIONE100\n"},
        {"thickness nan",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\nnan\n2DX\nENDSTRATIFICAZIONE100\n"},
        {"thickness 1e308",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n1e308\n2DX\nENDSTRATIFICAZIONE100\n"},
        {"thickness 0",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n0\n2DX\nENDSTRATIFICAZIONE100\n"},
        {"thickness -30",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n-30\n2DX\nENDSTRATIFICAZIONE100\n"},
        {"thickness of 20 digits",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n$-12345678901234567890\n2DX\n"
         "ENDSTRATIFICAZIONE100\n"},
        {"thickness a word",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\nabc\n2DX\nENDSTRATIFICAZIONE100\n"},
        {"thickness empty",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n\n2DX\nENDSTRATIFICAZIONE100\n"},
        {"thickness blank",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n  \n2DX\nENDSTRATIFICAZIONE100\n"},
        {"thickness a sign on a sign",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n$--5\n2DX\nENDSTRATIFICAZIONE100\n"},
        {"thickness ending in an operator",
         "Mur\nM\n3\n1\n2DWALLS\nSTRATIFICAZIONE100\nCegła\n0\n1\n$-\n2DX\nENDSTRATIFICAZIONE100\n"},
    };
    for (const auto& [what, text] : cases) {
        data.write("M.mxt", text);
        CMuro type;
        type.fileName = "M";
        type.scales = std::make_shared<CListScale>();
        EXPECT_FALSE(ReadWallTypeFile(type)) << what;
        EXPECT_FALSE(type.scales) << what;
    }
    // A thickness no wall has is named with the file and its line.
    data.write("M.mxt", cases[6].second);
    CMuro type;
    type.fileName = "M";
    const std::size_t before = host::transcript().text().size();
    EXPECT_FALSE(ReadWallTypeFile(type));
    EXPECT_NE(host::transcript().text().find("M.mxt:10: grubość warstwy nie jest prawidłowa", before),
              std::string::npos)
        << host::transcript().text().substr(before);
    // An empty one is named as missing.
    data.write("M.mxt", cases[12].second);
    EXPECT_FALSE(ReadWallTypeFile(type));
    EXPECT_NE(host::transcript().text().find("M.mxt:10: brak grubości warstwy", before), std::string::npos)
        << host::transcript().text().substr(before);
}

TEST(ThicknessExpression, takes_what_the_build_up_drawing_reads_and_refuses_slips) {
    for (const char* ok : {"12", "1.25", "$", "$-3", "$*0.5", "$-s1-s2-s3", "-s1+20", " $ - 2.5 "})
        EXPECT_TRUE(ThicknessExpressionValid(ok)) << ok;
    for (const char* bad : {"", " ", "0", "-5", "--5", "$+-2", "$-", "s1*", "abc", "12abc", "1,5", "0x10"})
        EXPECT_FALSE(ThicknessExpressionValid(bad)) << bad;
}

TEST_F(WallTypesTest, colour_and_priority_not_numbers_read_as_2_and_0_and_last_line_kept_whole) {
    data.write("M.mxt", "Mur\nM\nczerwony\nwysoki\n2DWALLS");
    CMuro type;
    type.fileName = "M";
    ASSERT_TRUE(ReadWallTypeFile(type));
    EXPECT_EQ(type.color, 2);
    EXPECT_EQ(type.priority, 0);
    EXPECT_EQ(type.layer, "2DWALLS");
    EXPECT_FALSE(type.scales);
}

TEST_F(WallTypesTest, wall_layer_joins_only_when_no_entry_equals_it_ignoring_case) {
    VELM_LAYERMURI* w = OpenLayerMuriObject();
    ASSERT_NE(w, nullptr);
    w->entries = {"2DWALLS", "2DMury"};
    w->close();
    data.write("A.mxt", "A\nA\n1\n0\n2DMURY\n");
    data.write("B.mxt", "B\nB\n1\n0\n2DWALL\n");
    CListMuri list;
    ASSERT_TRUE(LoadWallTypes(list));
    EXPECT_EQ(wallLayers(), (std::vector<std::string>{"2DWALLS", "2DMury", "2DWALL"}));
}

TEST_F(WallTypesTest, loaded_types_come_first_in_name_order_and_a_bad_file_is_reported) {
    data.write("b.mxt", "Drugi\nb\n1\n0\n2DWALLS\n");
    data.write("a.mxt", "Pierwszy\na\n1\n0\n2DWALLS\n");
    data.write("c.mxt", "Zły\nc\n1\n0\n2DWALLS\nbłąd\n");
    CListMuri list;
    CMuro old;
    old.name = "Stary";
    list.push_back(old);
    ASSERT_TRUE(LoadWallTypes(list));
    std::vector<std::string> names;
    for (const CMuro& m : list) names.push_back(m.name + "/" + m.fileName);
    EXPECT_EQ(names, (std::vector<std::string>{"Pierwszy/a", "Drugi/b", "Stary/"}));
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{"Błąd w pliku: c"}));
}

TEST_F(WallTypesTest, no_file_is_reported_and_leaves_the_list) {
    CListMuri list;
    list.push_back(CMuro{});
    EXPECT_FALSE(LoadWallTypes(list));
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{"Nie znaleziono żadnego pliku MXT"}));
}

TEST_F(WallTypesTest, every_shipped_file_writes_back_identical) {
    std::vector<std::string> shipped;
    for (const auto& e : std::filesystem::directory_iterator(std::string(VELM_SOURCE_DIR) + "/support"))
        if (e.path().extension() == ".mxt") shipped.push_back(e.path().filename().string());
    ASSERT_GE(shipped.size(), 5u);
    copyShipped(shipped);
    CListMuri list;
    ASSERT_TRUE(LoadWallTypes(list));
    ASSERT_EQ(list.size(), shipped.size());
    for (const CMuro& type : list) {
        std::string before = data.read(type.fileName + ".mxt");
        ASSERT_TRUE(WriteWallTypeFile(type));
        EXPECT_EQ(data.read(type.fileName + ".mxt"), before) << type.fileName;
        EXPECT_EQ(type.storedFileName, type.fileName);
        ASSERT_TRUE(type.scales);
        for (int scale : {50, 100, 200}) EXPECT_NE(type.scales->FindByNumber(scale), type.scales->end());
    }
    EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(WallTypesTest, save_replaces_backups_keeps_removed_types_as_backup_only) {
    data.write("A.mxt", "A\nA\n1\n0\n2DWALLS\n");
    data.write("A.mxk", "stara kopia\n");
    data.write("B.mxt", "B\nB\n1\n0\n2DWALLS\n");
    CListMuri list;
    ASSERT_TRUE(LoadWallTypes(list));
    list.RemoveAt(list.FindByName("B"));
    list.front().color = 5;
    ASSERT_TRUE(SaveWallTypes(list));
    EXPECT_EQ(data.read("A.mxt"), "A\nA\n5\n0\n2DWALLS\n");
    EXPECT_EQ(data.read("A.mxk"), "A\nA\n1\n0\n2DWALLS\n");
    EXPECT_FALSE(std::filesystem::exists(data.path("B.mxt")));
    EXPECT_EQ(data.read("B.mxk"), "B\nB\n1\n0\n2DWALLS\n");
}

TEST_F(WallTypesTest, files_named_in_other_letter_case_are_read_and_backed_up) {
    data.write("Gk.MXT", "Płyty\nGk\n4\n0\n2DWALLS\n");
    data.write("GK.MXK", "stara\n");
    CListMuri list;
    ASSERT_TRUE(LoadWallTypes(list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front().fileName, "Gk");
    list.front().color = 5;  // only a changed type is written and backed up
    ASSERT_TRUE(SaveWallTypes(list));
    EXPECT_FALSE(std::filesystem::exists(data.path("GK.MXK")));
    EXPECT_EQ(data.read("Gk.mxk"), "Płyty\nGk\n4\n0\n2DWALLS\n");
    // Written in place, under the name it has: the file is never away.
    EXPECT_EQ(data.read("Gk.MXT"), "Płyty\nGk\n5\n0\n2DWALLS\n");
}

// The editor's OK wrote every file again, and moved a file it could not
// read to its backup, where the next save replaced it.
TEST_F(WallTypesTest, a_save_leaves_unchanged_and_unread_files_as_they_are) {
    const std::string a = "A\r\nA\r\n1\r\n0\r\n2DWALLS\r\n";
    const std::string b = "B\nB\n1\n0\n2DWALLS\nSTRATIFICAZIONE100\n";  // ends inside a build-up
    data.write("A.mxt", a);
    data.write("B.mxt", b);
    CListMuri list;
    ASSERT_TRUE(LoadWallTypes(list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_NE(transcript().find("\n" + data.path("B.mxt") + ":7: brak wiersza ENDSTRATIFICAZIONE"),
              std::string::npos);
    ASSERT_TRUE(SaveWallTypes(list));
    EXPECT_EQ(data.read("A.mxt"), a);
    EXPECT_EQ(data.read("B.mxt"), b);
    EXPECT_FALSE(std::filesystem::exists(data.path("A.mxk")));
    EXPECT_FALSE(std::filesystem::exists(data.path("B.mxk")));

    // A changed type keeps its file's line ends; a new type given the name
    // of the file that did not read does not overwrite it.
    list.front().color = 4;
    CMuro other;
    other.name = "Inny";
    other.fileName = "B";
    list.push_back(other);
    EXPECT_FALSE(SaveWallTypes(list));
    EXPECT_EQ(data.read("A.mxt"), "A\r\nA\r\n4\r\n0\r\n2DWALLS\r\n");
    EXPECT_EQ(data.read("A.mxk"), a);
    EXPECT_EQ(data.read("B.mxt"), b);
    EXPECT_NE(transcript().find(data.path("B.mxt") +
                                ":7: brak wiersza ENDSTRATIFICAZIONE (plik nie został zapisany)"),
              std::string::npos);
}

// One byte that is not UTF-8 made the whole file Windows-1250, and the
// type's name no longer matched.
TEST_F(WallTypesTest, a_stray_byte_spoils_only_its_own_line) {
    data.write("C.mxt",
               "Ściana z cegły pełnej\nC\n1\n0\n2DWALLS\nSTRATIFICAZIONE100\nCeg\xB3\x61\n0\n1\n$\n2DX\n"
               "ENDSTRATIFICAZIONE100\n");
    CMuro type;
    type.fileName = "C";
    ASSERT_TRUE(ReadWallTypeFile(type));
    EXPECT_EQ(type.name, "Ściana z cegły pełnej");
    ASSERT_TRUE(type.scales);
    EXPECT_EQ(type.scales->front().layers->front().material, "Cegła");
}

TEST_F(WallTypesTest, a_type_that_cannot_be_written_is_reported) {
    data.write("A.mxt", "A\nA\n1\n0\n2DWALLS\n");
    CListMuri list;
    ASSERT_TRUE(LoadWallTypes(list));
    CMuro lost;
    lost.name = "Zgubiony";
    lost.fileName = "brak/folderu";
    list.push_back(lost);
    EXPECT_FALSE(SaveWallTypes(list));
    EXPECT_EQ(messageBoxes(), (std::vector<std::string>{"Błąd w pliku: brak/folderu"}));
    EXPECT_EQ(data.read("A.mxt"), "A\nA\n1\n0\n2DWALLS\n");
}

// A full or size-limited data folder lost the edit with no word but the
// box "Błąd w pliku: A", which reads as a damaged file.
TEST_F(WallTypesTest, a_type_the_folder_cannot_take_is_named_with_the_writers_reason) {
    const std::string a = "A\nA\n1\n0\n2DWALLS\n";
    data.write("A.mxt", a);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A file-size limit below the file stands for a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{8, 8};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        CListMuri list;
        const std::size_t said = transcript().size();
        if (!LoadWallTypes(list) || list.empty()) ::_exit(2);
        list.front().color = 5;
        const bool saved = SaveWallTypes(list);
        const std::string text = transcript().substr(said);
        const bool named = text.find("nie można zapisać " + data.path("A.mxk") + ": ") != std::string::npos &&
                           text.find("zmiany nie zostały zapisane.") != std::string::npos;
        ::_exit(!saved && named ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(data.read("A.mxt"), a);
}
