// Settings by name on the current drawing: the handler of the command
// VELMSETVAR and the two LISP servers "velmsetvar" and "velmgetvar", over
// the drawing's settings objects and the host's command line. Registering
// them (command group "VELM7", transparent; LISP at each drawing load) is
// the module entry's job; each is one call there.
#pragma once

#include <memory>

#include "host/db/dbobjptr.h"
#include "settings/setvar_byname.h"

// The drawing's side of the by-name access: each object is opened on first
// use and closed when the operation (this object) ends; opening for write
// asserts write access, so the change is recorded for undo.
class DrawingSettingsByName : public SettingsByNameHost {
public:
    DrawingSettingsByName() = default;
    DrawingSettingsByName(const DrawingSettingsByName&) = delete;
    DrawingSettingsByName& operator=(const DrawingSettingsByName&) = delete;
    ~DrawingSettingsByName() override = default;

    VELM_SETUP* openSetup(bool forWrite) override;
    VELM_FSCALA* openFScala() override;
    VELM_LIBOBJOPT* openLibObjOpt() override;
    void print(const std::string& text) override;
    int getString(bool allowSpaces, const std::string& prompt, std::string& answer) override;
    std::string formatReal(double value) override;

private:
    // Closed in the reverse order: the store first.
    ZcDbObjectPointer<VELM_LIBOBJOPT> libobjopt_;
    ZcDbObjectPointer<VELM_FSCALA> fscala_;
    ZcDbObjectPointer<VELM_SETUP> setup_;
};

// The command VELMSETVAR.
void CmdVelmSetVar();
// The LISP servers: they read their arguments with zcedGetArgs, hand back
// their value with zcedRet*, and return RTNORM or RTERROR.
int LispVelmSetVar();
int LispVelmGetVar();
