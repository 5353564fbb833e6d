// The print-scale factors dialog (136): the ten factors of each print scale,
// scales added (a copy of the shown one) and removed, and the updates the
// caller should run afterwards. The dialog works on its own copy of the
// records; OK writes them to the drawing and makes the shown scale current,
// Cancel changes nothing.
#pragma once

#include <array>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"
#include "settings/dialogs/exact_number.h"
#include "store/fscala.h"

inline constexpr UINT IDD_FSCALA = 136;

class CDlgFScala : public CDialog {
public:
    static constexpr int kChecks = 11;

    explicit CDlgFScala(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    // The sum of 1 << i over the checked boxes, i their place in m_checks.
    int GetUpdateFlags() const;

    AAR_FSCALA m_table;
    int m_currentKey = 0;
    CadvNumEdit m_addEdit;
    CListBox m_list;
    std::array<CadvNumEdit, kScaleEntryCount> m_values;
    // 1038, 1048, 1051, 1039, 1040, 1041, 1042, 1043, 1044, 1045, 1053.
    std::array<int, kChecks> m_checks{};

private:
    void ShowValues();
    // False, with the module's message, when a factor is out of range.
    bool StoreValues();
    void OnSelChange();
    void OnAdd();
    void OnRemove();
    void OnSelectAll();
    void SelectKeyLine(int key);

    std::array<ExactNumber, kScaleEntryCount> m_exact;
};
