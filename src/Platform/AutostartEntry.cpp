#include "Platform/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

using namespace Qt::StringLiterals;

AutostartEntry::AutostartEntry(const QString& folder, const QString& program)
    : folder_(folder), path_(folder + u"/spindrel.desktop"_s), program_(program) {}

QString AutostartEntry::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/autostart"_s;
}

bool AutostartEntry::isEnabled() const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false") {
            return false;
        }
    }
    return true;
}

bool AutostartEntry::setEnabled(bool on) {
    if (!on) {
        return !QFile::exists(path_) || QFile::remove(path_);
    }
    if (!QDir().mkpath(folder_)) {
        return false;
    }
    const QString entry =
        u"[Desktop Entry]\n"
        u"Type=Application\n"
        u"Name=Spindrel\n"
        u"Comment=Counts your sitting time and reminds you to move\n"
        u"Exec="_s +
        execValue(program_) +
        u"\n"
        u"Icon=spindrel\n"
        u"Terminal=false\n"
        u"NoDisplay=true\n"
        u"X-GNOME-Autostart-enabled=true\n"
        u"X-GNOME-Autostart-Delay=5\n"
        u"X-KDE-autostart-after=panel\n"_s;
    QSaveFile file(path_);
    return file.open(QIODevice::WriteOnly) && file.write(entry.toUtf8()) >= 0 && file.commit();
}

QString AutostartEntry::execValue(const QString& program) {
    // A path with a space or a character the Exec syntax reserves goes in double quotes, with
    // the four that stay special inside them escaped; the key file's own escaping then doubles
    // every backslash and spells out line breaks and tabs, and a literal % is written %%.
    static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
    const bool quote =
        std::any_of(program.begin(), program.end(), [](QChar c) { return reserved.contains(c); });
    QString value;
    if (quote) {
        value += u'"';
        for (const QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                value += u'\\';
            }
            value += c;
        }
        value += u'"';
    } else {
        value = program;
    }
    value.replace(u"\\"_s, u"\\\\"_s);
    value.replace(u"\n"_s, u"\\n"_s);
    value.replace(u"\t"_s, u"\\t"_s);
    value.replace(u"%"_s, u"%%"_s);
    return value;
}
