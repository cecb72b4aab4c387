#include "menulook/qt_look_environment.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

#include "menulook/qt_conversions.h"

namespace vintrel {
namespace {

struct PaletteSource {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// COLOR_* index → the palette entry that plays its part on a Qt desktop.
constexpr PaletteSource kSources[kSystemColorCount] = {
    {QPalette::Active, QPalette::Button},           // SCROLLBAR
    {QPalette::Active, QPalette::Dark},             // BACKGROUND
    {QPalette::Active, QPalette::Highlight},        // ACTIVECAPTION
    {QPalette::Inactive, QPalette::Mid},            // INACTIVECAPTION
    {QPalette::Active, QPalette::Window},           // MENU
    {QPalette::Active, QPalette::Base},             // WINDOW
    {QPalette::Active, QPalette::Shadow},           // WINDOWFRAME
    {QPalette::Active, QPalette::WindowText},       // MENUTEXT
    {QPalette::Active, QPalette::Text},             // WINDOWTEXT
    {QPalette::Active, QPalette::HighlightedText},  // CAPTIONTEXT
    {QPalette::Active, QPalette::Button},           // ACTIVEBORDER
    {QPalette::Inactive, QPalette::Button},         // INACTIVEBORDER
    {QPalette::Active, QPalette::Mid},              // APPWORKSPACE
    {QPalette::Active, QPalette::Highlight},        // HIGHLIGHT
    {QPalette::Active, QPalette::HighlightedText},  // HIGHLIGHTTEXT
    {QPalette::Active, QPalette::Button},           // BTNFACE
    {QPalette::Active, QPalette::Dark},             // BTNSHADOW
    {QPalette::Disabled, QPalette::Text},           // GRAYTEXT
    {QPalette::Active, QPalette::ButtonText},       // BTNTEXT
    {QPalette::Disabled, QPalette::WindowText},     // INACTIVECAPTIONTEXT
    {QPalette::Active, QPalette::Light},            // BTNHIGHLIGHT
    {QPalette::Active, QPalette::Shadow},           // 3DDKSHADOW
    {QPalette::Active, QPalette::Midlight},         // 3DLIGHT
    {QPalette::Active, QPalette::ToolTipText},      // INFOTEXT
    {QPalette::Active, QPalette::ToolTipBase},      // INFOBK
    {QPalette::Active, QPalette::Button},           // (unused)
    {QPalette::Active, QPalette::Link},             // HOTLIGHT
    {QPalette::Active, QPalette::Highlight},        // GRADIENTACTIVECAPTION
    {QPalette::Inactive, QPalette::Mid},            // GRADIENTINACTIVECAPTION
    {QPalette::Active, QPalette::Highlight},        // MENUHILIGHT
    {QPalette::Active, QPalette::Window},           // MENUBAR
};

bool HasGuiApplication() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace

Color QtLookEnvironment::SysColor(int index) const {
    if (index < 0 || index >= kSystemColorCount) return clBlack;
    if (!HasGuiApplication()) {
        static const ClassicSystemColors classic;
        return classic.SysColor(index);
    }
    const PaletteSource& source = kSources[index];
    const QPalette palette = QGuiApplication::palette();
    return RgbFromQColor(palette.color(source.group, source.role));
}

std::optional<FontFace> QtLookEnvironment::MenuFont() const {
    if (!HasGuiApplication()) return std::nullopt;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    const QFont font = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr
                           ? QApplication::font("QMenu")
                           : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    FontFace face = FaceFromQFont(font, dpi);
    face.Color = clMenuText;
    return face;
}

const LookEnvironment& DesktopLookEnvironment() {
    static const QtLookEnvironment environment;
    return environment;
}

}  // namespace vintrel
