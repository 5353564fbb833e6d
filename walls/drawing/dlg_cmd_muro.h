// Dialog 145 "Opcje ściany 2D", the options of wall drawing: wall type,
// layer, start and end thickness, alignment and automatic trimming. It has
// no OK button: choosing an alignment accepts it. The values live in the
// drawing's settings store; the end thickness also goes to the front of the
// thickness history (VELM_SPESSMURI).
#pragma once

#include <string>
#include <vector>

#include "host/ui/dialog.h"

inline constexpr UINT IDD_CMDMURO = 145;

class CDlgCmdMuro : public CDialog {
public:
    explicit CDlgCmdMuro(CWnd* parent = nullptr);

    // Reads the settings the dialog opens on: trimming, last wall type and
    // layer, the five recent thicknesses as texts, the drawing's wall layers.
    void Prepare();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    std::string m_startText, m_endText;
    std::string m_typeName, m_layer;
    int m_trim = 0;
    int m_alignment = 0;  // 0 left, 1 centre, 2 right
    double m_startThickness = 0.0, m_endThickness = 0.0;
    std::vector<std::string> m_thicknessTexts;
    std::vector<std::string> m_rowLayers;    // per row of the type list
    std::vector<std::string> m_wallLayers;   // the drawing's wall layers
    std::vector<std::string> m_rowPreviews;  // per row: preview key

    CComboBox m_start, m_end;
    CBitmapButton m_left, m_centre, m_right;
    CListBox m_types, m_layers;
    CStatic m_preview;

private:
    void OnTypeChange();
    void OnStartKillFocus();
    void OnAlign(int alignment);
    void ShowPreview(int row);
    void SelectLayer(const std::string& layer);
};

// Shows dialog 145 on the drawing's settings: 1 when an alignment was
// chosen and the settings were stored, 0 on cancel.
int ShowWallOptionsDialog();
