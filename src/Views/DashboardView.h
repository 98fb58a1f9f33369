#pragma once

#include <QPointer>
#include <QWidget>
#include <chrono>

class ExerciseOffsetCard;
class GlassButton;
class LinkButton;
class PostureIndicatorCard;
class ProgressBar;
class QLabel;
class QScrollArea;
class QScrollBar;
class QSpacerItem;
class QVBoxLayout;
class RiskBadge;
class SittingTracker;
class StatCard;
class TimeRingChart;
struct PageContext;

// The first page: the coaching line, today's sitting and breaks, the risk, the optional
// posture and exercise cards, and the ways to a reset and to the settings. One scrolling
// column that follows the tracker.
class DashboardView : public QWidget {
    Q_OBJECT

public:
    // The reset button shows its press this long before the page changes.
    static constexpr std::chrono::milliseconds resetPressHold{120};

    DashboardView(SittingTracker& tracker, PageContext& context, QWidget* parent = nullptr);

    QScrollArea* scrollArea() const { return scroll_; }
    // The bar that shows where the column is scrolled, over its right edge.
    QScrollBar* scrollBar() const { return overlayBar_; }
    QString coachLine() const;
    QString riskLine() const;
    ProgressBar* riskBar() const { return riskBar_; }
    RiskBadge* riskBadge() const { return badge_; }
    TimeRingChart* ringChart() const { return ring_; }
    // Under the ring, only while the desktop gives no idle time.
    QLabel* idleTimeNotice() const { return idleNotice_; }
    // The optional cards, while they are shown.
    PostureIndicatorCard* postureCard() const;
    ExerciseOffsetCard* exerciseCard() const;
    GlassButton* resetButton() const { return reset_; }
    LinkButton* settingsButton() const { return settings_; }
    int columnSpacing() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw();
    void placeOptionalCards();
    void placeActions();
    void placeOverlayBar();
    void takeReset();

    SittingTracker& tracker_;
    PageContext& context_;
    QScrollArea* scroll_;
    QWidget* column_;
    QVBoxLayout* stack_;
    QLabel* coach_;
    TimeRingChart* ring_;
    QLabel* idleNotice_;
    StatCard* riskCard_;
    RiskBadge* badge_;
    QLabel* riskLine_;
    ProgressBar* riskBar_;
    QSpacerItem* aboveRisk_;
    QSpacerItem* belowRisk_;
    QPointer<PostureIndicatorCard> postureCard_;
    ExerciseOffsetCard* exerciseCard_;
    bool postureLeaving_ = false;
    bool exerciseLeaving_ = false;
    QSpacerItem* aboveReset_;
    GlassButton* reset_;
    LinkButton* settings_;
    QVBoxLayout* footer_;
    QScrollBar* overlayBar_;
    bool actionsPinned_ = false;
};
