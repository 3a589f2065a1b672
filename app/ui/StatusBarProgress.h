#pragma once
// The progress display in the main window's status bar: status text, percent and a 130-pixel
// bar. While an operation runs, other input is held off; ESC is recorded for the operation.

#include <QLabel>
#include <QObject>
#include <QProgressBar>
#include <QStatusBar>
#include <QElapsedTimer>

#include "base/ProgressTask.h"

namespace pelmora {

class StatusBarProgress : public QObject, public ProgressTask {
    Q_OBJECT
public:
    explicit StatusBarProgress(QStatusBar* bar);
    ~StatusBarProgress() override;

protected:
    void ShowStatus(StringId status) override;
    void ShowPercent(int percent) override;
    void ShowBar(std::uint64_t position, std::uint32_t range) override;
    void Hide() override;
    bool EscapeDown() override { return escape_; }
    void ConsumeEscape() override { escape_ = false; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeepResponsive();

    QStatusBar* bar_;
    QLabel* status_ = nullptr;
    QLabel* percent_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QElapsedTimer sinceEvents_;
    bool escape_ = false;
    bool filtering_ = false;
};

}  // namespace pelmora
