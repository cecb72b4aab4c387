#include "app/tfrm_tz_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include "app/application.h"
#include "app/glyph_button.h"
#include "app/main_menus.h"
#include "app/maker.h"
#include "menulook/menu_look.h"
#include "menulook/qt_conversions.h"
#include "menulook/qt_menus.h"
#include "shell/application_exception.h"
#include "shell/application_window_qt.h"
#include "shell/icon_image_qt.h"
#include "shell/kv_auto_run.h"
#include "shell/popup_menu_qt.h"
#include "shell/taskbar_button_qt.h"
#include "shell/tray_backend_qt.h"
#include "shell/tray_icon.h"

namespace vintrel {
namespace {

const QColor kWindowColour(0x40, 0x40, 0x40);

QFont EightPointSans() {
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// A value too wide for its label (a long zone name in some languages) is
// written smaller rather than losing its first letters.
void SetFittingText(QLabel* label, const QString& text) {
    QFont font = label->parentWidget()->font();
    constexpr double kSmallest = 6.0;
    while (QFontMetrics(font).horizontalAdvance(text) > label->width() &&
           font.pointSizeF() - 0.5 >= kSmallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    label->setFont(font);
    label->setText(text);
}

void Colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette look = widget->palette();
    look.setColor(role, colour);
    widget->setPalette(look);
}

// A glyph as the menus draw it: a bitmap covering 16 × 16 points, with the
// pixels of the screens' scale, whose transparent parts take the colour of
// its bottom-left pixel.
Bitmap Glyph(const char* resource) {
    const int scale = ArtworkScale();
    const QColor key(0xC0, 0xC0, 0xC0);
    QImage image(16 * scale, 16 * scale, QImage::Format_RGB32);
    image.fill(key);
    image.setDevicePixelRatio(scale);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, ArtworkIcon({resource}).pixmap(QSize(16, 16), scale));
    painter.end();
    image.setPixelColor(0, image.height() - 1, key);
    return BitmapFromQImage(image);
}

// The notification icon at 16 × 16 with its larger renderings: 32 and 48
// pixels for scaled screens, 64 and 96 for trays that show big icons.
IconImage TrayArtwork() {
    const QIcon artwork = ArtworkIcon({":/vintrel/vintrel-16", ":/vintrel/vintrel-32"});
    IconImage icon = iconImageFromQImage(artwork.pixmap(QSize(16, 16), 1.0).toImage());
    for (int size : {32, 48, 64, 96})
        icon.addRendering(iconImageFromQImage(artwork.pixmap(QSize(size, size), 1.0).toImage()));
    return icon;
}

}  // namespace

// The window as a component owner: the notification icon shows a window
// whose visible property is false when it hides its icon.
class TfrmTzMain::FormComponent final : public TComponent {
public:
    explicit FormComponent(WindowedControl& form) : form_(form) { SetName("frmTzMain"); }
    WindowedControl* AsWindowedControl() override { return &form_; }

private:
    WindowedControl& form_;
};

TfrmTzMain::TfrmTzMain(TzMainServices services, CorrectionOptions options,
                       QtTrayOptions trayOptions)
    : QMainWindow(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                               Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowCloseButtonHint),
      component_(std::make_unique<FormComponent>(*this)) {
    setObjectName(QStringLiteral("frmTzMain"));
    setWindowIcon(ArtworkIcon({":/vintrel/vintrel-16", ":/vintrel/vintrel-32"}));
    buildClientArea();
    buildMenus();
    buildComponents(std::move(trayOptions));
    services.autoRun = kvAutoRun1;
    handlers_ = std::make_unique<TzMain>(*this, std::move(services), std::move(options));
    connect(Timer1, &QTimer::timeout, this, [this] { handlers_->Timer1Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { handlers_->Timer2Timer(); });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { handlers_->mnuPingClick(); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { handlers_->SpeedButton2Click(); });
    // Fixed at what the rows and the menu bar need, also when the menu bar is
    // measured again with the system menu font: a size fixed once would leave
    // the minimum (menu bar + rows) above the maximum, and a band under the rows.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

TfrmTzMain::~TfrmTzMain() {
    // The icon's last hide must not bring back a window that is going away.
    component_->Destroying();
    delete TrayIcon1;
    TrayIcon1 = nullptr;
    delete kvAutoRun1;
    kvAutoRun1 = nullptr;
    // The window's last hide comes after its handlers are gone.
    handlers_.reset();
}

void TfrmTzMain::buildClientArea() {
    auto* client = new QWidget(this);
    client->setFixedSize(424, 284);
    client->setAutoFillBackground(true);
    Colour(client, QPalette::Window, kWindowColour);
    client->setFont(EightPointSans());
    setCentralWidget(client);

    Bevel1 = new QFrame(client);
    Bevel1->setGeometry(0, 0, 424, 41);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    SpeedButton1 = new GlyphButton(client);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setGeometry(2, 3, 100, 35);
    SpeedButton1->setText(QStringLiteral("Ping Now"));
    SpeedButton1->setIcon(ArtworkIcon({":/vintrel/ping"}));
    SpeedButton1->setIconSize(QSize(16, 16));
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    Colour(SpeedButton1, QPalette::ButtonText, Qt::white);
    // A flat button raised under the mouse keeps the window's dark face, or
    // its white caption would vanish on the style's light one.
    Colour(SpeedButton1, QPalette::Button, kWindowColour);

    SpeedButton2 = new QToolButton(client);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    SpeedButton2->setGeometry(250, 3, 169, 35);
    SpeedButton2->setIcon(ArtworkIcon({":/vintrel/logo"}));
    SpeedButton2->setIconSize(QSize(150, 27));
    SpeedButton2->setAutoRaise(true);
    Colour(SpeedButton2, QPalette::Button, kWindowColour);
    SpeedButton2->setFocusPolicy(Qt::NoFocus);

    auto* heading = new QLabel(QStringLiteral("Your System Settings . . ."), client);
    heading->move(5, 48);
    Colour(heading, QPalette::WindowText, Qt::white);

    addRow(73, "Local Time Now", "lblLocal")->setText(QStringLiteral("lblSystemUtc"));
    addRow(89, "Current UTC", "lblSystemUtc");
    addRow(104, "Currently in", "lblCurrentMode");
    addRow(128, "Standard Time Zone Name", "lblStdName");
    addRow(144, "Standard Time Zone Date", "lblStdDate");
    addRow(160, "Standard Time Zone Bias", "lblStdBias");
    addRow(184, "Daylight Time Zone Name", "lblDLname");
    addRow(200, "Daylight Time Zone Date", "lblDlDate");
    addRow(216, "Daylight Time Zone Bias", "lblDlBias");
    addRow(241, "Unadjusted UTC Bias", "lblUtcBias");
    addRow(257, "Date & Time of Last Successful Ping", "lblLastPing", 227);

    Timer1 = new QTimer(this);
    Timer1->setInterval(TzMain::kTimer1Interval);
    Timer1->start();
    Timer2 = new QTimer(this);
    Timer2->setInterval(60000);
}

QLabel* TfrmTzMain::addRow(int top, const char* caption, const char* valueName, int captionWidth) {
    QWidget* client = centralWidget();
    auto* captionLabel = new QLabel(QString::fromLatin1(caption), client);
    captionLabel->setGeometry(14, top, captionWidth, 13);
    Colour(captionLabel, QPalette::WindowText, Qt::green);
    auto* value = new QLabel(QString::fromLatin1(valueName), client);
    value->setObjectName(QString::fromLatin1(valueName));
    // Right-aligned at the designed right edge (272 + 136); a long zone name
    // may use the room up to its caption instead of being cut off on the left.
    const int valueLeft = 14 + captionWidth + 4;
    value->setGeometry(valueLeft, top, 272 + 136 - valueLeft, 13);
    // At the right edge for right-to-left text too (Arabic and Hebrew names),
    // for which a plain AlignRight would mean the left.
    value->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    Colour(value, QPalette::WindowText, Qt::yellow);
    return value;
}

QLabel* TfrmTzMain::valueLabel(const char* name) const {
    return centralWidget()->findChild<QLabel*>(QString::fromLatin1(name));
}

void TfrmTzMain::buildMenus() {
    MainMenu1 = new TMainMenu(this);
    MainMenu1->SetName("MainMenu1");
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    FillMainMenus(
        MainMenu1->Items(), PopupMenu1->Items(), [this]() -> TzMain& { return *handlers_; },
        {Glyph(":/vintrel/ping"), Glyph(":/vintrel/datetime"), Glyph(":/vintrel/readme"),
         Glyph(":/vintrel/web"), Glyph(":/vintrel/about")},
        serverItems_);
}

TMenuItem& TfrmTzMain::menuItem(const char* name) const {
    return FindMenuItem({MainMenu1, PopupMenu1}, name);
}

void TfrmTzMain::buildComponents(QtTrayOptions trayOptions) {
    application_ = std::make_unique<QtApplicationWindow>(this, this);
    trayBackend_ =
        std::make_unique<QtTrayBackend>(application_.get(), this, std::move(trayOptions));
    trayMenu_ = std::make_unique<QtPopupMenu>(component_.get(), PopupMenu1->Menu());
    trayBackend_->setStatusNotifierMenu(PopupMenu1->Menu());
    followNotificationArea(trayBackend_->trayPresent());
    trayBackend_->setTrayPresenceHandler([this](bool present) {
        followNotificationArea(present);
        if (handlers_) handlers_->NotificationAreaChanged(present);
    });

    TrayIcon1 = new TkvTrayIcon(component_.get(), *trayBackend_);
    TrayIcon1->SetName("TrayIcon1");
    TrayIcon1->SetHint("Vintrel");
    TrayIcon1->SetIcon(TrayArtwork());
    TrayIcon1->SetMinimizeToTray(true);
    TrayIcon1->SetPopupMenu(trayMenu_.get());
    TrayIcon1->SetVisible(true);

    kvAutoRun1 = new TkvAutoRun(component_.get());
    kvAutoRun1->SetName("kvAutoRun1");

    MenuLook1 = new TMenuLook(this);
    MenuLook1->setObjectName(QStringLiteral("MenuLook1"));
    SetMainMenuLook(*MenuLook1);
    MenuLook1->SetActive(true);

    // The loaded step, once every stored property is set.
    TrayIcon1->Loaded();
    kvAutoRun1->Loaded();
}

void TfrmTzMain::runFormCreate() {
    try {
        handlers_->FormCreate();
    } catch (...) {
        handleApplicationException(std::current_exception());
        // Start-up ended before the window was shown (settings that cannot be
        // read): without a notification area nothing else would reach it.
        setVisibleProperty(true);
    }
    // A window that starts hidden gets no hide event.
    if (!isVisible()) handlers_->FormHide();
}

void TfrmTzMain::setDialogs(InternetSettingsView* internetSettings, QDialog* about) {
    handlers_->setInternetSettings(internetSettings);
    about_ = about;
}

void TfrmTzMain::setLabelText(TimeZoneLabel label, const std::string& text) {
    if (QLabel* value = valueLabel(TimeZoneLabelName(label))) {
        SetFittingText(value, QString::fromStdString(text));
    }
}

void TfrmTzMain::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void TfrmTzMain::setLocalText(const std::string& text) {
    SetFittingText(valueLabel("lblLocal"), QString::fromStdString(text));
}

void TfrmTzMain::setSystemUtcText(const std::string& text) {
    SetFittingText(valueLabel("lblSystemUtc"), QString::fromStdString(text));
}

void TfrmTzMain::setLastPingText(const std::string& text) {
    SetFittingText(valueLabel("lblLastPing"), QString::fromStdString(text));
}

void TfrmTzMain::showCheck(MenuCheck item, bool checked) {
    static constexpr const char* kNames[] = {"mnuAutostart", "StartMinimized1", "mnuAutomatic",
                                             "PingDaily1"};
    menuItem(kNames[static_cast<int>(item)]).SetChecked(checked);
}

void TfrmTzMain::showServerCheck(std::size_t index, bool checked) {
    serverItems_.at(index)->SetChecked(checked);
}

void TfrmTzMain::setTimer1Enabled(bool enabled) {
    if (!enabled) {
        Timer1->stop();
    } else if (!Timer1->isActive()) {
        Timer1->start();
    }
}

void TfrmTzMain::setTimer2Enabled(bool enabled) {
    if (!enabled) {
        Timer2->stop();
    } else if (!Timer2->isActive()) {
        Timer2->start();
    }
}

void TfrmTzMain::setTimer1Interval(std::chrono::milliseconds interval) {
    // A coarse timer may be 5 % late: minutes late at the end of a long sleep.
    Timer1->setTimerType(interval > TzMain::kTimer1Interval ? Qt::PreciseTimer : Qt::CoarseTimer);
    Timer1->setInterval(interval);
}

bool TfrmTzMain::timer2Enabled() const {
    return Timer2->isActive();
}

void TfrmTzMain::setVisibleProperty(bool visible) {
    if (visible == visibleProperty_) return;
    visibleProperty_ = visible;
    if (!visible) {
        hide();
        return;
    }
    centreOnFirstShow();
    show();
}

void TfrmTzMain::centreOnFirstShow() {
    if (!everShown_) {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        move(screen.center() - rect().center());
    }
    everShown_ = true;
}

void TfrmTzMain::minimizeWindow() {
    centreOnFirstShow();
    showMinimized();
}

bool TfrmTzMain::notificationAreaPresent() const {
    return trayBackend_->trayPresent();
}

// Without a notification area the window is an ordinary one: window managers
// give a tool window neither a taskbar button nor a minimised state, and the
// taskbar is then the only way back to it.
void TfrmTzMain::followNotificationArea(bool present) {
    const Qt::WindowType type = present ? Qt::Tool : Qt::Window;
    if (windowType() == type) {
        if (isVisible()) SetTaskbarButton(*this, !present);
        return;
    }
    const bool shown = isVisible();
    const bool minimised = isMinimized();
    setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | type);
    if (!shown) return;  // its next showing sets the taskbar button
    if (minimised) {
        showMinimized();
    } else {
        show();
    }
}

void TfrmTzMain::showWindowNormal() {
    // A window first brought up this way appears at its stored place.
    if (!everShown_) move(381, 192);
    everShown_ = true;
    showNormal();
    raise();
    activateWindow();
}

void TfrmTzMain::hideWindow() {
    hide();
}

void TfrmTzMain::setCursor(CursorShape shape) {
    if (shape == CursorShape::Hourglass) {
        QWidget::setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void TfrmTzMain::setScreenCursor(CursorShape shape) {
    if (shape == CursorShape::Hourglass && !screenCursorSet_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        screenCursorSet_ = true;
    } else if (shape == CursorShape::Default && screenCursorSet_) {
        QApplication::restoreOverrideCursor();
        screenCursorSet_ = false;
    }
}

void TfrmTzMain::showMessage(const std::string& text) {
    ShowMessageBox(text);
}

void TfrmTzMain::processPendingEvents() {
    QCoreApplication::processEvents();
}

void TfrmTzMain::showAboutBox() {
    if (about_ != nullptr) about_->exec();
}

void TfrmTzMain::closeApplication() {
    close();
    QCoreApplication::quit();
}

// Also the window manager's minimising and restoring (spontaneous events).
void TfrmTzMain::showEvent(QShowEvent* event) {
    // No taskbar button while the notification area holds the icon; a window
    // manager may forget the state while the window is hidden.
    if (!event->spontaneous()) SetTaskbarButton(*this, !trayBackend_->trayPresent());
    QMainWindow::showEvent(event);
    if (handlers_) handlers_->FormShow();
}

void TfrmTzMain::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (handlers_) handlers_->FormHide();
}

void TfrmTzMain::closeEvent(QCloseEvent* event) {
    if (handlers_->FormClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace vintrel
