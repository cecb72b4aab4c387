#include "menulook/gdi_canvas.h"

#include "shell/win32/wide_text.h"

#include "shell/win32/windows_last.h"

namespace vintrel {

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {
    SetBkMode(dc_, TRANSPARENT);
    FontChanged();
}

GdiCanvas::~GdiCanvas() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
    if (font_ != nullptr) DeleteObject(font_);
}

int GdiCanvas::BitsPerPixel() const {
    return GetDeviceCaps(dc_, BITSPIXEL) * GetDeviceCaps(dc_, PLANES);
}

Color GdiCanvas::NearestColor(Color rgb) const {
    const COLORREF nearest = GetNearestColor(dc_, rgb & 0xFFFFFF);
    return nearest == CLR_INVALID ? (rgb & 0xFFFFFF) : (nearest & 0xFFFFFF);
}

Color GdiCanvas::Pixel(int x, int y) const {
    return GetPixel(dc_, x, y);
}

int GdiCanvas::TextWidth(std::string_view text) {
    const std::wstring wide = WideText(text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

int GdiCanvas::TextHeight(std::string_view text) {
    const std::wstring wide = WideText(text.empty() ? std::string_view("Wg") : text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cy;
}

void GdiCanvas::DrawText(std::string_view text, const Rect& box, unsigned format, Color rgb) {
    if (box.IsEmpty()) return;
    std::wstring wide = WideText(text);
    RECT r{box.left, box.top, box.right, box.bottom};
    SetTextColor(dc_, rgb & 0xFFFFFF);
    DrawTextExW(dc_, wide.data(), static_cast<int>(wide.size()), &r, format, nullptr);
}

void GdiCanvas::DoFillRect(const Rect& r, Color rgb) {
    const RECT area{r.left, r.top, r.right, r.bottom};
    HBRUSH brush = CreateSolidBrush(rgb & 0xFFFFFF);
    ::FillRect(dc_, &area, brush);
    DeleteObject(brush);
}

void GdiCanvas::DoSetPixel(int x, int y, Color rgb) {
    SetPixelV(dc_, x, y, rgb & 0xFFFFFF);
}

template <typename Draw>
void GdiCanvas::WithPenAndBrush(Color pen, std::optional<Color> brush, Draw draw) {
    HPEN ownPen = CreatePen(PS_SOLID, 1, pen & 0xFFFFFF);
    HBRUSH ownBrush = brush ? CreateSolidBrush(*brush & 0xFFFFFF) : nullptr;
    HGDIOBJ oldPen = SelectObject(dc_, ownPen);
    HGDIOBJ oldBrush =
        SelectObject(dc_, ownBrush != nullptr ? ownBrush : GetStockObject(NULL_BRUSH));
    draw();
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    if (ownBrush != nullptr) DeleteObject(ownBrush);
    DeleteObject(ownPen);
}

void GdiCanvas::DoEllipse(const Rect& r, Color pen, std::optional<Color> brush) {
    WithPenAndBrush(pen, brush, [&] { ::Ellipse(dc_, r.left, r.top, r.right, r.bottom); });
}

void GdiCanvas::DoRoundRect(const Rect& r, int cornerWidth, int cornerHeight, Color pen,
                            std::optional<Color> brush) {
    WithPenAndBrush(pen, brush, [&] {
        ::RoundRect(dc_, r.left, r.top, r.right, r.bottom, cornerWidth, cornerHeight);
    });
}

void GdiCanvas::FontChanged() {
    const FontFace& face = Font();
    HFONT font = CreateFontW(face.Height, 0, 0, 0, face.Bold ? FW_BOLD : FW_NORMAL, face.Italic,
                             face.Underline, face.StrikeOut, static_cast<DWORD>(face.Charset),
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, WideText(face.Name).c_str());
    SelectObject(dc_, font);
    if (font_ != nullptr) DeleteObject(font_);
    font_ = font;
}

}  // namespace vintrel
