#include "Platform/Linux/JsonSettingsStore.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <limits>
#include <optional>

#include "Support/CapturedWarnings.h"
#include "Support/StoredValues.h"
#include "Support/TrackerDesk.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class StoreFolder {
public:
    StoreFolder() { QDir().mkpath(folder()); }
    QString folder() const { return dir_.filePath(u"spindrel"_s); }
    QString path() const { return dir_.filePath(u"spindrel/spindrel.json"_s); }
    QString legacyPath() const { return dir_.filePath(u"spindrel/spindrel.conf"_s); }
    JsonSettingsStore open() const { return JsonSettingsStore(path(), legacyPath()); }

private:
    QTemporaryDir dir_;
};

// A file-size limit stands in for a full disk: the write fails just as with ENOSPC, and it
// holds for root too. The signal the kernel sends with it is ignored while the limit lasts.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes) : previousSignal_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        const rlimit limit{bytes, previous_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousSignal_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit previous_{};
    void (*previousSignal_)(int);
};

}  // namespace

TEST(JsonSettingsStore, ValuesReadBackWithTheirTypesAfterAReopen) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const SettingsValues values{
        {u"zero"_s, qint64{0}},
        {u"lowest"_s, std::numeric_limits<qint64>::min()},
        {u"highest"_s, std::numeric_limits<qint64>::max()},
        {u"beyondDoubles"_s, qint64{9'007'199'254'740'993}},
        {u"on"_s, true},
        {u"off"_s, false},
        {u"tenth"_s, 0.1},
        {u"third"_s, 1.0 / 3.0},
        {u"wholeReal"_s, 1200.0},
        {u"denormal"_s, 5e-324},
        {u"huge"_s, std::numeric_limits<double>::max()},
        {u"negativeZero"_s, -0.0},
        {u"infinite"_s, kInf},
        {u"negativeInfinite"_s, -kInf},
        {u"anyText"_s, QString::fromUtf8("a \"quoted\" \\ line,\nnext=[General]\t\0\x7f 😀", 38)},
        {u"empty"_s, QString()},
        {u"odd key = [x]\\\""_s, u"x"_s},
    };
    StoreFolder folder;
    CapturedWarnings warnings;
    {
        JsonSettingsStore store = folder.open();
        storeAll(store, values);
        store.setReal(u"notANumber"_s, std::numeric_limits<double>::quiet_NaN());
        store.commit();
    }
    const JsonSettingsStore store = folder.open();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        EXPECT_TRUE(readsBack(store, it.key(), it.value())) << it.key().toStdString();
    }
    EXPECT_TRUE(std::isnan(store.real(u"notANumber"_s).value_or(0.0)));
    // A value of another type reads as absent, yet is there.
    EXPECT_EQ(store.integer(u"wholeReal"_s), std::nullopt);
    EXPECT_EQ(store.real(u"zero"_s), std::nullopt);
    EXPECT_EQ(store.boolean(u"zero"_s), std::nullopt);
    EXPECT_EQ(store.string(u"on"_s), std::nullopt);
    EXPECT_TRUE(store.contains(u"wholeReal"_s));
    EXPECT_FALSE(store.contains(u"missing"_s));
    EXPECT_TRUE(store.setAsidePath().isEmpty());
    EXPECT_TRUE(warnings.lines.isEmpty()) << warnings.lines.join(u'\n').toStdString();
}

