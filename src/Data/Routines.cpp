#include "Data/Routines.h"

#include <vector>

#include "Platform/RandomSource.h"

using namespace Qt::StringLiterals;

namespace {

struct CategoryText {
    RoutineCategory category;
    QString raw;
    QString emoji;
};

const std::array<CategoryText, 4>& categoryTable() {
    static const std::array<CategoryText, 4> table{{
        {RoutineCategory::walk, u"Walk"_s, u"\U0001F6B6"_s},
        {RoutineCategory::stairs, u"Stairs"_s, u"\U0001FA9C"_s},
        {RoutineCategory::stretch, u"Stretch"_s, u"\U0001F938"_s},
        {RoutineCategory::stand, u"Stand"_s, u"\U0001F9CD"_s},
    }};
    return table;
}

const CategoryText& textOf(RoutineCategory category) {
    for (const CategoryText& entry : categoryTable()) {
        if (entry.category == category) {
            return entry;
        }
    }
    return categoryTable().front();
}

struct RoutineText {
    RoutineCategory category;
    QString name;
    int seconds;
    QStringList steps;
    QString tip;
};

std::vector<Routine> buildCatalogue() {
    const std::array<RoutineText, 11> texts{{
        {RoutineCategory::walk,
         u"Office Walk"_s,
         300,
         {u"Stand up and walk around"_s, u"Take a different route than usual"_s,
          u"Walk at a brisk pace"_s, u"Swing your arms naturally"_s,
          u"Return to your desk refreshed"_s},
         u"5 min every 30 min is the sweet spot for blood sugar. You're basically a scientist now. (Quellin et al., 2023)"_s},
        {RoutineCategory::walk,
         u"Walk & Hydrate"_s,
         180,
         {u"Stand up and stretch"_s, u"Walk to get a glass of water"_s,
          u"Drink slowly, look out a window"_s},
         u"2 min of walking slashes blood sugar by 25%. That's a better ROI than crypto. (Varnholt et al., 2012)"_s},
        {RoutineCategory::stairs,
         u"Stair Snack"_s,
         120,
         {u"Find the nearest staircase"_s, u"Walk up and down 2–3 flights"_s,
          u"Maintain a steady pace"_s},
         u"A few flights drops insulin 16%. The elevator lobby will miss you. (Zanderi et al., 2021)"_s},
        {RoutineCategory::stairs,
         u"Stair Power Break"_s,
         180,
         {u"Walk up stairs at a brisk pace"_s, u"Walk down slowly (recovery)"_s,
          u"Repeat for 2 more rounds"_s},
         u"Stairs: where your metabolic health goes to get its act together. (Zanderi et al., 2021)"_s},
        {RoutineCategory::stretch,
         u"Shoulder Reset"_s,
         60,
         {u"Shoulder rolls ×10 (forward)"_s, u"Shoulder rolls ×10 (backward)"_s,
          u"Squeeze shoulder blades, hold 5s"_s},
         u"Squeeze like there's a pencil between your shoulder blades. Don't ask why, just do it."_s},
        {RoutineCategory::stretch,
         u"Neck Stretch"_s,
         60,
         {u"Tilt head left, hold 10s"_s, u"Tilt head right, hold 10s"_s, u"Chin tucks ×10"_s},
         u"Go gently — your neck holds your brain, and you probably need that."_s},
        {RoutineCategory::stretch,
         u"Wrist & Hand Break"_s,
         60,
         {u"Extend arms, flex wrists up 10s"_s, u"Flex wrists down 10s"_s,
          u"Shake hands out vigorously"_s},
         u"Your hands typed 10,000 words today. They didn't sign up for this."_s},
        {RoutineCategory::stretch,
         u"Full Body Stretch"_s,
         90,
         {u"Stand up and stretch overhead"_s, u"Touch toes (or try!)"_s,
          u"Gentle side bends, each side"_s, u"Hip flexor stretch, each side"_s},
         u"Your low back pain worsens every hour you sit. It's not aging, it's physics. (Phanomvek et al., 2020)"_s},
        {RoutineCategory::stand,
         u"Seated Spine Reset"_s,
         60,
         {u"Sit up tall, feet flat"_s, u"Deep breath in (4s), out (6s) ×5"_s,
          u"Gentle seated twist, each side"_s},
         u"Pretend a string is pulling you up from the crown of your head. Majestic."_s},
        {RoutineCategory::stand,
         u"Stand & Breathe"_s,
         90,
         {u"Stand up from your chair"_s, u"Feet shoulder-width apart"_s,
          u"Deep belly breaths ×10"_s, u"Gentle body sway side to side"_s},
         u"Standing up is 90% of the battle. The other 10% is not sitting right back down."_s},
        {RoutineCategory::stand,
         u"Posture Reset"_s,
         60,
         {u"Stand tall, roll shoulders back"_s, u"Tuck chin slightly"_s,
          u"Engage core gently, breathe"_s},
         u"You don't need a gym. A gentle stroll counts. Your body has very low standards. (Sorvald et al., 2019)"_s},
    }};
    std::vector<Routine> catalogue;
    catalogue.reserve(texts.size());
    for (const RoutineText& text : texts) {
        catalogue.push_back({QUuid::createUuid(), text.category, text.name,
                             std::chrono::seconds(text.seconds), text.steps, text.tip});
    }
    return catalogue;
}

}  // namespace

namespace RoutineCategories {

QString rawValue(RoutineCategory category) {
    return textOf(category).raw;
}

std::optional<RoutineCategory> fromRawValue(const QString& raw) {
    for (const CategoryText& entry : categoryTable()) {
        if (entry.raw == raw) {
            return entry.category;
        }
    }
    return std::nullopt;
}

QString emoji(RoutineCategory category) {
    return textOf(category).emoji;
}

}  // namespace RoutineCategories

namespace Routines {

std::span<const Routine> all() {
    // A function-local static is built once, also when first reached from two threads.
    static const std::vector<Routine> catalogue = buildCatalogue();
    return catalogue;
}

Routine random(std::optional<RoutineCategory> category, RandomSource& random) {
    std::vector<const Routine*> candidates;
    for (const Routine& routine : all()) {
        if (!category || routine.category == *category) {
            candidates.push_back(&routine);
        }
    }
    return *candidates[random.uniformIndex(candidates.size())];
}

}  // namespace Routines
