// The parameter dialog: the object's picture, its named parameter sets and
// a grid of seven row slots (description, current value, new value) over
// the parameters, scrolled when there are more. Values in the store keep
// their exact value unless the user changed their text; an edited length is
// read in the drawing's current units. The button that closed the dialog is
// read back as a code; the window keeps its place between showings while
// the module is loaded.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "host/ui/dialog.h"
#include "objects/dialogs/param_rows.h"

inline constexpr UINT IDD_PAROBJ = 150;

class CDlgParObj;

// Ids of the dialog's controls.
namespace parobj {
inline constexpr int kFromDrawing = 3;
inline constexpr int kFromObject = 4;
inline constexpr int kAll = 5;
inline constexpr int kSelect = 6;
inline constexpr int kApply = 7;
inline constexpr int kSignificantOnly = 1024;
inline constexpr int kSetCombo = 1025;
inline constexpr int kFrame = 1070;
inline constexpr int kPicture = 1374;
inline constexpr int kDescription = 101;  // slots 0-6: 101-107
inline constexpr int kCurrentEdit = 108;
inline constexpr int kNewEdit = 115;
inline constexpr int kCurrentCheck = 122;
inline constexpr int kNewCheck = 129;
inline constexpr int kScrollBar = 136;
inline constexpr int kHeader = 137;
inline constexpr int kSlots = 7;
}  // namespace parobj

// The new-value editor of a slot: Up and Down (and Tab) move between rows,
// Enter is swallowed so a typed value never closes the dialog.
class CEditParametri : public CEdit {
public:
    int m_slot = -1;
    CDlgParObj* m_pDlg = nullptr;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnSetFocus(CWnd* old) override;
    void OnKillFocus(CWnd* next) override;
};

// The new-value check box of a yes/no slot.
class CButtonParametri : public CButton {
public:
    int m_slot = -1;
    CDlgParObj* m_pDlg = nullptr;
    void OnSetFocus(CWnd* old) override;
    void OnKillFocus(CWnd* next) override;
};

class CDlgParObj : public CDialog {
public:
    explicit CDlgParObj(CWnd* parent = nullptr);

    void SetInsertMode(int mode) { m_insertMode = mode; }
    void LoadFromContext(const ObjContext& context, int focusRow);
    // 1 OK, 2 "Wybierz", 3 "Wszystko", 4 "Zastosuj", 5 "Z rysunku <",
    // 6 "Z obiektu <"; 0 when cancelled.
    int GetResultCode() const { return m_result; }
    bool ApplyToContext(ObjContext& context);
    // The variable of the row that last had the focus (0 when none); its
    // place in view goes to `rowInView` and is focused at the next showing.
    int GetCurrentVariable(int& rowInView);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnVScroll(UINT code, UINT pos, CWnd* bar) override;
    void OnDestroy() override;

    // Slot events of the new-value controls.
    void OnRowFocus(int slot, bool gained);
    void MoveRowFocus(int slot, bool down);
    int RowCountShown() const { return m_rowCount; }

    const CArrayTipologie& Sets() const { return m_sets; }
    const CArrayInfoParametri& Rows() const { return m_rows; }
    int FirstRowInView() const { return m_first; }

    std::string m_pictureName;
    std::string m_title;

private:
    void BuildRowsFromSet();
    void CreateSlots();
    void LayoutSlots();
    void CountRows();
    void ShowScrollBar(bool hideAtSeven);
    void ApplyLayout();
    void FillRows(int first);
    bool CommitRow(int slot);
    void FocusSlot(int slot);
    void OnButton(int code);
    void OnSelchangeSet();
    void OnSignificantOnly();
    void OnHeaderTrack(NMHDR* hdr);

    CComboBox m_setCombo;
    int m_first = 0;
    int m_rowCount = 0;
    int m_significantOnly = 1;
    int m_currentRow = -1;
    int m_selectedSet = 0;
    int m_result = 0;
    int m_insertMode = 0;
    CArrayTipologie m_sets;
    CArrayInfoParametri m_rows;
    // The parameters that are sizes of the object (IsSizeParameter): a new
    // value of zero or less is refused there.
    std::vector<int> m_sizes;
    std::array<CEdit, parobj::kSlots> m_description;
    std::array<CEdit, parobj::kSlots> m_current;
    std::array<CEditParametri, parobj::kSlots> m_new;
    std::array<CButton, parobj::kSlots> m_currentCheck;
    std::array<CButtonParametri, parobj::kSlots> m_newCheck;
    // The text each new-value editor was filled with: an unchanged text
    // leaves the row's value exactly as it was.
    std::array<std::string, parobj::kSlots> m_shown;
    std::array<int, 3> m_columnWidth{182, 66, 58};
    CScrollBar m_scroll;
    CHeaderCtrl m_header;
    int m_focusRow = 0;
};

// Forgets the dialog's saved place (the module is unloaded).
void ResetParameterDialogPlacement();
