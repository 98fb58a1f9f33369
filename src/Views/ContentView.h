#pragma once

#include <QPointer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

#include "Models/AppPage.h"

class AccessibilityPreferences;
class PageCrossFade;
class SittingTracker;

// The window's root: the backdrop, and over it the page the tracker names. When the page
// changes, the leaving page fades out and the arriving one fades in, both over the backdrop.
// Each page is built afresh whenever it is shown.
class ContentView : public QWidget {
    Q_OBJECT

public:
    using PageFactory = std::function<std::unique_ptr<QWidget>(AppPage, SittingTracker&)>;
    using BackdropFactory = std::function<std::unique_ptr<QWidget>(SittingTracker&)>;

    static constexpr int contentWidth = 360;
    static constexpr int contentHeight = 560;
    static constexpr std::chrono::milliseconds crossFade{250};

    ContentView(SittingTracker& tracker, PageFactory makePage, BackdropFactory makeBackdrop,
                const AccessibilityPreferences& motion, QWidget* parent = nullptr);

    QWidget* page() const { return page_; }
    // A page change still fading from the last page to this one.
    bool isCrossFading() const { return !fade_.isNull(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPage(AppPage page);
    QRect pageRect() const;

    SittingTracker& tracker_;
    PageFactory makePage_;
    const AccessibilityPreferences& motion_;
    QWidget* backdrop_ = nullptr;
    QPointer<QWidget> page_;
    QPointer<PageCrossFade> fade_;
    AppPage shownPage_;
};
