// The Z-profile editing dialog (316 "Edycja profilu"): a profile's layer,
// thickness, base height or slope and switches, and the one edit it is
// closed with ("Zmień własności geometryczne" is OK). A level profile shows
// its base height, a sloped one its slope and the slope change.
#pragma once

#include <string>

#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/dialogs/slab_edit_dialog.h"

inline constexpr UINT IDD_EPROFZ = 316;

enum EProfzAction {
    kEProfzAccept = kSlabEditAccept,
    kEProfzTilt = kSlabEditTilt,
    kEProfzAddOpening = kSlabEditAddOpening,
    kEProfzDeleteOpening = kSlabEditDeleteOpening,
    kEProfzDeleteVertex = kSlabEditDeleteVertex,
    kEProfzChangeSlope = kSlabEditChangeSlope,
};

struct EProfzValues {
    std::string layer;
    bool hideApproximated = false;
    double slopePercent = 0.0;
    double baseHeight = 0.0;
    double thickness = 0.0;
    bool link = false;
    bool is2d = false;
};

class CDlgEProfz : public CSlabEditDialog {
public:
    explicit CDlgEProfz(CWnd* parent = nullptr);

    void SetValues(const EProfzValues& values);
    EProfzValues GetValues() const;
    void SetZeroSlope(bool zero) { SetLevel(zero); }
};
