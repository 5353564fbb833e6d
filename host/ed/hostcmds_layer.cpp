// "_-LAYER" and "_VPLAYER": layers made, made current, switched on and
// off, frozen and thawed, locked, coloured, given a linetype (loaded from
// "zwcad.lin" when the drawing lacks it) and a line weight; per-viewport
// freezing in the paper layout.
//
// Name lists are comma-separated and may hold wildcards for the switches
// (on, off, freeze, thaw, lock, unlock); new names must be valid symbol
// names. A refusal prints the host's message and the command asks again.
#include <algorithm>
#include <cmath>
#include <vector>

#include "host/ads/acicolor.h"
#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/ads/wcmatch.h"
#include "host/db/dbinsert.h"
#include "host/db/dbsymtb.h"
#include "host/ed/cmdproc.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/viewport.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace host {
namespace {

const char* const kLayerOptions =
    "Nowa Utwórz Ustal wŁącz wYłącz Kolor Rodzaj Szerokość Zamroź Odmroź Zablokuj Odblokuj "
    "_ New Make Set ON OFF Color Ltype LWeight Freeze Thaw LOck Unlock";

int layerCommand();
int vplayerCommand();

std::vector<std::string> splitNames(const std::string& list) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string n = ads_text::trim(
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!n.empty()) out.push_back(n);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

bool validSymbolName(const std::string& name) {
    if (name.empty() || name.size() > 255) return false;
    return name.find_first_of("<>/\\\":;?*|=`,") == std::string::npos;
}

bool hasWildcard(const std::string& s) {
    return s.find_first_of("*?#@.~[") != std::string::npos;
}

// The layers a name list names, in table order; missing plain names
// reported.
std::vector<ZcDbObjectId> layersNamed(ZcDbDatabase* db, const std::string& list) {
    std::vector<ZcDbObjectId> out;
    ZcDbLayerTable* table = nullptr;
    if (db->getLayerTable(table) != Zcad::eOk) return out;
    for (const std::string& n : splitNames(list)) {
        if (!hasWildcard(n)) {
            ZcDbObjectId id;
            if (table->getAt(n, id) == Zcad::eOk) {
                if (std::find(out.begin(), out.end(), id) == out.end()) out.push_back(id);
            } else {
                zcutPrintf("\nNie można znaleźć warstwy \"%s\".", n.c_str());
            }
            continue;
        }
        for (ZcDbObjectId id : table->recordIds()) {
            ZcDbLayerTableRecord* rec = nullptr;
            if (zcdbOpenObject(rec, id, ZcDb::kForRead) != Zcad::eOk) continue;
            bool match = zcutWcMatch(rec->name().c_str(), n.c_str()) == RTNORM;
            rec->close();
            if (match && std::find(out.begin(), out.end(), id) == out.end()) out.push_back(id);
        }
    }
    table->close();
    return out;
}

ZcDbObjectId makeLayer(ZcDbDatabase* db, const std::string& name) {
    ZcDbObjectId id = db->recordId(db->layerTableId(), name);
    if (!id.isNull()) return id;
    if (!validSymbolName(name)) {
        zcutPrintf("\nNieprawidłowa nazwa warstwy \"%s\".", name.c_str());
        return {};
    }
    ZcDbLayerTable* table = nullptr;
    if (db->getLayerTable(table, ZcDb::kForWrite) != Zcad::eOk) return {};
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName(name);
    if (table->add(id, rec) != Zcad::eOk) {
        delete rec;
        id = ZcDbObjectId();
    } else {
        rec->close();
    }
    table->close();
    return id;
}

bool setCurrentLayer(ZcDbDatabase* db, ZcDbObjectId id) {
    ZcDbLayerTableRecord* rec = nullptr;
    if (zcdbOpenObject(rec, id, ZcDb::kForRead) != Zcad::eOk) return false;
    std::string name = rec->name();
    bool frozen = rec->isFrozen();
    rec->close();
    if (frozen) {
        zcutPrintf("\nNie można ustawić zamrożonej warstwy \"%s\" jako bieżącej.", name.c_str());
        return false;
    }
    db->setClayer(id);
    setSysVar("CLAYER", SysVarValue{name});
    return true;
}

// Applies f to each named layer open for write.
template <class F>
void forLayers(ZcDbDatabase* db, const std::string& list, F f) {
    for (ZcDbObjectId id : layersNamed(db, list)) {
        ZcDbLayerTableRecord* rec = nullptr;
        if (zcdbOpenObject(rec, id, ZcDb::kForWrite) != Zcad::eOk) continue;
        f(rec, id == db->clayer());
        rec->close();
    }
}

// Reads a linetype's definition from the host's linetype file into the
// drawing; false when the file or the definition is missing.
bool loadLinetype(ZcDbDatabase* db, const std::string& name) {
    std::string path = findSupportFile("zwcad.lin");
    return !path.empty() && db->loadLineTypeFile(name, path) == Zcad::eOk;
}

std::string currentLayerName(ZcDbDatabase* db) {
    ZcDbLayerTableRecord* rec = nullptr;
    if (zcdbOpenObject(rec, db->clayer(), ZcDb::kForRead) != Zcad::eOk) return "0";
    std::string n = rec->name();
    rec->close();
    return n;
}

int askNames(const std::string& prompt, std::string& list) {
    int rc = askText(prompt, list, true);
    return rc;
}

int colorOption(ZcDbDatabase* db) {
    int aci = 0;
    for (;;) {
        std::string answer;
        int rc = askText("\nPodaj kolor (1-255): ", answer);
        if (rc != RTNORM) return rc;
        auto v = ads_text::parseInteger(answer);
        if (v && std::llabs(*v) >= 1 && std::llabs(*v) <= 255) {
            aci = static_cast<int>(*v);
            break;
        }
        zcutPrintf("\nNieprawidłowy numer koloru.");
    }
    std::string list;
    int rc = askNames(ads_text::format("\nPodaj nazwy warstw dla koloru %d <%s>: ", std::abs(aci),
                                       currentLayerName(db).c_str()),
                      list);
    if (rc == RTCAN) return rc;
    if (rc == RTNONE) list = currentLayerName(db);
    // A negative colour switches the layers off, as the host's colour sign does.
    forLayers(db, list, [&](ZcDbLayerTableRecord* rec, bool) {
        rec->setColorIndex(std::abs(aci));
        rec->setIsOff(aci < 0);
    });
    return RTNORM;
}

int linetypeOption(ZcDbDatabase* db) {
    std::string lt;
    for (;;) {
        int rc = askText("\nPodaj nazwę rodzaju linii <Continuous>: ", lt);
        if (rc == RTCAN) return rc;
        if (rc == RTNONE) lt = "Continuous";
        if (!db->recordId(db->linetypeTableId(), lt).isNull() || loadLinetype(db, lt)) break;
        zcutPrintf("\nNie można znaleźć rodzaju linii \"%s\". Wczytaj go poleceniem RODZLIN.", lt.c_str());
    }
    std::string list;
    int rc = askNames(ads_text::format("\nPodaj nazwy warstw dla rodzaju linii %s <%s>: ", lt.c_str(),
                                       currentLayerName(db).c_str()),
                      list);
    if (rc == RTCAN) return rc;
    if (rc == RTNONE) list = currentLayerName(db);
    forLayers(db, list, [&](ZcDbLayerTableRecord* rec, bool) { rec->setLinetype(lt); });
    return RTNORM;
}

// Weights the host accepts, in hundredths of a millimetre.
const int kWeights[] = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                        53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};

