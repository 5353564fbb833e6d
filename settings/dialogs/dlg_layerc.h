// The layer catalogue dialog (133): for each element key of "LAYERC.DEF"
// the drawing layer it maps to, with colour, linetype and line weight,
// shown in an owner-drawn list filtered by a tree of the catalogue's groups
// and subgroups. Rows can be given a layer name, colour, linetype and line
// weight, added before the selected row and removed (a group keeps at least
// one row; "**" heading rows are never changed). The catalogue can be
// applied to the drawing's layers or filled from them. OK, "Plik->Warstwa"
// and "Warstwa->P&lik" write the whole catalogue back; Cancel drops every
// edit. "c:ddlcolor" opens it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/layer_catalogue.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_LAYERC = 133;

// Texts of the dialog's messages.
inline constexpr const char* kCatalogueUnread =
    "Nie odczytano żadnej warstwy z pliku LAYERC.DEF, choć plik zawiera dane. Plik nie zostanie zmieniony.";
inline constexpr const char* kLayerKeyExists = "Nazwa warstwy istnieje już na liście";
inline constexpr const char* kSelectOneRow = "Wybierz tylko jeden wiersz";
inline constexpr const char* kCannotRemoveGroup = "Nie można usunąć nazwy grupy";
inline constexpr const char* kGroupNotEmpty = "Nie można usunąć wszystkich warstw. Grupa nie może być pusta";

// One tree item: the root ("Wszystkie warstwy"), a group, or a subgroup.
// Groups follow the root through `next`; a group's subgroups hang from
// `child`.
struct LayercGroupNode {
    HTREEITEM item = nullptr;
    std::string name;
    std::unique_ptr<LayercGroupNode> child;
    std::unique_ptr<LayercGroupNode> next;
    LayercGroupNode* parent = nullptr;  // a subgroup's group
};

class CLayercListCtrl : public CListCtrl {
public:
    void DrawItem(LPDRAWITEMSTRUCT dis) override;
};

class CDlgLayerc : public CDialog {
public:
    explicit CDlgLayerc(CWnd* parent = nullptr);
    ~CDlgLayerc() override;

    void SetCatalogue(const AAR_LAYERC& table) { m_catalogue.assign(table.begin(), table.end()); }
    const AAR_LAYERC& Catalogue() const { return m_catalogue; }

    // The catalogue index of the n-th visible row; -1 when none.
    int FindRowOfItem(int n) const;
    bool IsVisible(const AA_LAYERC& row) const;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    std::string m_fileName = "LAYERC.DEF";
    // OK's write of the catalogue failed or was refused (said where it was).
    bool m_writeFailed = false;
    enum Column { kKey, kLayer, kColour, kSpare, kLinetype, kWeight, kCount };
    int m_columns[7] = {0, 1, 2, 3, 3, 4, 5};
    std::string m_layerName;
    CLayercListCtrl m_list;
    CTreeCtrl m_tree;
    AAR_LAYERC m_catalogue;
    std::unique_ptr<LayercGroupNode> m_groups;
    std::string m_groupFilter;
    std::string m_subgroupFilter;

private:
    void BuildGroupTree();
    void FillLayerList();
    void SetRowTexts(int item, const AA_LAYERC& row);
    // -1 none, -2 several, else the one selected item.
    int SelectionState() const;
    std::vector<int> SelectedEditableRows(std::vector<int>* items = nullptr) const;
    void EnableButtons(bool assign, bool add, bool remove);
    void OnTreeSelChanged();
    void OnNameChanged();
    void OnListClick();
    void OnAssign();
    void OnColour();
    void OnLinetype();
    void OnLineWeight();
    void OnAddLayer();
    void OnRemoveLayer();
    void OnFileToLayers();
    void OnLayersToFile();
    LayercGroupNode* FindNode(HTREEITEM item) const;
};

// The LISP function "c:ddlcolor": the dialog on the catalogue read from
// "LAYERC.DEF"; nothing is shown when the catalogue has no rows. RTNORM,
// or RTERROR when OK could not write the catalogue: the call failed.
int ddlcolor();
