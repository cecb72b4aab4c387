#pragma once

#include <QDialog>

#include "settings/internet_settings.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace vintrel {

/// The "Server Settings" dialog: how the time server is reached. Created once
/// and reused; Enter and Escape do not end it, only its two buttons or its
/// close box do.
class TfrmProxy : public QDialog, public InternetSettingsView {
    Q_OBJECT
public:
    explicit TfrmProxy(QWidget* parent = nullptr);

    void setChoice(ConnectionChoice choice) override;
    ConnectionChoice choice() const override;
    void setProxyAddress(const std::string& text) override;
    std::string proxyAddress() const override;
    void setProxyPort(const std::string& text) override;
    std::string proxyPort() const override;
    bool showModal() override;

    QRadioButton* optDirect = nullptr;
    QRadioButton* optIE = nullptr;
    QRadioButton* optProxy = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtAddress = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtPort = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;

    /// The modal results the two buttons end the dialog with.
    static constexpr int kModalOk = 1;
    static constexpr int kModalCancel = 2;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SpeedButton1Click();
    void SpeedButton2Click();
    void buildControls();
};

}  // namespace vintrel
