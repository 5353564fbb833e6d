// The two wall definition dialogs of the wall-type editor:
// - CDlgMuro (153 "Definicja ściany") edits a wall type's file name, name,
//   colour, layer and priority. A name another type of the list has is
//   refused ("Ściana %s już istnieje"), and so is a file name that is not a
//   usable file name or that another type already uses, case ignored: two
//   types in one file, or a type without a file, would lose one at the next
//   save;
// - CDlgStrato (154 "Ustawienia") edits one layer of a build-up.
// Both change their record only when they close with OK.
#pragma once

#include <string>
#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"
#include "walls/types/wall_types.h"

inline constexpr UINT IDD_MURO = 153;
inline constexpr UINT IDD_STRATO = 154;
inline constexpr unsigned IDS_BAD_FILE_NAME = 2603;  // "Nazwa pliku nie jest prawidłowa"
inline constexpr unsigned IDS_FILE_TAKEN = 2604;     // "Plik %s należy już do innego typu ściany"

class CDlgMuro : public CDialog {
public:
    // `type` is edited in place on OK; `list` is where names are checked
    // (the type itself is found in it by name).
    CDlgMuro(CListMuri& list, CMuro& type, CWnd* parent = nullptr);

    // The layers offered in the list; an empty array offers none.
    void SetLayerNames(const std::vector<std::string>& names);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    std::string m_fileName, m_name, m_layer;
    int m_color = 2;
    int m_priority = 0;
    std::vector<std::string> m_layerNames;

    CadvColorStatic m_swatch;
    CListBox m_layers;

private:
    void OnSwatchClicked();
    bool FileNameUsable() const;
    bool FileNameTaken() const;

    CListMuri& m_list;
    CListMuri::iterator m_position;
    CMuro& m_type;
};

class CDlgStrato : public CDialog {
public:
    explicit CDlgStrato(CStrato& layer, CWnd* parent = nullptr);

    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    CStrato m_values;

private:
    CStrato& m_layer;
};
