#include "app/win32/win32_images.h"

#include <vector>

#include "app/win32/resource_ids.h"
#include "menulook/color.h"

#include "shell/win32/windows_last.h"

namespace vintrel {
namespace {

// The pixels of a bitmap, top row first, as 0xAARRGGBB.
std::vector<std::uint32_t> TopDownPixels(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace

HBITMAP LoadBitmapResource(int id) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

Bitmap GlyphBitmap(int id) {
    HBITMAP handle = LoadBitmapResource(id);
    if (handle == nullptr) return {};
    BITMAP header{};
    GetObjectW(handle, sizeof header, &header);
    const std::vector<std::uint32_t> pixels =
        TopDownPixels(handle, header.bmWidth, header.bmHeight);
    DeleteObject(handle);
    Bitmap glyph(header.bmWidth, header.bmHeight);
    for (int y = 0; y < header.bmHeight; ++y) {
        for (int x = 0; x < header.bmWidth; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * header.bmWidth + x];
            glyph.SetPixel(x, y, RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
    }
    return glyph;
}

IconImage ProgramIconImage(int size) {
    HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VINTREL),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (icon == nullptr) return {};
    ICONINFO parts{};
    GetIconInfo(icon, &parts);
    std::vector<std::uint32_t> argb = TopDownPixels(parts.hbmColor, size, size);
    if (parts.hbmColor != nullptr) DeleteObject(parts.hbmColor);
    if (parts.hbmMask != nullptr) DeleteObject(parts.hbmMask);
    DestroyIcon(icon);
    return IconImage(size, size, std::move(argb));
}

}  // namespace vintrel
