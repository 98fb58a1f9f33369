#pragma once

#include <QWidget>

// Today's desk time as a ring: sitting clockwise from 12 o'clock, breaks after it, the total
// in the middle and a legend beside it.
class TimeRingChart : public QWidget {
    Q_OBJECT

public:
    static constexpr qreal ringWidth = 10;
    static constexpr qreal ringSize = 80;

    explicit TimeRingChart(QWidget* parent = nullptr);

    void setMinutes(qint64 sittingMinutes, qint64 breakMinutes);
    qint64 sittingMinutes() const { return sittingMinutes_; }
    qint64 breakMinutes() const { return breakMinutes_; }

    // "45m", "1h 0m", "10h 5m"; a count below zero reads "0m".
    static QString formatMinutes(qint64 minutes);
    struct ArcFractions {
        double sittingEnd = 0;  // of the full turn, from 12 o'clock clockwise
        double breakEnd = 0;
    };
    static ArcFractions arcFractions(qint64 sittingMinutes, qint64 breakMinutes);
    // Where the ring square sits in the widget.
    QRectF ringRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The breaks the legend shows: their duration, or a dash when there were none.
    QString breaksValue() const;
    // The legend as wide as its longest value, so that ring and legend centre as one row.
    qreal legendWidth() const;

    qint64 sittingMinutes_ = 0;
    qint64 breakMinutes_ = 0;
};
