// The module's own dialog controls, attached to template controls by data
// exchange (DDX_Control):
// - CadvEdit: an edit whose enabled state two partner controls follow;
// - CadvNumEdit: a numeric edit that filters keys and checks its value
//   against a range, a sign rule and a zero rule when the user leaves it
//   (Tab, Enter, a click elsewhere in the dialog), never when Cancel is
//   pressed; it never changes the text itself, it only holds the focus.
//   A text that is no number (or an endless one) is not held there: the
//   dialog refuses it once, where it reads the field;
// - CadvColorStatic: a colour swatch painted with its own brush;
// - CAdvInvioEdit: an edit whose Enter moves to the next control instead
//   of pressing the default button;
// - CAdvListBox: a list box whose Delete key removes the selected rows.
// A numeric edit's value is its whole text read as one number
// (TypedNumber): a text that is no number is invalid, whatever its start.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "core/base/typed_number.h"
#include "host/ui/controls.h"

class CadvEdit : public CEdit {
public:
    // Ids of two controls of the same dialog that follow this edit's
    // enabled state; 0 names none.
    UINT m_idPartner1 = 0;
    UINT m_idPartner2 = 0;

    void OnEnable(BOOL enable) override;
};

class CadvNumEdit : public CadvEdit {
public:
    // 0: not negative; 1: not positive; other: either sign.
    virtual void SetSignMode(short signMode, int zeroRefused);
    // 1 when the text is a valid value; the message box is shown on an
    // invalid value when showMessage is set.
    virtual int Validate(int showMessage);
    virtual void SetRange(double minimum, double maximum);
    virtual void GetRangeFloat(float& minimum, float& maximum) const;
    virtual void GetRange(double& minimum, double& maximum) const;
    virtual void SetInt(int value);
    virtual void SetDouble(double value);
    // The value; 0 for a text that is no number (Number tells which).
    virtual double GetDouble() const;
    std::optional<double> Number() const;
    void SetDecimals(int decimals) { m_decimals = decimals; }

    BOOL PreTranslateMessage(MSG* msg) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    void OnKillFocus(CWnd* next) override;

    int m_zeroRefused = 0;
    short m_signMode = 2;
    double m_maximum = 1.7976931348623157e308;
    double m_minimum = -1.7976931348623157e308;
    int m_decimals = 0;

private:
    // The check of leaving the field: false, with the message, for a value
    // the field's rules refuse.
    bool MayLeave();
    void SelectAllAgain();
};

// For the values a dialog reads from its numeric edits on OK: true when
// each holds a number; else the message is shown, the first edit that does
// not takes the focus with its text selected, and the dialog stays open.
bool EditsHoldNumbers(std::initializer_list<CadvNumEdit*> edits);

class CadvColorStatic : public CStatic {
public:
    CadvColorStatic();

    virtual void EnableChoose(int enable) { m_chooseEnabled = enable; }
    // Opens the RGB colour dialog on the swatch's colour; a confirmed
    // choice becomes the swatch's colour.
    virtual void ChooseColor();
    virtual void SetColor(COLORREF colour);
    virtual void SetTextColor(COLORREF colour);

    COLORREF Color() const { return m_background; }
    COLORREF TextColor() const { return m_text; }
    int ChooseEnabled() const { return m_chooseEnabled; }

    HBRUSH CtlColor(CDC* dc, UINT ctlColor) override;
    void OnLButtonDown(UINT flags, CPoint at) override;

private:
    CBrush m_brush;
    COLORREF m_background;
    COLORREF m_text = 0;
    int m_chooseEnabled = 1;
};

class CAdvInvioEdit : public CEdit {
public:
    BOOL PreTranslateMessage(MSG* msg) override;
};

class CAdvListBox : public CListBox {
public:
    int VKeyToItem(UINT key, UINT caret) override;
};
