// A small drawing holding every kind the DXF files carry: each entity kind,
// a block with attribute definitions and an insert with attributes, a
// dimension with its anonymous block, a hatch, xdata with every group code,
// a layer with its properties, and a custom object in a nested dictionary.
// Used by the DXF tests, the sample-file program and the fuzz seeds.
#pragma once

#include <string>
#include <vector>

#include "host/db/dbobject.h"

class ZcDbDatabase;

// The custom object of the samples: a name and a list of numbers, filed
// under the DXF name "VELMSAMPLE" of the application "VELM7".
class VelmSampleObject : public ZcDbObject {
public:
    ZCRX_DECLARE_MEMBERS(VelmSampleObject);
    static ZcRxObject* Create() { return new VelmSampleObject; }
    Zcad::ErrorStatus dxfOutFields(ZcDbDxfFiler* f) const override;
    Zcad::ErrorStatus dxfInFields(ZcDbDxfFiler* f) override;
    Zcad::ErrorStatus dwgOutFields(ZcDbDwgFiler* f) const override;
    Zcad::ErrorStatus dwgInFields(ZcDbDwgFiler* f) override;

    std::string label;
    std::vector<double> values;
};

// Registers VelmSampleObject (once per process).
void registerSampleClass();
// Fills a new database (made with its default contents) with the samples.
void buildSampleDrawing(ZcDbDatabase* db);
// `count` lines and circles in model space, for sizes.
void addManyEntities(ZcDbDatabase* db, int count);
