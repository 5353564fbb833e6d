// The block catalogue command on a temporary catalogue: the file always
// written back, insertion by each entry's scale, rotation and floor
// settings with the system variables put back on every path, block files
// written only whole, and the browser's and entry editor's checks.
#include "objects/placement/catalog_cmd.h"

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbinsert.h"
#include "host/ed/cmdproc.h"
#include "host/harness/harness.h"
#include "host/ui/driver.h"
#include "objects/dialogs/dlg_catblocchi.h"
#include "tests/objects/language/lang_fixture.h"

using namespace catblocchi;

namespace {

constexpr double kPi = 3.14159265358979323846;
const std::string kSource = VELM_SOURCE_DIR;

class Catalog : public ObjLanguage {
protected:
    void SetUp() override {
        ObjLanguage::SetUp();
        loadModule();
        write("VELMDCONFIG.CFG", "");
        write("VXD.LST", "");
        std::filesystem::create_directories(dir / "CAT");
        for (const char* bmp : {"VELMatsel.bmp", "VELMatnos.bmp", "VELMatlib.bmp"})
            std::filesystem::copy_file(kSource + "/support/" + bmp, dir / bmp);
        std::filesystem::copy_file(kSource + "/support/LAYERC.DEF", dir / "LAYERC.DEF");
        std::filesystem::copy_file(kSource + "/support/CAT/STOL.dwg", dir / "CAT/STOL.dwg");
        std::filesystem::copy_file(kSource + "/support/CAT/STOL.bmp", dir / "CAT/STOL.bmp");
    }
    void TearDown() override {
        zcui::ResetUi();
        ObjLanguage::TearDown();
    }
    // Group "Meble" with entry 0 as given (block STOL by default), and "Inne".
    void catalogue(const std::string& first = "STOL=?,0,R,R,R,N,\"Stół\"", const std::string& tail = "") {
        std::string text = "[CATALOG]\r\n#=Meble\r\n" + first + "\r\n";
        for (int k = 1; k < kCatalogSlots; ++k) text += "Meble" + std::to_string(k) + "=?,?,R,R,R,N,\"\"\r\n";
        text += "#=Inne\r\n";
        for (int k = 0; k < kCatalogSlots; ++k) text += "Inne" + std::to_string(k) + "=?,?,R,R,R,N,\"\"\r\n";
        write("CAT/catalog.ini", text + tail);
    }
    // The command typed, its browser answered by `act`, then `answers`.
    static void browse(const zcui::DialogDriver& act, std::initializer_list<std::string> answers = {}) {
        zcui::InstallDialogDriver(IDD_CATBLOCCHISEL, act);
        push("VELMCATBLOCK");
        push(answers);
        host::processInput();
        zcui::RemoveDialogDriver(IDD_CATBLOCCHISEL);
    }
    static void insertOnce(std::initializer_list<std::string> answers) {
        browse([](zcui::DialogUser& u) { u.Click(kInsert); }, answers);
    }
    static std::vector<ZcDbObjectId> inserts() {
        std::vector<ZcDbObjectId> out;
        for (ZcDbObjectId id : modelSpace())
            if (ZcDbBlockReference::cast(id.stub()->object.get()) && !id.stub()->object->isErased())
                out.push_back(id);
        return out;
    }
    template <class F>
    static void withInsert(ZcDbObjectId id, F f) {
        ZcDbBlockReference* ref = nullptr;
        ASSERT_EQ(zcdbOpenObject(ref, id, ZcDb::kForRead), Zcad::eOk);
        f(ref);
        ref->close();
    }
    static std::vector<std::string> boxes() {
        std::vector<std::string> out;
        for (const auto& m : zcui::MessageBoxes()) out.push_back(m.text);
        return out;
    }
};

}  // namespace

// ------------------------------------------------------------------ file

TEST_F(Catalog, closing_rewrites_the_file_and_stores_group_and_slot) {
    catalogue("STOL=?,0,R,R,R,N,\"Stół\"", "; notatka\r\n");
    browse([](zcui::DialogUser& u) {
        u.Select(kGroupList, zcui::Row{std::string("Inne")});
        u.Click(PreviewId(16));
        u.Click(IDCANCEL);
    });
    EXPECT_EQ(SettingString(SetupVar::CAT_NGRUPPO), "Inne");
    EXPECT_EQ(SettingString(SetupVar::CAT_NBLOCCO), "16");
    const std::string text = read("CAT/catalog.ini");
    const std::string end = "Inne19=?,?,R,R,R,N,\"\"\r\n; notatka\r\n";
    ASSERT_GT(text.size(), end.size());
    EXPECT_EQ(text.substr(text.size() - end.size()), end);
}

