// The library search path dialog (135): edits the folders its caller hands
// over; a folder already listed (letter case ignored) is refused with
// "Katalog już istnieje", Delete removes the selected folders, and after OK
// the folders come back in the list's sorted order.
#pragma once

#include <string>
#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_LIBRERIE = 135;

class CDlgLibrerie : public CDialog {
public:
    explicit CDlgLibrerie(CWnd* parent = nullptr);

    void SetPaths(const std::vector<std::string>& paths) { m_paths = paths; }
    void GetPaths(std::vector<std::string>& out) const { out.assign(m_paths.begin(), m_paths.end()); }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    CAdvListBox m_list;
    std::string m_newPath;
    std::vector<std::string> m_paths;

private:
    void OnAdd();
};
