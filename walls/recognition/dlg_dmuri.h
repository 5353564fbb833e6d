// Dialog 196 "Opcje multilinii": the three distances by which pairs of
// lines are recognised as double-line walls (outer line distance, least and
// greatest wall thickness), loaded from and stored to the settings store.
#pragma once

#include "host/ui/dialog.h"

inline constexpr UINT IDD_DMURI = 196;

class CDlgDMuri : public CDialog {
public:
    explicit CDlgDMuri(CWnd* parent = nullptr);

    void LoadFromSettings();
    void StoreToSettings() const;

    void DoDataExchange(CDataExchange* dx) override;

    double m_outerDistance = 0.0;
    double m_minThickness = 0.0;
    double m_maxThickness = 0.0;
};

// Shows dialog 196 on the drawing's settings and stores them on OK: 1 for
// OK, 0 for cancel.
int ShowMultilineOptionsDialog();