TEST_F(Catalog, an_unreadable_catalogue_is_said_and_left_as_it_was) {
    std::string text = "[CATALOG]\n#=Meble\n";
    for (int k = 0; k < 19; ++k) text += "M" + std::to_string(k) + "=?,?,R,R,R,N,\"\"\n";
    write("CAT/catalog.ini", text);
    // Named with the line where reading stopped (its path joined as this
    // platform joins paths), and the command fails.
    EXPECT_EQ(run({"VELMCATBLOCK"}), RTERROR);
    EXPECT_NE(transcript().find("CAT/catalog.ini:22: grupa Meble kończy się po 19 z 20 wpisów"),
              std::string::npos)
        << transcript();
    EXPECT_NE(transcript().find("Błąd odczytu grupy"), std::string::npos);
    EXPECT_EQ(read("CAT/catalog.ini"), text);
    EXPECT_TRUE(zcui::DialogsShown().empty());
}

TEST_F(Catalog, inserting_only_leaves_the_file_byte_for_byte) {
    // A stray byte, lines before the header and after the groups, LF line
    // ends and no final line end: none of it is the insertion's to change.
    std::string text = "; katalog\n[CATALOG]\n#=Meble\nSTOL=?,0,R,R,R,N,\"St\xf3\xb3\"\n";
    for (int k = 1; k < kCatalogSlots; ++k) text += "Meble" + std::to_string(k) + "=?,?,R,R,R,N,\"\"\n";
    text += "; dopisane\nnieznany wiersz";
    write("CAT/catalog.ini", text);
    insertOnce({"10,20"});
    EXPECT_EQ(inserts().size(), 1u) << transcript();
    EXPECT_EQ(read("CAT/catalog.ini"), text);
}

// ------------------------------------------------------------- insertion

TEST_F(Catalog, fixed_scales_and_rotation_and_the_real_size_factor) {
    catalogue("STOL=?,30,2,3,4,N,\"Stół\"");
    insertOnce({"10,20"});
    ASSERT_EQ(inserts().size(), 1u);
    withInsert(inserts()[0], [](ZcDbBlockReference* r) {
        EXPECT_DOUBLE_EQ(r->scaleFactors().x, 2.0);
        EXPECT_DOUBLE_EQ(r->scaleFactors().y, 3.0);
        EXPECT_DOUBLE_EQ(r->scaleFactors().z, 4.0);
        EXPECT_NEAR(r->rotation(), 30 * kPi / 180, 1e-9);
        EXPECT_DOUBLE_EQ(r->position().x, 10.0);
        EXPECT_DOUBLE_EQ(r->position().y, 20.0);
    });
    catalogue("STOL=?,0,R,R,R,N,\"Stół\"");
    setUnit(2.5);
    insertOnce({"50,0"});
    ASSERT_EQ(inserts().size(), 2u);
    withInsert(inserts()[1], [](ZcDbBlockReference* r) { EXPECT_DOUBLE_EQ(r->scaleFactors().x, 2.5); });
    EXPECT_EQ(count("0=INSERT -3=VELM5$_$SIMBOLI-"), 0);
}

TEST_F(Catalog, a_symbol_takes_the_symbol_factor_and_carries_its_record) {
    catalogue("STOL=?,0,S,S,S,N,\"Stół\"");
    insertOnce({"0,0"});
    ASSERT_EQ(inserts().size(), 1u);
    const double factor = GetScaleFactor(5);
    withInsert(inserts()[0], [&](ZcDbBlockReference* r) {
        EXPECT_DOUBLE_EQ(r->scaleFactors().x, factor);
        resbuf* x = r->xData("VELM5$_$SIMBOLI-");
        ASSERT_NE(x, nullptr);
        ASSERT_NE(x->rbnext, nullptr);
        EXPECT_EQ(x->rbnext->restype, 1040);
        EXPECT_DOUBLE_EQ(x->rbnext->resval.rreal, factor);
        zcutRelRb(x);
    });
}

