#pragma once

#include <QPixmap>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>
#include <memory>

#include "Models/AppPage.h"

class SittingTracker;

// The window's root: the backdrop, and over it the page the tracker names, cross-fading when
// the page changes. Each page is built afresh whenever it is shown.
class ContentView : public QWidget {
    Q_OBJECT

public:
    using PageFactory = std::function<std::unique_ptr<QWidget>(AppPage, SittingTracker&)>;
    using BackdropFactory = std::function<std::unique_ptr<QWidget>(SittingTracker&)>;

    static constexpr int contentWidth = 360;
    static constexpr int contentHeight = 560;
    static constexpr std::chrono::milliseconds crossFade{250};

    ContentView(SittingTracker& tracker, PageFactory makePage, BackdropFactory makeBackdrop,
                std::function<bool()> reduceMotion, QWidget* parent = nullptr);

    AppPage shownPage() const { return shownPage_; }
    QWidget* page() const { return page_; }
    bool isCrossFading() const { return fade_.state() == QAbstractAnimation::Running; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class FadingSnapshot;

    void showPage(AppPage page);
    QRect pageRect() const;

    SittingTracker& tracker_;
    PageFactory makePage_;
    std::function<bool()> reduceMotion_;
    QWidget* backdrop_ = nullptr;
    QPointer<QWidget> page_;
    AppPage shownPage_;
    FadingSnapshot* snapshot_ = nullptr;
    QVariantAnimation fade_;
};
