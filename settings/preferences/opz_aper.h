// The opening drawing options (dialog 220, "VELMOPENSET"): how door and
// window openings are drawn in 2D, kept as bits of CALC_INT_SEZ (1 no
// dimension text, 2 sill height, 3 no label code, 4 no load view, 6 no
// dimension centre line; every other bit is left as it is), and applied to
// chosen openings. Sill height is never on without dimension text.
#pragma once

#include "host/ui/dialog.h"

inline constexpr UINT IDD_OPZAPER = 220;

class CopzAper : public CDialog {
public:
    // Close results besides IDOK and IDCANCEL.
    static constexpr int kApplyOnly = 3;
    static constexpr int kStoreAndApply = 4;

    explicit CopzAper(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    // The five option values handed to the regeneration of an opening:
    // no dimension text, sill height, no label code, no load view, no
    // centre line.
    void OptionValues(double out[5]) const;

    int m_labelCode = 0;
    int m_loadView = 0;
    int m_dimensionText = 0;
    int m_centreLine = 0;
    int m_sillHeight = 0;

private:
    bool Store();
};

// The word with the dialog's bits (1-4, 6) from the members and the others
// from `old`.
int OpeningOptionBits(int old, const CopzAper& options);

// "VELMOPENSET".
void CmdOpeningOptions();
