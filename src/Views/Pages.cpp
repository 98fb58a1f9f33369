#include "Views/Pages.h"

#include "Views/CalibrationView.h"
#include "Views/ContentView.h"
#include "Views/DashboardView.h"
#include "Views/ResetView.h"
#include "Views/SettingsView.h"

std::unique_ptr<QWidget> makePage(AppPage page, SittingTracker& tracker, PageContext& context) {
    std::unique_ptr<QWidget> view;
    switch (page) {
        case AppPage::dashboard:
            view = std::make_unique<DashboardView>(tracker, context);
            break;
        case AppPage::reset:
            view = std::make_unique<ResetView>(tracker, context);
            break;
        case AppPage::settings:
            view = std::make_unique<SettingsView>(tracker, context);
            break;
        case AppPage::calibration:
            view = std::make_unique<CalibrationView>(tracker, context);
            break;
    }
    view->resize(ContentView::contentWidth, ContentView::contentHeight);
    return view;
}
