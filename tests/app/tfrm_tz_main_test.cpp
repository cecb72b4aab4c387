// The real main window on Qt's offscreen platform: its menus, buttons and
// closing, driven through the widgets and actions the user would use.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "app/glyph_button.h"
#include "app/tfrm_about.h"
#include "app/tfrm_tz_main.h"
#include "menulook/qt_conversions.h"
#include "menulook/qt_menus.h"
#include "settings/settings_store.h"
#include "settings/tfrm_proxy.h"
#include "shell/icon_image_qt.h"
#include "shell/kv_auto_run.h"
#include "shell/tray_icon.h"
#include "tests/app/tz_main_fixture.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/recording_clock_setter.h"
#include "tests/support/temp_dir.h"
#include "timesync/daytime_reply.h"
#include "timesync/regional_format.h"
#include "timesync/time_correction.h"

namespace vintrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TfrmTzMainTest : public ::testing::Test {
protected:
    TfrmTzMainTest() : clock_(DateFromParts(2025, 2, 17) + TimeFromParts(12, 0, 0, 0), 1.0 / 24) {
        resolver_.addresses["www.google.com"] = "127.0.0.2";
    }

    /// The window as the program builds it, after its start-up sequence.
    TfrmTzMain& Form() {
        form_ = std::make_unique<TfrmTzMain>(
            TzMainServices{
                daytime_, resolver_, setter_, shell_, nullptr, nullptr, "vintrel", {}, kMakerUrl},
            CorrectionOptions{}, TrayOptions());
        form_->runFormCreate();
        return *form_;
    }

    /// Qt's offscreen platform has no notification area: one is made up.
    QtTrayOptions TrayOptions() {
        QtTrayOptions options;
        options.trayAvailable = [this] { return trayThere_; };
        options.pollIntervalMs = 0;
        options.watchSessionBus = false;
        options.watchXEmbedTray = false;
        return options;
    }

    QAction* Action(const char* name) const {
        TMenuItem& item = form_->menuItem(name);
        QtMenu& menu = item.GetParentMenu()->IsMainMenu()
                           ? static_cast<QtMenu&>(form_->mainMenu())
                           : static_cast<QtMenu&>(form_->popupMenu());
        return menu.ActionOf(item);
    }

    bool Checked(const char* name) const { return Action(name)->isChecked(); }
    void Trigger(const char* name) const { Action(name)->trigger(); }

    /// Opens and closes the submenu of a parent item, as the user's pointer would.
    void OpenSubmenu(const char* name) const {
        QMenu* submenu = form_->mainMenu().SubMenuOf(form_->menuItem(name));
        ASSERT_NE(submenu, nullptr);
        submenu->popup(QPoint(0, 0));
        submenu->hide();
    }

    std::string Label(const char* name) const {
        return form_->valueLabel(name)->text().toStdString();
    }

    XdgSandbox sandbox_;
    FakeClock clock_;
    FakeDaytimeClient daytime_;
    FakeHostResolver resolver_;
    RecordingClockSetter setter_;
    FakeShellLauncher shell_;
    ModalWatcher modals_;
    std::unique_ptr<TfrmTzMain> form_;
    bool trayThere_ = true;
};

TEST_F(TfrmTzMainTest, StartsVisibleWithItsRowsAndChecks) {
    TfrmTzMain& form = Form();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle().toStdString(), "Vintrel v2.6");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form.centralWidget()->size(), QSize(424, 284));
    EXPECT_EQ(Label("lblLocal"), "lblSystemUtc");
    EXPECT_EQ(Label("lblLastPing"), "Never");
    EXPECT_EQ(Label("lblSystemUtc"), DateTimeText(CurrentUtc()));
    EXPECT_FALSE(Checked("mnuAutomatic"));
    EXPECT_FALSE(Checked("PingDaily1"));
    EXPECT_TRUE(Checked("Server2"));
    EXPECT_TRUE(form.timer1()->isActive());
    EXPECT_FALSE(form.timer2()->isActive());
    EXPECT_TRUE(form.mainMenu().OwnerDraw());
    EXPECT_TRUE(form.popupMenu().OwnerDraw());
    EXPECT_TRUE(form.trayIcon().Visible());
    EXPECT_THAT(modals_.texts(), IsEmpty());
}

