#include "Data/ScienceNudges.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QStringList>

#include "Support/FakeRandomSource.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray digest(const QStringList& lines) {
    return QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex();
}

// Draws the given catalogue indices: each index i of n is the 64-bit value i.
FakeRandomSource picking(std::uint64_t message, std::uint64_t fact) {
    FakeRandomSource random;
    random.queued = {message, fact};
    return random;
}

}  // namespace

TEST(ScienceNudges, CataloguesMatchTheProductTextCharacterForCharacter) {
    QStringList reminders;
    for (const NotificationMessage& message : ScienceNudges::humorMessages()) {
        reminders << message.title + u'\t' + message.body;
        EXPECT_TRUE(message.body.contains(u"{mins}"_s)) << message.title.toStdString();
        EXPECT_FALSE(message.title.contains(u"{mins}"_s));
    }
    QStringList facts;
    for (const QString& fact : ScienceNudges::nudges()) {
        facts << fact;
    }
    ASSERT_EQ(reminders.size(), 80);
    ASSERT_EQ(facts.size(), 10);
    // SHA-256 of the product's own tables, one "title<TAB>body" line a message.
    EXPECT_EQ(digest(reminders),
              "9633f04e8ca8a802206eafa75c5965bbe4b41912e6d59f48bae0ac59046c8b21");
    EXPECT_EQ(digest(facts), "b296ed4402809471534f78c4e19aa2413541ab574d4e3e60979a9f319b934e06");
    EXPECT_EQ(ScienceNudges::humorMessages()[76].body,
              u"You've been still so long a spider might claim you. {mins} mins. 🕸️"_s);
}

TEST(ScienceNudges, ReminderFillsEveryPlaceholderAndEndsWithAFact) {
    auto random = picking(26, 9);
    const NotificationMessage quickMath = ScienceNudges::reminder(31, random);
    EXPECT_EQ(quickMath.title, u"Quick Math"_s);
    EXPECT_EQ(quickMath.body,
              u"31 mins sitting = 31 reasons to stand up right now.\n\n\U0001F4CA Climbing stairs "
              u"for a few minutes drops insulin 16%. Elevators are cancelled. (Zanderi et al., Med "
              u"Sci Sports Exerc, 2021)"_s);

    random = picking(71, 0);
    EXPECT_TRUE(ScienceNudges::reminder(62, random)
                    .body.startsWith(u"And on the 62th minute, they rose. A short story. Make it "
                                     u"true.\n\n📊 A 2-min walk"_s));

    random = picking(6, 3);
    const NotificationMessage chair = ScienceNudges::reminder(1045, random);
    EXPECT_EQ(chair.title, u"Chair Wins Again"_s);
    EXPECT_TRUE(chair.body.startsWith(u"Score: Chair 1045, You 0."_s));
    EXPECT_FALSE(chair.body.contains(u"{mins}"_s));
}
