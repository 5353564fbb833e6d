// The profile sweep's options dialog (232 "Opcje profilu"). It has no OK
// button: the three path buttons choose how the path is given and close it
// as OK.
#pragma once

#include <string>

#include "host/ui/dialog.h"

inline constexpr UINT IDD_CORNICIONI = 232;

class DLG_CORNICIONI : public CDialog {
public:
    explicit DLG_CORNICIONI(CWnd* parent = nullptr);

    void Load();
    void Store() const;

    void DoDataExchange(CDataExchange* dx) override;

    int m_mode = -1;  // 0 points, 1 outline, 2 path elements
    double m_arcStep = 0.0;
    int m_uniqueBlock = 0;
    std::string m_layer;
    double m_offset = 0.0;
    int m_verticalAxis = 0;

private:
    void ChooseMode(int mode);
};