TEST(JsonSettingsStore, DamageIsSetAsideReportedOnceAndAFreshFileWritten) {
    // Changed digits and cut files come by the thousand in the fuzz cases; these are whole files
    // of the wrong kind.
    const QByteArray damaged[] = {
        QByteArray(),
        QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
        // Well-formed JSON of another shape, under a checksum of its own.
        R"({"integers": [30], "sha256": "x", "version": 1})",
        "[General]\nreminderInterval=30\n",
    };
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.left(40).toStdString());
        StoreFolder folder;
        ASSERT_TRUE(writeFileBytes(folder.path(), bytes));
        CapturedWarnings warnings;
        {
            JsonSettingsStore store = folder.open();
            ASSERT_FALSE(store.setAsidePath().isEmpty());
            EXPECT_TRUE(store.setAsidePath().startsWith(folder.path() + u".damaged-2"_s));
            EXPECT_EQ(fileBytes(store.setAsidePath()), bytes);
            EXPECT_FALSE(store.contains(u"reminderInterval"_s));
            store.setInteger(u"reminderInterval"_s, 60);
            store.commit();
        }
        EXPECT_EQ(warnings.lines.size(), 1);
        const JsonSettingsStore reopened = folder.open();
        EXPECT_TRUE(reopened.setAsidePath().isEmpty());
        EXPECT_EQ(reopened.integer(u"reminderInterval"_s), 60);
    }
}

TEST(JsonSettingsStore, AFolderWhereTheFileShouldBeIsMovedAsideNotDestroyed) {
    StoreFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    ASSERT_TRUE(writeFileBytes(folder.path() + u"/keep"_s, "mine"));
    CapturedWarnings warnings;

    JsonSettingsStore store = folder.open();
    EXPECT_EQ(fileBytes(store.setAsidePath() + u"/keep"_s), "mine");
    store.setBoolean(u"postureTrackingEnabled"_s, true);
    store.commit();
    EXPECT_EQ(folder.open().boolean(u"postureTrackingEnabled"_s), true);
    EXPECT_EQ(warnings.lines.size(), 1);
}

TEST(JsonSettingsStore, ADamagedFileThatCannotBeMovedAsideIsNeverWrittenOver) {
    StoreFolder folder;
    // No room in the name for the ".damaged-<time>" suffix, so the move fails even for root.
    const QString path = folder.folder() + u'/' + QString(245, u's');
    ASSERT_TRUE(writeFileBytes(path, "{ damaged"));
    CapturedWarnings warnings;
    {
        JsonSettingsStore store(path);
        EXPECT_TRUE(store.setAsidePath().isEmpty());
        store.setInteger(u"reminderInterval"_s, 45);
        store.commit();
        EXPECT_EQ(store.integer(u"reminderInterval"_s), 45);
    }
    EXPECT_EQ(fileBytes(path), "{ damaged");
    EXPECT_EQ(warnings.lines.size(), 1);
}

