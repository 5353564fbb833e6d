// The recording device context, drawing objects, image lists and the BMP
// header reader.  See dc.h.
#include "host/ui/dc.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#include "host/ui/resources.h"
#include "host/ui/uitext.h"
#include "host/ui/wnd.h"
#include "host/win/files.h"

COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT:
            return RGB(0, 0, 0);
        case COLOR_HIGHLIGHT:
            return RGB(0, 120, 215);
        case COLOR_HIGHLIGHTTEXT:
            return RGB(255, 255, 255);
        case COLOR_BTNFACE:
            return RGB(240, 240, 240);
        case COLOR_BTNSHADOW:
            return RGB(160, 160, 160);
        case COLOR_GRAYTEXT:
            return RGB(109, 109, 109);
        case COLOR_BTNTEXT:
            return RGB(0, 0, 0);
        case COLOR_BTNHIGHLIGHT:
            return RGB(255, 255, 255);
        default:
            return RGB(0, 0, 0);
    }
}

const CFont* DialogFont() {
    static const CFont font;
    return &font;
}

// ---------------------------------------------------------------- BMP files

namespace {

std::uint32_t U32(std::string_view b, size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(b[at + k]);
    return v;
}
std::uint16_t U16(std::string_view b, size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

}  // namespace

std::optional<BitmapImage> ReadBmp(std::string_view b, std::string name) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    std::uint32_t pixels = U32(b, 10), header = U32(b, 14);
    long long w = 0, h = 0;
    int planes = 0, bpp = 0;
    std::uint32_t compression = 0;
    if (header == 12) {
        w = U16(b, 18), h = U16(b, 20), planes = U16(b, 22), bpp = U16(b, 24);
    } else {
        if (header < 40 || b.size() < 54) return std::nullopt;
        w = static_cast<std::int32_t>(U32(b, 18));
        h = static_cast<std::int32_t>(U32(b, 22));
        planes = U16(b, 26), bpp = U16(b, 28);
        compression = U32(b, 30);
    }
    if (h < 0) h = -h;  // top-down rows
    if (planes != 1 || w <= 0 || h <= 0 || w > 65535 || h > 65535) return std::nullopt;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return std::nullopt;
    if (compression == 0) {  // uncompressed rows must all be there
        unsigned long long row = ((static_cast<unsigned long long>(bpp) * w + 31) / 32) * 4;
        if (pixels > b.size() || row * h > b.size() - pixels) return std::nullopt;
    }
    return BitmapImage{std::move(name), static_cast<int>(w), static_cast<int>(h), bpp};
}

std::optional<BitmapImage> ReadBmpFile(const std::string& path) {
    // Through the one reader: a preview beside a drawing may be anything.
    std::string bytes;
    if (!host::readWholeFile(path, bytes)) return std::nullopt;
    return ReadBmp(bytes, path);
}

BOOL CBitmap::LoadBitmap(UINT id) {
    image_ = ::LoadBitmapResource(std::to_string(id));
    return image_ != nullptr;
}

BOOL CBitmap::LoadBitmap(const char* name) {
    image_ = name ? ::LoadBitmapResource(name) : nullptr;
    return image_ != nullptr;
}

// ---------------------------------------------------------------- the context

CDC::CDC() : sink_(&own_) {}

COLORREF CDC::SetTextColor(COLORREF c) {
    return std::exchange(textColour_, c);
}
COLORREF CDC::SetBkColor(COLORREF c) {
    return std::exchange(bkColour_, c);
}
int CDC::SetBkMode(int mode) {
    return std::exchange(bkMode_, mode);
}
UINT CDC::SetTextAlign(UINT align) {
    return std::exchange(align_, align);
}
const CBrush* CDC::SelectObject(const CBrush* b) {
    return std::exchange(brush_, b);
}
const CPen* CDC::SelectObject(const CPen* p) {
    return std::exchange(pen_, p);
}
const CFont* CDC::SelectObject(const CFont* f) {
    return std::exchange(font_, f);
}
HBITMAP CDC::SelectObject(const CBitmap* b) {
    HBITMAP old = selected_;
    selected_ = b ? b->GetSafeHandle() : nullptr;
    return old;
}

int CDC::SaveDC() {
    saved_.push_back({textColour_, bkColour_, bkMode_, align_, brush_, pen_, font_});
    return static_cast<int>(saved_.size());
}

