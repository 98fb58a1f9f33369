#include "Platform/Linux/IniSettingsStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <limits>

#include "Models/SittingTracker.h"
#include "Support/FakeCamera.h"
#include "Support/FakeClock.h"
#include "Support/FakeIdleSource.h"
#include "Support/FakeNotifier.h"
#include "Support/FakeRandomSource.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class StoreFolder {
public:
    QString path() const { return dir_.filePath(u"spindrel/spindrel.conf"_s); }
    void writeRaw(const QByteArray& bytes) const {
        QDir().mkpath(dir_.filePath(u"spindrel"_s));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readRaw(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir dir_;
};

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

TEST(IniSettingsStore, ValuesReadBackWithTheirTypesAfterAReopen) {
    StoreFolder folder;
    const double reals[] = {0.1, 1e-300, 123456789.123456789, 5e-324, 1.0 / 3.0, 86'399'999.5};
    {
        IniSettingsStore store(folder.path());
        store.setInteger(u"reminderInterval"_s, 20);
        store.setBoolean(u"showExerciseOffset"_s, true);
        store.setString(u"lastDate"_s, u"2026-03-10"_s);
        for (std::size_t i = 0; i < std::size(reals); ++i) {
            store.setReal(u"real%1"_s.arg(i), reals[i]);
        }
        store.commit();
    }
    IniSettingsStore store(folder.path());
    EXPECT_EQ(store.integer(u"reminderInterval"_s), 20);
    EXPECT_EQ(store.boolean(u"showExerciseOffset"_s), true);
    EXPECT_EQ(store.string(u"lastDate"_s), u"2026-03-10"_s);
    for (std::size_t i = 0; i < std::size(reals); ++i) {
        const auto value = store.real(u"real%1"_s.arg(i));
        ASSERT_TRUE(value.has_value());
        EXPECT_TRUE(sameBits(*value, reals[i])) << reals[i];
    }
    EXPECT_TRUE(store.setAsidePath().isEmpty());
}

TEST(IniSettingsStore, AbsentAndWrongTypeAreToldApart) {
    StoreFolder folder;
    folder.writeRaw("[General]\nreminderInterval=thirty\nshowExerciseOffset=1\nbankedMs=12.5x\n");
    IniSettingsStore store(folder.path());
    EXPECT_TRUE(store.contains(u"reminderInterval"_s));
    EXPECT_EQ(store.integer(u"reminderInterval"_s), std::nullopt);
    EXPECT_EQ(store.boolean(u"showExerciseOffset"_s), std::nullopt);
    EXPECT_EQ(store.real(u"bankedMs"_s), std::nullopt);
    EXPECT_FALSE(store.contains(u"postureTrackingEnabled"_s));
    EXPECT_EQ(store.integer(u"postureTrackingEnabled"_s), std::nullopt);
}

TEST(IniSettingsStore, ADamagedFileIsSetAsideAndAFreshOneWritten) {
    const QByteArray damaged[] = {
        QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR garbage", 24),
        "[General]\nbankedMs=1200\nexerciseTod",  // cut off mid-write
        QByteArray("[General]\nlastDate=\xff\xfe\n"),
    };
    for (const QByteArray& bytes : damaged) {
        StoreFolder folder;
        folder.writeRaw(bytes);
        {
            IniSettingsStore store(folder.path());
            ASSERT_FALSE(store.setAsidePath().isEmpty());
            EXPECT_EQ(folder.readRaw(store.setAsidePath()), bytes);
            EXPECT_FALSE(store.contains(u"bankedMs"_s));
            store.setInteger(u"reminderInterval"_s, 60);
            store.commit();
        }
        IniSettingsStore reopened(folder.path());
        EXPECT_TRUE(reopened.setAsidePath().isEmpty());
        EXPECT_EQ(reopened.integer(u"reminderInterval"_s), 60);
    }
}

TEST(IniSettingsStore, SomethingThatIsNoFileIsMovedAsideNotDestroyed) {
    StoreFolder folder;
    QDir().mkpath(folder.path());
    QFile marker(folder.path() + u"/keep"_s);
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();

    IniSettingsStore store(folder.path());
    EXPECT_TRUE(QFile::exists(store.setAsidePath() + u"/keep"_s));
    store.setBoolean(u"postureTrackingEnabled"_s, true);
    store.commit();
    EXPECT_EQ(IniSettingsStore(folder.path()).boolean(u"postureTrackingEnabled"_s), true);
}

TEST(IniSettingsStore, TheTrackerContinuesItsDayOverTheRealFileAfterARestart) {
    StoreFolder folder;
    FakeClock clock(QDateTime(QDate(2026, 3, 10), QTime(9, 0)));
    FakeIdleSource idle;
    FakeNotifier notifier;
    FakeRandomSource random;
    FakeCameraBackend camera;
    const auto runFor = [&](int ticks) {
        IniSettingsStore store(folder.path());
        SittingTracker tracker({clock, idle, notifier, store, random, camera});
        for (int i = 0; i < ticks; ++i) {
            clock.advance(30s);
            idle.idle = (i % 40 < 35) ? 2s : std::chrono::seconds(30 * (i % 40 - 34));
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
    EXPECT_EQ(IniSettingsStore(folder.path()).integer(u"exerciseToday"_s), 10);
    EXPECT_TRUE(IniSettingsStore(folder.path()).setAsidePath().isEmpty());
}
