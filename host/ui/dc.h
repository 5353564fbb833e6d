// Drawing for the headless dialogs: a device context that records what would
// be painted (fills, rectangles, focus frames, lines, text with its colours
// and alignment, bitmaps and image-list images) instead of painting it, and the
// drawing objects (brush, pen, font, bitmap, image list).  Text is measured
// with a fixed advance per character and the font's height, so a layout is the
// same on every machine.  Bitmaps know their size and name, not their pixels.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/ui/uibase.h"

// A bitmap read from a BMP file or from the compiled-in resources.
struct BitmapImage {
    std::string name;  // resource id or name, or the file it came from
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// Reads the header of a BMP file held in memory; nullopt for anything that is
// not a well-formed BMP (truncated, zero or absurd size, unknown depth).
std::optional<BitmapImage> ReadBmp(std::string_view bytes, std::string name);
std::optional<BitmapImage> ReadBmpFile(const std::string& path);

// Text alignment and DrawText formats.
inline constexpr UINT TA_LEFT = 0;
inline constexpr UINT TA_RIGHT = 2;
inline constexpr UINT TA_CENTER = 6;
inline constexpr UINT DT_LEFT = 0;
inline constexpr UINT DT_CENTER = 1;
inline constexpr UINT DT_RIGHT = 2;
inline constexpr UINT DT_VCENTER = 4;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_NOPREFIX = 0x800;
inline constexpr UINT DT_CALCRECT = 0x400;
inline constexpr UINT DT_END_ELLIPSIS = 0x8000;
inline constexpr UINT ETO_OPAQUE = 2;
inline constexpr UINT ILD_NORMAL = 0;
inline constexpr UINT ILD_TRANSPARENT = 1;
inline constexpr UINT SRCCOPY = 0x00CC0020;
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
inline constexpr int PS_SOLID = 0;

// One recorded drawing step.
struct DrawOp {
    enum class Kind { Fill, Rectangle, FocusRect, Line, Text, Bitmap, Image };
    Kind kind = Kind::Fill;
    CRect rect;               // area, or line from (left,top) to (right,bottom)
    COLORREF colour = 0;      // fill, pen or text colour
    COLORREF background = 0;  // text background colour
    int bkMode = OPAQUE;      // text background mode
    UINT format = 0;          // DT_* / TA_* of a text
    std::string text;         // text, or the bitmap's name
    int image = -1;           // image-list index
    const CImageList* list = nullptr;
};

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(COLORREF c) { CreateSolidBrush(c); }
    BOOL CreateSolidBrush(COLORREF c) {
        colour_ = c, created_ = true;
        return TRUE;
    }
    BOOL CreateSysColorBrush(int index) { return CreateSolidBrush(GetSysColor(index)); }
    BOOL DeleteObject() {
        created_ = false;
        return TRUE;
    }
    COLORREF GetColor() const { return colour_; }
    HBRUSH GetSafeHandle() const { return created_ ? this : nullptr; }
    operator HBRUSH() const { return GetSafeHandle(); }

private:
    COLORREF colour_ = 0;
    bool created_ = false;
};

class CPen {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF c) { CreatePen(style, width, c); }
    BOOL CreatePen(int, int width, COLORREF c) {
        colour_ = c, width_ = width;
        return TRUE;
    }
    COLORREF GetColor() const { return colour_; }
    int GetWidth() const { return width_; }

private:
    COLORREF colour_ = 0;
    int width_ = 1;
};

class CFont {
public:
    CFont() = default;
    // Point size in tenths, as the class library takes it.
    BOOL CreatePointFont(int tenths, const char* face) {
        height_ = tenths * 13 / 80, face_ = face ? face : "";
        if (height_ < 1) height_ = 1;
        return TRUE;
    }
    int Height() const { return height_; }
    int Advance() const {
        return height_ * kCharAdvance / kFontHeight > 0 ? height_ * kCharAdvance / kFontHeight : 1;
    }
    const std::string& Face() const { return face_; }
    operator HFONT() const { return this; }

private:
    int height_ = kFontHeight;
    std::string face_ = "MS Shell Dlg";
};
const CFont* DialogFont();

class CBitmap {
public:
    CBitmap() = default;
    // Loads a bitmap of the current resource handle (id or name).
    BOOL LoadBitmap(UINT id);
    BOOL LoadBitmap(const char* name);
    BOOL Attach(HBITMAP bmp) {
        image_ = std::move(bmp);
        return image_ != nullptr;
    }
    HBITMAP Detach() { return std::move(image_); }
    BOOL DeleteObject() {
        image_.reset();
        return TRUE;
    }
    HBITMAP GetSafeHandle() const { return image_; }
    operator HBITMAP() const { return image_; }
    CSize GetSize() const { return image_ ? CSize(image_->width, image_->height) : CSize(); }

private:
    HBITMAP image_;
};

