// The slide menu: up to 20 object pictures in a grid of rows and columns;
// the user picks one definition and what to do with it. A second click on
// the chosen picture shows it large in the picture window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/ui/controls.h"
#include "host/ui/dialog.h"

inline constexpr UINT IDD_MENUOBJ = 105;

namespace menuobj {
inline constexpr int kReplace = 3;
inline constexpr int kEditSets = 4;
inline constexpr int kParameters = 5;
inline constexpr int kInsert = 6;
inline constexpr int kFrame = 580;
inline constexpr int kMaxSlides = 20;

// The control id of slide `index`: 101-119, then 121 (120 is never a slide).
constexpr int SlideId(int index) {
    return index < 19 ? 101 + index : 121;
}
// The slide of a control id, or -1.
constexpr int SlideIndex(int id) {
    if (id >= 101 && id <= 119) return id - 101;
    return id == 121 ? 19 : -1;
}

// What the closing button asks for.
enum Result : int {
    kNothing = 0,
    kResultEditSets = 1,
    kResultParameters = 2,
    kResultInsert = 3,
    kResultReplace = 4
};
}  // namespace menuobj

using CArrayPuntSlide = std::vector<std::unique_ptr<CStatic>>;

class CDlgMenuObj : public CDialog {
public:
    explicit CDlgMenuObj(CWnd* parent = nullptr);

    // Names beyond the twenty slides are kept but never shown.
    void SetContent(const std::string& title, int rows, int columns, const std::vector<std::string>& names);
    // One of menuobj::Result; 0 until a button other than "Anuluj" closes
    // the dialog.
    int GetResultCode() const { return m_result; }
    // Empty when the chosen slide has no name.
    std::string GetSelectedName() const;
    int GetSelectedSlide() const { return m_selected; }

    BOOL OnInitDialog() override;

private:
    void OnSlide(int index);
    void OnButton(int code);
    void PlaceFrame();

    int m_result = 0;
    int m_selected = 0;
    std::vector<std::string> m_names;
    std::string m_title;
    int m_rows = 0;
    int m_columns = 0;
    int m_cellWidth = 230;
    int m_cellHeight = 140;
    int m_gapX = 6;
    int m_gapY = 6;
    CArrayPuntSlide m_slides;
    std::unique_ptr<CStatic> m_frame;
};
