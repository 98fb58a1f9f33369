#pragma once

#include "Components/StatCard.h"

class LinkButton;
class QLabel;
class SittingTracker;
class SymbolView;
struct PageContext;

// The dashboard's posture panel: the analyzer's verdict as a figure in the status colour, the
// status word and one line of explanation, and a way to calibrate while no baseline is kept.
// It follows the tracker, the analyzer's verdict and the camera's calibration.
class PostureIndicatorCard : public StatCard {
    Q_OBJECT

public:
    PostureIndicatorCard(SittingTracker& tracker, PageContext& context, QWidget* parent = nullptr);

    // What the card shows now, as a user reads it.
    QString statusText() const;
    QString detailText() const;
    QColor detailColor() const;
    QColor iconColor() const;
    QString iconName() const;
    bool offersCalibration() const;

private:
    void redraw();

    SittingTracker& tracker_;
    LinkButton* calibrate_;
    SymbolView* icon_;
    QLabel* status_;
    QLabel* detail_;
};
