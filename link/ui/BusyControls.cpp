#include "link/ui/BusyControls.h"

#include "link/ModuleBusy.h"

#include <QApplication>
#include <QEvent>

namespace vemo {

namespace {

// Swallows the user's input while it is installed.
class InputSink : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

// Clicks and keys given while the window was blocked are still queued; run the queue now and
// drop them, so that nothing the user could not see happen is carried out later.
void DropQueuedInput() {
    InputSink sink;
    qApp->installEventFilter(&sink);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    qApp->removeEventFilter(&sink);
}

} // namespace

BusyControls::BusyControls(QWidget* window, const std::vector<QWidget*>& controls)
    : window_(window), controls_(controls.begin(), controls.end()) {
    listener_ = AddBusyListener([this](bool busy) { SetBusy(busy); });
}

BusyControls::~BusyControls() {
    RemoveBusyListener(listener_);
}

void BusyControls::SetBusy(bool busy) {
    if (busy) {
        if (!window_) return;
        for (QWidget* w : controls_) {
            // disabled for its own reasons: leave it so
            if (!w || w->testAttribute(Qt::WA_ForceDisabled)) continue;
            w->setEnabled(false);
            disabled_.emplace_back(w);
        }
        if (ModuleBusyKind() == BusyKind::Blocking) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            waitCursor_ = true;
            // The window paints nothing more until the command ends: show its state now.
            window_->repaint();
        }
    } else {
        if (waitCursor_) {
            DropQueuedInput();
            QApplication::restoreOverrideCursor();
            waitCursor_ = false;
        }
        for (auto& w : disabled_)
            if (w) w->setEnabled(true);
        disabled_.clear();
    }
}

} // namespace vemo
