#include "Platform/IdleSourceChain.h"

#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QStringList>

#include "Support/FakeIdleSource.h"

using namespace std::chrono_literals;

TEST(IdleSourceChain, TheFirstSourceThatAnswersWins) {
    auto silent = std::make_unique<FakeIdleSource>();
    silent->idle.reset();
    auto second = std::make_unique<FakeIdleSource>();
    second->idle = 42s;
    auto third = std::make_unique<FakeIdleSource>();
    third->idle = 7s;
    FakeIdleSource* secondSource = second.get();

    std::vector<std::unique_ptr<IdleSource>> sources;
    sources.push_back(std::move(silent));
    sources.push_back(std::move(second));
    sources.push_back(std::move(third));
    IdleSourceChain chain(std::move(sources));
    EXPECT_EQ(chain.idleTime(), 42s);

    secondSource->idle.reset();
    EXPECT_EQ(chain.idleTime(), 7s);
    EXPECT_EQ(IdleSourceChain({}).idleTime(), std::nullopt);
}

namespace {
// Collects what the chain logs under "spindrel.idle", with the rules a user would set.
class IdleLog {
public:
    explicit IdleLog(const QString& rules = QStringLiteral("spindrel.idle.info=true"))
        : previous_(qInstallMessageHandler(&IdleLog::collect)) {
        QLoggingCategory::setFilterRules(rules);
        active_ = this;
    }
    ~IdleLog() {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous_);
        active_ = nullptr;
    }
    IdleLog(const IdleLog&) = delete;
    IdleLog& operator=(const IdleLog&) = delete;

    QStringList lines;

private:
    static void collect(QtMsgType, const QMessageLogContext& context, const QString& message) {
        if (active_ != nullptr && QLatin1String(context.category) == "spindrel.idle") {
            active_->lines.append(message);
        }
    }

    static inline IdleLog* active_ = nullptr;
    QtMessageHandler previous_;
};
}  // namespace

TEST(IdleSourceChain, LogsWhichSourceAnswersAtFirstAndWhenItChanges) {
    auto compositor = std::make_unique<FakeIdleSource>("compositor");
    auto screenSaver = std::make_unique<FakeIdleSource>("screen saver");
    FakeIdleSource* first = compositor.get();
    FakeIdleSource* second = screenSaver.get();
    std::vector<std::unique_ptr<IdleSource>> sources;
    sources.push_back(std::move(compositor));
    sources.push_back(std::move(screenSaver));
    IdleSourceChain chain(std::move(sources));
    EXPECT_EQ(chain.answeredBy(), std::nullopt);

    IdleLog log;
    chain.idleTime();
    chain.idleTime();
    EXPECT_EQ(chain.answeredBy(), "compositor");
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines.last().contains(QStringLiteral("compositor")));

    first->idle.reset();
    chain.idleTime();
    EXPECT_EQ(chain.name(), "screen saver");
    ASSERT_EQ(log.lines.size(), 2);
    EXPECT_TRUE(log.lines.last().contains(QStringLiteral("screen saver")));

    second->idle.reset();
    chain.idleTime();
    chain.idleTime();
    EXPECT_EQ(chain.answeredBy(), std::nullopt);
    EXPECT_EQ(log.lines.size(), 3);
}

TEST(IdleSourceChain, SaysNothingUnlessAskedTo) {
    std::vector<std::unique_ptr<IdleSource>> sources;
    sources.push_back(std::make_unique<FakeIdleSource>("compositor"));
    IdleSourceChain chain(std::move(sources));
    const IdleLog log(QString{});
    chain.idleTime();
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(u'\n').toStdString();
}
