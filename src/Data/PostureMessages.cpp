#include "Data/PostureMessages.h"

#include <array>

#include "Platform/RandomSource.h"

using namespace Qt::StringLiterals;

namespace {

const std::array<NotificationMessage, 8>& headMessages() {
    static const std::array<NotificationMessage, 8> table{{
        {u"Head Check"_s, u"Your head is auditioning for a tilt-shift photo. Straighten up!"_s},
        {u"Leaning Tower"_s, u"Your head is doing its best Pisa impression. Center it!"_s},
        {u"Neck News"_s, u"Your neck called. It wants to be vertical again."_s},
        {u"Head Tilt Alert"_s, u"Unless you're a confused puppy, straighten that head. 🐕"_s},
        {u"Cranium Report"_s, u"Your head is drifting. This isn't a road trip."_s},
        {u"Tilt Warning"_s, u"Your head tilt is giving 'trying to read sideways text.'"_s},
        {u"Gravity Check"_s, u"Gravity is pulling your head to one side. Push back."_s},
        {u"Balance Beam"_s, u"Imagine your head is on a balance beam. It's losing. 🤸"_s},
    }};
    return table;
}

const std::array<NotificationMessage, 8>& shoulderMessages() {
    static const std::array<NotificationMessage, 8> table{{
        {u"Shoulder Check"_s, u"One shoulder is higher than the other. You're not a seesaw."_s},
        {u"Uneven Terrain"_s,
         u"Your shoulders look like a hiking trail. Level them out. 🏔️"_s},
        {u"Shoulder Shrug"_s, u"Unless you're shrugging at life, even those shoulders out."_s},
        {u"Alignment Alert"_s, u"Your shoulders are having a disagreement. Make them cooperate."_s},
        {u"Lopsided Report"_s, u"Your shoulder alignment is off. Channel your inner ruler."_s},
        {u"Shoulder Update"_s, u"Your shoulders are at different zip codes. Reunite them. 📬"_s},
        {u"Level Up"_s, u"Step 1: Notice your shoulders are uneven. Step 2: Fix it. Done."_s},
        {u"Tense Much?"_s, u"Your shoulders are creeping toward your ears. Drop them. Breathe."_s},
    }};
    return table;
}

const std::array<NotificationMessage, 8>& slouchMessages() {
    static const std::array<NotificationMessage, 8> table{{
        {u"Slouch Alert"_s, u"You're curling into a human shrimp. Sit up! 🦐"_s},
        {u"Posture SOS"_s, u"Your spine just filed a missing person report for good posture."_s},
        {u"Hunchback Mode"_s, u"Notre-Dame called. They don't need another hunchback."_s},
        {u"Slouch Detected"_s, u"You're slowly becoming a lowercase 'n'. Be an uppercase 'I'."_s},
        {u"Spine Check"_s, u"Your spine is supposed to be an S-curve, not a C-curve."_s},
        {u"Sit Up!"_s, u"Your future self is begging you to sit up straight right now."_s},
        {u"Gravity Warning"_s,
         u"You're melting into your chair like a candle. Solidify! 🕯️"_s},
        {u"Core Reminder"_s,
         u"Engage your core. Your back is doing all the work and it's tired."_s},
    }};
    return table;
}
}  // namespace

namespace PostureMessages {

std::span<const NotificationMessage> forIssue(PostureIssue issue) {
    switch (issue) {
        case PostureIssue::headTilt:
            return headMessages();
        case PostureIssue::shoulderAlignment:
            return shoulderMessages();
        case PostureIssue::slouch:
            return slouchMessages();
    }
    return headMessages();
}

NotificationMessage pick(PostureIssue issue, RandomSource& random) {
    const std::span<const NotificationMessage> messages = forIssue(issue);
    return messages[random.uniformIndex(messages.size())];
}

}  // namespace PostureMessages
