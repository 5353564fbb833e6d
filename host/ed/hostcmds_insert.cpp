// Blocks and drawing files: "_-INSERT"/"INSERT" (a block of the drawing,
// "*name" exploded, "name=file" or a file path defining the block from a
// DXF drawing first; scale and rotation asked or preset with the X, Y, Z,
// Scale and Rotate options; attribute values asked on the command line
// when ATTREQ is 1 and ATTDIA 0, in the attribute dialog when ATTDIA is 1,
// the defaults taken when ATTREQ is 0), "_WBLOCK" (a block, "*" the whole
// drawing, or chosen objects, to a DXF file), and the file commands
// "SAVE"/"SAVEAS", "OPEN", "NEW", "CLOSE". "_WBLOCK" of chosen objects
// removes them from the drawing, and "_OOPS" brings them back.
//
// Entities copied between drawings take their layers along by name (a
// missing layer is made with the source layer's colour). Limits: block
// references nested in a copied drawing keep their block names only.
#include <cmath>

#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbinsert.h"
#include "host/db/dbsymtb.h"
#include "host/db/dxffile.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/hostcmd_util.h"
#include "host/ed/hostinit.h"
#include "host/ed/prompts.h"
#include "host/util/findfile.h"
#include "host/win/files.h"
#include "host/win/textutil.h"

namespace host {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// Drawing files are DXF whatever their extension: a name is read and
// written as given ("b.dwg" is the file "b.dwg"), and only a name without
// an extension gets ".dxf".
std::string withDxf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return path;
    return path + ".dxf";
}

// Makes the layer of `name` exist in db, like the source's.
void ensureLayer(ZcDbDatabase* db, ZcDbDatabase* from, const std::string& name) {
    if (name.empty() || !db->recordId(db->layerTableId(), name).isNull()) return;
    int color = 7;
    ZcDbLayerTableRecord* src = nullptr;
    if (from &&
        zcdbOpenObject(src, from->recordId(from->layerTableId(), name), ZcDb::kForRead) == Zcad::eOk) {
        color = src->colorIndex();
        src->close();
    }
    ZcDbLayerTable* t = nullptr;
    if (db->getLayerTable(t, ZcDb::kForWrite) != Zcad::eOk) return;
    auto* rec = new ZcDbLayerTableRecord;
    rec->setName(name);
    rec->setColorIndex(color);
    if (t->add(rec) == Zcad::eOk)
        rec->close();
    else
        delete rec;
    t->close();
}

// Copies the entities into the block record `to` of db, moved by xf.
void copyEntities(const std::vector<ZcDbObjectId>& ids, ZcDbDatabase* db, ZcDbObjectId to,
                  const ZcGeMatrix3d& xf) {
    ZcDbBlockTableRecord* block = nullptr;
    if (zcdbOpenObject(block, to, ZcDb::kForWrite) != Zcad::eOk) return;
    for (ZcDbObjectId id : ids) {
        ZcDbEntity* e = nullptr;
        if (zcdbOpenObject(e, id, ZcDb::kForRead) != Zcad::eOk) continue;
        auto* copy = ZcDbEntity::cast(e->clone());
        ZcDbDatabase* from = e->database();
        e->close();
        if (!copy) continue;
        ensureLayer(db, from, copy->layer());
        copy->transformBy(xf);
        if (block->appendZcDbEntity(copy) == Zcad::eOk)
            copy->close();
        else
            delete copy;
    }
    block->close();
}

std::vector<ZcDbObjectId> blockEntities(ZcDbObjectId blockId) {
    ZcDbBlockTableRecord* b = nullptr;
    if (zcdbOpenObject(b, blockId, ZcDb::kForRead) != Zcad::eOk) return {};
    std::vector<ZcDbObjectId> ids = b->entityIds();
    b->close();
    return ids;
}

