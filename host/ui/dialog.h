// Dialogs: a window built from a dialog template of the current resource
// handle.  DoModal creates the controls, runs OnInitDialog, then hands the
// dialog to the dialog driver (driver.h), which acts as the user until the
// dialog ends; Create makes a modeless dialog that stays open and is driven
// between commands.  Data exchange (DDX_/DDV_) moves values between members
// and controls; a refused value shows a message box, ends the exchange and
// puts the focus on the field, and the dialog stays open.
#pragma once

#include <memory>
#include <string>

#include "host/ui/controls.h"
#include "host/ui/listctrl.h"
#include "host/ui/resources.h"
#include "host/ui/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);
    ~CDialog() override;

    // IDOK, IDCANCEL or the EndDialog value; -1 when there is no template.
    virtual INT_PTR DoModal();
    // A modeless dialog on the template.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL DestroyWindow() override;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}
    BOOL UpdateData(BOOL save = TRUE);
    void EndDialog(int result);

    void GotoDlgCtrl(CWnd* ctl);
    virtual void NextDlgCtrl();
    virtual void PrevDlgCtrl();
    void SetDefID(UINT id) { defId_ = id; }
    DWORD GetDefID() const { return defId_; }

    UINT TemplateId() const { return templateId_; }
    bool IsModal() const { return modal_; }
    bool IsEnded() const { return ended_; }
    int Result() const { return result_; }
    // The control the driver acts on: the dialog's own child by default.
    virtual CWnd* FindControl(int id) const { return GetDlgItem(id); }

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    const char* KindName() const override { return "dialog"; }

    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    // Builds the window and its controls and runs the initialisation.
    BOOL CreateFromTemplate(const DialogTemplate& t, CWnd* parent, bool child);
    // Handles Enter, Escape and Tab as the dialog manager does.
    BOOL DialogKey(MSG* msg);
    void SetTemplateId(UINT id) { templateId_ = id; }
    bool modal_ = false;
    bool ended_ = false;
    int result_ = IDCANCEL;

private:
    UINT templateId_ = 0;
    UINT defId_ = IDOK;
    std::unique_ptr<CFont> ownFont_;
};

// Makes the control object for a template's control kind.
std::unique_ptr<CWnd> MakeControl(ControlKind kind);

// ---------------------------------------------------------------- data exchange

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL save) : m_bSaveAndValidate(save), m_pDlgWnd(dialog) {}
    // The control an exchange is about (remembered for the focus on failure);
    // null, with the exchange failed, when the dialog lacks it.
    CWnd* PrepareCtrl(int id);
    CWnd* PrepareEditCtrl(int id);
    // Ends the exchange as refused: later exchanges do nothing.
    void Fail();

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    bool m_bFailed = false;
    CWnd* m_pLastControl = nullptr;
    bool m_bEditLastControl = false;
};

void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, short& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_LBString(CDataExchange* dx, int id, std::string& value);
void DDX_LBStringExact(CDataExchange* dx, int id, std::string& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, std::string& value);
void DDX_CBStringExact(CDataExchange* dx, int id, std::string& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_Slider(CDataExchange* dx, int id, int& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max);
void DDV_MinMaxShort(CDataExchange* dx, short value, short min, short max);
void DDV_MinMaxLong(CDataExchange* dx, long value, long min, long max);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT min, UINT max);
void DDV_MinMaxDouble(CDataExchange* dx, double value, double min, double max);
void DDV_MinMaxFloat(CDataExchange* dx, float value, float min, float max);

// The texts of refused values.
namespace zcui {
inline constexpr const char* kEnterInteger = "Wprowadź liczbę całkowitą.";
inline constexpr const char* kEnterNumber = "Wprowadź liczbę.";
inline constexpr const char* kIntegerRange = "Wprowadź liczbę całkowitą z przedziału od %ld do %ld.";
inline constexpr const char* kNumberRange = "Wprowadź liczbę z przedziału od %g do %g.";
inline constexpr const char* kMaxChars = "Wprowadź nie więcej niż %d znaków.";
}  // namespace zcui