// Zone names are long; a value cut off at its left would read as another name.
TEST_F(TfrmTzMainTest, LongValuesFitTheirRows) {
    TfrmTzMain& form = Form();
    const struct {
        const char* label;
        const char* text;
    } rows[] = {{"lblStdName", "Central European Standard Time"},
                {"lblDLname", "Coordinated Universal Time"},
                {"lblLocal", "12/31/2025 11:59:59 PM"},
                {"lblLastPing", "12/31/2025 11:59:59 PM"}};
    for (const auto& row : rows) {
        QLabel* label = form.valueLabel(row.label);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(QString::fromLatin1(row.text)),
                  label->contentsRect().width())
            << row.label;
        EXPECT_EQ(label->geometry().right(), 272 + 136 - 1) << row.label;
    }
}

TEST_F(TfrmTzMainTest, FirstTickShowsLocalTimeAndArmsTheSchedule) {
    TfrmTzMain& form = Form();
    // The timer's tick, without waiting a second for it.
    ASSERT_TRUE(QMetaObject::invokeMethod(form.timer1(), "timeout"));
    EXPECT_EQ(Label("lblLocal"), DateTimeText(LocalNow()));
    EXPECT_TRUE(form.timer2()->isActive());
}

TEST_F(TfrmTzMainTest, PingNowReportsTheDifferenceAndRecordsTheSync) {
    TfrmTzMain& form = Form();
    daytime_.result = {NistLine(clock_.utc() + 3.0 / 1440), {}};

    form.pingButton()->click();

    ASSERT_EQ(modals_.boxes().size(), 1u);
    const ModalWatcher::Box& box = modals_.boxes()[0];
    EXPECT_EQ(box.text,
              "System Clock has been adjusted by ...\r\n\r\n0 Days\r\n0 Hours\r\n3 Minutes\r\n"
              "0 Seconds");
    EXPECT_EQ(box.title, "app_qt_tests");
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    // Beneath the window, which stays on top, the box could not be seen.
    EXPECT_TRUE(box.onTop);
    EXPECT_TRUE(box.programIcon);
    EXPECT_EQ(setter_.requests().size(), 1u);
    EXPECT_EQ(Label("lblLastPing"), DateTimeText(LocalNow()));
    EXPECT_EQ(Stored("LastPing"), DateTimeText(LocalNow()));
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(TfrmTzMainTest, PingNowFromBothMenusRunsTheSameCommand) {
    Form();
    daytime_.result = {NistLine(clock_.utc()), {}};
    Trigger("mnuPing");
    Trigger("PingAtomicClockNow1");
    EXPECT_THAT(modals_.texts(), ElementsAre(kClockCorrectText, kClockCorrectText));
    EXPECT_EQ(daytime_.requests.size(), 2u);
}

TEST_F(TfrmTzMainTest, AutomaticItemsOfBothMenusStayInStep) {
    TfrmTzMain& form = Form();
    Trigger("mnuAutomatic");
    EXPECT_TRUE(Checked("mnuAutomatic"));
    EXPECT_TRUE(Checked("PingDaily1"));
    EXPECT_TRUE(form.timer2()->isActive());
    EXPECT_EQ(Stored("AutoPing"), "True");
    Trigger("PingDaily1");
    EXPECT_FALSE(Checked("mnuAutomatic"));
    EXPECT_FALSE(Checked("PingDaily1"));
    EXPECT_FALSE(form.timer2()->isActive());
    EXPECT_EQ(Stored("AutoPing"), "");
}

TEST_F(TfrmTzMainTest, ToggleItemsCheckThemselvesOnce) {
    Form();
    Trigger("StartMinimized1");
    EXPECT_TRUE(Checked("StartMinimized1"));
    EXPECT_EQ(Stored("StartMinimized"), "1");
    Trigger("mnuAutostart");
    EXPECT_TRUE(Checked("mnuAutostart"));
    EXPECT_EQ(Stored("AutoStart"), "1");
    EXPECT_TRUE(std::filesystem::exists(sandbox_.machineFolder() + "/app_qt_tests.desktop"));
    EXPECT_TRUE(form_->isVisible());
}

TEST_F(TfrmTzMainTest, OpeningTheFileMenuShowsTheLastAutoRunRequest) {
    TfrmTzMain& form = Form();
    form.autoRun().SetAutoRun(true);
    EXPECT_FALSE(Checked("mnuAutostart"));
    OpenSubmenu("File1");
    EXPECT_TRUE(Checked("mnuAutostart"));
}

TEST_F(TfrmTzMainTest, AutoStartThatCannotBeWrittenIsToldInAMessageBox) {
    Form();
    std::filesystem::create_directories(sandbox_.root() + "/etc xdg");
    WriteFileBytes(sandbox_.machineFolder(), "in the way");
    Trigger("mnuAutostart");
    ASSERT_EQ(modals_.boxes().size(), 1u);
    EXPECT_THAT(modals_.boxes()[0].text,
                ::testing::StartsWith("Vintrel could not be set to start at logon: "));
    EXPECT_TRUE(Checked("mnuAutostart"));
    EXPECT_EQ(Stored("AutoStart"), "1");
}

TEST_F(TfrmTzMainTest, ServerItemsAreOneRadioGroup) {
    Form();
    Trigger("Server7");
    EXPECT_EQ(Stored("ipAddress"), "132.163.97.2");
    EXPECT_TRUE(Checked("Server7"));
    EXPECT_FALSE(Checked("Server2"));
    // Choosing the checked item unchecks it; the submenu checks it again on opening.
    Trigger("Server7");
    EXPECT_FALSE(Checked("Server7"));
    OpenSubmenu("mnuServers");
    EXPECT_TRUE(Checked("Server7"));
    EXPECT_EQ(Action("Server7")->toolTip().toStdString(), "132.163.97.2");
}

TEST_F(TfrmTzMainTest, ClosingHidesTheWindowAndTheProgramRunsOn) {
    TfrmTzMain& form = Form();
    EXPECT_FALSE(form.close());
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.visibleProperty());
    EXPECT_TRUE(form.timer1()->isActive());
    EXPECT_TRUE(form.trayIcon().Visible());
    EXPECT_FALSE(form.handlers().exiting());
    // The notification menu brings it back where it was.
    const QPoint place = form.pos();
    Trigger("OpenVintrel1");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.pos(), place);
}