BOOL CDC::RestoreDC(int saved) {
    if (saved < 0) saved = static_cast<int>(saved_.size()) + saved + 1;
    if (saved < 1 || saved > static_cast<int>(saved_.size())) return FALSE;
    const State& s = saved_[saved - 1];
    textColour_ = s.text, bkColour_ = s.bk, bkMode_ = s.mode, align_ = s.align;
    brush_ = s.brush, pen_ = s.pen, font_ = s.font;
    saved_.resize(saved - 1);
    return TRUE;
}

void CDC::FillSolidRect(const CRect& r, COLORREF c) {
    DrawOp& op = Add(DrawOp::Kind::Fill);
    op.rect = r, op.colour = c;
    bkColour_ = c;  // as the class library leaves it
}

void CDC::FillRect(const CRect& r, const CBrush* b) {
    DrawOp& op = Add(DrawOp::Kind::Fill);
    op.rect = r, op.colour = b ? b->GetColor() : 0;
}

BOOL CDC::Rectangle(int l, int t, int r, int b) {
    DrawOp& op = Add(DrawOp::Kind::Rectangle);
    op.rect = CRect(l, t, r, b);
    op.colour = pen_ ? pen_->GetColor() : 0;
    op.background = brush_ ? brush_->GetColor() : RGB(255, 255, 255);
    return TRUE;
}

void CDC::DrawFocusRect(const CRect& r) {
    DrawOp& op = Add(DrawOp::Kind::FocusRect);
    op.rect = r;
}

CPoint CDC::MoveTo(int x, int y) {
    return std::exchange(pos_, CPoint(x, y));
}

BOOL CDC::LineTo(int x, int y) {
    DrawOp& op = Add(DrawOp::Kind::Line);
    op.rect = CRect(pos_.x, pos_.y, x, y);
    op.colour = pen_ ? pen_->GetColor() : 0;
    pos_ = CPoint(x, y);
    return TRUE;
}

BOOL CDC::TextOut(int x, int y, std::string_view text) {
    return ExtTextOut(x, y, 0, nullptr, text);
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, const CRect* r, std::string_view text) {
    if ((options & ETO_OPAQUE) && r) FillSolidRect(*r, bkColour_);
    CSize size = GetTextExtent(text);
    DrawOp& op = Add(DrawOp::Kind::Text);
    op.text.assign(text.data(), text.size());
    op.colour = textColour_, op.background = bkColour_, op.bkMode = bkMode_, op.format = align_;
    int left = align_ == TA_RIGHT ? x - size.cx : align_ == TA_CENTER ? x - size.cx / 2 : x;
    op.rect = CRect(left, y, left + size.cx, y + size.cy);
    return TRUE;
}

int CDC::DrawText(std::string_view text, CRect* r, UINT format) {
    CSize size = GetTextExtent(text);
    if (!r) return size.cy;
    if (format & DT_CALCRECT) {
        r->right = r->left + size.cx;
        r->bottom = r->top + size.cy;
        return size.cy;
    }
    int left = r->left;
    if (format & DT_RIGHT)
        left = r->right - size.cx;
    else if (format & DT_CENTER)
        left = r->left + (r->Width() - size.cx) / 2;
    int top = (format & DT_VCENTER) ? r->top + (r->Height() - size.cy) / 2 : r->top;
    DrawOp& op = Add(DrawOp::Kind::Text);
    op.text.assign(text.data(), text.size());
    op.colour = textColour_, op.background = bkColour_, op.bkMode = bkMode_, op.format = format;
    op.rect = CRect(left, top, left + size.cx, top + size.cy);
    return size.cy;
}

CSize CDC::GetTextExtent(std::string_view text) const {
    const CFont* f = font_ ? font_ : DialogFont();
    return {zcui::CodePointCount(text) * f->Advance(), f->Height()};
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
    if (!tm) return FALSE;
    const CFont* f = font_ ? font_ : DialogFont();
    tm->tmHeight = f->Height();
    tm->tmAveCharWidth = tm->tmMaxCharWidth = f->Advance();
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* src, int, int, DWORD) {
    if (!src || !src->selected_) return FALSE;
    DrawOp& op = Add(DrawOp::Kind::Bitmap);
    op.rect = CRect(x, y, x + w, y + h), op.text = src->selected_->name;
    return TRUE;
}

BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int, int, DWORD rop) {
    return BitBlt(x, y, w, h, src, sx, sy, rop);
}

void CDC::DrawBitmap(const HBITMAP& bmp, int x, int y) {
    if (!bmp) return;
    DrawOp& op = Add(DrawOp::Kind::Bitmap);
    op.rect = CRect(x, y, x + bmp->width, y + bmp->height), op.text = bmp->name;
}

void CDC::DrawImage(const CImageList* list, int index, CPoint at) {
    CSize s = list ? list->GetImageSize() : CSize();
    DrawOp& op = Add(DrawOp::Kind::Image);
    op.rect = CRect(at.x, at.y, at.x + s.cx, at.y + s.cy);
    op.image = index, op.list = list;
}

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepRecords = false;  // every record its own block, so a stale read is caught
#elif defined(__has_feature)
constexpr bool kKeepRecords = !__has_feature(address_sanitizer);
#else
constexpr bool kKeepRecords = true;
#endif
constexpr std::size_t kKeptRecords = 256;
constexpr std::size_t kKeptRoom = 16;

// Never freed: windows may end after the statics of this file have.
std::vector<std::vector<DrawOp>>& KeptRecords() {
    static auto* kept = new std::vector<std::vector<DrawOp>>();
    return *kept;
}

}  // namespace

void KeepPaintRecord(std::vector<DrawOp>& record) {
    if (!kKeepRecords || record.capacity() == 0 || record.capacity() > kKeptRoom) return;
    auto& kept = KeptRecords();
    if (kept.size() >= kKeptRecords) return;
    if (kept.capacity() == 0) kept.reserve(kKeptRecords);
    record.clear();
    kept.push_back(std::move(record));
}

void CDC::TakeRecord() {
    auto& kept = KeptRecords();
    if (kept.empty()) {
        sink_->reserve(4);
        return;
    }
    sink_->swap(kept.back());
    kept.pop_back();
}

CPaintDC::CPaintDC(CWnd* wnd) : CDC(wnd ? &wnd->PaintSink() : nullptr) {
    if (wnd) wnd->PaintSink().clear();
    SelectObject(wnd ? wnd->GetFont() : DialogFont());
}

// ---------------------------------------------------------------- image lists

BOOL CImageList::Create(int cx, int cy, UINT, int, int) {
    if (cx <= 0 || cy <= 0) return FALSE;
    created_ = true, cx_ = cx, cy_ = cy, count_ = 0;
    return TRUE;
}

BOOL CImageList::Create(UINT bitmapId, int cx, int, COLORREF mask) {
    CBitmap bmp;
    return bmp.LoadBitmap(bitmapId) && FromBitmap(bmp, cx, mask);
}

BOOL CImageList::Create(const char* bitmapName, int cx, int, COLORREF mask) {
    CBitmap bmp;
    return bmp.LoadBitmap(bitmapName) && FromBitmap(bmp, cx, mask);
}

BOOL CImageList::FromBitmap(const CBitmap& bmp, int cx, COLORREF mask) {
    CSize s = bmp.GetSize();
    if (cx <= 0 || s.cx < cx) return FALSE;
    created_ = true, cx_ = cx, cy_ = s.cy, count_ = s.cx / cx, mask_ = mask;
    return TRUE;
}

int CImageList::Add(const CBitmap* bmp, COLORREF mask) {
    if (!created_ || !bmp || !bmp->GetSafeHandle()) return -1;
    int first = count_;
    count_ += bmp->GetSize().cx / cx_ > 0 ? bmp->GetSize().cx / cx_ : 1;
    mask_ = mask;
    return first;
}

BOOL CImageList::DeleteImageList() {
    created_ = false, count_ = 0;
    return TRUE;
}

BOOL CImageList::GetImageInfo(int index, IMAGEINFO* info) const {
    if (!info || index < 0 || index >= count_) return FALSE;
    info->rcImage = CRect(index * cx_, 0, (index + 1) * cx_, cy_);
    return TRUE;
}

BOOL CImageList::Draw(CDC* dc, int index, CPoint at, UINT) const {
    if (!dc || index < 0 || index >= count_) return FALSE;
    dc->DrawImage(this, index, at);
    return TRUE;
}
