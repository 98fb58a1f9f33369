// The product's texts, word for word, and how they are drawn from.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QSet>
#include <QStringList>

#include "Data/CompletionMessages.h"
#include "Data/PostureMessages.h"
#include "Data/Routines.h"
#include "Data/ScienceNudges.h"
#include "Support/FakeRandomSource.h"

using namespace Qt::StringLiterals;

namespace {

// SHA-256 of the lines, one after another.
QByteArray digest(const QStringList& lines) {
    return QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex();
}

QStringList namesOf(std::optional<RoutineCategory> category) {
    QStringList names;
    for (const Routine& routine : Routines::all()) {
        if (!category || routine.category == *category) {
            names << routine.name;
        }
    }
    return names;
}

}  // namespace

TEST(Catalogues, MatchTheProductTextCharacterForCharacter) {
    QStringList posture;
    for (const PostureIssue issue :
         {PostureIssue::headTilt, PostureIssue::shoulderAlignment, PostureIssue::slouch}) {
        ASSERT_EQ(PostureMessages::forIssue(issue).size(), 8U);
        for (const NotificationMessage& message : PostureMessages::forIssue(issue)) {
            posture << message.title << message.body;
        }
    }
    EXPECT_EQ(digest(posture), "17dd2a2fed6ff5e87a1d462272a8762b6a93434b5f765fea2a43539a46ce7442");
    // The variation selector after the mountain is part of the text.
    EXPECT_TRUE(posture.contains(
        u"Your shoulders look like a hiking trail. Level them out. \U0001F3D4\uFE0F"_s));

    QStringList routines;
    for (const Routine& routine : Routines::all()) {
        routines << RoutineCategories::rawValue(routine.category).toLower() << routine.name
                 << QString::number(routine.duration.count()) << routine.steps << routine.tip;
    }
    ASSERT_EQ(Routines::all().size(), 11U);
    EXPECT_EQ(digest(routines), "dbe8349eee4b0d5f2d02232c73b16b1da7fcd50db9146cc1a1c2687767c1ce7b");
    EXPECT_TRUE(Routines::all()[2].steps[1].contains(u"2\u20133"_s));
    EXPECT_TRUE(Routines::all()[4].steps[0].contains(u"\u00d710"_s));

    const QStringList cheers(CompletionMessages::all().begin(), CompletionMessages::all().end());
    ASSERT_EQ(cheers.size(), 10);
    EXPECT_EQ(digest(cheers), "6091057284a81b8a369fdd5c27f91134c278bd3e32592b9993cb078e444b6843");

    QStringList reminders;
    for (const NotificationMessage& message : ScienceNudges::humorMessages()) {
        reminders << message.title + u'\t' + message.body;
        EXPECT_TRUE(message.body.contains(u"{mins}"_s)) << message.title.toStdString();
    }
    const QStringList facts(ScienceNudges::nudges().begin(), ScienceNudges::nudges().end());
    ASSERT_EQ(reminders.size(), 80);
    ASSERT_EQ(facts.size(), 10);
    EXPECT_EQ(digest(reminders),
              "9633f04e8ca8a802206eafa75c5965bbe4b41912e6d59f48bae0ac59046c8b21");
    EXPECT_EQ(digest(facts), "b296ed4402809471534f78c4e19aa2413541ab574d4e3e60979a9f319b934e06");
}

TEST(Catalogues, PostureMessagesComeFromTheIssuesOwnCatalogue) {
    FakeRandomSource random;
    random.queued = {7, 8};
    EXPECT_EQ(PostureMessages::pick(PostureIssue::slouch, random).title, u"Core Reminder"_s);
    EXPECT_EQ(PostureMessages::pick(PostureIssue::headTilt, random).title, u"Head Check"_s);
}

TEST(Catalogues, RoutinesAreDrawnUniformlyAmongTheCategorysWithStableIds) {
    // Draw i of n yields index i, and draw n wraps to 0: so the draws show both which
    // routines are candidates and how many there are.
    for (const std::optional<RoutineCategory> category :
         {std::optional<RoutineCategory>(), std::optional(RoutineCategory::walk),
          std::optional(RoutineCategory::stretch), std::optional(RoutineCategory::stand)}) {
        const QStringList expected = namesOf(category);
        FakeRandomSource random;
        QStringList drawn;
        for (qsizetype i = 0; i <= expected.size(); ++i) {
            random.queued = {static_cast<std::uint64_t>(i)};
            drawn << Routines::random(category, random).name;
        }
        EXPECT_EQ(drawn.mid(0, expected.size()), expected);
        EXPECT_EQ(drawn.back(), expected.front());
    }
    QSet<QUuid> ids;
    for (const Routine& routine : Routines::all()) {
        EXPECT_FALSE(routine.id.isNull());
        ids.insert(routine.id);
    }
    EXPECT_EQ(ids.size(), 11);
    FakeRandomSource random;
    EXPECT_EQ(Routines::random(std::nullopt, random).id, Routines::all().front().id);
}

TEST(Catalogues, AReminderFillsEveryPlaceholderAndEndsWithAFact) {
    FakeRandomSource random;
    random.queued = {26, 9};
    const NotificationMessage quickMath = ScienceNudges::reminder(31, random);
    EXPECT_EQ(quickMath.title, u"Quick Math"_s);
    EXPECT_EQ(quickMath.body,
              u"31 mins sitting = 31 reasons to stand up right now.\n\n\U0001F4CA Climbing stairs "
              u"for a few minutes drops insulin 16%. Elevators are cancelled. (Zanderi et al., Med "
              u"Sci Sports Exerc, 2021)"_s);

    random.queued = {6, 3};
    const NotificationMessage chair = ScienceNudges::reminder(1045, random);
    EXPECT_EQ(chair.title, u"Chair Wins Again"_s);
    EXPECT_TRUE(chair.body.startsWith(u"Score: Chair 1045, You 0."_s));
    EXPECT_FALSE(chair.body.contains(u"{mins}"_s));
}
