#include "Views/ContentView.h"

#include <QApplication>

#include "Components/AccessibilityPreferences.h"
#include "Models/SittingTracker.h"
#include "Views/PageCrossFade.h"

ContentView::ContentView(SittingTracker& tracker, PageFactory makePage,
                         BackdropFactory makeBackdrop, const AccessibilityPreferences& motion,
                         QWidget* parent)
    : QWidget(parent),
      tracker_(tracker),
      makePage_(std::move(makePage)),
      motion_(motion),
      shownPage_(tracker.currentPage()) {
    if (makeBackdrop) {
        backdrop_ = makeBackdrop(tracker_).release();
        backdrop_->setParent(this);
    }
    page_ = makePage_(shownPage_, tracker_).release();
    page_->setParent(this);
    connect(&tracker_, &SittingTracker::currentPageChanged, this,
            [this] { showPage(tracker_.currentPage()); });
}

QRect ContentView::pageRect() const {
    QRect area(0, 0, contentWidth, contentHeight);
    area.moveCenter(rect().center());
    return area;
}

void ContentView::resizeEvent(QResizeEvent*) {
    if (backdrop_) {
        backdrop_->setGeometry(rect());
    }
    for (QWidget* layer :
         {static_cast<QWidget*>(page_.data()), static_cast<QWidget*>(fade_.data())}) {
        if (layer) {
            layer->setGeometry(pageRect());
        }
    }
}

void ContentView::showPage(AppPage page) {
    if (page == shownPage_) {
        return;
    }
    shownPage_ = page;
    delete fade_;  // a third page before the last fade ended: the fade just ends
    QWidget* old = page_;
    page_ = makePage_(page, tracker_).release();
    page_->setParent(this);
    page_->setGeometry(pageRect());
    // Showing lays the page out, so that its picture is the page as it will stand.
    page_->show();
    if (old && isVisible() && !motion_.reduceMotion()) {
        fade_ = new PageCrossFade(PageCrossFade::pictureOf(*old), PageCrossFade::pictureOf(*page_),
                                  crossFade, this);
        fade_->setGeometry(pageRect());
        page_->hide();
        connect(fade_, &PageCrossFade::finished, this, [this] {
            page_->show();
            fade_->deleteLater();
        });
        fade_->show();
        fade_->raise();
    }
    delete old;
}