TEST_F(Catalog, an_orthogonal_rotation_is_typed_with_orthomode_on_and_then_put_back) {
    catalogue("STOL=?,!,R,R,R,N,\"Stół\"");
    host::setSysVar("ORTHOMODE", host::SysVarValue{std::int16_t(0)}, false);
    insertOnce({"0,0", "'ORTHOMODE", "", "90"});
    EXPECT_NE(transcript().find("ORTHOMODE <1>"), std::string::npos) << transcript();
    EXPECT_EQ(host::sysVarShort("ORTHOMODE"), 0);
    ASSERT_EQ(inserts().size(), 1u);
    withInsert(inserts()[0], [](ZcDbBlockReference* r) { EXPECT_NEAR(r->rotation(), kPi / 2, 1e-9); });
}

TEST_F(Catalog, the_floor_flag_gives_the_floor_elevation_and_its_layer) {
    catalogue("STOL=2DFURNITURE,0,R,R,R,N,\"Stół\"1");
    const int slot = SetupVar::SQPAV;
    const double level = 300;
    SetVarReal(&slot, &level);
    insertOnce({"10,10"});
    ASSERT_EQ(inserts().size(), 1u);
    std::string layer;
    withInsert(inserts()[0], [&](ZcDbBlockReference* r) {
        EXPECT_DOUBLE_EQ(r->position().z, 300.0);
        layer = r->layer();
    });
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    std::string fromCatalogue = "2DFURNITURE";
    EnsureLayer(fromCatalogue, layers, true, 300, false);
    EXPECT_EQ(layer, fromCatalogue);
    EXPECT_NE(layer.find("300"), std::string::npos) << layer;
}

// The rotation cancelled: no insert, and neither the block's definition
// nor the layer it was to go on stays behind.
TEST_F(Catalog, a_cancelled_rotation_leaves_no_block_definition_nor_layer) {
    catalogue("STOL=2DFURNITURE,?,R,R,R,N,\"Stół\"");
    const auto names = [](const char* table) {
        std::vector<std::string> out;
        for (int rewind = 1;; rewind = 0) {
            resbuf* row = zcdbTblNext(table, rewind);
            if (!row) break;
            for (const resbuf* rb = row; rb; rb = rb->rbnext)
                if (rb->restype == 2) out.push_back(rb->resval.rstring);
            zcutRelRb(row);
        }
        return out;
    };
    const std::vector<std::string> blocks = names("BLOCK"), layers = names("LAYER");
    insertOnce({"10,10", "!cancel"});
    EXPECT_TRUE(inserts().empty());
    EXPECT_EQ(names("BLOCK"), blocks) << transcript();
    EXPECT_EQ(names("LAYER"), layers);
    EXPECT_FALSE(host::commandActive());
}

// A rotation no drawing can keep is asked again, as a text is: the block
// goes in once, at the angle answered last; cancelled after such answers,
// nothing of it stays.
TEST_F(Catalog, an_absurd_rotation_is_asked_again_and_a_cancel_after_it_leaves_nothing) {
    catalogue("STOL=2DFURNITURE,?,R,R,R,N,\"Stół\"");
    const auto count = [](const char* table) {
        int n = 0;
        for (int rewind = 1;; rewind = 0) {
            resbuf* row = zcdbTblNext(table, rewind);
            if (!row) break;
            ++n;
            zcutRelRb(row);
        }
        return n;
    };
    const int blocks = count("BLOCK"), layers = count("LAYER");
    insertOnce({"10,10", "1e308", "-1e308", "1e20", "nan", "inf", "abc", "!cancel"});
    EXPECT_TRUE(inserts().empty());
    EXPECT_EQ(count("BLOCK"), blocks) << transcript();
    EXPECT_EQ(count("LAYER"), layers);
    EXPECT_FALSE(host::commandActive());

    insertOnce({"10,10", "1e308", "-1e308", "1e20", "nan", "inf", "abc", "30"});
    ASSERT_EQ(inserts().size(), 1u) << transcript();
    withInsert(inserts()[0], [](ZcDbBlockReference* r) { EXPECT_NEAR(r->rotation(), 30 * kPi / 180, 1e-9); });
    EXPECT_FALSE(host::commandActive());
}

TEST_F(Catalog, repeated_insertion_ends_at_enter) {
    catalogue();
    browse([](zcui::DialogUser& u) { u.Click(kRepeat); }, {"0,0", "100,0", "200,0", ""});
    EXPECT_EQ(inserts().size(), 3u);
    EXPECT_FALSE(host::commandActive());
}

