#include "app/tfrm_about.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>

#include "app/about_notice.h"
#include "app/maker.h"
#include "platform/shell_launcher.h"

namespace vintrel {
namespace {

QLabel* MakeLabel(QWidget* parent, QRect place, QColor colour, const QFont& font) {
    auto* label = new QLabel(parent);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QPalette look = label->palette();
    look.setColor(QPalette::WindowText, colour);
    label->setPalette(look);
    label->setFont(font);
    return label;
}

// Where Comic Sans is missing, a plain sans serif reads closer to it than the
// italic serif that the system picks for a cursive hint.
QFont ComicFont(int pointSize) {
    QFont font(QStringLiteral("Comic Sans MS"), pointSize);
    font.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

QString AboutNotice() {
    return QString::fromStdString(AboutNoticeText());
}

TfrmAbout::TfrmAbout(ShellLauncher& shell, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      shell_(shell) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(365, 213);
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, QColor(0x57, 0x57, 0x57));
    setPalette(look);

    QFont terminal(QStringLiteral("Terminal"));
    terminal.setStyleHint(QFont::TypeWriter);
    terminal.setPixelSize(21);
    Label1 = MakeLabel(this, QRect(178, 16, 170, 18), Qt::white, terminal);
    Label1->setText(QStringLiteral("Vintrel"));
    // The 21-pixel font needs more than the label's 18 pixels where its
    // stand-in has a taller line; the label grows downwards, clear of the notice.
    Label1->resize(170, std::max(18, Label1->fontMetrics().height()));
    Label1->setAutoFillBackground(true);

    Label2 = MakeLabel(this, QRect(40, 48, 305, 129), Qt::yellow, ComicFont(8));
    Label2->setWordWrap(true);

    QFont link = ComicFont(9);
    link.setUnderline(true);
    Label3 = MakeLabel(this, QRect(168, 184, 180, 17), Qt::green, link);
    Label3->setText(QString::fromUtf8(kMakerUrl));
    Label3->setAutoFillBackground(true);
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->installEventFilter(this);

    FormCreate();
}

void TfrmAbout::FormCreate() {
    Label2->setText(AboutNotice());
}

void TfrmAbout::Label3Click() {
    shell_.openUrl(kMakerUrl);
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label3Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the main window the first time; later openings keep the place.
    setAttribute(Qt::WA_Moved);
}

}  // namespace vintrel
