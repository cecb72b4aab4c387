// The restyling of toolbars, control bars and standard controls on a test
// form (the main window holds none of them).
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "menulook/color_math.h"
#include "menulook/control_subclass.h"
#include "menulook/menu_look.h"
#include "menulook/qt_conversions.h"

namespace vintrel {
namespace {

Color At(const QImage& image, int x, int y) {
    return RgbFromQRgb(image.pixel(x, y));
}

class TestForm : public ::testing::Test {
protected:
    TestForm() {
        form.resize(400, 300);
        toolBar = new QToolBar(&form);
        ping = toolBar->addAction("Ping");
        toolBar->addSeparator();
        toolBar->addAction("Exit");
        panel = new QWidget(&form);
        combo = new QComboBox(panel);
        edit = new QLineEdit(panel);
        check = new QCheckBox("Auto", panel);
        radio = new QRadioButton("192.0.2.1", panel);
        push = new QPushButton("OK", panel);
        tagged = new QPushButton("Tagged", panel);
        tagged->setProperty("Tag", 999);
        quietPanel = new QWidget(&form);
        quietPanel->setProperty("Tag", 999);
        quietButton = new QPushButton("Quiet", quietPanel);
        group = new QGroupBox("Proxy", &form);
        groupCheck = new QCheckBox("Use proxy", group);
    }

    std::set<QWidget*> Intercepted(const TMenuLook& look) {
        const auto controls = look.InterceptedControls();
        return {controls.begin(), controls.end()};
    }

    FixedLookEnvironment environment;
    QWidget form;
    QToolBar* toolBar;
    QAction* ping;
    QWidget* panel;
    QComboBox* combo;
    QLineEdit* edit;
    QCheckBox* check;
    QRadioButton* radio;
    QPushButton* push;
    QPushButton* tagged;
    QWidget* quietPanel;
    QPushButton* quietButton;
    QGroupBox* group;
    QCheckBox* groupCheck;
};

TEST_F(TestForm, ActivationInterceptsTheHeldKindsOnHeldParentsOnly) {
    TMenuLook look(&form, environment);
    EXPECT_TRUE(Intercepted(look).empty());
    look.SetActive(true);
    // No edit box (not held by default), no group box parent, nothing tagged 999.
    EXPECT_EQ(Intercepted(look), (std::set<QWidget*>{combo, check, radio, push}));
    EXPECT_EQ(ContainerKindOf(panel), xcPanel);
    EXPECT_EQ(ContainerKindOf(group), xcGroupBox);
    EXPECT_EQ(ContainerKindOf(toolBar), xcToolbar);
    EXPECT_EQ(ContainerKindOf(&form), xcForm);
}

// Tag 999 on a control or on its parent keeps it away from the look, whatever the sets.
TEST_F(TestForm, TagNineHundredNinetyNineIsNeverIntercepted) {
    TMenuLook look(&form, environment);
    look.SetActive(true);
    look.SetLookContainers(LookSet{xcPanel, xcGroupBox, xcForm});
    look.SetLookControls(LookSet::FromBits(0x1FF));
    EXPECT_FALSE(look.Intercepts(tagged));
    EXPECT_FALSE(look.Intercepts(quietButton));
    EXPECT_TRUE(look.Intercepts(groupCheck));
    EXPECT_TRUE(look.Intercepts(edit));
}

TEST_F(TestForm, DeactivatedInterceptorLeavesAtTheControlsNextEvent) {
    TMenuLook look(&form, environment);
    look.SetLookControls(LookSet::FromBits(0x1FF));
    look.SetActive(true);
    ASSERT_TRUE(look.Intercepts(edit));
    EXPECT_FALSE(edit->hasFrame());
    look.SetActive(false);
    EXPECT_TRUE(look.Intercepts(edit));
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(edit, &enter);
    EXPECT_FALSE(look.Intercepts(edit));
    EXPECT_TRUE(edit->hasFrame());
    EXPECT_TRUE(look.Intercepts(push));
    QCoreApplication::sendEvent(push, &enter);
    EXPECT_FALSE(look.Intercepts(push));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Dropping a kind from the sets while active must not leave it restyled.
TEST_F(TestForm, SetChangesReachControlsAlreadyIntercepted) {
    TMenuLook look(&form, environment);
    look.SetActive(true);
    ASSERT_TRUE(look.Intercepts(push));
    look.SetLookControls(LookSet{xcCombo, xcCheckBox, xcRadioButton});
    EXPECT_FALSE(look.Intercepts(push));
    look.SetLookContainers(LookSet{xcGroupBox});
    EXPECT_TRUE(Intercepted(look) == (std::set<QWidget*>{groupCheck}));
}

TEST_F(TestForm, DestroyedControlTakesItsInterceptorAlong) {
    TMenuLook look(&form, environment);
    look.SetActive(true);
    delete radio;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Intercepted(look), (std::set<QWidget*>{combo, check, push}));
}

TEST_F(TestForm, DestroyedLookGivesEveryControlBack) {
    auto* look = new TMenuLook(&form, environment);
    look->SetLookControls(LookSet::FromBits(0x1FF));
    look->SetActive(true);
    delete look;
    EXPECT_TRUE(edit->hasFrame());
    const QImage shot = push->grab().toImage();  // paints without an overlay
    EXPECT_FALSE(shot.isNull());
}

TEST_F(TestForm, CheckBoxOverlayFollowsTheHotState) {
    TMenuLook look(&form, environment);
    look.SetActive(true);
    check->resize(100, 20);
    const int size = check->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, check);
    const int top = (20 - size) / 2;
    QImage shot = check->grab().toImage();
    EXPECT_EQ(At(shot, 0, top), RGB(128, 128, 128));
    EXPECT_EQ(At(shot, size / 2, top + 1), clWhite);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(check, &enter);
    shot = check->grab().toImage();
    EXPECT_EQ(At(shot, 0, top), RGB(10, 36, 106));
    EXPECT_EQ(At(shot, 1, top + 1), RGB(177, 185, 207));
}

TEST_F(TestForm, PushButtonIsRepaintedFlat) {
    TMenuLook look(&form, environment);
    look.SetActive(true);
    push->resize(80, 24);
    const QImage shot = push->grab().toImage();
    EXPECT_EQ(At(shot, 40, 0), RGB(166, 166, 166));  // LightenColor(clBtnShadow, 30)
    EXPECT_EQ(At(shot, 4, 12), RGB(219, 216, 209));  // WorkingIconBackColor
    EXPECT_EQ(At(shot, 10, 22), RGB(78, 80, 78));    // the bevel along the bottom
}

TEST_F(TestForm, ToolButtonsAreFlatAndPaintedByTheLook) {
    TMenuLook look(&form, environment);
    look.SetActive(true);
    auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(ping));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->autoRaise());
    EXPECT_EQ(toolBar->property(kCustomDrawButtonProperty).value<quintptr>(),
              reinterpret_cast<quintptr>(&look));
    ping->setCheckable(true);
    ping->setChecked(true);
    const QImage shot = button->grab().toImage();  // the toolbar decides the size
    const int middle = shot.height() / 2;
    EXPECT_EQ(At(shot, 0, middle), RGB(10, 36, 106));
    EXPECT_EQ(At(shot, 2, 1), RGB(10, 36, 106));         // framed from one row below the top
    EXPECT_EQ(At(shot, 2, middle), RGB(206, 211, 225));  // CheckBoxColor

    look.SetActive(false);
    const QImage plain = button->grab().toImage();
    EXPECT_NE(At(plain, 2, middle), RGB(206, 211, 225));
}

