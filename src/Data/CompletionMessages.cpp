#include "Data/CompletionMessages.h"

#include <array>

using namespace Qt::StringLiterals;

namespace CompletionMessages {

std::span<const QString> all() {
    static const std::array<QString, 10> messages{
        u"Your spine just sent a thank-you note."_s,
        u"Posture level: royalty."_s,
        u"You just gained +10 HP. Your chair lost 10."_s,
        u"Your future self owes you one."_s,
        u"Vertebrae realigned. Swagger restored."_s,
        u"You moved. The chair is shook."_s,
        u"Your body remembers you exist. Good talk."_s,
        u"Break taken. Dignity intact."_s,
        u"That's what separating yourself from furniture looks like."_s,
        u"The chair had you. You broke free. Respect."_s,
    };
    return messages;
}

}  // namespace CompletionMessages
