#pragma once

#include <QWidget>
#include <chrono>

class MotionPreferences;

// A widget whose content just changed eases in from transparent, ease-in-out over `duration`;
// at once when motion is reduced. The fade leaves nothing behind once it is done.
void fadeIn(QWidget& widget, std::chrono::milliseconds duration, const MotionPreferences& motion);
