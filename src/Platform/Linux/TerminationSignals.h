#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Turns SIGTERM, SIGINT and SIGHUP (logout, Ctrl+C, a closed terminal) into a signal on the
// event loop, so the process ends through its normal exit path and today's record is saved.
// The signals must be blocked before any thread starts, so that every thread inherits that and
// none of them dies of one: call blockInEveryThread() first thing in main.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    static bool blockInEveryThread();

    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isActive() const { return notifier_ != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
