// The hatch of one shadow piece. The hatch is built apart from the drawing
// and evaluated before it is appended, so a piece the host cannot draw (a
// pattern too dense for it) leaves the block as it was.
#include "visual/views/shadow_hatch.h"

#include <cstdint>
#include <numbers>
#include <vector>

#include "core/host_services.h"
#include "core/layer_catalogue.h"
#include "core/support_files.h"
#include "host/ads/acicolor.h"
#include "host/db/dbhatch.h"
#include "host/db/dbhatchpat.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/db/dbsymtb.h"
#include "host/util/adscodes.h"
#include "host/util/findfile.h"
#include "host/util/nocase.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"
#include "store/velm_layerombra.h"

namespace {

// An index colour as the RGB a gradient takes; an index without a colour
// of its own (by block, by layer) is taken as white.
std::int32_t RgbOf(int index) {
    const host::AciRgb rgb = host::aciToRgb(index).value_or(host::AciRgb{255, 255, 255});
    return (static_cast<std::int32_t>(rgb.r) << 16) | (static_cast<std::int32_t>(rgb.g) << 8) | rgb.b;
}

int CatalogueColour(const std::string& layer) {
    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");
    for (const AA_LAYERC& row : catalogue)
        if (!row.key.empty() && zcutEqualsNoCase(row.layerName, layer)) return row.color;
    return 8;
}

}  // namespace

void AddShadowHatch(const std::string& blockName, const VertexNode* ring, const std::string& layer,
                    const std::string& pattern, const double* scale, const double* angle, int colour,
                    int colourFlag, int gradientFlag, double gradientAngle) {
    if (CountNodes(ring) < 3 || blockName.empty()) return;
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return;
    auto* hatch = new ZcDbHatch;
    hatch->setDatabaseDefaults(db);
    hatch->setAssociative(false);
    hatch->setElevation(0.0);
    hatch->setLayer(layer);
    if (colour <= 0 || colour > 255) colour = 255;
    if (gradientFlag) {
        int slot = SetupVar::SETOMBRE_SECONDOCOL;
        int first = 7;
        if (!GetVarInt(&slot, &first)) first = 7;
        const int second = colourFlag ? colour : CatalogueColour(layer);
        hatch->setGradient("LINEAR", RgbOf(first), RgbOf(second));
        hatch->setGradientAngle(gradientAngle);
    } else {
        hatch->setHatchStyle(ZcDbHatch::kNormal);
        if (scale) hatch->setPatternScale(*scale);
        if (angle) hatch->setPatternAngle(*angle * std::numbers::pi / 180.0);
        if (colourFlag) hatch->setColorIndex(colour);
        SetPatternFromSupport(*hatch, pattern, VELM_LAYEROMBRA::kClassName);
    }
    FinishViewHatch(hatch, ring, blockName);
}

void SetPatternFromSupport(ZcDbHatch& hatch, const std::string& pattern, std::string_view record) {
    const bool custom = IsCustomPattern(pattern, record);
    hatch.setPattern(custom ? ZcDbHatch::kCustomDefined : ZcDbHatch::kPreDefined, pattern);
}

void FinishViewHatch(ZcDbHatch* hatch, const VertexNode* ring, const std::string& blockName) {
    ZcDbDatabase* db = GetWorkingDatabase();
    std::vector<ZcGePoint2d> loop;
    for (const VertexNode* v = ring; v; v = v->next) loop.push_back({v->x, v->y});
    if (!db || loop.empty()) {
        delete hatch;
        return;
    }
    loop.push_back(loop.front());
    if (hatch->appendLoop(ZcDbHatch::kExternal, loop) != Zcad::eOk ||
        host::evaluateHatch(*hatch) != Zcad::eOk) {
        delete hatch;
        return;
    }
    if (blockName.empty()) {
        ZcDbObjectId id;
        if (AppendToModelSpace(id, hatch) != Zcad::eOk) delete hatch;
        return;
    }
    const ZcDbObjectId blockId = db->recordId(db->blockTableId(), blockName);
    ZcDbObjectPointer<ZcDbBlockTableRecord> block;
    if (blockId.isNull() || block.open(blockId, ZcDb::kForWrite) != Zcad::eOk) {
        delete hatch;
        return;
    }
    // Closed once the block holds it, deleted when the block refuses it.
    ZcDbObjectPointer<ZcDbHatch> owned(hatch);
    block->appendZcDbEntity(hatch);
}
