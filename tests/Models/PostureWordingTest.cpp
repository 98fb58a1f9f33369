#include "Models/PostureWording.h"

#include <gtest/gtest.h>

#include "Data/CadenceOptions.h"

#include <QCryptographicHash>
#include <QStringList>

using namespace Qt::StringLiterals;
using PostureWording::DetailLine;
using PostureWording::detailLine;
using PostureWording::Tone;

TEST(PostureWording, DetailLineTakesTheFirstRuleThatApplies) {
    EXPECT_EQ(detailLine(PostureStatus::unknown, std::nullopt, 0.0, false),
              (DetailLine{u"Set your baseline. Sit like you mean it."_s, Tone::tertiary}));
    EXPECT_EQ(detailLine(PostureStatus::unknown, std::nullopt, 0.0, true),
              (DetailLine{u"Watching. Give me a second."_s, Tone::tertiary}));
    EXPECT_EQ(detailLine(PostureStatus::good, std::nullopt, 3.0, true),
              (DetailLine{u"Spine aligned. Confidence unlocked."_s, Tone::good}));
    EXPECT_EQ(detailLine(PostureStatus::poor, PostureIssue::slouch, 31.2, true),
              (DetailLine{u"Slouch \u2014 31° off. Your body noticed."_s, Tone::secondary}));
    EXPECT_EQ(detailLine(PostureStatus::fair, PostureIssue::shoulderAlignment, 10.0, false).text,
              u"Shoulder Alignment \u2014 10° off. Your body noticed."_s);
    EXPECT_EQ(detailLine(PostureStatus::poor, PostureIssue::headTilt, 17.8, true).text,
              u"Head Tilt \u2014 17° off. Your body noticed."_s);
}

TEST(CadenceOptions, OffersTheThreeCadencesWithTheirHints) {
    QStringList lines;
    for (const CadenceOption& option : CadenceOptions::all()) {
        lines << option.label + u'\t' + option.hint;
    }
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(
        QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex(),
        "fb6ff50ddb9ad683446007f7c8ea5149237d545c3fdfd58fb76113ffc19445c4");
    EXPECT_EQ(CadenceOptions::hintFor(30), CadenceOptions::all()[1].hint);
    EXPECT_EQ(CadenceOptions::hintFor(45), QString());
}
