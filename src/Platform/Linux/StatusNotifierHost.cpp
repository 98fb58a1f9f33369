#include "Platform/Linux/StatusNotifierHost.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>

using namespace Qt::StringLiterals;

StatusNotifierHost statusNotifierHost(const QDBusConnection& bus) {
    const QString watcher = u"org.kde.StatusNotifierWatcher"_s;
    QDBusConnectionInterface* daemon = bus.interface();
    if (!daemon || !daemon->isServiceRegistered(watcher)) {
        return StatusNotifierHost::none;
    }
    const QDBusReply<uint> pid = daemon->servicePid(watcher);
    if (!pid.isValid()) {
        return StatusNotifierHost::asGiven;
    }
    QFile comm(u"/proc/%1/comm"_s.arg(pid.value()));
    if (!comm.open(QIODevice::ReadOnly)) {
        return StatusNotifierHost::asGiven;
    }
    // GNOME Shell hosts the watcher in its AppIndicator extension; KDE in kded or Plasma.
    const QString owner = QString::fromUtf8(comm.readAll()).trimmed();
    for (const auto recolours : {u"gnome-shell", u"plasmashell", u"kded5", u"kded6"}) {
        if (owner == QStringView(recolours)) {
            return StatusNotifierHost::recolouring;
        }
    }
    return StatusNotifierHost::asGiven;
}
