// "_DDATTE": the attribute dialog of a block reference. The dialog (id
// 9010, the host's own template registered here) shows up to eight
// attributes, prompt and value; OK writes the values back, Cancel leaves
// them. It is answered through the dialog driver ("9010 edit 200 "X" ok");
// unanswered it closes with OK on the values as they were.
// Limits: attributes past the eighth are kept as they are.
#include <string>
#include <vector>

#include "host/ads/cmdline.h"
#include "host/ads/ssget.h"
#include "host/ads/transcript.h"
#include "host/db/dbinsert.h"
#include "host/ed/cmdproc.h"
#include "host/ed/hostcmd_util.h"
#include "host/ui/dialog.h"
#include "host/ui/resources.h"

namespace host {
namespace {

constexpr UINT kAttDialogId = 9010;
constexpr int kRows = 8;
constexpr int kFirstEdit = 200;
constexpr int kFirstLabel = 300;

const char* const kAttDialogText = R"(# The host's attribute dialog.
dialog 9010 "Edycja atrybutów" 260 190
  ltext 300 "" 7 9 110 8
  edittext 200 "" 120 7 133 12 autohscroll
  ltext 301 "" 7 27 110 8
  edittext 201 "" 120 25 133 12 autohscroll
  ltext 302 "" 7 45 110 8
  edittext 202 "" 120 43 133 12 autohscroll
  ltext 303 "" 7 63 110 8
  edittext 203 "" 120 61 133 12 autohscroll
  ltext 304 "" 7 81 110 8
  edittext 204 "" 120 79 133 12 autohscroll
  ltext 305 "" 7 99 110 8
  edittext 205 "" 120 97 133 12 autohscroll
  ltext 306 "" 7 117 110 8
  edittext 206 "" 120 115 133 12 autohscroll
  ltext 307 "" 7 135 110 8
  edittext 207 "" 120 133 133 12 autohscroll
  defpushbutton 1 "OK" 148 168 50 14
  pushbutton 2 "Anuluj" 203 168 50 14
end
)";

HINSTANCE attResources() {
    static HINSTANCE h = zcuiRegisterResources("hostcmds", {{"hostcmds.txt", kAttDialogText}});
    return h;
}

struct AttRow {
    ZcDbObjectId id;
    std::string label, value;
};

class AttributeDialog : public CDialog {
public:
    explicit AttributeDialog(std::vector<AttRow>& rows) : CDialog(kAttDialogId), rows_(rows) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (int i = 0; i < kRows; ++i) {
            if (i < static_cast<int>(rows_.size())) {
                SetDlgItemText(kFirstLabel + i, rows_[i].label);
                SetDlgItemText(kFirstEdit + i, rows_[i].value);
            } else {
                GetDlgItem(kFirstLabel + i)->ShowWindow(SW_HIDE);
                GetDlgItem(kFirstEdit + i)->ShowWindow(SW_HIDE);
            }
        }
        return TRUE;
    }
    void OnOK() override {
        for (int i = 0; i < kRows && i < static_cast<int>(rows_.size()); ++i)
            GetDlgItemText(kFirstEdit + i, rows_[i].value);
        CDialog::OnOK();
    }

private:
    std::vector<AttRow>& rows_;
};

int ddatteCommand() {
    ads_name ss = {0, 0};
    int rc = zcedSSGet(":S", nullptr, nullptr, nullptr, ss);
    if (rc == RTCAN) return rc;
    std::vector<ZcDbObjectId> picked = rc == RTNORM ? selectionMembers(ss) : std::vector<ZcDbObjectId>{};
    if (rc == RTNORM) zcedSSFree(ss);
    if (picked.empty() || !ZcDbBlockReference::cast(picked.front().stub()->object.get())) {
        zcutPrintf("\nObiekt nie jest blokiem.");
        return RTERROR;
    }
    if (!editAttributesInDialog(picked.front())) zcutPrintf("\nBlok nie ma atrybutów do edycji.");
    return RTNORM;
}

}  // namespace

bool editAttributesInDialog(ZcDbObjectId refId) {
    ZcDbBlockReference* ref = nullptr;
    if (zcdbOpenObject(ref, refId, ZcDb::kForRead) != Zcad::eOk) return false;
    std::vector<AttRow> rows;
    for (ZcDbObjectId id : ref->attributeIds()) {
        ZcDbAttribute* a = nullptr;
        if (zcdbOpenObject(a, id, ZcDb::kForRead) != Zcad::eOk) continue;
        if (!a->isConstant()) rows.push_back({id, a->tag(), a->textString()});
        a->close();
    }
    ref->close();
    if (rows.empty()) return false;
    std::vector<AttRow> edited = rows;
    INT_PTR result;
    {
        CZcModuleResourceOverride use(attResources());
        AttributeDialog dlg(edited);
        result = dlg.DoModal();
    }
    if (result != IDOK) return true;
    for (size_t i = 0; i < edited.size() && i < static_cast<size_t>(kRows); ++i) {
        if (edited[i].value == rows[i].value) continue;
        ZcDbAttribute* a = nullptr;
        if (zcdbOpenObject(a, edited[i].id, ZcDb::kForWrite) != Zcad::eOk) continue;
        a->setTextString(edited[i].value);
        a->close();
    }
    return true;
}

void installAttributeCommands() {
    registerHostCommand("DDATTE", ddatteCommand);
}

}  // namespace host