// Pins the glyph and caption of Ping Now 3 px apart at the button's left.
TEST_F(TfrmTzMainTest, PingNowGlyphAndCaptionAreACentredPair18PixelsApart) {
    QToolButton* button = Form().pingButton();
    const QImage shot = button->grab().toImage();
    const QColor face = shot.pixelColor(0, 0);
    int glyphLeft = -1;
    int captionLeft = -1;
    int inkRight = -1;
    for (int x = 0; x < shot.width(); ++x) {
        for (int y = 0; y < shot.height(); ++y) {
            const QColor c = shot.pixelColor(x, y);
            if (c == face) continue;
            if (glyphLeft < 0) glyphLeft = x;
            // The caption is white; the glyph has no pure white beyond its first column.
            if (captionLeft < 0 && x > glyphLeft + 15 && c.lightness() > 240) captionLeft = x;
            inkRight = x;
        }
    }
    ASSERT_GE(glyphLeft, 0);
    ASSERT_GE(captionLeft, 0);
    EXPECT_GE(captionLeft - (glyphLeft + 16), GlyphButton::kGlyphGap - 1);
    EXPECT_LE(captionLeft - (glyphLeft + 16), GlyphButton::kGlyphGap + 2);
    EXPECT_LE(std::abs(glyphLeft - (shot.width() - 1 - inkRight)), 3);
}

// Pins a 14-point system menu font clipping the bar's captions and leaving the
// window's minimum height above its maximum, with a band under the rows.
TEST_F(TfrmTzMainTest, BigMenuFontKeepsTheWindowFittingItsMenuBar) {
    const QFont before = QApplication::font("QMenu");
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setPointSize(14);
    QApplication::setFont(big, "QMenu");
    TfrmTzMain& form = Form();
    const int smallBar = form.menuBar()->sizeHint().height();
    form.menuBar()->grab();  // the first paint loads the system menu font
    // The new measuring is queued behind the paint, the window's layout behind it.
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    QApplication::setFont(before, "QMenu");
    EXPECT_GT(form.menuBar()->sizeHint().height(), smallBar);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.maximumHeight(), form.menuBar()->sizeHint().height() + 284);
}

