// The property-change commands (see the header).
#include "walls/drafting/property_cmds.h"

#include <functional>
#include <optional>
#include <string>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/input_range.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbdatabase.h"
#include "host/ed/adspick.h"
#include "host/ed/prompts.h"
#include "host/ui/hostdialogs.h"
#include "host/util/nocase.h"

namespace {

constexpr const char* kLinetypeFile = "ACADISO.LIN";

host::ResbufList ReadWithXData(const ads_name e) {
    const host::ResbufList apps(zcutBuildList(RTSTR, "*", 0));
    return host::ResbufList(zcdbEntGetX(e, apps.get()));
}

std::string EntityType(const resbuf* list) {
    const resbuf* rb = FindRbCode(list, 0);
    return rb && rb->resval.rstring ? rb->resval.rstring : std::string();
}

bool IsText(const resbuf* list) {
    const std::string type = EntityType(list);
    return zcutEqualsNoCase(type, "TEXT") || zcutEqualsNoCase(type, "MTEXT");
}

// Calls `change` on every object of the set whose list it accepts, then
// modifies the object.
void ForEachSelected(const host::SelectionSet& set, const std::function<bool(resbuf*)>& change) {
    ads_name e;
    for (std::int32_t i = 0; set.name(i, e); ++i) {
        host::ResbufList list = ReadWithXData(e);
        if (list && change(list.get())) zcdbEntMod(list.get());
    }
}

// A text picked until one is found; its list, or null after a cancel or
// another error.
host::ResbufList PickText() {
    for (;;) {
        ads_name e;
        ads_point pt;
        zcedInitGet(1, nullptr);
        const int rc = zcedEntSel("\nWybierz obiekt tekstowy:", e, pt);
        if (rc == RTERROR && PickHitNothing()) continue;
        if (rc != RTNORM) return nullptr;
        host::ResbufList list = ReadWithXData(e);
        if (list && IsText(list.get())) return list;
        zcutPrintf("%s", "\nWybrany obiekt nie jest tekstem");
    }
}

// A name typed without spaces, or "" for Enter; nullopt after a cancel.
std::optional<std::string> AskName(const char* prompt) {
    char buf[512] = "";
    if (zcedGetString(0, prompt, buf) != RTNORM) return std::nullopt;
    return std::string(buf);
}

// The group of a picked object; nullopt after a cancel or error (a missed
// pick among them).
std::optional<std::string> PickedString(const char* prompt, int code, const char* missing) {
    ads_name e;
    ads_point pt;
    if (zcedEntSel(prompt, e, pt) != RTNORM) return std::nullopt;
    host::ResbufList list = ReadWithXData(e);
    const resbuf* rb = FindRbCode(list.get(), code);
    return rb && rb->resval.rstring ? std::string(rb->resval.rstring) : std::string(missing);
}

bool SelectObjects(const char* prompt, host::SelectionSet& set) {
    zcutPrintf("%s", prompt);
    return zcedSSGet(nullptr, nullptr, nullptr, nullptr, set.put()) == RTNORM;
}

void SetStringGroup(const host::SelectionSet& set, int code, const std::string& value) {
    ForEachSelected(set, [&](resbuf* list) {
        ReplaceRb(list, code, value.c_str());
        return true;
    });
}

}  // namespace

