// Catalogue attributes onto drawing layers, with linetypes loaded on demand
// from the host's linetype file.
#include "settings/dialogs/layer_linetypes.h"

#include "core/host_services.h"
#include "core/support_files.h"
#include "host/db/dbdatabase.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/ed/cmdproc.h"
#include "host/util/nocase.h"
#include "host/win/textfile.h"
#include "host/win/textutil.h"

namespace {

bool SetLayerLinetype(ZcDbLinetypeTable* linetypes, ZcDbLayerTableRecord* layer, const std::string& name) {
    ZcDbObjectId id;
    if (linetypes->getAt(name, id) != Zcad::eOk) return false;
    return layer->setLinetypeObjectId(id) == Zcad::eOk;
}

void Regenerate() {
    int off = 0;
    int echo = SysVarShort("CMDECHO", &off);
    zcedCommand(RTSTR, "_REGEN", RTNONE);
    SysVarShort("CMDECHO", &echo);
}

}  // namespace

bool FindLinetypeDefinition(const std::vector<std::string>& lines, const std::string& name,
                            std::string& comments, std::vector<double>& dashes) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!line.starts_with("*")) continue;
        std::size_t comma = line.find(',');
        if (!zcutEqualsNoCase(
                std::string_view(line).substr(1, comma == std::string::npos ? std::string::npos : comma - 1),
                name))
            continue;
        comments = comma == std::string::npos ? std::string() : line.substr(comma + 1);
        dashes.clear();
        if (i + 1 < lines.size() && lines[i + 1].starts_with("A,")) {
            std::string_view rest = std::string_view(lines[i + 1]).substr(2);
            while (!rest.empty()) {
                std::size_t next = rest.find(',');
                if (auto v = host::parseDouble(rest.substr(0, next))) dashes.push_back(*v);
                if (next == std::string_view::npos) break;
                rest.remove_prefix(next + 1);
            }
        }
        return true;
    }
    return false;
}

bool LoadLinetypeFromLin(ZcDbDatabase* db, const std::string& name) {
    if (!db) return false;
    auto path = FindSupportFile("zwcad.lin");
    if (!path) return false;
    auto file = host::readTextFile(*path);
    std::string comments;
    std::vector<double> dashes;
    if (!file || !FindLinetypeDefinition(file->lines, name, comments, dashes)) return false;
    ZcDbObjectPointer<ZcDbLinetypeTable> table(db->linetypeTableId(), ZcDb::kForWrite);
    if (!table) return false;
    if (table->has(name)) return true;
    ZcDbObjectPointer<ZcDbLinetypeTableRecord> rec;
    rec.create();
    rec->setName(name);
    rec->setComments(comments);
    rec->setDashes(dashes);
    return table->add(rec.get()) == Zcad::eOk;
}

void ApplyLayerColour(ZcDbLayerTableRecord& layer, int colourIndex) {
    if (colourIndex >= 1 && colourIndex <= 255) layer.setColorIndex(colourIndex);
}

void ApplyLayerLineWeight(ZcDbLayerTableRecord& layer, int lineWeight) {
    if (lineWeight != ZcDb::kLnWtByLayer && lineWeight != ZcDb::kLnWtByBlock) layer.setLineWeight(lineWeight);
}

void LoadLayerLinetypes(const LayerAttrEntry* first) {
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return;
    bool changed = false;
    {
        // Both tables closed before the regeneration.
        ZcDbObjectPointer<ZcDbLayerTable> layers(db->layerTableId(), ZcDb::kForWrite);
        if (!layers) return;
        ZcDbObjectPointer<ZcDbLinetypeTable> linetypes(db->linetypeTableId(), ZcDb::kForRead);
        if (!linetypes) return;
        for (const LayerAttrEntry* e = first; e; e = e->next) {
            ZcDbLayerTableRecord* opened = nullptr;
            if (layers->getAt(e->layerName, opened, ZcDb::kForWrite) != Zcad::eOk) continue;
            ZcDbObjectPointer<ZcDbLayerTableRecord> layer(opened);
            if (!linetypes->has(e->linetype)) {
                // The loader opens the table for write: let go of it meanwhile.
                linetypes.close();
                bool loaded = LoadLinetypeFromLin(db, e->linetype);
                if (linetypes.open(db->linetypeTableId(), ZcDb::kForRead) != Zcad::eOk) return;
                if (!loaded) continue;
            }
            SetLayerLinetype(linetypes.get(), layer.get(), e->linetype);
            ApplyLayerColour(*layer, e->colorIndex);
            ApplyLayerLineWeight(*layer, e->lineWeight);
            layer->setIsOff(e->off != 0);
            changed = true;
        }
    }
    if (changed) Regenerate();
}
