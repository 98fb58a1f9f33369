#pragma once

#include <QString>
#include <span>

// The reminder cadences the settings page offers.
struct CadenceOption {
    qint64 minutes = 0;
    QString label;
    QString hint;
};

namespace CadenceOptions {

std::span<const CadenceOption> all();
// The hint of the cadence with these minutes; empty for any other interval.
QString hintFor(qint64 minutes);

}  // namespace CadenceOptions
