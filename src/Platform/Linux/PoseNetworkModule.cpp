#include "Platform/Linux/PoseNetworkModule.h"

#include <QLibrary>

namespace PoseNetworkModule {

Loaded load(const QString& modulePath, const std::string& modelPath, int threads) {
    // Never unloaded: the detector's code lives in the module.
    QLibrary module(modulePath);
    if (!module.load()) {
        return {nullptr, module.errorString()};
    }
    const auto create = reinterpret_cast<EntryPoint>(module.resolve(kEntryPointName));
    if (create == nullptr) {
        return {nullptr, QStringLiteral("%1 is not the pose network module: it has no %2")
                             .arg(modulePath, QLatin1StringView(kEntryPointName))};
    }
    std::unique_ptr<PoseDetector> detector(create(modelPath.c_str(), threads));
    if (!detector) {
        return {nullptr, QStringLiteral("the pose network %1 could not be loaded")
                             .arg(QString::fromStdString(modelPath))};
    }
    return {std::move(detector), {}};
}

}  // namespace PoseNetworkModule
