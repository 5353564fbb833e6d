// The handrail dialog 238 "Poręcze schodów": the rail's type and position
// on the stair and its sizes, edited on a copy and written into the
// handrail record only on OK. The fields a type does not use are disabled.
#pragma once

#include "host/ui/dialog.h"

class CScalaCorriData;

inline constexpr UINT IDD_HANDRAIL = 238;

inline constexpr const char* kHandrailSideCountMessage =
    "Liczba elementów pionowych musi być większa niż jeden";
inline constexpr const char* kHandrailSpacingMessage =
    "Odległość pomiędzy elementami musi być większa od zera";

class CDLG_CORRIMANO : public CDialog {
public:
    explicit CDLG_CORRIMANO(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* dx) override;

    CScalaCorriData* m_data = nullptr;
    int m_result = 0;

    int m_type = -1;
    int m_position = -1;
    double m_thickness = 0.0;
    double m_postRadius = 0.0;
    int m_sideElementCount = 0;
    double m_spacing = 0.0;
    double m_width = 0.0;
    double m_height = 0.0;
    double m_maxSteps = 0.0;

private:
    void ApplyEnabling();
    void OnType();
};

// Shows the dialog on the record with the module's resources; true after OK.
bool ShowHandrailDialog(CScalaCorriData& data);
