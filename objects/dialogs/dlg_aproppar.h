// The parameter-choice dialog: the user ticks the parameters whose values
// are to be given to other objects; each variable whose description is
// ticked gets its apply mark (several variables may share one entry).
#pragma once

#include <cstdint>

#include "host/ui/dialog.h"
#include "objects/language/obj_context.h"

inline constexpr UINT IDD_APROPPAR = 263;

class CDLG_APROPPAR : public CDialog {
public:
    explicit CDLG_APROPPAR(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    CListBox m_list;
    ObjVarList* m_vars = nullptr;  // not owned
    std::uint8_t m_cancelled = 0;
};
