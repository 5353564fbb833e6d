// Dialog 129 "Szczegóły ścian", the wall types editor: every wall type of
// the data folder as a tree, its build-ups per drawing scale under it and
// their layers under each build-up, the outermost layer on top. New, modify,
// copy and delete work on the selected node's kind; build-up numbers and
// type names are edited in place. The dialog works on its own copy of the
// wall types: OK writes them all back (older files kept as ".mxk"), Cancel
// writes nothing.
#pragma once

#include <string>
#include <vector>

#include "host/ui/dc.h"
#include "host/ui/dialog.h"
#include "host/ui/listctrl.h"
#include "walls/types/wall_types.h"

inline constexpr UINT IDD_STRATI = 129;
inline constexpr UINT IDB_STRATI_TREE = 158;
inline constexpr unsigned IDS_SCALE_EXISTS = 1037;  // "Skala %d już istnieje"
inline constexpr unsigned IDS_COPY_SUFFIX = 1038;   // "Kopia"

class CDlgStrati : public CDialog {
public:
    // Item data of the tree's nodes (low 16 bits); a layer node holds the
    // layer's key, whose low half is kLayerNode.
    enum NodeKind { kTypeNode = 1, kScaleNode = 2, kLayerNode = 4 };

    explicit CDlgStrati(CWnd* parent = nullptr);
    ~CDlgStrati() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;

    virtual void FillLayers(HTREEITEM parent, CListStrati& layers);
    virtual void InsertWallType(HTREEITEM node, CMuro& type);
    virtual void FillTree();

    CListMuri m_types;
    std::string m_editText;  // the label of the node being edited, as it was
    CTreeCtrl m_tree;
    CImageList m_images;
    std::vector<std::string> m_wallLayers;
    int m_insertAfter = 0;   // "Wstaw po"
    int m_scaleWaiting = 0;  // a new build-up node waits for its number

private:
    void OnNew();
    void OnModify();
    void OnCopy();
    void OnDelete();
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);

    int KindOf(HTREEITEM node) const;
    CListMuri::iterator TypeOf(HTREEITEM typeNode);
    CScala* ScaleOf(HTREEITEM scaleNode);
    HTREEITEM InsertTypeNode(CMuro& type);
    HTREEITEM InsertScaleNode(HTREEITEM typeNode, CScala& scale, HTREEITEM after);
    void NewType();
    void NewLayer(HTREEITEM layerNode);
    void CopyType(HTREEITEM typeNode);
    void CopyScale(HTREEITEM scaleNode);
    void EndTypeEdit(HTREEITEM node, const std::string& text);
    void EndScaleEdit(HTREEITEM node, const std::string& text);
};

// "VELMDEFMXT"
void CmdDefMxt();
