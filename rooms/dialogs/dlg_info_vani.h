// The room information dialog (221): the measured data of one room as six
// read-only texts, shown by VELMINFOUNIT. It writes nothing back.
#pragma once

#include <string>

#include "host/ui/dialog.h"

inline constexpr UINT IDD_INFO_VANI = 221;

class cInfoVani : public CDialog {
public:
    explicit cInfoVani(CWnd* parent = nullptr);
    ~cInfoVani() override = default;

    std::string area;
    std::string perimeter;
    std::string openingArea;
    std::string windowArea;
    std::string floorWindowRatio;  // empty when the room has no windows
    std::string ventilationArea;

    void DoDataExchange(CDataExchange* dx) override;
};
