// The slab editing dialog (157 "Edycja dachu"): a slab's properties and the
// one edit the user closes it with. OK, "Zmień nachylenie" and the hide
// sides button take the fields over; the vertex and opening buttons close
// it as they are, the fields shown not taken (those edits work on the plan
// only). A level slab shows its height and floor link, a sloped one its
// slope and the slope change.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_ECOP = 157;

// The edits, as the dialog returns them.
enum EcopAction {
    kEcopAccept = 0,
    kEcopMove2d = 1,
    kEcopMove3d = 2,
    kEcopAddOpening = 3,
    kEcopDeleteOpening = 4,
    kEcopAddVertex = 5,
    kEcopDeleteVertex = 6,
    kEcopChangeSlope = 7,
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

class CDlgEcop : public CDialog {
public:
    explicit CDlgEcop(CWnd* parent = nullptr);

    // The slope is shown in degrees while the setting PENDINGRADI is on.
    void SetValues(const EcopValues& values);
    EcopValues GetValues() const;
    void SetFlatMode(bool flat) { m_flat = flat; }
    int Action() const { return m_action; }

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

private:
    // Reads the fields; false when one is refused.
    bool ReadFields();
    void CloseWith(int action, bool takeFields);
    void ChooseEdgeKey(int key);

    std::string m_name;
    int m_hide = 0;
    int m_edgeKey = 0;
    double m_slope = 0.0;  // as shown
    double m_height = 0.0;
    double m_thickness = 0.0;
    int m_f1 = 0, m_f2 = 0, m_f8 = 0;
    bool m_degrees = false;
    bool m_flat = true;
    int m_action = kEcopAccept;

    CadvNumEdit m_editSlope, m_editHeight, m_editThickness;
};