TEST(JsonSettingsStore, FailedSavesKeepTheOldFileAndTheValuesAndWarnOnce) {
    for (const bool readOnlyFolder : {false, true}) {
        if (readOnlyFolder && geteuid() == 0) {
            continue;  // root writes into read-only folders
        }
        SCOPED_TRACE(readOnlyFolder ? "read-only folder" : "full disk");
        StoreFolder folder;
        {
            JsonSettingsStore first = folder.open();
            storeAll(first, {{u"lastDate"_s, u"2026-03-10"_s}, {u"bankedMs"_s, 1234567.25}});
        }
        const QByteArray saved = fileBytes(folder.path());
        CapturedWarnings warnings;
        JsonSettingsStore store = folder.open();
        {
            std::optional<FullDisk> full;
            if (readOnlyFolder) {
                QFile::setPermissions(folder.folder(), QFile::ReadOwner | QFile::ExeOwner);
            } else {
                full.emplace(static_cast<rlim_t>(saved.size() / 2));
            }
            for (qint64 minutes = 1; minutes <= 3; ++minutes) {
                store.setInteger(u"exerciseToday"_s, minutes);
                store.commit();
            }
        }
        QFile::setPermissions(folder.folder(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(store.integer(u"exerciseToday"_s), 3);
        EXPECT_EQ(fileBytes(folder.path()), saved);
        EXPECT_EQ(QDir(folder.folder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        EXPECT_EQ(warnings.lines.size(), 1);

        store.commit();  // there is room again
        EXPECT_EQ(folder.open().integer(u"exerciseToday"_s), 3);
    }
}

TEST(JsonSettingsStore, TheOldIniFileIsCarriedOverOnceWithoutAFalseWarning) {
    StoreFolder folder;
    ASSERT_TRUE(writeFileBytes(folder.legacyPath(),
                               "\xEF\xBB\xBF# written by hand\r\n[General]\r\n; a note\n"
                               "reminderInterval=30\nbankedMs=1200\nbaselineHeadTilt=-3.25\n"
                               "lastDate=2026-03-10\nshowExerciseOffset=true\nfromLater=x y\n"));
    CapturedWarnings warnings;
    const SettingsValues expected{
        {u"reminderInterval"_s, qint64{30}}, {u"bankedMs"_s, 1200.0},
        {u"baselineHeadTilt"_s, -3.25},      {u"lastDate"_s, u"2026-03-10"_s},
        {u"showExerciseOffset"_s, true},     {u"fromLater"_s, u"x y"_s},
    };
    const auto readsAll = [&expected](const JsonSettingsStore& store) {
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            EXPECT_TRUE(readsBack(store, it.key(), it.value())) << it.key().toStdString();
        }
    };
    readsAll(folder.open());
    EXPECT_FALSE(QFile::exists(folder.legacyPath()));
    EXPECT_TRUE(QFile::exists(folder.legacyPath() + u".migrated"_s));

    // Once carried over, an INI file is never read again.
    ASSERT_TRUE(writeFileBytes(folder.legacyPath(), "[General]\nreminderInterval=5\n"));
    readsAll(folder.open());
    EXPECT_TRUE(QFile::exists(folder.legacyPath()));
    EXPECT_TRUE(warnings.lines.isEmpty()) << warnings.lines.join(u'\n').toStdString();
}

TEST(JsonSettingsStore, AnOldIniFileThatWouldLoseAValueIsSetAsideWhole) {
    const QByteArray damaged[] = {
        "[General]\nlastDate=\"026-03-10\nreminderInterval=30\n",
        "[General]\nlastDate=2026-03-10\\\nreminderInterval=30\n",
        "[General]\nreminderInterval=30\nreminderInterval=45\n",
        "[General]\nreminderInterval=30, 45\n",
        "[General]\nlastDate=2026-03-1\xff\nreminderInterval=30\n",
        "[General]\nlastDate=2026-03-10reminderInterval=30\n",
    };
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.toStdString());
        StoreFolder folder;
        ASSERT_TRUE(writeFileBytes(folder.legacyPath(), bytes));
        CapturedWarnings warnings;
        const JsonSettingsStore store = folder.open();
        EXPECT_TRUE(store.setAsidePath().startsWith(folder.legacyPath() + u".damaged-"_s));
        EXPECT_EQ(fileBytes(store.setAsidePath()), bytes);
        EXPECT_FALSE(store.contains(u"reminderInterval"_s));
        EXPECT_EQ(warnings.lines.size(), 1);
    }
}

TEST(JsonSettingsStore, TheTrackerContinuesItsDayOverTheRealFileAfterARestart) {
    StoreFolder folder;
    TrackerDesk desk;
    FakeClock& clock = desk.clock;
    const auto runFor = [&](int ticks) {
        JsonSettingsStore store = folder.open();
        SittingTracker tracker(
            {clock, desk.idle, desk.notifier, store, desk.random, desk.camera, desk.cameraWatch});
        for (int i = 0; i < ticks; ++i) {
            clock.advance(30s);
            desk.idle.idle = (i % 40 < 35) ? 2s : std::chrono::seconds(30 * (i % 40 - 34));
            tracker.tick();
        }
        tracker.logExercise(5);
        return std::pair(tracker.totalSittingMinutes(), tracker.microBreaksTaken());
    };
    const auto [sitting, breaks] = runFor(200);
    clock.advance(10min);
    const auto [laterSitting, laterBreaks] = runFor(1);
    EXPECT_GE(laterSitting, sitting);
    EXPECT_EQ(laterBreaks, breaks);
    EXPECT_EQ(folder.open().integer(u"exerciseToday"_s), 10);
    EXPECT_TRUE(folder.open().setAsidePath().isEmpty());
}
