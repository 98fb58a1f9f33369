#include "Views/ContentView.h"

#include <QApplication>

#include "Models/SittingTracker.h"
#include "Views/Fade.h"

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
    for (QWidget* page : {page_.data(), leaving_.data()}) {
        if (page) {
            page->setGeometry(pageRect());
        }
    }
}

void ContentView::showPage(AppPage page) {
    if (page == shownPage_) {
        return;
    }
    shownPage_ = page;
    if (leaving_) {
        delete leaving_;  // a third page before the last fade ended: the oldest just goes
    }
    if (QWidget* old = page_) {
        // The leaving page stays itself to the end of its fade, but no longer takes input.
        leaving_ = old;
        old->setAttribute(Qt::WA_TransparentForMouseEvents);
        for (QWidget* part : old->findChildren<QWidget*>()) {
            part->setFocusPolicy(Qt::NoFocus);
        }
        if (QWidget* focused = QApplication::focusWidget(); focused && old->isAncestorOf(focused)) {
            focused->clearFocus();
        }
        fadeOut(*old, crossFade, motion_, [old] {
            old->hide();
            old->deleteLater();
        });
    }
    page_ = makePage_(page, tracker_).release();
    page_->setParent(this);
    page_->setGeometry(pageRect());
    page_->show();
    page_->raise();
    fadeIn(*page_, crossFade, motion_);
}
