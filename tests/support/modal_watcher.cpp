#include "tests/support/modal_watcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>

namespace vintrel::testing {

ModalWatcher::ModalWatcher() {
    qApp->installEventFilter(this);
}

ModalWatcher::~ModalWatcher() {
    qApp->removeEventFilter(this);
}

std::vector<std::string> ModalWatcher::texts() const {
    std::vector<std::string> result;
    for (const Box& box : boxes_) result.push_back(box.text);
    return result;
}

void ModalWatcher::onNextDialog(std::function<void(QDialog&)> action) {
    actions_.push_back(std::move(action));
}

bool ModalWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->isWindow() && qobject_cast<QDialog*>(widget) != nullptr) {
            // Answered once the dialog's own event loop runs.
            QPointer<QWidget> window(widget);
            QTimer::singleShot(0, this, [this, window] {
                if (window && window->isVisible()) answer(window);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void ModalWatcher::answer(QWidget* window) {
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
        boxes_.push_back({box->windowTitle().toStdString(), box->text().toStdString(), box->icon(),
                          box->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                          !box->windowIcon().isNull() &&
                              box->windowIcon().cacheKey() == qApp->windowIcon().cacheKey()});
        const QList<QAbstractButton*> buttons = box->buttons();
        if (buttons.isEmpty()) {
            box->reject();
        } else {
            buttons.first()->click();
        }
        return;
    }
    auto* dialog = static_cast<QDialog*>(window);
    dialogs_.push_back(dialog->objectName().toStdString());
    if (actions_.empty()) {
        dialog->reject();
        return;
    }
    const std::function<void(QDialog&)> action = std::move(actions_.front());
    actions_.pop_front();
    action(*dialog);
}

}  // namespace vintrel::testing
