// The lighting deduction dialog (140): the two heights deducted from an
// opening's lighting area, from its top and from the floor height, as
// texts. Either may hold "*RÓŻNE*" for values that differ among the chosen
// openings; OK takes only that marker or a number.
#pragma once

#include <string>

#include "host/ui/dialog.h"

inline constexpr UINT IDD_DET_LUCE = 140;

class CDlgDetLuce : public CDialog {
public:
    explicit CDlgDetLuce(CWnd* parent = nullptr);

    void SetValues(const std::string& fromTop, const std::string& fromFloor);
    void GetValues(std::string& fromTop, std::string& fromFloor) const;

    BOOL OnInitDialog() override;
    // The OK button: refused with a message while a field is neither the
    // marker nor begins with a number.
    void OnOK() override;

private:
    std::string m_fromTop;
    std::string m_fromFloor;
};
