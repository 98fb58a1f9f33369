#pragma once

#include "Components/UrlOpener.h"

class AccessibilityPreferences;
class AutostartEntry;
class RandomSource;

// What every page is built with besides the tracker: the desktop's motion wishes, the way to
// open a study's page, the random source for routine and cheer draws, and the entry that starts
// Spindrel at login. All outlive pages.
struct PageContext {
    AccessibilityPreferences& motion;
    UrlOpener openUrl;
    RandomSource& random;
    AutostartEntry& autostart;
};
