// The room form.
#include "rooms/dialogs/dlg_etichetta.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/input_range.h"
#include "host/ui/msgbox.h"
#include "host/win/textutil.h"

namespace {

constexpr int kLabels[CDlgEtichetta::kPool] = {1060, 1061, 1062, 1064, 1065, 1066, 1067, 1068, 1069, 1070,
                                               1071, 1072, 1073, 1074, 1075, 1076, 1077, 1078, 1079, 1080};
constexpr int kEdits[CDlgEtichetta::kPool] = {153, 154, 155, 156, 157, 158, 159, 160, 161, 162,
                                              163, 164, 165, 166, 167, 168, 169, 170, 171, 172};
constexpr int kLists[CDlgEtichetta::kPool] = {1063, 1081, 1082, 1091, 1092, 1093, 1094, 1095, 1096, 1097,
                                              1083, 1084, 1085, 1098, 1099, 1100, 1101, 1102, 1103, 1104};
constexpr int IDC_NON_USABLE = 1151;
constexpr int IDC_LEADER = 1206;
constexpr int IDC_DETAILS = 1371;
constexpr int kFixedChecks[3] = {1365, 1366, 1367};
constexpr int kFixedEdits[3] = {1368, 1369, 1370};
constexpr const char* kShowDetails = "Szczegóły stałych powierzchni";
constexpr const char* kHideDetails = "Ukryj szczegóły";

// Which pool a control of the form is in (0 prompts, 1 edits, 2 lists) and
// its place there, by id; pool -1 for the other controls.
struct PoolPlace {
    signed char pool = -1;
    signed char index = -1;
};
constexpr int kPoolIds = 1200;  // above every id of the pools

const std::array<PoolPlace, kPoolIds>& PoolPlaces() {
    static const std::array<PoolPlace, kPoolIds> places = [] {
        std::array<PoolPlace, kPoolIds> t{};
        for (int k = 0; k < CDlgEtichetta::kPool; ++k) {
            const auto at = static_cast<signed char>(k);
            t[kLabels[k]] = {0, at}, t[kEdits[k]] = {1, at}, t[kLists[k]] = {2, at};
        }
        return t;
    }();
    return places;
}

CRect RectOf(CWnd& dialog, int id) {
    CRect r;
    if (CWnd* w = dialog.GetDlgItem(id)) {
        w->GetWindowRect(&r);
        dialog.ScreenToClient(&r);
    }
    return r;
}

void Place(CWnd& dialog, int id, int x, int y, bool show = true) {
    CWnd* w = dialog.GetDlgItem(id);
    if (!w) return;
    CRect r;
    w->GetWindowRect(&r);
    w->MoveWindow(x, y, r.Width(), r.Height());
    if (show) w->ShowWindow(SW_SHOW);
}

void Hide(CWnd& dialog, int id) {
    if (CWnd* w = dialog.GetDlgItem(id)) w->ShowWindow(SW_HIDE);
}

}  // namespace

CDlgEtichetta::CDlgEtichetta(CWnd* parent) : CDialog(IDD_ROOM_FORM, parent) {
    HandleCommand(BN_CLICKED, IDC_DETAILS, [this] { ToggleDetails(); });
    for (int id : kFixedChecks)
        HandleCommand(BN_CLICKED, id, [this] {
            UpdateData(TRUE);
            EnableFixedEdits();
        });
}

void CDlgEtichetta::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    for (int i = 0; i < 3; ++i) {
        DDX_Control(dx, kFixedEdits[i], m_values[i]);
        DDX_Check(dx, kFixedChecks[i], fixedFlags[i]);
    }
    DDX_Check(dx, IDC_LEADER, drawLeader);
}

BOOL CDlgEtichetta::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int i = 0; i < 3; ++i) {
        m_values[i].SetDecimals(10);
        m_values[i].SetSignMode(0, 0);
        m_values[i].SetDouble(fixedValues[i]);
    }
    SetWindowText(fields.title);
    LayOut();
    EnableFixedEdits();
    return TRUE;
}

