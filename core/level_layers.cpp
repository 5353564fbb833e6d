#include "core/level_layers.h"

#include <cmath>

#include "core/entity_data.h"
#include "core/host_services.h"
#include "core/level_settings.h"
#include "host/db/dbmain.h"
#include "host/db/dbobjptr.h"
#include "host/util/nocase.h"

void MakeLevelLayerName(std::string& name, double level) {
    if (LevelsSwitchedOff()) return;
    std::vector<std::string> layers;
    GetLayerNames(layers);
    name = LevelLayerNameAmong("VELM" + name, level, layers);
}

std::string LevelLayerNameAmong(std::string_view base, double level,
                                const std::vector<std::string>& layerNames) {
    for (const std::string& layer : layerNames) {
        double found = 0.0;
        std::string number;
        if (!ParseLevelSuffix(layer, found, &number)) continue;
        std::string_view layerBase = std::string_view(layer).substr(0, layer.size() - number.size() - 1);
        if (zcutEqualsNoCase(layerBase, base) && std::fabs(found - level) < kLevelTolerance) return layer;
    }
    return std::string(base) + "$" + FormatRealTrim(level);
}

void GetLayerNames(std::vector<std::string>& names) {
    names.clear();
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db) return;
    ZcDbObjectPointer<ZcDbLayerTable> table(db->layerTableId(), ZcDb::kForRead);
    if (!table) return;
    ZcDbSymbolTableIterator* it = nullptr;
    if (table->newIterator(it) == Zcad::eOk && it) {
        for (it->start(); !it->done(); it->step()) {
            ZcDbLayerTableRecord* opened = nullptr;
            if (it->getRecord(opened, ZcDb::kForRead) != Zcad::eOk) continue;
            ZcDbObjectPointer<ZcDbLayerTableRecord> rec(opened);
            std::string name;
            if (rec->getName(name) == Zcad::eOk) names.push_back(std::move(name));
        }
        delete it;
    }
}
