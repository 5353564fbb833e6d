// The floor-choice dialog (203): the level texts of the floors that hold
// objects, shown in a sorted single-selection list with the first entry
// chosen; after OK the chosen text is the list's current text. Used when a
// whole floor is moved or copied and the drawing has more than one floor.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/ui/dialog.h"

inline constexpr UINT IDD_TRASLAP1 = 203;

class CDlgTraslap1 : public CDialog {
public:
    explicit CDlgTraslap1(CWnd* parent = nullptr);

    // Appends the texts to those shown, in the given order.
    void SetItems(const std::vector<std::string>& texts);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    CListBox m_list;
    std::string m_selected;
    std::vector<std::string> m_items;
};

// Shows the dialog with the module's resources current; the chosen text on
// OK, none on cancel or when nothing was chosen.
std::optional<std::string> ChooseFloorTextDialog(const std::vector<std::string>& texts);