void CDlgEtichetta::LayOut() {
    m_controls.assign(fields.size(), 0);
    int y = 10;
    const int non = fields.FindField("$71");
    if (non >= 0) {
        Place(*this, IDC_NON_USABLE, 10, 10);
        if (CWnd* box = GetDlgItem(IDC_NON_USABLE)) box->SetWindowText(fields[non].prompt);
        int checked = 0;
        std::sscanf(fields[non].value.c_str(), "%d", &checked);
        if (auto* box = dynamic_cast<CButton*>(GetDlgItem(IDC_NON_USABLE))) box->SetCheck(checked ? 1 : 0);
        m_controls[non] = IDC_NON_USABLE;
        y = 35;
    } else {
        Hide(*this, IDC_NON_USABLE);
    }
    int label = 0, edit = 0, list = 0;
    int lastEdit = 0, lastList = 0;
    // A row's control stands right of its prompt: where follows from the
    // prompt's width, and each control is looked up once.
    auto placeAt = [](CWnd* w, int x, int top) {
        CRect r;
        w->GetClientRect(&r);
        w->MoveWindow(x, top, r.Width(), r.Height());
        w->ShowWindow(SW_SHOW);
        return r.Width();
    };
    for (std::size_t i = 0; i < fields.size() && label < kPool; ++i) {
        const CDefEti& f = fields[i];
        if (f.number == 71) continue;
        if (f.number == 70 && !heightFromField) continue;
        if ((f.kind == 1 && list >= kPool) || (f.kind != 1 && edit >= kPool)) continue;
        CWnd* prompt = GetDlgItem(kLabels[label++]);
        const int x = 10 + placeAt(prompt, 10, y + 3) + 10;
        prompt->SetWindowText(f.prompt);
        if (f.kind == 1) {
            const int id = kLists[list++];
            CWnd* w = GetDlgItem(id);
            if (w) placeAt(w, x, y);
            if (auto* combo = dynamic_cast<CComboBox*>(w)) {
                combo->ResetContent();
                for (const std::string& choice : f.values) combo->AddString(choice);
                const int at = combo->FindStringExact(-1, f.value);
                // FindStringExact ignores case: the value must match exactly.
                std::string text;
                if (at >= 0 && combo->GetLBText(at, text) >= 0 && text == f.value)
                    combo->SetCurSel(at);
                else
                    combo->SetWindowText(f.value);
            }
            m_controls[i] = lastList = id;
        } else {
            const int id = kEdits[edit++];
            CWnd* w = GetDlgItem(id);
            if (w) placeAt(w, x, y);
            w->SetWindowText(f.value);
            m_controls[i] = lastEdit = id;
        }
        y += 25;
    }
    // What the pools hold beyond the rows is hidden in one pass over the
    // form's controls.
    const int used[3] = {label, edit, list};
    const auto& places = PoolPlaces();
    for (CWnd* w : Children()) {
        const int id = w->GetDlgCtrlID();
        if (id < 0 || id >= kPoolIds) continue;
        const PoolPlace place = places[static_cast<std::size_t>(id)];
        if (place.pool >= 0 && place.index >= used[place.pool]) w->ShowWindow(SW_HIDE);
    }

    int right = 0, bottom = y;
    for (int id : {lastEdit, lastList}) {
        if (!id) continue;
        const CRect r = RectOf(*this, id);
        right = std::max(right, static_cast<int>(r.right));
        // A drop-down list's row height, not its open list.
        const int height = id == lastList ? RectOf(*this, kEdits[0]).Height() : r.Height();
        bottom = std::max(bottom, static_cast<int>(r.top) + height);
    }
    keptWidth = right + 10;
    keptHeight = bottom + 120;
    const CRect leader = RectOf(*this, IDC_LEADER);
    CRect outer;
    GetWindowRect(&outer);
    MoveWindow(outer.left, outer.top, keptWidth, keptHeight);
    Place(*this, IDC_LEADER, 10, bottom + 20);
    Place(*this, IDOK, leader.Width() + 20, bottom + 20);
    const CRect ok = RectOf(*this, IDOK);
    Place(*this, IDCANCEL, ok.left + ok.Width() + 10, bottom + 20);
    Place(*this, IDC_DETAILS, 10, bottom + 60);
    for (int i = 0; i < 3; ++i) {
        Hide(*this, kFixedChecks[i]);
        Hide(*this, kFixedEdits[i]);
    }
}

void CDlgEtichetta::EnableFixedEdits() {
    for (int i = 0; i < 3; ++i)
        if (CWnd* w = GetDlgItem(kFixedEdits[i])) w->EnableWindow(fixedFlags[i] != 0);
}

void CDlgEtichetta::ToggleDetails() {
    UpdateData(TRUE);
    detailsOpen = !detailsOpen;
    CRect outer;
    GetWindowRect(&outer);
    CWnd* button = GetDlgItem(IDC_DETAILS);
    if (detailsOpen) {
        MoveWindow(outer.left, outer.top, keptWidth, keptHeight + 90);
        if (button) button->SetWindowText(kHideDetails);
        const int x = RectOf(*this, kFixedChecks[0]).Width() + 20;
        for (int i = 0; i < 3; ++i) {
            Place(*this, kFixedChecks[i], 10, keptHeight - 25 + 25 * i);
            Place(*this, kFixedEdits[i], x, keptHeight - 25 + 25 * i);
        }
        EnableFixedEdits();
    } else {
        MoveWindow(outer.left, outer.top, keptWidth, keptHeight);
        if (button) button->SetWindowText(kShowDetails);
        for (int i = 0; i < 3; ++i) {
            Hide(*this, kFixedChecks[i]);
            Hide(*this, kFixedEdits[i]);
        }
    }
}

void CDlgEtichetta::OnOK() {
    if (!UpdateData(TRUE)) return;
    double fixed[3];
    for (int i = 0; i < 3; ++i) {
        const std::optional<double> typed = m_values[i].Number();
        if (!NumberFieldInRange(typed, NumberRange::Coordinate)) {
            GotoDlgCtrl(&m_values[i]);
            return;
        }
        fixed[i] = *typed;
    }
    // Each field reads the control it was laid out with; a field without
    // one (hidden, or past the pools) keeps its value.
    std::vector<std::optional<std::string>> texts(fields.size());
    for (std::size_t i = 0; i < fields.size() && i < m_controls.size(); ++i) {
        const int id = m_controls[i];
        if (!id) continue;
        CWnd* w = GetDlgItem(id);
        if (!w) continue;
        if (id == IDC_NON_USABLE) {
            const auto* box = dynamic_cast<CButton*>(w);
            char text[8];
            std::snprintf(text, sizeof text, "%d", box && box->GetCheck() ? 1 : 0);
            texts[i] = text;
        } else {
            std::string text;
            w->GetWindowText(text);
            // A value the room computation reads as a number must be one,
            // whole and in range: "12abc" or "1,5" would be read as 12 or 1
            // and printed as typed. The form stays open on it. (A text with
            // no number in front is the label's to print, and reads as 0.)
            if (IsNumberField(fields[i].number) && host::parseDoublePrefix(text) &&
                !NumberFieldInRange(TypedNumber(text), NumberRange::Coordinate)) {
                GotoDlgCtrl(w);
                return;
            }
            texts[i] = text;
        }
    }
    for (int i = 0; i < 3; ++i) fixedValues[i] = fixed[i];
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i]) fields[i].value = *texts[i];
    CDialog::OnOK();
}
