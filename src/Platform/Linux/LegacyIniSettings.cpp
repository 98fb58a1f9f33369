#include "Platform/Linux/LegacyIniSettings.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// These held reals even when a whole number was written ("bankedMs=1200"); every other value
// takes the type its text spells.
bool heldAReal(QStringView key) {
    static const QStringView reals[] = {u"bankedMs", u"bankedBreakMs", u"baselineHeadTilt",
                                        u"baselineShoulderTilt", u"baselineSlouchAngle"};
    return std::find(std::begin(reals), std::end(reals), key) != std::end(reals);
}

bool isPlainKey(QStringView key) {
    static const QRegularExpression plain(u"^[A-Za-z0-9_.-]+$"_s);
    return plain.match(key).hasMatch();
}

// Quotes, backslashes and commas were QSettings' escapes and lists; an "=" or a control
// character in a value is two lines run together. None of them was in a value we wrote.
bool isPlainValue(QStringView value) {
    return std::none_of(value.begin(), value.end(), [](QChar c) {
        return c == u'"' || c == u'\\' || c == u',' || c == u'=' || c.unicode() < 0x20 ||
               c.unicode() == 0x7f;
    });
}

std::optional<double> shortestReal(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || QString::number(value, 'g', QLocale::FloatingPointShortest) != text) {
        return std::nullopt;
    }
    return value;
}

SettingsValue typedValue(QStringView key, const QString& text) {
    if (heldAReal(key)) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        // Not a number: kept as the text it was, so a read of the real stays absent as before.
        return ok ? SettingsValue(value) : SettingsValue(text);
    }
    static const QRegularExpression integer(u"^-?[0-9]+$"_s);
    if (integer.match(text).hasMatch()) {
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (ok) {
            return value;
        }
    }
    if (text == u"true"_s || text == u"false"_s) {
        return text == u"true"_s;
    }
    if (const auto real = shortestReal(text)) {
        return *real;
    }
    return text;
}

}  // namespace

namespace LegacyIniSettings {

std::optional<SettingsValues> read(const QByteArray& bytes) {
    if (bytes.contains('\0')) {
        return std::nullopt;
    }
    // The decoder drops a leading byte-order mark, as editors that add one expect.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        return std::nullopt;
    }
    SettingsValues values;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';')) {
            continue;
        }
        if (line.startsWith(u'[')) {
            if (line != u"[General]") {
                return std::nullopt;
            }
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            return std::nullopt;
        }
        const QStringView key = line.first(equals).trimmed();
        const QString value = line.sliced(equals + 1).trimmed().toString();
        if (!isPlainKey(key) || !isPlainValue(value) || values.contains(key.toString())) {
            return std::nullopt;
        }
        values.insert(key.toString(), typedValue(key, value));
    }
    return values;
}

}  // namespace LegacyIniSettings
