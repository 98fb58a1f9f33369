#include "Views/CalibrationView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "Components/GlassTheme.h"
#include "Models/PostureWording.h"
#include "Models/SittingTracker.h"
#include "Views/BackHeader.h"
#include "Views/FilledButton.h"
#include "Views/LinkButton.h"
#include "Views/Observe.h"
#include "Views/PageContext.h"
#include "Views/Symbols.h"
#include "Views/TextStyle.h"

using namespace Qt::StringLiterals;

namespace {

const QColor& deniedRed() {
    static const QColor red = QColor::fromRgbF(0.86F, 0.2F, 0.18F);
    return red;
}

FilledButtonStyle wideButton() {
    return {QColor::fromRgbF(0.2F, 0.38F, 0.28F, 0.7F),
            {14, QFont::DemiBold, Qt::white},
            10,
            16,
            10,
            true};
}

QVBoxLayout* centredColumn(QWidget* panel) {
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);
    return column;
}

QWidget* centredSymbol(Symbol symbol, qreal pointSize, const QColor& color, QWidget* parent) {
    return new SymbolView(symbol, pointSize, color, parent);
}

// A numbered disc and its instruction.
QHBoxLayout* stepRow(int number, const QString& text, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    QLabel* disc = PageText::label(QString::number(number), {12, QFont::Bold, Qt::white}, parent);
    disc->setFixedSize(22, 22);
    disc->setAlignment(Qt::AlignCenter);
    disc->setStyleSheet(u"background: %1; border-radius: 11px;"_s.arg(GlassTheme::accent().name()));
    disc->setAccessibleName(u"Step %1"_s.arg(number));
    row->addWidget(disc, 0, Qt::AlignTop);
    QLabel* words = PageText::label(text, {13, QFont::Normal, GlassTheme::secondaryText()}, parent);
    words->setWordWrap(true);
    row->addWidget(words, 1, Qt::AlignVCenter);
    return row;
}

}  // namespace

CalibrationView::CalibrationView(SittingTracker& tracker, PageContext&, QWidget* parent)
    : QWidget(parent), tracker_(tracker) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(20, 0, 20, 16);
    stack->setSpacing(16);
    back_ = addBackHeader(*stack, this);
    stack->addStretch(1);

    auto* statesHolder = new QWidget(this);
    states_ = new QStackedLayout(statesHolder);
    introduction_ = buildIntroduction();
    counting_ = buildCountdown();
    finished_ = buildFinished();
    noBaseline_ = buildNoBaseline();
    for (QWidget* state : {introduction_, counting_, finished_, noBaseline_}) {
        state->setParent(statesHolder);
        states_->addWidget(state);
    }
    stack->addWidget(statesHolder);
    stack->addStretch(1);

    timer_.setInterval(countdownStep);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CalibrationView::countdownTick);
    connect(back_, &QAbstractButton::clicked, this,
            [this] { tracker_.setCurrentPage(AppPage::settings); });
    connect(calibrate_, &QAbstractButton::clicked, this, &CalibrationView::startCalibration);
    connect(done_, &QAbstractButton::clicked, this,
            [this] { tracker_.setCurrentPage(AppPage::dashboard); });
    connect(retry_, &QAbstractButton::clicked, this, [this] {
        calibrated_ = false;
        countdown_.reset();
        redraw();
    });
    Observe::tracker(tracker_, this, [this] { redraw(); });
    Observe::camera(tracker_.postureCamera(), this, [this] { redraw(); });
    redraw();
}

QWidget* CalibrationView::buildIntroduction() {
    auto* panel = new QWidget(this);
    QVBoxLayout* column = centredColumn(panel);
    column->addWidget(
        centredSymbol(Symbol::personAndBackgroundDotted, 40, GlassTheme::accent(), panel), 0,
        Qt::AlignHCenter);
    column->addWidget(
        PageText::label(u"Posture Calibration"_s,
                        {.pointSize = 18, .color = GlassTheme::primaryText(), .rounded = true},
                        panel),
        0, Qt::AlignHCenter);
    auto* steps = new QVBoxLayout;
    steps->setContentsMargins(0, 8, 0, 8);
    steps->setSpacing(10);
    steps->addLayout(stepRow(1, u"Sit up straight in your best posture"_s, panel));
    steps->addLayout(stepRow(2, u"Face your camera directly"_s, panel));
    steps->addLayout(stepRow(3, u"Click Calibrate and hold still for 3 seconds"_s, panel));
    column->addLayout(steps);
    cameraStatus_ = PageText::paragraph({}, {12, QFont::Normal, GlassTheme::tertiaryText()}, panel);
    column->addWidget(cameraStatus_);
    calibrate_ = new FilledButton(u"Calibrate"_s, wideButton(), panel);
    column->addSpacing(8);
    column->addWidget(calibrate_);
    return panel;
}

QWidget* CalibrationView::buildCountdown() {
    auto* panel = new QWidget(this);
    QVBoxLayout* column = centredColumn(panel);
    column->addWidget(centredSymbol(Symbol::figureStand, 40, GlassTheme::accent(), panel), 0,
                      Qt::AlignHCenter);
    column->addWidget(
        PageText::label(u"Hold still..."_s,
                        {.pointSize = 18, .color = GlassTheme::primaryText(), .rounded = true},
                        panel),
        0, Qt::AlignHCenter);
    number_ = PageText::label({}, {.pointSize = 48, .color = GlassTheme::accent(), .rounded = true},
                              panel);
    column->addWidget(number_, 0, Qt::AlignHCenter);
    column->addWidget(
        PageText::paragraph(u"Sit in your best posture. This will be your baseline."_s,
                            {13, QFont::Normal, GlassTheme::secondaryText()}, panel));
    return panel;
}