// Pins a long zone name (de_DE with America/Miquelon) losing its first letter.
TEST_F(TfrmTzMainTest, LongValuesAreWrittenSmallerToFitTheirLabel) {
    TfrmTzMain& form = Form();
    const std::string name = "Saint-Pierre-und-Miquelon-Sommerzeit";
    form.setLabelText(TimeZoneLabel::lblDLname, name);
    QLabel* value = form.valueLabel("lblDLname");
    EXPECT_LE(QFontMetrics(value->font()).horizontalAdvance(value->text()), value->width());
    EXPECT_EQ(value->text().toStdString(), name);
    form.setLabelText(TimeZoneLabel::lblDLname, "GMT");  // a short one again at full size
    EXPECT_EQ(value->font().pointSizeF(), value->parentWidget()->font().pointSizeF());
}

// Pins the values at the left of their column in Arabic and Hebrew: text
// that runs right to left turns a plain AlignRight into a left alignment.
TEST_F(TfrmTzMainTest, RightToLeftValuesStayAtTheRightEdge) {
    TfrmTzMain& form = Form();
    QLabel* value = form.valueLabel("lblStdName");
    value->setText(QString::fromUtf8("\xd8\xaa\xd9\x88\xd9\x82\xd9\x8a\xd8\xaa"));  // Arabic "time"
    const QImage shot = value->grab().toImage();
    int rightmostInk = -1;
    for (int x = 0; x < shot.width(); ++x)
        for (int y = 0; y < shot.height(); ++y)
            if (shot.pixelColor(x, y).red() > 160 && shot.pixelColor(x, y).blue() < 100)
                rightmostInk = x;  // the yellow of the value's text
    EXPECT_GE(rightmostInk, shot.width() - 4);
}

// Every scale × scale block of `image` in one colour: a smaller picture blown up.
bool BlownUp(const QImage& image, int scale) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(x - x % scale, y - y % scale)) return false;
    return true;
}

// Pins blurry glyphs and notification icon on scaled screens: also run with
// QT_SCALE_FACTOR=2, where they must come from their large renderings.
TEST_F(TfrmTzMainTest, GlyphsAndIconHaveTheScreensPixels) {
    TfrmTzMain& form = Form();
    const int scale = static_cast<int>(std::ceil(qApp->devicePixelRatio()));
    const Bitmap& glyph = form.menuItem("mnuPing").GetBitmap();
    EXPECT_EQ(glyph.ShownWidth(), 16);
    EXPECT_EQ(glyph.Width(), 16 * scale);
    const QImage icon = toTrayQIcon(form.trayIcon().Icon())
                            .pixmap(QSize(16, 16), qApp->devicePixelRatio())
                            .toImage();
    EXPECT_EQ(icon.width(), 16 * scale);
    if (scale > 1) {
        EXPECT_FALSE(BlownUp(QImageFromBitmap(glyph), scale));
        EXPECT_FALSE(BlownUp(icon, scale));
    }
}

// Pins the white raised face under the white caption of a hovered flat
// button (Ping Now here, OK and Cancel in the settings dialog).
TEST_F(TfrmTzMainTest, HoveredFlatButtonsKeepTheirDarkFace) {
    TfrmTzMain& form = Form();
    TfrmProxy dialog;
    QList<QToolButton*> buttons = dialog.findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2u);  // OK and Cancel
    buttons.push_back(form.pingButton());
    for (QToolButton* button : buttons) {
        button->setAttribute(Qt::WA_UnderMouse);
        const QImage shot = button->grab().toImage();
        // Beside the caption, where only the face shows.
        EXPECT_LT(shot.pixelColor(button->width() - 4, button->height() / 2).lightness(), 128)
            << button->text().toStdString();
    }
}

