#include "Views/ContentView.h"

#include <QPainter>

#include "Components/Easing.h"
#include "Models/SittingTracker.h"

// The page that is leaving, as it last looked, fading out over the one arriving.
class ContentView::FadingSnapshot final : public QWidget {
public:
    explicit FadingSnapshot(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setPicture(QPixmap picture) {
        picture_ = std::move(picture);
        opacity_ = 1.0;
    }
    void setOpacity(double opacity) {
        opacity_ = opacity;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setOpacity(opacity_);
        painter.drawPixmap(0, 0, picture_);
    }

private:
    QPixmap picture_;
    double opacity_ = 1.0;
};

ContentView::ContentView(SittingTracker& tracker, PageFactory makePage,
                         BackdropFactory makeBackdrop, std::function<bool()> reduceMotion,
                         QWidget* parent)
    : QWidget(parent),
      tracker_(tracker),
      makePage_(std::move(makePage)),
      reduceMotion_(std::move(reduceMotion)),
      shownPage_(tracker.currentPage()) {
    if (makeBackdrop) {
        backdrop_ = makeBackdrop(tracker_).release();
        backdrop_->setParent(this);
    }
    snapshot_ = new FadingSnapshot(this);
    snapshot_->hide();
    fade_.setDuration(static_cast<int>(crossFade.count()));
    fade_.setEasingCurve(easeInOutCurve());
    fade_.setStartValue(1.0);
    fade_.setEndValue(0.0);
    connect(&fade_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { snapshot_->setOpacity(value.toDouble()); });
    connect(&fade_, &QVariantAnimation::finished, snapshot_, &QWidget::hide);

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
    if (page_) {
        page_->setGeometry(pageRect());
    }
    snapshot_->setGeometry(pageRect());
}

void ContentView::showPage(AppPage page) {
    if (page == shownPage_) {
        return;
    }
    shownPage_ = page;
    const bool animate = isVisible() && !(reduceMotion_ && reduceMotion_());
    if (animate && page_) {
        snapshot_->setPicture(page_->grab());
        snapshot_->setGeometry(pageRect());
    }
    if (page_) {
        page_->hide();
        page_->deleteLater();
    }
    page_ = makePage_(page, tracker_).release();
    page_->setParent(this);
    page_->setGeometry(pageRect());
    page_->show();
    if (animate) {
        snapshot_->raise();
        snapshot_->show();
        fade_.stop();
        fade_.start();
    }
}
