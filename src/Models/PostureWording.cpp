#include "Models/PostureWording.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace PostureWording {

std::optional<SrgbColor> statusColor(PostureStatus status) {
    switch (status) {
        case PostureStatus::good:
            return SrgbColor{0.2, 0.55, 0.3};
        case PostureStatus::fair:
            return SrgbColor{0.7, 0.6, 0.1};
        case PostureStatus::poor:
            return SrgbColor{0.7, 0.2, 0.2};
        case PostureStatus::unknown:
            return std::nullopt;
    }
    return std::nullopt;
}

QString iconName(PostureStatus status) {
    return status == PostureStatus::poor ? u"figure.roll"_s : u"figure.stand"_s;
}

DetailLine detailLine(PostureStatus status, std::optional<PostureIssue> worstIssue,
                      double deviation, bool calibrated) {
    if (worstIssue) {
        const auto degrees = static_cast<long long>(std::trunc(deviation));
        return {PostureVerdicts::rawValue(*worstIssue) + u" \u2014 "_s + QString::number(degrees) +
                    u"° off. Your body noticed."_s,
                Tone::secondary};
    }
    if (!calibrated) {
        return {u"Set your baseline. Sit like you mean it."_s, Tone::tertiary};
    }
    if (status == PostureStatus::unknown) {
        return {u"Watching. Give me a second."_s, Tone::tertiary};
    }
    return {u"Spine aligned. Confidence unlocked."_s, Tone::good};
}

QString cameraProblemText(CameraProblem problem) {
    switch (problem) {
        case CameraProblem::noCamera:
            return u"No webcam found. Plug one in and tracking starts by itself."_s;
        case CameraProblem::accessRefused:
            return u"Camera access denied. Add yourself to the video group "
                   u"(sudo usermod -aG video $USER), then log in again."_s;
        case CameraProblem::cameraDisconnected:
            return u"Camera unplugged. Tracking resumes when it's back."_s;
        case CameraProblem::poseModelMissing:
            return u"The pose model is missing. Reinstall Spindrel to track posture."_s;
        case CameraProblem::inUseByOtherApp:
            return u"Paused while another app uses the camera."_s;
    }
    return {};
}

bool needsTheUser(CameraProblem problem) {
    return problem == CameraProblem::noCamera || problem == CameraProblem::accessRefused ||
           problem == CameraProblem::poseModelMissing;
}

}  // namespace PostureWording
