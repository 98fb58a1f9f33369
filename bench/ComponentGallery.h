#pragma once

#include <QWidget>
#include <memory>

class AccessibilityPreferences;

// A dashboard-like window of every component, for pictures, benchmarks and measurements.
std::unique_ptr<QWidget> makeComponentGallery(AccessibilityPreferences& motion);