// Pins the window hidden to nowhere when no notification area holds the icon.
TEST_F(TfrmTzMainTest, WithoutNotificationAreaTheCloseBoxMinimisesToTheTaskbar) {
    trayThere_ = false;
    TfrmTzMain& form = Form();
    EXPECT_EQ(form.windowType(), Qt::Window);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isMinimized());
}

// Hidden, the window wakes only for the daily schedule; brought back, its
// clock rows are current before the next tick.
TEST_F(TfrmTzMainTest, HiddenItSleepsAndComesBackCurrent) {
    TfrmTzMain& form = Form();
    form.close();
    EXPECT_EQ(std::chrono::milliseconds(form.timer1()->interval()), TzMain::kLongestSleep);
    EXPECT_TRUE(form.timer2()->isActive());
    clock_.advance(1.0 / 24);
    Trigger("OpenVintrel1");
    EXPECT_EQ(Label("lblLocal"), DateTimeText(LocalNow()));
    EXPECT_EQ(form.timer1()->interval(), 1000);
}

TEST_F(TfrmTzMainTest, ExitEndsTheMessageLoop) {
    TfrmTzMain& form = Form();
    QTimer::singleShot(0, &form, [this] { Trigger("Exit1"); });
    // Only a guard: a program that does not end fails here instead of hanging.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(60000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(form.handlers().exiting());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(TfrmTzMainTest, StartedMinimizedItComesUpAtItsStoredPlace) {
    WriteSetting(kSettingsKey, "StartMinimized", "1");
    TfrmTzMain& form = Form();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(Checked("StartMinimized1"));
    Trigger("OpenVintrel1");
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.visibleProperty());
    EXPECT_EQ(form.pos(), QPoint(381, 192));
}

// The window stayed hidden, and without a notification area nothing reached it.
TEST_F(TfrmTzMainTest, SettingsErrorAtStartShowsTheErrorBoxThenTheWindow) {
    WriteSettingsFile("this is no registry file\n");
    TfrmTzMain& form = Form();
    ASSERT_EQ(modals_.boxes().size(), 1u);
    EXPECT_EQ(modals_.boxes()[0].text,
              "Failed to get data for 'LastPing': " + std::string(std::getenv("XDG_CONFIG_HOME")) +
                  "/vintrel/user.reg, line 1: not a registry file header.");
    EXPECT_EQ(modals_.boxes()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(modals_.boxes()[0].title, "app_qt_tests");
    EXPECT_TRUE(modals_.boxes()[0].onTop);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle().toStdString(), "Vintrel v2.6");
    EXPECT_EQ(ReadFileBytes(std::string(std::getenv("XDG_CONFIG_HOME")) + "/vintrel/user.reg"),
              "this is no registry file\n");
}

TEST_F(TfrmTzMainTest, DialogsOpenFromTheirMenuItems) {
    TfrmTzMain& form = Form();
    TfrmProxy proxy(&form);
    TfrmAbout about(shell_, &form);
    form.setDialogs(&proxy, &about);
    modals_.onNextDialog([](QDialog& dialog) {
        auto& d = static_cast<TfrmProxy&>(dialog);
        d.optProxy->click();
        d.txtAddress->setText(QStringLiteral("proxy.lan"));
        d.txtPort->setText(QStringLiteral("3128"));
        d.SpeedButton1->click();
    });
    Trigger("mnuProxy");
    Trigger("mnuAbout");
    EXPECT_THAT(modals_.dialogs(), ElementsAre("frmProxy", "frmAbout"));
    EXPECT_EQ(Stored("ConnectionType"), "3");
    EXPECT_EQ(Stored("Address"), "proxy.lan");
    EXPECT_EQ(Stored("Port"), "3128");
}

TEST_F(TfrmTzMainTest, ShellItemsAndLogoButtonOpenTheirTargets) {
    TfrmTzMain& form = Form();
    Trigger("mnuControlPanel");
    Trigger("mnuQuorrel");
    form.findChild<QToolButton*>(QStringLiteral("SpeedButton2"))->click();
    EXPECT_THAT(shell_.opened,
                ElementsAre("date-time settings", "url " + kMakerUrl, "url " + kMakerUrl));
}

}  // namespace
}  // namespace vintrel::testing
