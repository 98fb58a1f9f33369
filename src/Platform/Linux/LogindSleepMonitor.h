#pragma once

#include <QDBusConnection>
#include <QObject>

// logind's word that the machine is about to suspend or has resumed.
class LogindSleepMonitor final : public QObject {
    Q_OBJECT

public:
    // Listens on the given bus; the system bus in the running app.
    explicit LogindSleepMonitor(QDBusConnection connection, QObject* parent = nullptr);

    bool isListening() const { return listening_; }

signals:
    void aboutToSleep();
    void resumed();

private slots:
    void onPrepareForSleep(bool start);

private:
    bool listening_ = false;
};