struct TEXTMETRIC {
    int tmHeight = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

// Records drawing; a paint context records into its window's paint record.
class CDC {
public:
    CDC();
    explicit CDC(std::vector<DrawOp>* sink) : sink_(sink ? sink : &own_) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    static CDC* FromHandle(HDC dc) { return dc; }
    HDC GetSafeHdc() { return this; }
    operator HDC() { return this; }
    BOOL CreateCompatibleDC(CDC*) { return TRUE; }
    BOOL DeleteDC() { return TRUE; }

    COLORREF SetTextColor(COLORREF c);
    COLORREF GetTextColor() const { return textColour_; }
    COLORREF SetBkColor(COLORREF c);
    COLORREF GetBkColor() const { return bkColour_; }
    int SetBkMode(int mode);
    UINT SetTextAlign(UINT align);
    const CBrush* SelectObject(const CBrush* b);
    const CPen* SelectObject(const CPen* p);
    const CFont* SelectObject(const CFont* f);
    HBITMAP SelectObject(const CBitmap* b);
    int SaveDC();
    BOOL RestoreDC(int saved);

    void FillSolidRect(const CRect& r, COLORREF c);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
        FillSolidRect(CRect(x, y, x + cx, y + cy), c);
    }
    void FillRect(const CRect& r, const CBrush* b);
    BOOL Rectangle(int l, int t, int r, int b);
    BOOL Rectangle(const CRect& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    void DrawFocusRect(const CRect& r);
    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    BOOL TextOut(int x, int y, std::string_view text);
    BOOL ExtTextOut(int x, int y, UINT options, const CRect* r, std::string_view text);
    // Draws (or with DT_CALCRECT measures into r) a text; returns its height.
    int DrawText(std::string_view text, CRect* r, UINT format);
    CSize GetTextExtent(std::string_view text) const;
    BOOL GetTextMetrics(TEXTMETRIC* tm) const;
    // Copies the bitmap selected into src.
    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop);
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop);
    void DrawBitmap(const HBITMAP& bmp, int x, int y);
    void DrawImage(const CImageList* list, int index, CPoint at);

    const std::vector<DrawOp>& Ops() const { return *sink_; }

private:
    // A step made in place in the record.  A window paints a few steps: one
    // allocation rather than a growth per step.
    DrawOp& Add(DrawOp::Kind kind) {
        if (sink_->capacity() == 0) TakeRecord();
        DrawOp& op = sink_->emplace_back();
        op.kind = kind;
        return op;
    }
    // Gives the sink the room of an ended window's record, or new room.
    void TakeRecord();
    struct State {
        COLORREF text, bk;
        int mode;
        UINT align;
        const CBrush* brush;
        const CPen* pen;
        const CFont* font;
    };
    std::vector<DrawOp> own_;
    std::vector<DrawOp>* sink_;
    COLORREF textColour_ = 0;
    COLORREF bkColour_ = RGB(255, 255, 255);
    int bkMode_ = OPAQUE;
    UINT align_ = TA_LEFT;
    const CBrush* brush_ = nullptr;
    const CPen* pen_ = nullptr;
    const CFont* font_ = nullptr;
    HBITMAP selected_;
    CPoint pos_;
    std::vector<State> saved_;
};

// An ended window's paint record, emptied, for the next window to paint
// into: a dialog paints dozens of controls once each time it is shown.
void KeepPaintRecord(std::vector<DrawOp>& record);

// Paints a window: the window's previous record is replaced by this one.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
};
using CClientDC = CPaintDC;

struct IMAGEINFO {
    CRect rcImage;
};

// A strip of equally wide images, from a bitmap or added one by one.
class CImageList {
public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // From the bitmap resource id: as many images as the width holds.
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
    BOOL Create(const char* bitmapName, int cx, int grow, COLORREF mask);
    int Add(const CBitmap* bmp, COLORREF mask);
    BOOL DeleteImageList();
    int GetImageCount() const { return count_; }
    BOOL GetImageInfo(int index, IMAGEINFO* info) const;
    CSize GetImageSize() const { return {cx_, cy_}; }
    COLORREF GetMaskColor() const { return mask_; }
    BOOL Draw(CDC* dc, int index, CPoint at, UINT style) const;
    HIMAGELIST GetSafeHandle() { return created_ ? this : nullptr; }
    operator HIMAGELIST() { return GetSafeHandle(); }

private:
    BOOL FromBitmap(const CBitmap& bmp, int cx, COLORREF mask);
    bool created_ = false;
    int cx_ = 0, cy_ = 0, count_ = 0;
    COLORREF mask_ = CLR_NONE;
};
