#pragma once

#include <QPixmap>
#include <QVariantAnimation>
#include <QWidget>
#include <chrono>

// A page change as the window shows it: pictures of the leaving and the arriving page, drawn
// over the backdrop, the one easing out as the other eases in. Pages are drawn through effects
// of their own (breathing cards, a glowing badge, shadowed buttons), which Qt cannot draw
// again through an opacity effect on the page; so the fade works on pictures of the pages, and
// the real arriving page shows once it is done.
class PageCrossFade : public QWidget {
    Q_OBJECT

public:
    PageCrossFade(QPixmap leaving, QPixmap arriving, std::chrono::milliseconds duration,
                  QWidget* parent);

    // The page as it would look on its own over whatever lies behind it, at the screen's scale.
    static QPixmap pictureOf(QWidget& page);
    // How far the arriving page has come in, 0 to 1, eased.
    double progress() const { return progress_; }

signals:
    void finished();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap leaving_;
    QPixmap arriving_;
    QVariantAnimation fade_;
    double progress_ = 0.0;
};
