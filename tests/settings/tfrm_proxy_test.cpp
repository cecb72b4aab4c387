// The Internet settings dialog with the real settings store: what it shows,
// what OK and Cancel store, and the keys it must not answer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "platform/registry.h"
#include "settings/internet_settings.h"
#include "settings/settings_store.h"
#include "settings/tfrm_proxy.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/xdg_sandbox.h"

namespace vintrel::testing {
namespace {

using ::testing::ElementsAre;

std::optional<std::string> Stored(const std::string& name) {
    RegistryKeyResult opened =
        registry().openKey(RegistryRoot::CurrentUser, "\\SOFTWARE\\Kavrin\\Proxy\\");
    if (!opened.result.ok()) return std::nullopt;
    RegistryValue value;
    if (!opened.key->queryValue(name, value).ok()) return std::nullopt;
    return value.data.substr(0, value.data.find('\0'));
}

/// What the dialog showed when it opened.
struct Shown {
    std::string mode;
    std::string address;
    std::string port;
};

std::string Mode(const TfrmProxy& dialog) {
    std::string mode;
    if (dialog.optDirect->isChecked()) mode += "direct";
    if (dialog.optIE->isChecked()) mode += "system";
    if (dialog.optProxy->isChecked()) mode += "proxy";
    return mode;
}

class TfrmProxyTest : public ::testing::Test {
protected:
    /// Opens the dialog from the stored settings, lets `user` act on it, and
    /// returns what it showed on opening.
    Shown Edit(std::function<void(TfrmProxy&)> user) {
        Shown shown;
        watcher_.onNextDialog([&](QDialog& opened) {
            auto& dialog = static_cast<TfrmProxy&>(opened);
            shown = {Mode(dialog), dialog.txtAddress->text().toStdString(),
                     dialog.txtPort->text().toStdString()};
            user(dialog);
            // A dialog the user did not end would hang the test.
            if (dialog.isVisible()) {
                ADD_FAILURE() << "the dialog is still open";
                dialog.reject();
            }
        });
        EditInternetSettings(dialog_);
        return shown;
    }

    void Store(const char* name, const char* value) { WriteSetting(kSettingsKey, name, value); }

