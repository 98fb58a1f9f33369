#pragma once

#include <QLoggingCategory>
#include <QStringList>
#include <QtGlobal>

// Collects what is logged while it lives, instead of printing it: every warning, or, given a
// category, everything that category says once it is turned on as a user would turn it on.
class CapturedWarnings {
public:
    explicit CapturedWarnings(QLatin1StringView category = {})
        : category_(category), previous_(qInstallMessageHandler(&CapturedWarnings::collect)) {
        if (!category_.isEmpty()) {
            QLoggingCategory::setFilterRules(category_ + QStringLiteral(".info=true"));
        }
        active_ = this;
    }
    ~CapturedWarnings() {
        if (!category_.isEmpty()) {
            QLoggingCategory::setFilterRules(QString());
        }
        qInstallMessageHandler(previous_);
        active_ = nullptr;
    }
    CapturedWarnings(const CapturedWarnings&) = delete;
    CapturedWarnings& operator=(const CapturedWarnings&) = delete;

    QStringList lines;

private:
    static void collect(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (active_ == nullptr) {
            return;
        }
        const bool wanted = active_->category_.isEmpty()
                                ? type == QtWarningMsg
                                : active_->category_ == QLatin1StringView(context.category);
        if (wanted) {
            active_->lines.append(message);
        }
    }

    static inline CapturedWarnings* active_ = nullptr;
    QString category_;
    QtMessageHandler previous_;
};
