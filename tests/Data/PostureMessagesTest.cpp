#include "Data/PostureMessages.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QStringList>

#include "Support/FakeRandomSource.h"

using namespace Qt::StringLiterals;

TEST(PostureMessages, CataloguesMatchTheProductTextCharacterForCharacter) {
    QStringList lines;
    for (const PostureIssue issue :
         {PostureIssue::headTilt, PostureIssue::shoulderAlignment, PostureIssue::slouch}) {
        ASSERT_EQ(PostureMessages::forIssue(issue).size(), 8U);
        for (const NotificationMessage& message : PostureMessages::forIssue(issue)) {
            lines << message.title << message.body;
        }
    }
    // SHA-256 of the product's three tables, title and body a line each.
    EXPECT_EQ(
        QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex(),
        "17dd2a2fed6ff5e87a1d462272a8762b6a93434b5f765fea2a43539a46ce7442");
    // The variation selector after the mountain is part of the text.
    EXPECT_TRUE(lines.contains(
        u"Your shoulders look like a hiking trail. Level them out. \U0001F3D4\uFE0F"_s));
}

TEST(PostureMessages, PicksFromTheIssuesOwnCatalogue) {
    FakeRandomSource random;
    random.queued = {7, 8};
    EXPECT_EQ(PostureMessages::pick(PostureIssue::slouch, random).title, u"Core Reminder"_s);
    EXPECT_EQ(PostureMessages::pick(PostureIssue::headTilt, random).title, u"Head Check"_s);
}

TEST(PostureVerdicts, RawValuesReadBackExactly) {
    for (const PostureStatus status :
         {PostureStatus::good, PostureStatus::fair, PostureStatus::poor, PostureStatus::unknown}) {
        EXPECT_EQ(PostureVerdicts::statusFromRawValue(PostureVerdicts::rawValue(status)), status);
    }
    EXPECT_EQ(PostureVerdicts::rawValue(PostureIssue::shoulderAlignment), u"Shoulder Alignment"_s);
    EXPECT_EQ(PostureVerdicts::issueFromRawValue(u"Slouch"_s), PostureIssue::slouch);
    EXPECT_EQ(PostureVerdicts::issueFromRawValue(u"slouch"_s), std::nullopt);
    EXPECT_EQ(PostureVerdicts::statusFromRawValue(u""_s), std::nullopt);
}
