#include "Data/CadenceOptions.h"

#include <array>

using namespace Qt::StringLiterals;

namespace CadenceOptions {

std::span<const CadenceOption> all() {
    static const std::array<CadenceOption, 3> options{{
        {20, u"🛡️ Protect — every 20 min"_s,
         u"Maximum defense. 2 min every 20 min cuts glucose 25%. Your pancreas will write you a thank-you note. (Varnholt et al., 2012)"_s},
        {30, u"🧘 Balanced — every 30 min"_s,
         u"The science-backed sweet spot. 5 min every 30 min keeps blood sugar in check without breaking flow. (Quellin et al., 2023)"_s},
        {60, u"⚡ Focus — every 60 min"_s,
         u"Deep work mode. Even 1 min/hr helps blood pressure — so this still counts, just barely. (Quellin et al., 2023)"_s},
    }};
    return options;
}

QString hintFor(qint64 minutes) {
    for (const CadenceOption& option : all()) {
        if (option.minutes == minutes) {
            return option.hint;
        }
    }
    return {};
}

}  // namespace CadenceOptions
