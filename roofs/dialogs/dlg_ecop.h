// The slab editing dialog (157 "Edycja dachu"): a slab's properties and the
// one edit the user closes it with. Beside the profile editor's fields and
// edits it has the edge key, the wall-height box, the hide sides button
// (which takes the fields over), the vertex move and insertion; a level
// slab shows its floor link too.
#pragma once

#include <string>

#include "roofs/dialogs/slab_dialog_common.h"
#include "roofs/dialogs/slab_edit_dialog.h"

inline constexpr UINT IDD_ECOP = 157;

// The edits, as the dialog returns them: those of the profile editor too
// under the shared numbers, then the slab editor's own.
enum EcopAction {
    kEcopAccept = kSlabEditAccept,
    kEcopMove3d = kSlabEditTilt,
    kEcopAddOpening = kSlabEditAddOpening,
    kEcopDeleteOpening = kSlabEditDeleteOpening,
    kEcopDeleteVertex = kSlabEditDeleteVertex,
    kEcopChangeSlope = kSlabEditChangeSlope,
    kEcopMove2d = 6,
    kEcopAddVertex = 7,
    kEcopHideSides = 8,
};

struct EcopValues {
    std::string name;
    bool hideApproximated = false;
    int edgeKey = 0;
    double slopePercent = 0.0;
    double height = 0.0;
    double thickness = 0.0;
    bool f1 = false, f2 = false, f8 = false;
};

class CDlgEcop : public CSlabEditDialog {
public:
    explicit CDlgEcop(CWnd* parent = nullptr);

    void SetValues(const EcopValues& values);
    EcopValues GetValues() const;
    void SetFlatMode(bool flat) { SetLevel(flat); }

    void DoDataExchange(CDataExchange* dx) override;

private:
    void ChooseEdgeKey(int key);

    int m_edgeKey = 0;
    int m_f8 = 0;
};
