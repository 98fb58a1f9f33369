#include "Data/ScienceNudges.h"

#include <array>

#include "Platform/RandomSource.h"

using namespace Qt::StringLiterals;

namespace {

const std::array<NotificationMessage, 80>& humorTable() {
    static const std::array<NotificationMessage, 80> table{{
        {u"Posture Check!"_s, u"You've been sitting like a croissant 🥐 for {mins} mins."_s},
        {u"Spine Alert"_s, u"Your spine has left the chat. It's been {mins} mins."_s},
        {u"Hey You"_s, u"Your future chiropractor says thanks. {mins} mins and counting."_s},
        {u"Gentle Nudge"_s, u"You've been a desk goblin for {mins} mins. Time to move!"_s},
        {u"Body Reminder"_s, u"Plot twist: you have a body. It's been {mins} mins. 🧘"_s},
        {u"Circulation Report"_s, u"Your blood called. It's bored. {mins} mins of nothing."_s},
        {u"Chair Wins Again"_s, u"Score: Chair {mins}, You 0. Stand up and take the lead."_s},
        {u"Evolution Update"_s,
         u"At {mins} mins you're 12% closer to becoming a chair yourself."_s},
        {u"Desk Goblin Mode"_s,
         u"You've been hunched over so long moss might grow. {mins} mins."_s},
        {u"Gravity Check"_s, u"Gravity has been winning for {mins} mins. Fight back. Stand up."_s},
        {u"Skeleton Crew"_s, u"Your skeleton would like a word. It's been {mins} mins. 💀"_s},
        {u"Public Service Announcement"_s,
         u"Sitting for {mins} mins straight is not a personality trait."_s},
        {u"Wellness Villain"_s,
         u"Your chair is the villain in this story. {mins} mins of treachery."_s},
        {u"Plot Twist"_s, u"The call was coming from inside the chair. {mins} mins. Get up."_s},
        {u"Friendly Reminder"_s,
         u"Your legs still exist. They've been waiting {mins} mins for you."_s},
        {u"Biological Fact"_s,
         u"You are a bipedal creature. Act like it. {mins} mins seated. 🦵"_s},
        {u"Urgent News"_s,
         u"BREAKING: Local person hasn't moved in {mins} mins. Developing story."_s},
        {u"Existential Nudge"_s,
         u"You're a brain piloting a meat suit. The suit needs movement. {mins} mins."_s},
        {u"Nice Try"_s, u"Scrolling doesn't count as exercise. It's been {mins} mins."_s},
        {u"Chiropractor Forecast"_s,
         u"At this rate, your chiropractor is booking a vacation. {mins} mins."_s},
        {u"Your Spine Speaking"_s,
         u"Hi, it's your spine. We need to talk. {mins} mins is too long."_s},
        {u"Autopilot Off"_s,
         u"You've been on desk autopilot for {mins} mins. Manual override time."_s},
        {u"Movement Plea"_s,
         u"Your joints are filing a formal complaint. {mins} mins of neglect. 📋"_s},
        {u"Couch Theory"_s, u"You and your chair are becoming one organism. {mins} mins deep."_s},
        {u"Spindrel"_s, u"If sitting were a sport, you'd be a pro. {mins} mins on the clock."_s},
        {u"Stretch Reminder"_s, u"Your muscles have entered power-save mode. {mins} mins idle."_s},
        {u"Quick Math"_s, u"{mins} mins sitting = {mins} reasons to stand up right now."_s},
        {u"Sarcasm Mode"_s,
         u"Oh good, another {mins} mins of sitting. Groundbreaking stuff. 🙄"_s},
        {u"Ancient Wisdom"_s,
         u"Your ancestors didn't outrun predators for you to sit {mins} mins."_s},
        {u"Nature Documentary"_s, u"And here we observe the human, motionless for {mins} mins."_s},
        {u"Blood Flow Update"_s,
         u"Your circulation is sending an SOS. {mins} mins without movement."_s},
        {u"Motivational Speaker"_s,
         u"The floor is lava. Your chair is also lava. {mins} mins. Move! 🌋"_s},
        {u"Bold Claim"_s, u"Standing up right now would make you a hero. {mins} mins is enough."_s},
        {u"Office Lore"_s,
         u"Legend says those who sit {mins} mins straight turn into a swivel chair."_s},
        {u"Diplomatic Request"_s,
         u"Your lower back is requesting a summit meeting. {mins} mins overdue."_s},
        {u"Desk Dispatch"_s, u"Field report: subject has not moved in {mins} mins. Send help. 🚨"_s},
        {u"Humble Suggestion"_s,
         u"What if — and hear me out — you stood up? {mins} mins is a lot."_s},
        {u"Guilt Trip"_s, u"Your unused standing desk is crying. It's been {mins} mins."_s},
        {u"Friendly Ghost"_s,
         u"Boo! You've been so still for {mins} mins I thought you were a statue. 👻"_s},
        {u"Health Heist"_s, u"Your chair has been stealing your wellbeing for {mins} mins."_s},
        {u"Spinal Tap"_s, u"Your vertebrae are starting a union. {mins} mins of mistreatment."_s},
        {u"Overthinking It"_s,
         u"You've spent {mins} mins sitting. Don't think about it. Just stand."_s},
        {u"Quest Available"_s,
         u"New quest: Stand up and stretch. Reward: not aching. Timer: {mins} mins. ⚔️"_s},
        {u"Weather Report"_s,
         u"Forecast: stiff neck with a chance of back pain. {mins} mins seated."_s},
        {u"Dear Diary"_s, u"Day 1 of sitting for {mins} mins: I have forgotten what legs do."_s},
        {u"Tech Support"_s,
         u"Have you tried turning yourself off and on again? {mins} mins seated."_s},
        {u"Loading Screen"_s,
         u"Buffering… your body has been idle for {mins} mins. Please stand. ⏳"_s},
        {u"Seat Review"_s, u"Your chair gives you ★☆☆☆☆. {mins} mins and zero movement."_s},
        {u"Certified Sitter"_s,
         u"Congratulations, you're now a professional sitter. {mins} mins logged."_s},
        {u"Dance Break?"_s,
         u"Nobody's watching. Dance for 10 seconds. You've sat {mins} mins. 💃"_s},
        {u"Fossil Alert"_s,
         u"Archeologists will find you in this exact position. {mins} mins. 🦴"_s},
        {u"Deep Thought"_s, u"Is the chair using you? Discuss. Also, it's been {mins} mins."_s},
        {u"Mission Briefing"_s,
         u"Operation Stand Up is a go. You've been compromised for {mins} mins."_s},
        {u"Petition Signed"_s,
         u"Your hamstrings have started a petition. {mins} mins of inaction."_s},
        {u"Badge Unlocked"_s,
         u"Achievement unlocked: Sat in one spot for {mins} mins. Dubious honor. 🏅"_s},
        {u"Conspiracy Theory"_s,
         u"Big Chair wants you seated. Don't fall for it. {mins} mins already."_s},
        {u"Speed Run"_s,
         u"You're speed-running a sedentary lifestyle. {mins} mins on the timer."_s},
        {u"Gentle Chaos"_s, u"Do something unhinged. Like standing up. {mins} mins is enough."_s},
        {u"Physics Lesson"_s,
         u"An object at rest stays at rest. You've proven Galvane right for {mins} mins."_s},
        {u"Snack Break?"_s,
         u"Walk to the kitchen. You don't need a snack but your legs need {mins} mins of use."_s},
        {u"Time Capsule"_s,
         u"Future you will wonder why you sat for {mins} mins. Present you can fix that."_s},
        {u"Renaissance Painting"_s,
         u"You could be titled 'Person Sitting, Oil on Canvas.' {mins} mins. 🎨"_s},
        {u"Inner Monologue"_s,
         u"Brain: let's stand. Body: no. Brain: it's been {mins} mins. Body: fine."_s},
        {u"HR Notice"_s,
         u"Your body's HR department has flagged {mins} mins of continuous sitting."_s},
        {u"Hot Take"_s,
         u"Controversial opinion: standing is better than {mins} mins of sitting."_s},
        {u"Power Move"_s, u"Standing up after {mins} mins? That's a power move. Do it. 💪"_s},
        {u"Plot Armor"_s, u"Your back doesn't have plot armor. Protect it. {mins} mins seated."_s},
        {u"Yoga Instructor Voice"_s,
         u"Inhale confidence, exhale {mins} mins of sitting. Now stand. 🧘"_s},
        {u"Ghost Legs"_s, u"Can you even feel your legs? It's been {mins} mins. Check on them."_s},
        {u"Mic Drop"_s,
         u"You've been sitting for {mins} mins. That's the whole notification. Get up."_s},
        {u"Reverse Psychology"_s,
         u"Don't stand up. Definitely keep sitting for {mins} more mins. (Please stand up.)"_s},
        {u"Dramatic Reading"_s,
         u"And on the {mins}th minute, they rose. A short story. Make it true."_s},
        {u"Vibe Check"_s, u"Vibe check: you've been seated {mins} mins. The vibe is stiff. 😬"_s},
        {u"Customer Review"_s,
         u"'Sat for {mins} mins, lost feeling in legs. 2/10 would not recommend.'"_s},
        {u"Your Hips Speaking"_s,
         u"We're your hip flexors. We're tight. We're angry. {mins} mins angry."_s},
        {u"One Small Step"_s,
         u"One small stand for you, one giant leap for your spine. {mins} mins. 🚀"_s},
        {u"Desk Ecology"_s,
         u"You've been still so long a spider might claim you. {mins} mins. 🕸️"_s},
        {u"Midseason Finale"_s,
         u"Previously on Sitting: you sat for {mins} mins. Tune in for the standing arc."_s},
        {u"Elevator Pitch"_s,
         u"What if I told you standing takes 2 seconds and you've wasted {mins} mins?"_s},
        {u"Final Boss"_s,
         u"The final boss is your own inertia. {mins} mins. Defeat it. Stand up."_s},
    }};
    return table;
}

const std::array<QString, 10>& nudgeTable() {
    static const std::array<QString, 10> table{{
        u"A 2-min walk cuts blood sugar 25%. Your pancreas is begging. (Varnholt et al., Diabetes Care, 2012)"_s,
        u"8+ hrs of sitting and your mortality risk throws a party. (Brisketh et al., European J. of Epidemiology, 2018)"_s,
        u"5 min walk every 30 min is the magic number. Science said so, not us. (Quellin et al., Med Sci Sports Exerc, 2023)"_s,
        u"Sitting boosts diabetes risk by 91%. Your chair is basically a villain. (Tamarel et al., Annals of Internal Medicine, 2015)"_s,
        u"You don't need to run a marathon — a gentle stroll counts. Your body has low standards. (Sorvald et al., BMJ, 2019)"_s,
        u"1 hour of walking a day cancels out 8 hrs of sitting. The math is in your favor. (Sorvald et al., The Lancet, 2016)"_s,
        u"It's not just how much you sit — it's how long you sit without moving. Like a lizard. (Ovrell et al., Annals of Internal Medicine, 2017)"_s,
        u"Your lower back pain isn't a personality trait. It's from sitting too long. (Phanomvek et al., Applied Ergonomics, 2020)"_s,
        u"The WHO literally made guidelines telling you to sit less. You have been warned. (WHO Guidelines, 2020)"_s,
        u"Climbing stairs for a few minutes drops insulin 16%. Elevators are cancelled. (Zanderi et al., Med Sci Sports Exerc, 2021)"_s,
    }};
    return table;
}

}  // namespace

std::span<const NotificationMessage> ScienceNudges::humorMessages() {
    return humorTable();
}

std::span<const QString> ScienceNudges::nudges() {
    return nudgeTable();
}

NotificationMessage ScienceNudges::reminder(long long minutes, RandomSource& random) {
    const NotificationMessage& message = humorTable()[random.uniformIndex(humorTable().size())];
    const QString& fact = nudgeTable()[random.uniformIndex(nudgeTable().size())];
    QString body = message.body;
    body.replace(u"{mins}"_s, QString::number(minutes));
    body += u"\n\n\U0001F4CA "_s;
    body += fact;
    return {message.title, body};
}