    XdgSandbox sandbox_;
    ModalWatcher watcher_;
    TfrmProxy dialog_;
};

TEST_F(TfrmProxyTest, LooksAsDesigned) {
    EXPECT_EQ(dialog_.windowTitle().toStdString(), "Server Settings");
    EXPECT_EQ(dialog_.size(), QSize(332, 203));
    EXPECT_EQ(dialog_.optDirect->text().toStdString(), "Direct Connection");
    EXPECT_EQ(dialog_.optIE->text().toStdString(), "Follow Internet Explorer Settings");
    EXPECT_EQ(dialog_.optProxy->text().toStdString(), "Use Proxy Server");
    EXPECT_TRUE(dialog_.optDirect->isChecked());
    EXPECT_EQ(dialog_.GroupBox3->title().toStdString(), "");
    EXPECT_EQ(dialog_.SpeedButton1->text().toStdString(), "OK");
    EXPECT_EQ(dialog_.SpeedButton2->text().toStdString(), "Cancel");
}

// A cut caption ("w Internet Explorer Settings") hides what the mode means;
// one pushed against its button does not start at 128 as the dialog has it.
TEST_F(TfrmProxyTest, ModeCaptionsFitStartingAt128WithTheirButtonsAtTheRight) {
    for (QRadioButton* radio : {dialog_.optDirect, dialog_.optIE, dialog_.optProxy}) {
        EXPECT_LE(radio->sizeHint().width(), radio->width()) << radio->text().toStdString();
        EXPECT_EQ(radio->geometry().right(), 128 + 185 - 1);
        const QImage shot = radio->grab().toImage();
        int captionLeft = -1;
        for (int x = 0; x < shot.width() && captionLeft < 0; ++x)
            for (int y = 0; y < shot.height(); ++y)
                if (shot.pixelColor(x, y).lightness() > 200) {
                    captionLeft = x;  // the white caption
                    break;
                }
        ASSERT_GE(captionLeft, 0) << radio->text().toStdString();
        EXPECT_LE(radio->x() + captionLeft, 128 + 2) << radio->text().toStdString();
    }
}

TEST_F(TfrmProxyTest, CancelStoresNothingAndReopeningShowsTheStoredValues) {
    Store("ConnectionType", "2");
    Store("Address", "proxy.lan");
    Store("Port", "8080");

    const Shown first = Edit([](TfrmProxy& d) {
        d.optProxy->click();
        d.txtAddress->setText(QStringLiteral("elsewhere.lan"));
        d.txtPort->setText(QStringLiteral("1"));
        d.SpeedButton2->click();
    });
    EXPECT_EQ(first.mode, "system");
    EXPECT_EQ(first.address, "proxy.lan");
    EXPECT_EQ(first.port, "8080");
    EXPECT_EQ(Stored("ConnectionType"), "2");
    EXPECT_EQ(Stored("Address"), "proxy.lan");
    EXPECT_EQ(Stored("Port"), "8080");

    const Shown again = Edit([](TfrmProxy& d) { d.SpeedButton2->click(); });
    EXPECT_EQ(again.mode, "system");
    EXPECT_EQ(again.address, "proxy.lan");
    EXPECT_EQ(again.port, "8080");
}

TEST_F(TfrmProxyTest, CloseBoxStoresNothing) {
    Edit([](TfrmProxy& d) {
        d.optProxy->click();
        d.close();
    });
    EXPECT_EQ(Stored("ConnectionType"), std::nullopt);
    EXPECT_EQ(Stored("Address"), std::nullopt);
}

TEST_F(TfrmProxyTest, OkWithDirectConnectionStoresAddressAndPortToo) {
    const Shown shown = Edit([](TfrmProxy& d) {
        d.txtAddress->setText(QStringLiteral("proxy.lan"));
        d.txtPort->setText(QStringLiteral("not a number"));
        d.SpeedButton1->click();
    });
    EXPECT_EQ(shown.mode, "direct");
    EXPECT_EQ(shown.address, "");
    EXPECT_EQ(Stored("ConnectionType"), "1");
    EXPECT_EQ(Stored("Address"), "proxy.lan");
    EXPECT_EQ(Stored("Port"), "not a number");
}

struct ModeCase {
    const char* name;
    const char* stored;
    const char* shown;
    const char* storedOnOk;
};

// Names the case in test listings.
void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.name;
}

class StoredModeTest : public TfrmProxyTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(StoredModeTest, OpensWithItsModeAndOkStoresItsNumber) {
    Store("ConnectionType", GetParam().stored);
    const Shown shown = Edit([](TfrmProxy& d) { d.SpeedButton1->click(); });
    EXPECT_EQ(shown.mode, GetParam().shown);
    EXPECT_EQ(Stored("ConnectionType"), GetParam().storedOnOk);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, StoredModeTest,
    ::testing::Values(ModeCase{"direct", "1", "direct", "1"},
                      ModeCase{"system_settings", "2", "system", "2"},
                      ModeCase{"explicit_proxy", "3", "proxy", "3"},
                      ModeCase{"unknown_number_falls_back_to_direct", "7", "direct", "1"},
                      ModeCase{"empty_is_the_default_direct", "", "direct", "1"},
                      ModeCase{"number_with_a_blank_is_no_number", " 3", "direct", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

// The dialog has no default or cancel key.
TEST_F(TfrmProxyTest, EnterAndEscapeDoNotEndIt) {
    Store("Address", "proxy.lan");
    bool stillOpen = false;
    Edit([&](TfrmProxy& d) {
        for (QWidget* target :
             std::initializer_list<QWidget*>{d.txtAddress, d.txtPort, d.optIE, &d}) {
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(target, key);
        }
        stillOpen = d.isVisible();
        d.SpeedButton2->click();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(Stored("ConnectionType"), std::nullopt);
}

// The address has the focus on opening; Tab goes through the two boxes and
// then the modes, where it stops at the checked one only.
struct TabCase {
    const char* name;
    const char* stored;
    std::vector<std::string> order;
};

// Names the case in test listings.
void PrintTo(const TabCase& c, std::ostream* os) {
    *os << c.name;
}

class TabOrderTest : public TfrmProxyTest, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabOrderTest, TabGoesThroughTheEditBoxesThenTheCheckedMode) {
    Store("ConnectionType", GetParam().stored);
    std::vector<std::string> order;
    Edit([&](TfrmProxy& d) {
        QApplication::setActiveWindow(&d);
        const auto name = [&](QWidget* w) -> std::string {
            if (w == d.txtAddress) return "txtAddress";
            if (w == d.txtPort) return "txtPort";
            if (w == d.optDirect) return "optDirect";
            if (w == d.optIE) return "optIE";
            if (w == d.optProxy) return "optProxy";
            if (w == d.SpeedButton1) return "SpeedButton1";
            if (w == d.SpeedButton2) return "SpeedButton2";
            return w != nullptr ? w->metaObject()->className() : "nothing";
        };
        order.push_back(name(QApplication::focusWidget()));
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order.push_back(name(QApplication::focusWidget()));
        }
        d.SpeedButton2->click();
    });
    EXPECT_EQ(order, GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, TabOrderTest,
    ::testing::Values(
        TabCase{"direct", "1", {"txtAddress", "txtPort", "optDirect", "txtAddress"}},
        TabCase{"system_settings", "2", {"txtAddress", "txtPort", "optIE", "txtAddress"}},
        TabCase{"explicit_proxy", "3", {"txtAddress", "txtPort", "optProxy", "txtAddress"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TfrmProxyTest, FlatButtonsTakeNoFocus) {
    EXPECT_EQ(dialog_.SpeedButton1->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(dialog_.SpeedButton2->focusPolicy(), Qt::NoFocus);
    QWidget* focusBefore = nullptr;
    QWidget* focusAfter = nullptr;
    Edit([&](TfrmProxy& d) {
        QApplication::setActiveWindow(&d);
        d.txtPort->setFocus();
        focusBefore = QApplication::focusWidget();
        // A button acts on release; the focus is looked at while it is down.
        QTest::mousePress(d.SpeedButton2, Qt::LeftButton);
        focusAfter = QApplication::focusWidget();
        QTest::mouseRelease(d.SpeedButton2, Qt::LeftButton);
    });
    EXPECT_EQ(focusBefore, dialog_.txtPort);
    EXPECT_EQ(focusAfter, dialog_.txtPort);
}

TEST_F(TfrmProxyTest, ModesAreOneGroupAndTheBoxesStayEnabled) {
    Edit([](TfrmProxy& d) {
        d.optIE->click();
        EXPECT_FALSE(d.optDirect->isChecked());
        d.optProxy->click();
        EXPECT_FALSE(d.optIE->isChecked());
        d.optDirect->click();
        EXPECT_FALSE(d.optProxy->isChecked());
        EXPECT_TRUE(d.txtAddress->isEnabled());
        EXPECT_TRUE(d.txtPort->isEnabled());
        d.SpeedButton2->click();
    });
}

}  // namespace
}  // namespace vintrel::testing