TEST_F(TestForm, AutoDetectTakesOverToolbarsAddedWhileActive) {
    TMenuLook look(&form, environment);
    look.SetActive(true);
    look.SetAutoDetect(true);
    auto* late = new QToolBar(&form);
    late->addAction("Late");
    QCoreApplication::sendPostedEvents();
    const auto self = reinterpret_cast<quintptr>(&look);
    EXPECT_EQ(late->property(kCustomDrawButtonProperty).value<quintptr>(), self);

    look.SetAutoDetect(false);
    auto* ignored = new QToolBar(&form);
    ignored->addAction("Ignored");
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ignored->property(kCustomDrawButtonProperty).value<quintptr>(), quintptr{0});
}

TEST_F(TestForm, ControlBarBandsGetTheirGrip) {
    auto* bar = new QWidget(&form);
    bar->setProperty("LookContainer", "Controlbar");
    bar->resize(200, 40);
    auto* band = new QWidget(bar);
    band->setGeometry(20, 5, 100, 30);
    TMenuLook look(&form, environment);
    look.SetActive(true);
    bar->show();
    const QImage shot = bar->grab().toImage();
    const Color face = RgbFromQColor(bar->palette().color(QPalette::Button));
    EXPECT_EQ(At(shot, 12, 8), DarkenColor(face, 30, environment));
    EXPECT_EQ(At(shot, 14, 10), DarkenColor(face, 37, environment));
    EXPECT_EQ(At(shot, 15, 8), LightenColor(face, 6, environment));
}

}  // namespace
}  // namespace vintrel
