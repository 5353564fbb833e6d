// The layer-generation groups dialog (134): the patterns whose layers the
// parametric objects generate and those they do not. On OK (or
// "&Regeneruj", which also asks the caller to regenerate) each list is
// stored in the drawing in list order with exact repeats dropped; Cancel
// stores nothing. Enter in an edit moves on; Delete removes selected rows.
#pragma once

#include <string>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_GENGRUPPI = 134;

class CDlgGenGruppi : public CDialog {
public:
    explicit CDlgGenGruppi(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    CAdvInvioEdit m_nonGeneratingEdit;
    CAdvInvioEdit m_generatingEdit;
    CAdvListBox m_nonGeneratingList;
    CAdvListBox m_generatingList;
    std::string m_generatingText;
    std::string m_nonGeneratingText;
    // Set by "&Regeneruj": the caller regenerates the objects.
    unsigned char m_regenerate = 0;

private:
    void AddFromEdit(const std::string& text, CListBox& list);
};
