#pragma once

#include <QWidget>
#include <memory>

#include "Models/AppPage.h"
#include "Views/PageContext.h"

class SittingTracker;

// A new page for `page`, in its first state, at the window's page size: what the window's
// router builds on every visit.
std::unique_ptr<QWidget> makePage(AppPage page, SittingTracker& tracker, PageContext& context);