// Defines (or redefines) block `name` from the model space of a DXF file.
ZcDbObjectId defineFromFile(ZcDbDatabase* db, const std::string& name, const std::string& file) {
    std::string path = file;
    if (std::optional<std::string> found = findOnSupportPath(withDxf(file)))
        path = *found;
    else
        path = withDxf(file);
    DxfLoadResult loaded = loadDxf(nativePath(path));
    if (!loaded.db) {
        zcutPrintf("\nNie można otworzyć pliku \"%s\". %s", path.c_str(), loaded.error.c_str());
        return {};
    }
    ZcDbObjectId blockId = db->recordId(db->blockTableId(), name);
    if (blockId.isNull()) {
        ZcDbBlockTable* t = nullptr;
        if (db->getBlockTable(t, ZcDb::kForWrite) != Zcad::eOk) return {};
        auto* rec = new ZcDbBlockTableRecord;
        rec->setName(name);
        if (t->add(blockId, rec) == Zcad::eOk)
            rec->close();
        else
            delete rec;
        t->close();
    } else {
        for (ZcDbObjectId id : blockEntities(blockId)) {
            ZcDbEntity* e = nullptr;
            if (zcdbOpenObject(e, id, ZcDb::kForWrite) != Zcad::eOk) continue;
            e->erase();
            e->close();
        }
    }
    if (blockId.isNull()) return {};
    ZcGePoint3d base = ZcGePoint3d();
    if (const SysVarValue* v = loaded.vars ? loaded.vars->find("INSBASE") : nullptr)
        if (auto* p = std::get_if<ZcGePoint3d>(v)) base = *p;
    copyEntities(blockEntities(loaded.db->modelSpaceId()), db, blockId,
                 ZcGeMatrix3d::translation(ZcGePoint3d() - base));
    return blockId;
}

struct Placement {
    ZcGeVector3d scale{1, 1, 1};
    double rotation = 0;
    bool scalePreset = false, rotationPreset = false;
};

int askPlacement(ZcGePoint3d& at, Placement& pl) {
    for (;;) {
        std::string kw;
        int rc = askPoint("\nPodaj punkt wstawienia lub [Skala/X/Y/Z/Obrót]: ", at, nullptr, 0,
                          "Skala X Y Z Obrót _ Scale X Y Z Rotate", &kw);
        if (rc == RTNORM) return rc;
        if (rc != RTKWORD) return rc == RTNONE ? RTCAN : rc;
        if (kw == "Rotate") {
            double deg = 0;
            if ((rc = askReal("\nPodaj kąt obrotu: ", deg)) == RTCAN) return rc;
            pl.rotation = deg * kPi / 180;
            pl.rotationPreset = true;
            continue;
        }
        double s = 1;
        if ((rc = askReal("\nPodaj współczynnik skali " + (kw == "Scale" ? std::string() : kw) + ": ", s,
                          RSG_NOZERO)) == RTCAN)
            return rc;
        if (kw == "Scale")
            pl.scale = ZcGeVector3d(s, s, s);
        else if (kw == "X")
            pl.scale.x = s;
        else if (kw == "Y")
            pl.scale.y = s;
        else
            pl.scale.z = s;
        pl.scalePreset = true;
    }
}

int askScaleAndRotation(Placement& pl, const ZcGePoint3d& at) {
    int rc;
    if (!pl.scalePreset) {
        double x = 1;
        if ((rc = askReal("\nPodaj współczynnik skali X <1>: ", x, RSG_NOZERO)) == RTCAN) return rc;
        double y = x;
        if ((rc = askReal("\nPodaj współczynnik skali Y <użyj współczynnika X>: ", y, RSG_NOZERO)) == RTCAN)
            return rc;
        pl.scale = ZcGeVector3d(x, y, x);
    }
    if (!pl.rotationPreset) {
        double a = 0;
        if ((rc = askOrient("\nPodaj kąt obrotu <0>: ", a, &at)) == RTCAN) return rc;
        pl.rotation = rc == RTNORM ? a : 0;
    }
    return RTNORM;
}

int attributeValues(ZcDbObjectId blockId, ZcDbObjectId refId) {
    std::vector<ZcDbObjectId> defs;
    for (ZcDbObjectId id : blockEntities(blockId))
        if (id.stub()->object && ZcDbAttributeDefinition::cast(id.stub()->object.get())) defs.push_back(id);
    if (defs.empty()) return RTNORM;
    ZcDbBlockReference* ref = nullptr;
    if (zcdbOpenObject(ref, refId, ZcDb::kForWrite) != Zcad::eOk) return RTERROR;
    ZcDbXform xf = ref->blockTransform();
    bool ask = sysVarShort("ATTREQ") != 0 && sysVarShort("ATTDIA") == 0;
    int status = RTNORM;
    for (ZcDbObjectId id : defs) {
        ZcDbAttributeDefinition* def = nullptr;
        if (zcdbOpenObject(def, id, ZcDb::kForRead) != Zcad::eOk) continue;
        auto* att = new ZcDbAttribute;
        att->setDatabaseDefaults(ref->database());
        att->setAttributeFromBlock(def, xf);
        att->setLayer(ref->layer());
        std::string value = def->textString();
        if (ask && !def->isConstant() && !def->isPreset() && status == RTNORM) {
            std::string typed;
            std::string prompt = def->prompt().empty() ? def->tag() : def->prompt();
            int rc = askText("\n" + prompt + " <" + value + ">: ", typed, true);
            if (rc == RTCAN)
                status = RTCAN;
            else if (rc == RTNORM)
                value = typed;
        }
        def->close();
        att->setTextString(value);
        if (ref->appendAttribute(att) == Zcad::eOk)
            att->close();
        else
            delete att;
    }
    ref->close();
    if (status == RTNORM && sysVarShort("ATTREQ") != 0 && sysVarShort("ATTDIA") != 0)
        editAttributesInDialog(refId);
    return status;
}

