// The module's own dialog controls, attached to template controls by data
// exchange (DDX_Control):
// - CadvEdit: an edit whose enabled state two partner controls follow;
// - CadvNumEdit: a numeric edit that filters keys and checks its value
//   against a range, a sign rule and a zero rule when the user leaves it
//   (Tab, Enter, a click elsewhere in the dialog), never when Cancel is
//   pressed; it never changes the text itself, it only holds the focus;
// - CadvColorStatic: a colour swatch painted with its own brush;
// - CAdvInvioEdit: an edit whose Enter moves to the next control instead
//   of pressing the default button;
// - CAdvListBox: a list box whose Delete key removes the selected rows.
// Numbers are read as the C library reads them in the C locale: leading
// blanks skipped, reading stops at the first character that does not fit,
// no number reads as 0.
#pragma once

#include <string>

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
    virtual double GetDouble() const;
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
    void SelectAllAgain();
};

// The text of the numeric edit's message box.
inline constexpr const char* kInvalidValueMessage = "\nPodana wartość jest nieprawidłowa";

// As the C library's text-to-double on at most the first 198 characters.
double TextToDouble(const std::string& text);

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
