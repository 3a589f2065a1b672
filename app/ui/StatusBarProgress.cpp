#include "app/ui/StatusBarProgress.h"

#include <QApplication>
#include <QKeyEvent>

#include "base/ui/Translate.h"

namespace pelmora {

namespace {

constexpr int kBarWidth = 130;
constexpr int kEventIntervalMs = 40;

bool IsInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close: return true;
    default: return false;
    }
}

}  // namespace

StatusBarProgress::StatusBarProgress(QStatusBar* bar) : bar_(bar) {}

StatusBarProgress::~StatusBarProgress() {
    if (filtering_) qApp->removeEventFilter(this);
}

void StatusBarProgress::ShowStatus(StringId status) {
    if (!status_) {
        status_ = new QLabel(bar_);
        percent_ = new QLabel(bar_);
        percent_->setMinimumWidth(percent_->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
        progress_ = new QProgressBar(bar_);
        progress_->setFixedWidth(kBarWidth);
        progress_->setTextVisible(false);
        bar_->addWidget(status_);
        bar_->addWidget(percent_);
        bar_->addWidget(progress_);
    }
    status_->setText(Tr(Text(status)));
    status_->show();
    percent_->show();
    progress_->show();
    escape_ = false;
    if (!filtering_) {
        qApp->installEventFilter(this);
        filtering_ = true;
    }
    sinceEvents_.start();
    KeepResponsive();
}

void StatusBarProgress::ShowPercent(int percent) {
    if (percent_) percent_->setText(QString::fromStdString(FormatText(StringId::PercentFormat, percent)));
}

void StatusBarProgress::ShowBar(std::uint64_t position, std::uint32_t range) {
    if (!progress_) return;
    progress_->setRange(0, static_cast<int>(std::min<std::uint32_t>(range, INT32_MAX)));
    progress_->setValue(static_cast<int>(std::min<std::uint64_t>(position, range)));
    if (sinceEvents_.elapsed() >= kEventIntervalMs) KeepResponsive();
}

void StatusBarProgress::Hide() {
    if (status_) {
        status_->hide();
        percent_->hide();
        progress_->hide();
    }
    if (filtering_) {
        qApp->removeEventFilter(this);
        filtering_ = false;
    }
}

// Repaints and lets ESC through while the operation runs on this thread.
void StatusBarProgress::KeepResponsive() {
    // All events, so that ESC and repaints arrive on every platform (on some the display's own
    // connection is a socket); what must wait for the operation is held off by the filter or,
    // for a second instance's hand-over, by the main frame.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    sinceEvents_.restart();
}

bool StatusBarProgress::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        escape_ = true;
        return true;
    }
    if (IsInput(event->type())) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pelmora
