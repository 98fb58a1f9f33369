#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the warnings logged while it lives, instead of printing them.
class CapturedWarnings {
public:
    CapturedWarnings() : previous_(qInstallMessageHandler(&CapturedWarnings::collect)) {
        active_ = this;
    }
    ~CapturedWarnings() {
        qInstallMessageHandler(previous_);
        active_ = nullptr;
    }
    CapturedWarnings(const CapturedWarnings&) = delete;
    CapturedWarnings& operator=(const CapturedWarnings&) = delete;

    QStringList lines;

private:
    static void collect(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtWarningMsg && active_ != nullptr) {
            active_->lines.append(message);
        }
    }

    static inline CapturedWarnings* active_ = nullptr;
    QtMessageHandler previous_;
};