int lineWeightOption(ZcDbDatabase* db) {
    int weight = 0;
    for (;;) {
        double mm = 0;
        int rc = askReal("\nPodaj szerokość linii (mm): ", mm, RSG_NONULL | RSG_NONEG);
        if (rc != RTNORM) return rc;
        int hundredths = static_cast<int>(std::lround(mm * 100));
        // The nearest standard weight, as the host rounds a typed width.
        int best = kWeights[0];
        for (int w : kWeights)
            if (std::abs(w - hundredths) < std::abs(best - hundredths)) best = w;
        if (mm <= 2.11 + 1e-9) {
            weight = best;
            break;
        }
        zcutPrintf("\nNieprawidłowa szerokość linii.");
    }
    std::string list;
    int rc = askNames(ads_text::format("\nPodaj nazwy warstw dla szerokości linii %s mm <%s>: ",
                                       showNumber(weight / 100.0).c_str(), currentLayerName(db).c_str()),
                      list);
    if (rc == RTCAN) return rc;
    if (rc == RTNONE) list = currentLayerName(db);
    forLayers(db, list, [&](ZcDbLayerTableRecord* rec, bool) { rec->setLineWeight(weight); });
    return RTNORM;
}

int layerCommand() {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return RTERROR;
    for (;;) {
        std::string kw;
        int rc =
            askKeyword(ads_text::format("\nBieżąca warstwa: \"%s\"\nPodaj opcję "
                                        "[Nowa/Utwórz/Ustal/wŁącz/wYłącz/Kolor/Rodzaj linii/Szerokość linii/"
                                        "Zamroź/Odmroź/Zablokuj/Odblokuj]: ",
                                        currentLayerName(db).c_str()),
                       kLayerOptions, kw);
        if (rc == RTNONE) return RTNORM;
        if (rc != RTNORM) return rc;
        std::string list;
        if (kw == "Color")
            rc = colorOption(db);
        else if (kw == "Ltype")
            rc = linetypeOption(db);
        else if (kw == "LWeight")
            rc = lineWeightOption(db);
        else if (kw == "New") {
            if ((rc = askNames("\nPodaj nazwy nowych warstw: ", list)) == RTNORM)
                for (const std::string& n : splitNames(list)) makeLayer(db, n);
        } else if (kw == "Make") {
            if ((rc = askNames("\nPodaj nazwę warstwy, która ma być bieżąca <" + currentLayerName(db) + ">: ",
                               list)) == RTNORM) {
                ZcDbObjectId id = makeLayer(db, list);
                if (!id.isNull()) setCurrentLayer(db, id);
            }
        } else if (kw == "Set") {
            if ((rc = askNames("\nPodaj nazwę warstwy, która ma być bieżąca <" + currentLayerName(db) + ">: ",
                               list)) == RTNORM) {
                ZcDbObjectId id = db->recordId(db->layerTableId(), list);
                if (id.isNull())
                    zcutPrintf("\nNie można znaleźć warstwy \"%s\".", list.c_str());
                else
                    setCurrentLayer(db, id);
            }
        } else {
            if ((rc = askNames("\nPodaj listę nazw warstw: ", list)) != RTNORM) {
                if (rc == RTCAN) return rc;
                continue;
            }
            forLayers(db, list, [&](ZcDbLayerTableRecord* rec, bool current) {
                if (kw == "ON")
                    rec->setIsOff(false);
                else if (kw == "OFF")
                    rec->setIsOff(true);
                else if (kw == "Freeze") {
                    if (current)
                        zcutPrintf("\nNie można zamrozić bieżącej warstwy \"%s\".", rec->name().c_str());
                    else
                        rec->setIsFrozen(true);
                } else if (kw == "Thaw")
                    rec->setIsFrozen(false);
                else if (kw == "LOck")
                    rec->setIsLocked(true);
                else if (kw == "Unlock")
                    rec->setIsLocked(false);
            });
        }
        if (rc == RTCAN) return rc;
    }
}

