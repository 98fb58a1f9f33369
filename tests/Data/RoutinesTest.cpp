#include "Data/Routines.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QSet>

#include "Data/CompletionMessages.h"
#include "Support/FakeRandomSource.h"

using namespace Qt::StringLiterals;

namespace {

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

TEST(Routines, CatalogueMatchesTheProductTextCharacterForCharacter) {
    QStringList lines;
    for (const Routine& routine : Routines::all()) {
        lines << RoutineCategories::rawValue(routine.category).toLower() << routine.name
              << QString::number(routine.duration.count()) << routine.steps << routine.tip;
        EXPECT_GE(routine.steps.size(), 3);
        EXPECT_LE(routine.steps.size(), 5);
    }
    ASSERT_EQ(Routines::all().size(), 11U);
    // SHA-256 of the product's table: category, name, seconds, each step, tip, a line each.
    EXPECT_EQ(digest(lines), "dbe8349eee4b0d5f2d02232c73b16b1da7fcd50db9146cc1a1c2687767c1ce7b");
    EXPECT_TRUE(Routines::all()[2].steps[1].contains(u"2\u20133"_s));
    EXPECT_TRUE(Routines::all()[4].steps[0].contains(u"\u00d710"_s));

    QStringList cheers;
    for (const QString& cheer : CompletionMessages::all()) {
        cheers << cheer;
    }
    ASSERT_EQ(cheers.size(), 10);
    EXPECT_EQ(digest(cheers), "6091057284a81b8a369fdd5c27f91134c278bd3e32592b9993cb078e444b6843");
}

TEST(Routines, CategoriesReadBackOnlyFromTheirExactNames) {
    for (const RoutineCategory category : RoutineCategories::allCases) {
        EXPECT_EQ(RoutineCategories::fromRawValue(RoutineCategories::rawValue(category)), category);
        EXPECT_EQ(RoutineCategories::emoji(category).toUcs4().size(), 1);
    }
    EXPECT_EQ(RoutineCategories::fromRawValue(u"Stairs"_s), RoutineCategory::stairs);
    EXPECT_EQ(RoutineCategories::fromRawValue(u"walk"_s), std::nullopt);
    EXPECT_EQ(RoutineCategories::fromRawValue(u""_s), std::nullopt);
    EXPECT_EQ(RoutineCategories::emoji(RoutineCategory::walk), u"\U0001F6B6"_s);
    EXPECT_EQ(namesOf(RoutineCategory::walk).size(), 2);
    EXPECT_EQ(namesOf(RoutineCategory::stairs).size(), 2);
    EXPECT_EQ(namesOf(RoutineCategory::stretch).size(), 4);
    EXPECT_EQ(namesOf(RoutineCategory::stand).size(), 3);
    EXPECT_EQ(namesOf(RoutineCategory::stand).front(), u"Seated Spine Reset"_s);
}

TEST(Routines, DrawsUniformlyAmongTheCategorysRoutines) {
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
}

TEST(Routines, IdsAreDistinctAndStayTheSameAcrossDraws) {
    QSet<QUuid> ids;
    for (const Routine& routine : Routines::all()) {
        EXPECT_FALSE(routine.id.isNull());
        ids.insert(routine.id);
    }
    EXPECT_EQ(ids.size(), 11);
    FakeRandomSource random;
    const Routine first = Routines::random(std::nullopt, random);
    const Routine again = Routines::random(std::nullopt, random);
    EXPECT_EQ(first, again);
    EXPECT_EQ(first.id, Routines::all().front().id);
}
