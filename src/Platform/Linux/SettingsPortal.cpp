#include "Platform/Linux/SettingsPortal.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

using namespace Qt::StringLiterals;

namespace {

const QString kPortal = u"org.freedesktop.portal.Desktop"_s;
const QString kPortalPath = u"/org/freedesktop/portal/desktop"_s;
const QString kSettings = u"org.freedesktop.portal.Settings"_s;

const QString kGnomeInterface = u"org.gnome.desktop.interface"_s;
const QString kAnimations = u"enable-animations"_s;
const QString kGnomeA11y = u"org.gnome.desktop.a11y.interface"_s;
const QString kHighContrast = u"high-contrast"_s;
const QString kAppearance = u"org.freedesktop.appearance"_s;
const QString kContrast = u"contrast"_s;

// The portal wraps each value in one variant, some versions in two.
QVariant unwrap(QVariant value) {
    while (value.canConvert<QDBusVariant>() &&
           value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value;
}

}  // namespace

SettingsPortal::SettingsPortal(const QDBusConnection& bus, QObject* parent)
    : AccessibilitySettings(parent), bus_(bus) {
    if (!bus_.isConnected()) {
        return;
    }
    // The slot's argument types must be known before the signal can be matched to it.
    qRegisterMetaType<QDBusVariant>();
    // From whichever program serves the portal's path. QtDBus matches the slot's signature as
    // written, so it is kept free of spaces.
    // clang-format off
    bus_.connect(u""_s, kPortalPath, kSettings, u"SettingChanged"_s, u"ssv"_s, this,
                 SLOT(settingChanged(QString,QString,QDBusVariant)));
    // clang-format on
    readAll();
}

void SettingsPortal::readAll() {
    // Asked without waiting: the window must not wait on a desktop service to draw.
    for (const auto& [group, key] :
         {std::pair{kGnomeInterface, kAnimations}, std::pair{kGnomeA11y, kHighContrast},
          std::pair{kAppearance, kContrast}}) {
        QDBusMessage read =
            QDBusMessage::createMethodCall(kPortal, kPortalPath, kSettings, u"Read"_s);
        read << group << key;
        auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(read, 2000), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, group = group, key = key](QDBusPendingCallWatcher* call) {
                    const QDBusPendingReply<QDBusVariant> reply = *call;
                    // A change that came while the answer was on its way is newer.
                    if (!reply.isError() && !changedLive_.contains(group + u'/' + key)) {
                        apply(group, key, unwrap(reply.value().variant()));
                    }
                    call->deleteLater();
                });
    }
}

void SettingsPortal::settingChanged(const QString& group, const QString& key,
                                    const QDBusVariant& value) {
    changedLive_.insert(group + u'/' + key);
    apply(group, key, unwrap(value.variant()));
}

void SettingsPortal::apply(const QString& group, const QString& key, const QVariant& value) {
    if (group == kGnomeInterface && key == kAnimations) {
        setWishes(!value.toBool(), reduceTransparency_);
    } else if (group == kGnomeA11y && key == kHighContrast) {
        setWishes(reduceMotion_, value.toBool());
    } else if (group == kAppearance && key == kContrast) {
        setWishes(reduceMotion_, value.toUInt() == 1);
    }
}

void SettingsPortal::setWishes(bool reduceMotion, bool reduceTransparency) {
    if (reduceMotion != reduceMotion_ || reduceTransparency != reduceTransparency_) {
        reduceMotion_ = reduceMotion;
        reduceTransparency_ = reduceTransparency;
        emit changed();
    }
}