// The blocks a user can insert by name: not the spaces, not anonymous ones.
void listBlocks(ZcDbDatabase* db) {
    ZcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, ZcDb::kForRead) != Zcad::eOk) return;
    const std::vector<ZcDbObjectId> ids = table->recordIds();
    table->close();
    for (ZcDbObjectId id : ids) {
        ZcDbBlockTableRecord* btr = nullptr;
        if (zcdbOpenObject(btr, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (!btr->name().empty() && btr->name()[0] != '*') zcutPrintf("\n%s", btr->name().c_str());
        btr->close();
    }
}

int insertCommand() {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return RTERROR;
    std::string answer;
    int rc = askText("\nPodaj nazwę bloku lub [?]: ", answer, true);
    // "?" lists the drawing's named blocks and asks again.
    while (rc == RTNORM && answer == "?") {
        listBlocks(db);
        rc = askText("\nPodaj nazwę bloku lub [?]: ", answer, true);
    }
    if (rc != RTNORM) return rc == RTNONE ? RTNORM : rc;
    bool explode = !answer.empty() && answer[0] == '*';
    if (explode) answer.erase(0, 1);
    std::string name = answer, file;
    size_t eq = answer.find('=');
    if (eq != std::string::npos) {
        name = answer.substr(0, eq);
        file = answer.substr(eq + 1);
        if (file.empty()) file = name;
    } else if (answer.find_first_of("/\\") != std::string::npos ||
               iequals(answer.substr(answer.size() > 4 ? answer.size() - 4 : 0), ".dxf") ||
               iequals(answer.substr(answer.size() > 4 ? answer.size() - 4 : 0), ".dwg")) {
        file = answer;
        name = baseName(answer);
    }
    ZcDbObjectId blockId = db->recordId(db->blockTableId(), name);
    if (blockId.isNull() && file.empty() && findOnSupportPath(withDxf(name))) file = name;
    if (!file.empty()) blockId = defineFromFile(db, name, file);
    if (blockId.isNull()) {
        if (file.empty()) zcutPrintf("\nNie można znaleźć bloku \"%s\".", name.c_str());
        return RTERROR;
    }
    ZcGePoint3d at;
    Placement pl;
    if ((rc = askPlacement(at, pl)) != RTNORM) return rc;
    if ((rc = askScaleAndRotation(pl, at)) != RTNORM) return rc;
    if (explode) {
        ZcGeMatrix3d xf = ZcGeMatrix3d::translation(at.asVector()) *
                          ZcGeMatrix3d::rotation(pl.rotation, ZcGeVector3d(0, 0, 1)) *
                          ZcGeMatrix3d::scaling(pl.scale.x);
        copyEntities(blockEntities(blockId), db, db->currentSpaceId(), xf);
        return RTNORM;
    }
    auto* ref = new ZcDbBlockReference(at, blockId);
    ref->setScaleFactors(pl.scale);
    ref->setRotation(pl.rotation);
    ZcDbObjectId refId = appendEntity(ref, db);
    if (refId.isNull()) return RTERROR;
    return attributeValues(blockId, refId);
}

// ------------------------------------------------------------------ files

// The drawing saved takes the file as its own, as on the platform: a later
// QSAVE goes back to it, and DWGNAME and DWGPREFIX name it.
int saveAs(ZcApDocument* doc, const std::string& path) {
    std::string error;
    if (!saveDrawing(doc, path, &error)) {
        zcutPrintf("\nNie można zapisać rysunku \"%s\". %s", path.c_str(), error.c_str());
        return RTERROR;
    }
    zcDocManagerPtr()->renameDocument(doc, path);
    return RTNORM;
}

int saveCommand() {
    ZcApDocument* doc = curDoc();
    std::string path;
    int rc = askText(std::string("\nPodaj nazwę pliku <") + withDxf(doc->fileName()) + ">: ", path, true);
    if (rc == RTCAN) return rc;
    if (rc == RTNONE) path = doc->fileName();
    if (path.empty()) {
        // Enter on a new drawing names no file: ".dxf" is none.
        zcutPrintf("\nNie podano nazwy pliku.");
        return RTERROR;
    }
    return saveAs(doc, withDxf(path));
}

// A drawing that has a file goes back to it without a question (a script's
// next line is not taken for a file name); a new one is asked for its name.
int quickSaveCommand() {
    ZcApDocument* doc = curDoc();
    if (!doc) return RTERROR;
    const std::string name = doc->fileName();
    if (name.empty() || !doc->isTitled()) return saveCommand();
    return saveAs(doc, withDxf(name));
}

int openCommand() {
    std::string path;
    int rc = askText("\nPodaj nazwę pliku do otwarcia: ", path, true);
    if (rc != RTNORM) return rc == RTNONE ? RTNORM : rc;
    std::string error;
    if (!openDrawing(path, &error)) {
        zcutPrintf("\n%s", error.c_str());
        return RTERROR;
    }
    return RTNORM;
}

int newCommand() {
    zcDocManagerPtr()->createDocument("");
    return RTNORM;
}

int closeCommand() {
    ZcApDocument* doc = curDoc();
    if (!doc) return RTERROR;
    zcDocManagerPtr()->closeDocument(doc);
    return RTNORM;
}

int wblockCommand() {
    ZcDbDatabase* db = commandDatabase();
    if (!db) return RTERROR;
    std::string path;
    int rc = askText("\nPodaj nazwę pliku: ", path, true);
    if (rc != RTNORM) return rc == RTNONE ? RTNORM : rc;
    std::string what;
    rc = askText("\nPodaj nazwę bloku lub [= (blok=plik)/* (cały rysunek)] <wybierz obiekty>: ", what, true);
    if (rc == RTCAN) return rc;
    std::vector<ZcDbObjectId> ids;
    ZcGePoint3d base;
    bool chosen = false;
    if (rc == RTNONE) {
        if ((rc = askPoint("\nPodaj punkt bazowy: ", base)) != RTNORM) return rc == RTNONE ? RTERROR : rc;
        ads_name ss = {0, 0};
        if ((rc = zcedSSGet(nullptr, nullptr, nullptr, nullptr, ss)) != RTNORM)
            return rc == RTCAN ? rc : RTERROR;
        ids = selectionMembers(ss);
        zcedSSFree(ss);
        chosen = true;
    } else if (what == "*") {
        ids = blockEntities(db->modelSpaceId());
    } else {
        if (what == "=") what = baseName(path);
        ZcDbObjectId blockId = db->recordId(db->blockTableId(), what);
        if (blockId.isNull()) {
            zcutPrintf("\nNie można znaleźć bloku \"%s\".", what.c_str());
            return RTERROR;
        }
        ids = blockEntities(blockId);
    }
    ZcDbDatabase out;
    copyEntities(ids, &out, out.modelSpaceId(), ZcGeMatrix3d::translation(ZcGePoint3d() - base));
    std::string error;
    if (!saveDxf(&out, nativePath(withDxf(path)), nullptr, &error)) {
        zcutPrintf("\nNie można zapisać pliku \"%s\". %s", withDxf(path).c_str(), error.c_str());
        return RTERROR;
    }
    if (chosen) eraseForOops(ids, db);
    return RTNORM;
}

}  // namespace

void installInsertCommands() {
    registerHostCommand("-INSERT", insertCommand);
    registerHostCommand("INSERT", insertCommand);
    registerHostCommand("WBLOCK", wblockCommand);
    registerHostCommand("-WBLOCK", wblockCommand);
    registerHostCommand("SAVE", saveCommand);
    registerHostCommand("SAVEAS", saveCommand);
    registerHostCommand("QSAVE", quickSaveCommand);
    registerHostCommand("OPEN", openCommand);
    registerHostCommand("NEW", newCommand);
    registerHostCommand("CLOSE", closeCommand);
}

}  // namespace host