QWidget* CalibrationView::buildFinished() {
    auto* panel = new QWidget(this);
    QVBoxLayout* column = centredColumn(panel);
    column->addWidget(centredSymbol(Symbol::checkmarkCircleFill, 48, GlassTheme::success(), panel),
                      0, Qt::AlignHCenter);
    column->addWidget(
        PageText::label(u"Calibrated!"_s,
                        {.pointSize = 20, .color = GlassTheme::primaryText(), .rounded = true},
                        panel),
        0, Qt::AlignHCenter);
    column->addWidget(PageText::paragraph(
        u"Your current posture has been saved as baseline. We'll compare against this to detect "
        u"deviations."_s,
        {13, QFont::Normal, GlassTheme::secondaryText()}, panel));
    done_ = new FilledButton(u"Done"_s, wideButton(), panel);
    column->addWidget(done_);
    return panel;
}

// When the countdown ended without a current measurement: nothing was kept, and the user
// should know rather than trust a baseline that does not exist.
QWidget* CalibrationView::buildNoBaseline() {
    auto* panel = new QWidget(this);
    QVBoxLayout* column = centredColumn(panel);
    column->addWidget(
        centredSymbol(Symbol::personAndBackgroundDotted, 48, GlassTheme::tertiaryText(), panel), 0,
        Qt::AlignHCenter);
    column->addWidget(
        PageText::label(u"No baseline taken"_s,
                        {.pointSize = 20, .color = GlassTheme::primaryText(), .rounded = true},
                        panel),
        0, Qt::AlignHCenter);
    column->addWidget(PageText::paragraph(
        u"The camera couldn't see you when the countdown ended, so nothing was saved. Sit facing "
        u"your camera and try again."_s,
        {13, QFont::Normal, GlassTheme::secondaryText()}, panel));
    retry_ = new FilledButton(u"Try Again"_s, wideButton(), panel);
    column->addWidget(retry_);
    return panel;
}

void CalibrationView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!cameraChecked_) {
        cameraChecked_ = true;
        PostureCamera& camera = tracker_.postureCamera();
        if (!camera.isRunning()) {
            camera.start();
        }
    }
}

void CalibrationView::startCalibration() {
    countdown_ = countdownFrom;
    timer_.start();
    redraw();
}

void CalibrationView::countdownTick() {
    if (countdown_ && *countdown_ >= 2) {
        --*countdown_;
        redraw();
        return;
    }
    timer_.stop();
    PostureCamera& camera = tracker_.postureCamera();
    // calibrate() keeps only a current measurement; without one it quietly keeps nothing.
    baselineTaken_ = camera.freshSnapshot().has_value();
    camera.calibrate();
    calibrated_ = true;
    redraw();
}

CalibrationView::State CalibrationView::state() const {
    if (calibrated_) {
        return baselineTaken_ ? State::finished : State::noBaseline;
    }
    return countdown_ ? State::countdown : State::introduction;
}

void CalibrationView::redraw() {
    const bool hadFocus =
        states_->currentWidget() && states_->currentWidget()->isAncestorOf(focusWidget());
    QWidget* shown = introduction_;
    switch (state()) {
        case State::introduction:
            shown = introduction_;
            break;
        case State::countdown:
            shown = counting_;
            break;
        case State::finished:
            shown = finished_;
            break;
        case State::noBaseline:
            shown = noBaseline_;
            break;
    }
    // The line says what stands in the way now: a camera that was refused once and works
    // since (the user joined the video group, plugged one in) needs no warning, and can
    // calibrate.
    const PostureCamera& camera = tracker_.postureCamera();
    const std::optional<CameraProblem> problem = camera.problem();
    const bool running = camera.isRunning();
    if (problem) {
        cameraStatus_->setText(PostureWording::cameraProblemText(*problem));
        PageText::setColor(*cameraStatus_, PostureWording::needsTheUser(*problem)
                                               ? deniedRed()
                                               : GlassTheme::tertiaryText());
    } else if (!running) {
        cameraStatus_->setText(u"Camera is starting..."_s);
        PageText::setColor(*cameraStatus_, GlassTheme::tertiaryText());
    } else {
        cameraStatus_->clear();
    }
    cameraStatus_->setVisible(!cameraStatus_->text().isEmpty());
    calibrate_->setEnabled(running && !problem);
    calibrate_->setDimmed(!running);
    number_->setText(countdown_ ? QString::number(*countdown_) : QString());

    if (states_->currentWidget() != shown) {
        states_->setCurrentWidget(shown);
        // Keep keyboard users on the page's way forward when their button goes away.
        if (hadFocus) {
            for (QWidget* next : {static_cast<QWidget*>(done_), static_cast<QWidget*>(retry_),
                                  static_cast<QWidget*>(calibrate_)}) {
                if (shown->isAncestorOf(next) && next->isEnabled()) {
                    next->setFocus(Qt::TabFocusReason);
                    break;
                }
            }
            if (!shown->isAncestorOf(focusWidget())) {
                back_->setFocus(Qt::TabFocusReason);
            }
        }
    }
}

QString CalibrationView::cameraStatusText() const {
    return cameraStatus_->isHidden() ? QString() : cameraStatus_->text();
}

QColor CalibrationView::cameraStatusColor() const {
    return cameraStatus_->palette().color(QPalette::WindowText);
}

QString CalibrationView::countdownText() const {
    return number_->text();
}