// Freezes or thaws layers in the current viewport only ("Current"), in
// every viewport ("All"), or in the viewports picked by number.
int vplayerCommand() {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return RTERROR;
    if (sysVarShort("TILEMODE") != 0) {
        zcutPrintf("\nPolecenie niedostępne, gdy TILEMODE jest ustawione na 1.");
        return RTERROR;
    }
    for (;;) {
        std::string kw;
        int rc = askKeyword("\nPodaj opcję [Zamroź/Odmroź]: ", "Zamroź Odmroź _ Freeze Thaw", kw);
        if (rc == RTNONE) return RTNORM;
        if (rc != RTNORM) return rc;
        std::string list;
        if ((rc = askNames("\nPodaj nazwy warstw: ", list)) != RTNORM) return rc == RTNONE ? RTNORM : rc;
        std::string where;
        rc = askKeyword("\nPodaj opcję [Wszystkie/Wybierz/Bieżący] <Bieżący>: ",
                        "Wszystkie Wybierz Bieżący _ All Select Current", where);
        if (rc == RTCAN) return rc;
        if (rc == RTNONE) where = "Current";
        std::vector<ZcDbObjectId> viewports;
        if (where == "Current") {
            viewports.push_back(zcedGetCurViewportObjectId());
        } else {
            ZcDbBlockTableRecord* ps = nullptr;
            if (zcdbOpenObject(ps, db->paperSpaceId(), ZcDb::kForRead) == Zcad::eOk) {
                for (ZcDbObjectId id : ps->entityIds())
                    if (id.stub()->object && ZcDbViewport::cast(id.stub()->object.get()))
                        viewports.push_back(id);
                ps->close();
            }
        }
        std::vector<ZcDbObjectId> layers = layersNamed(db, list);
        for (ZcDbObjectId vpId : viewports) {
            ZcDbViewport* vp = nullptr;
            if (zcdbOpenObject(vp, vpId, ZcDb::kForWrite) != Zcad::eOk) continue;
            if (vp->number() != 1) {  // the sheet itself shows no model layers
                if (kw == "Freeze")
                    vp->freezeLayersInViewport(layers);
                else
                    vp->thawLayersInViewport(layers);
            }
            vp->close();
        }
    }
}

}  // namespace

void installLayerCommands() {
    registerHostCommand("-LAYER", layerCommand);
    registerHostCommand("VPLAYER", vplayerCommand);
}

}  // namespace host
