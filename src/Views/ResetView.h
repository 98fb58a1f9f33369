#pragma once

#include <QWidget>
#include <optional>

#include "Data/Routines.h"
#include "Models/RoutineRunner.h"

class FigureLabel;
class FilledButton;
class LinkButton;
class PillButton;
class QLabel;
class QVBoxLayout;
class SittingTracker;
struct PageContext;

// The reset page: category pills, the drawn routine counting down second by second through
// its steps, and the cheer when it is done. The runner keeps the page's state; the view shows
// it and forwards the clicks. Done tells the tracker a break was taken.
class ResetView : public QWidget {
    Q_OBJECT

public:
    ResetView(SittingTracker& tracker, PageContext& context, QWidget* parent = nullptr);

    RoutineRunner& runner() { return runner_; }
    // What the page shows, as a user reads it.
    bool showsCompletion() const;
    QString stepText() const;
    QString countdownText() const;
    QColor countdownColor() const;
    QString categoryLine() const;
    QString routineName() const;
    QString cheerText() const;
    QString factText() const;
    PillButton* pill(std::optional<RoutineCategory> category) const;
    LinkButton* backButton() const { return back_; }
    FilledButton* startButton() const { return start_; }
    LinkButton* skipButton() const { return skip_; }
    FilledButton* doneButton() const { return done_; }

private:
    void redraw();
    void buildCompletion();
    void finish();

    SittingTracker& tracker_;
    PageContext& context_;
    RoutineRunner runner_;
    QVBoxLayout* stack_;
    LinkButton* back_;
    std::vector<std::pair<std::optional<RoutineCategory>, PillButton*>> pills_;
    QWidget* routinePanel_;
    QLabel* category_;
    QLabel* name_;
    QLabel* step_;
    QLabel* tip_;
    FigureLabel* countdown_;
    FilledButton* start_;
    LinkButton* skip_;
    // Built afresh each time a routine is completed or skipped, with new draws.
    QWidget* completePanel_ = nullptr;
    QLabel* cheer_ = nullptr;
    QLabel* fact_ = nullptr;
    FilledButton* done_ = nullptr;
};