TEST_F(Catalog, a_cancelled_point_puts_every_variable_back_and_inserts_nothing) {
    catalogue("STOL=2DFURNITURE,0,R,R,R,N,\"Stół\"");
    host::setSysVar("ELEVATION", host::SysVarValue{5.0}, false);
    host::setSysVar("CMDECHO", host::SysVarValue{std::int16_t(1)}, false);
    const std::string layer = host::sysVarString("CLAYER");
    insertOnce({});
    EXPECT_TRUE(inserts().empty());
    EXPECT_EQ(host::sysVarString("CLAYER"), layer);
    EXPECT_DOUBLE_EQ(host::sysVarReal("ELEVATION"), 5.0);
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
    EXPECT_EQ(host::currentCommandName(), "");

    // Cancelled at the rotation: the insert command is cancelled too.
    catalogue("STOL=?,?,R,R,R,N,\"Stół\"");
    insertOnce({"0,0"});
    EXPECT_TRUE(inserts().empty());
    EXPECT_EQ(host::sysVarShort("CMDECHO"), 1);
}

// ---------------------------------------------------------- block writing

class CatalogBlocks : public Catalog {
protected:
    // Two lines to write as a block, and a third erased before the command.
    void SetUp() override {
        Catalog::SetUp();
        catalogue();
        run({"_LINE", "0,0", "100,0", "", "_LINE", "0,50", "100,50", "", "_LINE", "0,90", "100,90", ""});
        run({"_ERASE", "50,90", ""});
    }
    // Slot 1 defined as NOWY from the two lines.
    void define(const std::string& name = "NOWY") {
        zcui::InstallDialogDriver(IDD_CATBLOCCHIDEF, [name](zcui::DialogUser& u) {
            if (u.Text(kBlockName) != name) {
                u.Edit(kBlockName, name);
                u.Click(kChooseObjects);
            } else {
                u.Ok();
            }
        });
        int shown = 0;
        browse(
            [&shown](zcui::DialogUser& u) {
                if (shown++ == 0) {
                    u.Click(PreviewId(1));
                    u.Click(kDefine);
                } else {
                    u.Click(IDCANCEL);
                }
            },
            {"50,0", "50,50", "", "0,0"});
        zcui::RemoveDialogDriver(IDD_CATBLOCCHIDEF);
    }
    static int lines() { return count("0=LINE"); }
};

TEST_F(CatalogBlocks, the_chosen_objects_are_written_and_back_in_the_drawing) {
    define();
    ASSERT_TRUE(std::filesystem::exists(dir / "CAT/NOWY.dwg"));
    EXPECT_EQ(lines(), 2);  // the erased line stays erased
    EXPECT_NE(read("CAT/catalog.ini").find("\r\nNOWY=?,?,R,R,R,N,\"\"\r\nMeble2="), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "CAT/NOWY.$$$"));
    const std::string block = read("CAT/NOWY.dwg");
    EXPECT_NE(block.find("LINE"), std::string::npos);
}

TEST_F(CatalogBlocks, answering_no_keeps_the_old_block_and_name) {
    std::filesystem::copy_file(dir / "CAT/STOL.dwg", dir / "CAT/NOWY.dwg");
    const std::string old = read("CAT/NOWY.dwg");
    zcui::QueueMessageBoxAnswer(IDNO);
    define();
    EXPECT_EQ(read("CAT/NOWY.dwg"), old);
    EXPECT_NE(read("CAT/catalog.ini").find("\r\nMeble1=?,?,R,R,R,N,\"\"\r\n"), std::string::npos);
    EXPECT_EQ(lines(), 2);
}

TEST_F(CatalogBlocks, a_failed_write_keeps_the_file_the_flag_and_the_name) {
    std::filesystem::copy_file(dir / "CAT/STOL.dwg", dir / "CAT/NOWY.dwg");
    const std::string old = read("CAT/NOWY.dwg");
    std::filesystem::create_directories(dir / "CAT/NOWY.$$$" / "x");  // nothing can be written there
    zcui::QueueMessageBoxAnswer(IDYES);
    define();
    EXPECT_EQ(read("CAT/NOWY.dwg"), old);
    EXPECT_NE(transcript().find("Nie można zapisać bloku NOWY"), std::string::npos);
    EXPECT_NE(read("CAT/catalog.ini").find("\r\nMeble1=?,?,R,R,R,N,\"\"\r\n"), std::string::npos);
    EXPECT_EQ(lines(), 2);  // nothing was taken out
}

