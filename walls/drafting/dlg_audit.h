// The audit's dialog (213 "Kontrola"): five check boxes, one per check of
// the drawing, read into a mask of bits 1, 2, 4, 8 and 16.
#pragma once

#include "host/ui/dialog.h"

inline constexpr UINT IDD_AUDIT = 213;

class CDlgAudit : public CDialog {
public:
    explicit CDlgAudit(int mask, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    int m_mask;

private:
    int m_checks[5] = {0, 0, 0, 0, 0};
};
