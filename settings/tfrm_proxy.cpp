#include "settings/tfrm_proxy.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <algorithm>

namespace vintrel {
namespace {

// A radio button with its caption on the left and its button at the right
// edge, the caption starting at the control's left edge (a right-to-left radio
// button would push the caption against its button instead).
class CaptionFirstRadio final : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QRect mark = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
        QStyleOptionButton button = option;
        button.rect = QRect(width() - mark.width(), mark.y(), mark.width(), mark.height());
        painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, button);
        const int room = button.rect.left() - kSpacing;
        const QRect caption(0, 0, std::min(fontMetrics().horizontalAdvance(text()) + 2, room),
                            height());
        painter.drawItemText(caption, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
                             text(), QPalette::WindowText);
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = caption;
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }
    // The caption chooses too, as the button's own would.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    static constexpr int kSpacing = 4;
};

QRadioButton* MakeRadio(const char* caption, int top, QWidget* parent) {
    auto* radio = new CaptionFirstRadio(QString::fromLatin1(caption), parent);
    // At 128, 185 wide, its button at the right (128 + 185); a caption too long
    // for that starts further left instead of being cut off.
    const int needed = radio->sizeHint().width();
    const int left = std::min(128, 128 + 185 - needed);
    radio->setGeometry(left, top, 128 + 185 - left, 17);
    return radio;
}

QToolButton* MakeFlatButton(const char* caption, const char* glyph, int left, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(QString::fromLatin1(caption));
    button->setIcon(QIcon(QString::fromLatin1(glyph)));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, 164, 65, 30);
    // Raised under the mouse it keeps the dialog's dark face, or its white
    // caption would vanish on the style's light one.
    QPalette look = button->palette();
    look.setColor(QPalette::Button, parent->palette().color(QPalette::Window));
    button->setPalette(look);
    return button;
}

}  // namespace

TfrmProxy::TfrmProxy(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmProxy"));
    setWindowTitle(QStringLiteral("Server Settings"));
    setFixedSize(332, 203);
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, QColor(0x57, 0x57, 0x57));
    look.setColor(QPalette::WindowText, Qt::white);
    look.setColor(QPalette::ButtonText, Qt::white);
    setPalette(look);
    QFont font(QStringLiteral("Sans Serif"), 8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    buildControls();
}

void TfrmProxy::buildControls() {
    // Created in tab order, which is also the focus order: the edit boxes in
    // the group come first, so the address has the focus when the dialog
    // opens; of the three modes, Tab stops at the checked one.
    GroupBox3 = new QGroupBox(this);
    GroupBox3->setGeometry(8, 74, 313, 79);
    Label1 = new QLabel(QStringLiteral("Proxy Address"), GroupBox3);
    Label1->move(16, 24);
    txtAddress = new QLineEdit(GroupBox3);
    txtAddress->setGeometry(16, 40, 185, 21);
    Label2 = new QLabel(QStringLiteral("Proxy Port"), GroupBox3);
    Label2->move(214, 24);
    txtPort = new QLineEdit(GroupBox3);
    txtPort->setGeometry(216, 40, 73, 21);
    for (QLineEdit* edit : {txtAddress, txtPort}) {
        QPalette editLook = edit->palette();
        editLook.setColor(QPalette::Text, Qt::black);
        editLook.setColor(QPalette::Base, Qt::white);
        edit->setPalette(editLook);
    }

    optDirect = MakeRadio("Direct Connection", 8, this);
    optIE = MakeRadio("Follow Internet Explorer Settings", 28, this);
    optProxy = MakeRadio("Use Proxy Server", 48, this);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* radio : {optDirect, optIE, optProxy}) group->addButton(radio);
    optDirect->setChecked(true);

    SpeedButton1 = MakeFlatButton("OK", ":/vintrel/ok.png", 184, this);
    SpeedButton2 = MakeFlatButton("Cancel", ":/vintrel/cancel.png", 256, this);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmProxy::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TfrmProxy::SpeedButton2Click);
}

void TfrmProxy::SpeedButton1Click() {
    done(kModalOk);
}

void TfrmProxy::SpeedButton2Click() {
    done(kModalCancel);
}

void TfrmProxy::keyPressEvent(QKeyEvent* event) {
    // The dialog has no default or cancel key.
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void TfrmProxy::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on its parent the first time only; later openings keep the place.
    setAttribute(Qt::WA_Moved);
}

void TfrmProxy::setChoice(ConnectionChoice choice) {
    QRadioButton* checked = optDirect;
    if (choice == ConnectionChoice::Proxy) checked = optProxy;
    if (choice == ConnectionChoice::FollowSystem) checked = optIE;
    checked->setChecked(true);
    // Tab stops at the checked mode, not at whichever button had the focus
    // last: a keyboard user lands on the mode in force.
    for (QRadioButton* radio : {optDirect, optIE, optProxy})
        radio->setFocusPolicy(radio == checked ? Qt::StrongFocus : Qt::ClickFocus);
}

ConnectionChoice TfrmProxy::choice() const {
    if (optProxy->isChecked()) return ConnectionChoice::Proxy;
    if (optIE->isChecked()) return ConnectionChoice::FollowSystem;
    return ConnectionChoice::Direct;
}

void TfrmProxy::setProxyAddress(const std::string& text) {
    txtAddress->setText(QString::fromStdString(text));
}

std::string TfrmProxy::proxyAddress() const {
    return txtAddress->text().toStdString();
}

void TfrmProxy::setProxyPort(const std::string& text) {
    txtPort->setText(QString::fromStdString(text));
}

std::string TfrmProxy::proxyPort() const {
    return txtPort->text().toStdString();
}

bool TfrmProxy::showModal() {
    return exec() == kModalOk;
}

}  // namespace vintrel
