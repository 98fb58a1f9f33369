#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <random>

#include "Platform/Linux/JsonSettingsStore.h"
#include "Support/CapturedWarnings.h"
#include "Support/StoredValues.h"

using namespace Qt::StringLiterals;

// Thousands of damaged copies of real settings files, each opened by a fresh store. Whatever a
// store reads must be what was written, unless it set the file aside. A failure names the seed
// of its case; the same seed replays it.
namespace {

constexpr std::uint64_t kFirstSeed = 20260310;
constexpr int kStoreFileCases = 2500;
constexpr int kIniFileCases = 1500;

qsizetype below(std::mt19937_64& random, qsizetype bound) {
    return bound <= 0 ? 0 : static_cast<qsizetype>(random() % static_cast<std::uint64_t>(bound));
}

// The kinds of change a crash, a bad sector or a careless editor make, one to three at a time.
QByteArray damage(QByteArray bytes, std::mt19937_64& random) {
    static const QByteArray likelyBytes = "\"\\\n\r,=:{}[]#;0123456789 e.-";
    const qsizetype changes = 1 + below(random, 3);
    for (qsizetype change = 0; change < changes; ++change) {
        const qsizetype at = below(random, bytes.size());
        QList<QByteArray> lines = bytes.split('\n');
        const qsizetype line = below(random, lines.size());
        switch (below(random, 7)) {
            case 0:
                if (!bytes.isEmpty()) {
                    bytes[at] = static_cast<char>(bytes[at] ^ (1 << below(random, 8)));
                }
                break;
            case 1:
                bytes.insert(at, below(random, 4) != 0
                                     ? likelyBytes[below(random, likelyBytes.size())]
                                     : static_cast<char>(below(random, 256)));
                break;
            case 2:
                bytes.remove(at, 1 + below(random, 8));
                break;
            case 3:
                bytes.truncate(at);
                break;
            case 4:
                lines.insert(line, lines[line]);
                bytes = lines.join('\n');
                break;
            case 5: {
                QList<qsizetype> digits;
                for (qsizetype i = 0; i < bytes.size(); ++i) {
                    if (bytes[i] >= '0' && bytes[i] <= '9') {
                        digits.append(i);
                    }
                }
                if (!digits.isEmpty()) {
                    const qsizetype digit = digits[below(random, digits.size())];
                    bytes[digit] =
                        static_cast<char>('0' + (bytes[digit] - '0' + 1 + below(random, 9)) % 10);
                }
                break;
            }
            default:
                lines[line].append(below(random, 2) == 0 ? '"' : '\\');
                bytes = lines.join('\n');
                break;
        }
    }
    return bytes;
}

const SettingsValues& dayRecord() {
    static const SettingsValues values{
        {u"reminderInterval"_s, qint64{30}},
        {u"showExerciseOffset"_s, true},
        {u"postureTrackingEnabled"_s, false},
        {u"lastDate"_s, u"2026-03-10"_s},
        {u"bankedMs"_s, 7261234.5},
        {u"bankedBreakMs"_s, 1.0e-7},
        {u"exerciseToday"_s, qint64{15}},
        {u"microBreaksToday"_s, qint64{-4}},
        {u"baselineHeadTilt"_s, -3.0000000000000004},
        {u"note"_s, u"say \"hi\" \\ then, a=b"_s},
    };
    return values;
}

// A scratch folder emptied for every case. It lives in shared memory where the machine has
// it: the reader is under test here, not the disk, and thousands of files on a busy disk take
// seconds.
class CaseFolder {
public:
    CaseFolder()
        : dir_((QFileInfo(u"/dev/shm"_s).isWritable() ? u"/dev/shm"_s : QDir::tempPath()) +
               u"/spindrel-fuzz-XXXXXX"_s) {}
    QString path(const QString& name) const { return dir_.filePath(u"case/"_s + name); }
    void clear() const {
        QDir(dir_.filePath(u"case"_s)).removeRecursively();
        QDir().mkpath(dir_.filePath(u"case"_s));
    }

private:
    QTemporaryDir dir_;
};

struct IniLine {
    QString key;
    QByteArray text;
    SettingsValue value;
};

const QList<IniLine>& iniRecord() {
    static const QList<IniLine> lines{
        {u"reminderInterval"_s, "30", qint64{30}},
        {u"showExerciseOffset"_s, "true", true},
        {u"lastDate"_s, "2026-03-10", u"2026-03-10"_s},
        {u"bankedMs"_s, "1200", 1200.0},
        {u"bankedBreakMs"_s, "0.1", 0.1},
        {u"exerciseToday"_s, "15", qint64{15}},
        {u"baselineHeadTilt"_s, "-3.25", -3.25},
    };
    return lines;
}

// Old files as QSettings wrote them, and one an editor touched.
QList<QByteArray> iniFiles(const CaseFolder& folder) {
    folder.clear();
    const QString path = folder.path(u"written.conf"_s);
    {
        QSettings settings(path, QSettings::IniFormat);
        for (const IniLine& line : iniRecord()) {
            settings.setValue(line.key, QString::fromLatin1(line.text));
        }
    }
    const QByteArray written = fileBytes(path);
    return {written, "\xEF\xBB\xBF# kept by hand\r\n" + written};
}

int linesEqualTo(const QByteArray& bytes, const QByteArray& wanted) {
    int count = 0;
    for (QByteArray line : bytes.split('\n')) {
        if (line.startsWith("\xEF\xBB\xBF")) {
            line.remove(0, 3);
        }
        count += line.trimmed() == wanted ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(JsonSettingsStoreFuzz, ADamagedStoreFileIsSetAsideOrReadExactly) {
    CaseFolder folder;
    folder.clear();
    const QString path = folder.path(u"spindrel.json"_s);
    {
        JsonSettingsStore store(path);
        storeAll(store, dayRecord());
    }
    const QByteArray written = fileBytes(path);
    int setAside = 0;
    for (int n = 0; n < kStoreFileCases; ++n) {
        const std::uint64_t seed = kFirstSeed + static_cast<std::uint64_t>(n);
        std::mt19937_64 random(seed);
        const QByteArray damaged = damage(written, random);
        folder.clear();
        ASSERT_TRUE(writeFileBytes(path, damaged));
        CapturedWarnings warnings;
        const JsonSettingsStore store(path);
        const bool aside = !store.setAsidePath().isEmpty();
        setAside += aside ? 1 : 0;
        for (auto it = dayRecord().cbegin(); it != dayRecord().cend(); ++it) {
            const bool fine =
                aside ? !store.contains(it.key()) : readsBack(store, it.key(), it.value());
            ASSERT_TRUE(fine) << "seed " << seed << ", key " << it.key().toStdString()
                              << ", file:\n"
                              << damaged.toStdString();
        }
        ASSERT_EQ(warnings.lines.size(), aside ? 1 : 0) << "seed " << seed;
        ASSERT_TRUE(!aside || fileBytes(store.setAsidePath()) == damaged) << "seed " << seed;
    }
    // Both outcomes occur, or the damage was never of the kind that matters.
    RecordProperty("setAside", setAside);
    EXPECT_GT(setAside, kStoreFileCases / 2);
    EXPECT_LT(setAside, kStoreFileCases);
}

TEST(JsonSettingsStoreFuzz, ADamagedIniFileIsSetAsideOrKeepsEveryIntactLine) {
    CaseFolder folder;
    const QList<QByteArray> originals = iniFiles(folder);
    const QString path = folder.path(u"spindrel.json"_s);
    const QString legacyPath = folder.path(u"spindrel.conf"_s);
    int setAside = 0;
    for (int n = 0; n < kIniFileCases; ++n) {
        const std::uint64_t seed = kFirstSeed + static_cast<std::uint64_t>(n);
        std::mt19937_64 random(seed);
        const QByteArray damaged = damage(originals[n % originals.size()], random);
        folder.clear();
        ASSERT_TRUE(writeFileBytes(legacyPath, damaged));
        CapturedWarnings warnings;
        const JsonSettingsStore store(path, legacyPath);
        const bool aside = !store.setAsidePath().isEmpty();
        setAside += aside ? 1 : 0;
        // The old file has no checksum: a changed digit is a changed value. What must hold is
        // that damage never reaches past its own line.
        const JsonSettingsStore reopened(path);
        for (const IniLine& line : iniRecord()) {
            const bool intact = linesEqualTo(damaged, line.key.toLatin1() + '=' + line.text) == 1;
            const bool fine = aside ? !store.contains(line.key)
                                    : !intact || (readsBack(store, line.key, line.value) &&
                                                  readsBack(reopened, line.key, line.value));
            ASSERT_TRUE(fine) << "seed " << seed << ", key " << line.key.toStdString()
                              << ", file:\n"
                              << damaged.toStdString();
        }
        ASSERT_EQ(warnings.lines.size(), aside ? 1 : 0) << "seed " << seed;
    }
    RecordProperty("setAside", setAside);
    EXPECT_GT(setAside, 0);
    EXPECT_LT(setAside, kIniFileCases);
}