void CmdChangeText() {
    double factor = 1.0;
    int rc = GetRealInRange(
        1, "Wysokość Styl",
        "\nWspółczynnik skali do zastosowania do obiektów tekstowych [Styl/Wysokość]:", &factor);
    int mode = 1;
    double height = 0.0;
    std::string style;
    if (rc == RTKWORD) {
        char keyword[64] = "";
        zcedGetInput(keyword);
        if (std::string(keyword) == "Wysokość") {
            mode = 3;
            rc = GetDistInRange(
                2 | 4, nullptr, nullptr,
                "\nNowa wysokość tekstu/Enter, aby wybrać tekst na żądanej wysokości:", &height);
            if (rc == RTNONE) {
                host::ResbufList text = PickText();
                if (!text) return;
                const resbuf* rb = FindRbCode(text.get(), 40);
                if (!rb) return;
                height = rb->resval.rreal;
            } else if (rc != RTNORM) {
                return;
            }
        } else {
            mode = 2;
            std::optional<std::string> name = AskName(
                "\nNowy styl do zastosowania do obiektów tekstowych lub Enter, aby wybrać tekst, z którego "
                "można "
                "skopiować styl:");
            if (!name) return;
            if (name->empty()) {
                host::ResbufList text = PickText();
                if (!text) return;
                const resbuf* rb = FindRbCode(text.get(), 7);
                style = rb && rb->resval.rstring ? rb->resval.rstring : "Standard";
            } else {
                const host::ResbufList found(zcdbTblSearch("STYLE", name->c_str(), 0));
                if (!found) {
                    zcutPrintf("\n%s: styl tekstu nie jest zdefiniowany w tym rysunku", name->c_str());
                    return;
                }
                style = *name;
            }
        }
    } else if (rc != RTNORM) {
        return;
    }
    host::SelectionSet set;
    if (zcedSSGet(nullptr, nullptr, nullptr, nullptr, set.put()) != RTNORM) return;
    ForEachSelected(set, [&](resbuf* list) {
        if (!IsText(list)) return false;
        if (mode == 2) {
            ReplaceRb(list, 7, style.c_str());
        } else {
            const resbuf* rb = FindRbCode(list, 40);
            ReplaceRb(list, 40, mode == 1 ? (rb ? rb->resval.rreal : 0.0) * factor : height);
        }
        return true;
    });
}

void CmdChangeLinetype() {
    host::SelectionSet set;
    if (!SelectObjects("\nWybierz obiekt, aby zmienić typ linii:", set)) return;
    std::optional<std::string> name =
        AskName("\nOkreśl nazwę typu linii lub Enter, aby wybrać obiekt, z którego skopiować typ linii:");
    if (!name) return;
    if (name->empty()) {
        name = PickedString("\nWybierz obiekt, z którego skopiować typ linii:", 6, "BYLAYER");
        if (!name) return;
    }
    if (zcdbSNValid(name->c_str(), 0) != RTNORM) {
        zcutPrintf("%s", "\nNieprawidłowa nazwa rodzaju linii");
        return;
    }
    const host::ResbufList known(zcdbTblSearch("LTYPE", name->c_str(), 0));
    ZcDbDatabase* db = GetWorkingDatabase();
    std::string where;
    if (!known && (!db || db->loadLineTypeFile(*name, kLinetypeFile, &where) != Zcad::eOk)) {
        // The file it was looked for in, and where that file failed.
        if (!where.empty()) zcutPrintf("\n%s", where.c_str());
        zcutPrintf("\nNie można znaleźć typu linii w pliku %s", kLinetypeFile);
        return;
    }
    SetStringGroup(set, 6, *name);
}

void CmdChangeLayer() {
    host::SelectionSet set;
    if (!SelectObjects("\nWybierz obiekt, aby zmienić warstwę:", set)) return;
    std::optional<std::string> name = AskName(
        "\nOkreśl nazwę warstwy lub Enter, aby wybrać obiekt, z którego można skopiować nazwę warstwy:");
    if (!name) return;
    if (name->empty()) {
        name = PickedString("\nWybierz obiekt, z którego można skopiować nazwę warstwy:", 8, "0");
        if (!name) return;
    }
    if (zcdbSNValid(name->c_str(), 0) != RTNORM) {
        zcutPrintf("%s", "\nNieprawidłowa nazwa warstwy");
        return;
    }
    // A layer the drawing lacks is made by the host as the objects move to it.
    SetStringGroup(set, 8, *name);
}

void CmdChangeColor() {
    host::SelectionSet set;
    if (!SelectObjects("\nWybierz obiekt, aby zmienić kolor:", set)) return;
    int colour = 256;
    for (;;) {
        ads_name e;
        ads_point pt;
        const int rc = zcedEntSel(
            "\nWybierz obiekt, z którego można skopiować kolor lub Enter, aby wybrać kolor:", e, pt);
        if (rc == RTNORM) {
            host::ResbufList list = ReadWithXData(e);
            const resbuf* rb = FindRbCode(list.get(), 62);
            colour = rb ? rb->resval.rint : 256;
            break;
        }
        if (rc == RTCAN) return;
        if (rc == RTERROR && PickHitNothing()) continue;
        // Enter: the colour chosen in the host's dialog, starting from by layer.
        if (!zcedSetColorDialog(colour, true, 7)) return;
        break;
    }
    ForEachSelected(set, [&](resbuf* list) {
        ReplaceRb(list, 62, colour);
        return true;
    });
}