TEST_F(CatalogBlocks, no_objects_writes_the_entry_fields_and_no_file) {
    zcui::InstallDialogDriver(IDD_CATBLOCCHIDEF, [](zcui::DialogUser& u) {
        u.Edit(kBlockName, "PUSTY");
        u.Edit(kDescription, "Bez obiektów");
        u.Ok();
    });
    int shown = 0;
    browse([&shown](zcui::DialogUser& u) {
        if (shown++ == 0) {
            u.Click(PreviewId(1));
            u.Click(kDefine);
        } else {
            u.Click(IDCANCEL);
        }
    });
    EXPECT_FALSE(std::filesystem::exists(dir / "CAT/PUSTY.dwg"));
    EXPECT_NE(read("CAT/catalog.ini").find("\r\nMeble1=?,?,R,R,R,N,\"Bez obiektów\"\r\n"), std::string::npos);
    EXPECT_EQ(lines(), 2);
}

// ---------------------------------------------------------------- dialogs

TEST_F(Catalog, the_browser_shows_free_slots_and_selects_slot_16_by_its_control) {
    catalogue();
    browse([](zcui::DialogUser& u) {
        auto picture = [&](int slot) {
            const HBITMAP& b = u.Get<CStatic>(PreviewId(slot))->GetBitmap();
            return b ? b->name : std::string();
        };
        EXPECT_EQ(picture(0), "STOL");
        EXPECT_EQ(picture(1), "VELMatlib");
        EXPECT_TRUE(u.Control(kInsert)->IsWindowEnabled());
        u.Click(1037);  // slot 16: control 1036 is not one of them
        EXPECT_EQ(u.Text(kNameLabel), "Nazwa:Meble16");
        EXPECT_FALSE(u.Control(kInsert)->IsWindowEnabled());
        EXPECT_FALSE(u.Control(kRepeat)->IsWindowEnabled());
        u.Click(IDCANCEL);
    });
    EXPECT_EQ(SettingString(SetupVar::CAT_NBLOCCO), "16");
}

TEST_F(Catalog, the_browser_refuses_group_names_it_could_not_keep) {
    catalogue();
    browse([](zcui::DialogUser& u) {
        for (const char* name : {"", "MEBLE", "Nowa grupa"}) {
            u.Edit(kGroupName, name);
            u.Click(kAddGroup);
        }
        u.Edit(kGroupName, "Kuchnia");
        u.Click(kAddGroup);
        u.Click(IDCANCEL);
    });
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Nazwa grupy nie może być pusta", "Nazwa grupy już istnieje",
                                                 "Nazwa grupy nie może zawierać spacji"}));
    EXPECT_NE(read("CAT/catalog.ini").find("#=Kuchnia\r\nKuchnia0="), std::string::npos);
    EXPECT_EQ(SettingString(SetupVar::CAT_NGRUPPO), "Kuchnia");
}

TEST_F(Catalog, the_entry_editor_refuses_what_would_break_the_file_or_the_block) {
    catalogue();
    zcui::InstallDialogDriver(IDD_CATBLOCCHIDEF, [](zcui::DialogUser& u) {
        u.Radio(kScaleFixed);
        u.Edit(kX, "0");
        u.Ok();
        u.Edit(kX, "2");
        u.Edit(kBlockName, "A=B");
        u.Ok();
        u.Edit(kBlockName, "Szafa");
        u.Edit(kDescription, "Szafa \"duża\"");
        u.Ok();
        u.Edit(kDescription, "Szafa duża");
        u.Check(kCurrentLayer, 0);
        u.Edit(kLayerName, "a<b");
        u.Ok();
        u.Check(kCurrentLayer, 1);
        u.Ok();
    });
    int shown = 0;
    browse([&shown](zcui::DialogUser& u) {
        if (shown++ == 0) {
            u.Click(PreviewId(2));
            u.Click(kDefine);
        } else {
            u.Click(IDCANCEL);
        }
    });
    EXPECT_EQ(boxes(), (std::vector<std::string>{
                           "Współczynnik skali musi być większy niż zero", "Nazwa bloku nie jest prawidłowa",
                           "Opis nie może zawierać cudzysłowu", "Nazwa warstwy nie jest prawidłowa"}));
    // No objects were chosen: the fields are kept, the name is not.
    EXPECT_NE(read("CAT/catalog.ini").find("\r\nMeble2=?,?,2.000000,1.000000,1.000000,N,\"Szafa duża\"\r\n"),
              std::string::npos);
}
