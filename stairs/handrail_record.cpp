// The handrail record's settings (see the header).
#include "stairs/handrail_record.h"

#include "store/settings_store.h"
#include "store/setup_slots.h"

CScalaCorriData::CScalaCorriData() {
    width = SettingReal(SetupVar::SETCOR_LARGH);
    height = SettingReal(SetupVar::SETCOR_ALTE);
    maxSteps = SettingReal(SetupVar::SETCOR_PEMAX);
    thickness = SettingReal(SetupVar::SETCOR_SPESS);
    spacing = SettingReal(SetupVar::SETCOR_DISTR);
    postRadius = SettingReal(SetupVar::SETCOR_RAGGIOR);
    sideInset = SettingReal(SetupVar::SETCOR_MENOZLAT);
    railLayer = SettingString(SetupVar::SETCOR_LAYERNAME);
    postLayer = SettingString(SetupVar::SETCOR_LAYERRING);
    baseLayer = SettingString(SetupVar::SETSCA_LAYERBASE);
    type = SettingInt(SetupVar::SETCOR_TIPOCOR);
    sideElementCount = SettingInt(SetupVar::SETCOR_NUMLATIR);
    position = SettingInt(SetupVar::SETCOR_POSCOR);
    unitFactor = DrawingUnitFactor();
}

CScalaCorriData::~CScalaCorriData() {
    if (!saveDefaults) return;
    SetSettingInt(SetupVar::SETCOR_TIPOCOR, type);
    SetSettingInt(SetupVar::SETCOR_NUMLATIR, sideElementCount);
    SetSettingInt(SetupVar::SETCOR_POSCOR, position);
    SetSettingReal(SetupVar::SETCOR_LARGH, width);
    SetSettingReal(SetupVar::SETCOR_ALTE, height);
    SetSettingReal(SetupVar::SETCOR_PEMAX, maxSteps);
    SetSettingReal(SetupVar::SETCOR_SPESS, thickness);
    SetSettingReal(SetupVar::SETCOR_DISTR, spacing);
    SetSettingReal(SetupVar::SETCOR_RAGGIOR, postRadius);
}
