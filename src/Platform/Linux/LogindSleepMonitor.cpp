#include "Platform/Linux/LogindSleepMonitor.h"

using namespace Qt::StringLiterals;

LogindSleepMonitor::LogindSleepMonitor(QDBusConnection connection, QObject* parent)
    : QObject(parent) {
    listening_ = connection.isConnected() &&
                 connection.connect(u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                                    u"org.freedesktop.login1.Manager"_s, u"PrepareForSleep"_s, this,
                                    SLOT(onPrepareForSleep(bool)));
}

void LogindSleepMonitor::onPrepareForSleep(bool start) {
    if (start) {
        emit aboutToSleep();
    } else {
        emit resumed();
    }
}
