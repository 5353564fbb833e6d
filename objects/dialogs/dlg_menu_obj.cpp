// The slide menu.
#include "objects/dialogs/dlg_menu_obj.h"

#include <algorithm>
#include <array>

#include "core/dialogs/dlg_slide.h"
#include "core/levels.h"

using namespace menuobj;

namespace {

// Where each slide of the last menu shown sits, in the dialog's client
// pixels; the frame follows the chosen slide by it.
std::array<CRect, kMaxSlides> g_slidePlaces;

constexpr int kMargin = 10;
constexpr int kMinWidth = 440;
constexpr int kButtonsAboveBottom = 55;

}  // namespace

CDlgMenuObj::CDlgMenuObj(CWnd* parent) : CDialog(IDD_MENUOBJ, parent) {
    HandleCommandRange(STN_CLICKED, SlideId(0), SlideId(kMaxSlides - 1), [this](int id) {
        if (const int index = SlideIndex(id); index >= 0) OnSlide(index);
    });
    HandleCommand(BN_CLICKED, kEditSets, [this] { OnButton(kResultEditSets); });
    HandleCommand(BN_CLICKED, kParameters, [this] { OnButton(kResultParameters); });
    HandleCommand(BN_CLICKED, kInsert, [this] { OnButton(kResultInsert); });
    HandleCommand(BN_CLICKED, kReplace, [this] { OnButton(kResultReplace); });
}

void CDlgMenuObj::SetContent(const std::string& title, int rows, int columns,
                             const std::vector<std::string>& names) {
    m_title = title;
    m_rows = rows;
    m_columns = columns;
    m_cellWidth = 230;
    m_cellHeight = 140;
    m_gapX = 6;
    m_gapY = 6;
    m_names = names;
}

std::string CDlgMenuObj::GetSelectedName() const {
    if (m_selected < 0 || m_selected >= static_cast<int>(m_names.size())) return {};
    return m_names[static_cast<std::size_t>(m_selected)];
}

BOOL CDlgMenuObj::OnInitDialog() {
    CDialog::OnInitDialog();
    m_result = 0;
    m_slides.clear();
    const int rows = std::max(0, m_rows);
    const int columns = std::max(0, m_columns);
    const int count = std::min<int>(kMaxSlides, static_cast<int>(m_names.size()));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int i = r * columns + c;
            if (i >= count) continue;
            const int left = kMargin + c * (m_cellWidth + m_gapX);
            const int top = kMargin + r * (m_cellHeight + m_gapY);
            const CRect place(left, top, left + m_cellWidth, top + m_cellHeight);
            auto slide = std::make_unique<CStatic>();
            slide->Create("", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY | SS_REALSIZEIMAGE, place, this,
                          static_cast<UINT>(SlideId(i)));
            g_slidePlaces[static_cast<std::size_t>(i)] = place;
            if (HBITMAP bmp = LoadObjectBitmap("_", "IDB__", m_names[static_cast<std::size_t>(i)]))
                slide->SetBitmap(bmp);
            m_slides.push_back(std::move(slide));
        }
    }

    const int width = std::max(kMinWidth, (columns - 1) * m_gapX + 26 + m_cellWidth * columns);
    const int height = (rows - 1) * m_gapY + 78 + m_cellHeight * rows;
    CRect window;
    GetWindowRect(&window);
    MoveWindow(window.left, window.top, width, height);

    const int half = width / 2;
    const std::pair<int, int> buttons[] = {{kReplace, half - 218},
                                           {kInsert, half - 130},
                                           {kParameters, half - 42},
                                           {kEditSets, half + 46},
                                           {IDCANCEL, half + 134}};
    for (const auto& [id, left] : buttons) {
        CWnd* button = GetDlgItem(id);
        if (!button) continue;
        CRect r;
        button->GetWindowRect(&r);
        button->MoveWindow(left, height - kButtonsAboveBottom, r.Width(), r.Height());
    }

    SetWindowText(m_title);

    m_frame = std::make_unique<CStatic>();
    m_frame->Create("", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_REALSIZEIMAGE, CRect(0, 0, 0, 0), this,
                    static_cast<UINT>(kFrame));
    if (m_selected >= 0 && m_selected < static_cast<int>(m_slides.size())) {
        if (HBITMAP bmp = LoadObjectBitmap("", "IDB_", "BORDOSEL")) m_frame->SetBitmap(bmp);
        PlaceFrame();
    }
    return TRUE;
}

void CDlgMenuObj::PlaceFrame() {
    const CRect& place = g_slidePlaces[static_cast<std::size_t>(m_selected)];
    // A picture frame takes its bitmap's size; without one it rings the cell.
    int w = m_cellWidth + 8;
    int h = m_cellHeight;
    if (const HBITMAP& bmp = m_frame->GetBitmap()) w = bmp->width, h = bmp->height;
    m_frame->MoveWindow(place.left - 4, place.top, w, h);
}

void CDlgMenuObj::OnSlide(int index) {
    if (index < 0 || index >= static_cast<int>(m_slides.size())) return;
    if (index == m_selected) {
        CDlgSlide slide(this);
        slide.SetImageName(GetSelectedName());
        slide.DoModal();
        return;
    }
    m_selected = index;
    PlaceFrame();
}

void CDlgMenuObj::OnButton(int code) {
    m_result = code;
    EndDialog(IDOK);
}
