// The two wall-layer dialogs:
// - CDlgLstLayer (176) edits the list of layers allowed for 2D walls: names
//   are added from an edit (a name already listed, letter case ignored, is
//   refused with "Warstwa już istnieje") and removed with the Delete key;
// - CDlgSelezLayer (345) picks one wall layer by its 2D or its 3D name and
//   closes as soon as a row is chosen.
#pragma once

#include <string>
#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_LSTLAYER = 176;
inline constexpr UINT IDD_SELEZLAYER = 345;

class CDlgLstLayer : public CDialog {
public:
    explicit CDlgLstLayer(CWnd* parent = nullptr);

    // The list shown on opening and, after OK, the list in list order.
    std::vector<std::string> m_layers;
    // The layers after OK, each name once (compared case-sensitively).
    void GetLayers(std::vector<std::string>& out) const;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    CAdvListBox m_lstLayer;
    std::string m_newName;

private:
    void OnAdd();
};

class CDlgSelezLayer : public CDialog {
public:
    explicit CDlgSelezLayer(CWnd* parent = nullptr);

    std::string m_chosenLayer;
    // 1: the list shows the 2D names; 0: the 3D names.
    int m_use2DNames = 1;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    CListBox m_list;

private:
    void OnSelChange();
};
