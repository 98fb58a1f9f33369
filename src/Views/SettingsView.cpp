#include "Views/SettingsView.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "Components/GlassTheme.h"
#include "Components/StatCard.h"
#include "Components/StatLabel.h"
#include "Components/StudyLink.h"
#include "Data/CadenceOptions.h"
#include "Models/SittingTracker.h"
#include "Platform/AutostartEntry.h"
#include "Views/BackHeader.h"
#include "Views/Fade.h"
#include "Views/GlassPicker.h"
#include "Views/LinkButton.h"
#include "Views/Observe.h"
#include "Views/PageContext.h"
#include "Views/TextStyle.h"
#include "Views/ToggleSwitch.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFixedHeight(1);
    line->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    line->setStyleSheet(u"background: rgba(0, 0, 0, 25); border: none;"_s);
    return line;
}

// A feature's title and subtitle at the left, its switch at the right.
QHBoxLayout* featureRow(const QString& title, const QString& subtitle, ToggleSwitch* toggle,
                        QWidget* parent) {
    auto* row = new QHBoxLayout;
    auto* words = new QVBoxLayout;
    words->setSpacing(2);
    words->addWidget(
        PageText::label(title, {13, QFont::DemiBold, GlassTheme::primaryText()}, parent));
    QLabel* under =
        PageText::label(subtitle, {11, QFont::Normal, GlassTheme::tertiaryText()}, parent);
    under->setWordWrap(true);
    words->addWidget(under);
    row->addLayout(words, 1);
    row->addWidget(toggle, 0, Qt::AlignVCenter);
    return row;
}

}  // namespace

SettingsView::SettingsView(SittingTracker& tracker, PageContext& context, QWidget* parent)
    : QWidget(parent), tracker_(tracker), motion_(context.motion), autostart_(context.autostart) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(20, 0, 20, 16);
    stack->setSpacing(14);

    back_ = addBackHeader(*stack, this);
    stack->addWidget(
        PageText::label(u"Settings"_s,
                        {.pointSize = 18, .color = GlassTheme::primaryText(), .rounded = true},
                        this),
        0, Qt::AlignHCenter);

    auto* cadenceCard = new StatCard(CardDepth::standard, context.motion, this);
    cadenceCard->addContent(new StatLabel(u"Break Cadence"_s, cadenceCard));
    cadence_ = new GlassPicker(u"Break cadence"_s, cadenceCard);
    for (const CadenceOption& option : CadenceOptions::all()) {
        cadence_->addItem(option.label, option.minutes);
    }
    cadenceCard->addContent(cadence_, {});
    hint_ = PageText::paragraph({}, {11, QFont::Normal, GlassTheme::accent(), true}, cadenceCard);
    cadenceCard->addContent(hint_, {});
    StudyLink::attach(cadenceCard, u"10.1249/MSS.0000000000003243"_s,
                      u"Quellin et al., 2023 \u2014 Optimal break frequency"_s, context.openUrl,
                      &context.motion);
    stack->addWidget(cadenceCard);

    auto* features = new StatCard(CardDepth::standard, context.motion, this);
    features->addContent(new StatLabel(u"Features"_s, features));
    exercise_ = new ToggleSwitch(u"Exercise Offset Tracker"_s, features);
    features->addContent(featureRow(u"Exercise Offset Tracker"_s,
                                    u"Log movement to fight back against your chair"_s, exercise_,
                                    features));
    features->addContent(divider(features), {});
    posture_ = new ToggleSwitch(u"Posture Tracking"_s, features);
    features->addContent(featureRow(u"Posture Tracking"_s,
                                    u"Keeps an eye on your head, shoulders & slouch"_s, posture_,
                                    features));
    QLabel* privacy = PageText::label(
        u"On-device only. Your camera stays between you and your computer \u2014 nothing leaves."_s,
        {10, QFont::Normal, GlassTheme::tertiaryText()}, features);
    privacy->setWordWrap(true);
    privacy->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The full width, so that the wrapped lines get the height they need.
    features->addContent(privacy, {});
    calibrateDivider_ = divider(features);
    features->addContent(calibrateDivider_, {});
    calibrate_ = new LinkButton({}, {12, QFont::Medium, GlassTheme::accent()}, features);
    calibrate_->setSymbol(Symbol::arrowTriangle2Circlepath, 11);
    features->addContent(calibrate_);
    features->addContent(divider(features), {});
    login_ = new ToggleSwitch(u"Start at login"_s, features);
    features->addContent(featureRow(u"Start at login"_s,
                                    u"Counting starts the moment you sign in"_s, login_, features));
    // What is on disk now: the entry may have been added or removed by hand since last time.
    login_->setChecked(autostart_.isEnabled());
    stack->addWidget(features);

    saved_ =
        PageText::label(u"Locked in \u2713"_s, {13, QFont::Medium, GlassTheme::success()}, this);
    saved_->hide();
    stack->addWidget(saved_, 0, Qt::AlignHCenter);
    stack->addStretch(1);

    hideSaved_.setSingleShot(true);
    hideSaved_.setInterval(confirmationTime);
    // The confirmation leaves as it came.
    connect(&hideSaved_, &QTimer::timeout, this, [this] {
        savedLeaving_ = true;
        fadeOut(*saved_, 250ms, motion_, [this] {
            savedLeaving_ = false;
            saved_->hide();
        });
    });

    connect(back_, &QAbstractButton::clicked, this,
            [this] { tracker_.setCurrentPage(AppPage::dashboard); });
    connect(cadence_, &QComboBox::activated, this, [this](int index) {
        const qint64 minutes = cadence_->itemData(index).toLongLong();
        if (minutes == tracker_.reminderInterval()) {
            return;  // the cadence already in force: nothing changed, nothing to confirm
        }
        tracker_.setReminderInterval(minutes);
        flashSaved();
    });
    connect(exercise_, &QAbstractButton::clicked, this, [this](bool on) {
        tracker_.setShowExerciseOffset(on);
        flashSaved();
    });
    connect(posture_, &QAbstractButton::clicked, this, [this](bool on) {
        tracker_.setPostureTrackingEnabled(on);
        flashSaved();
    });
    connect(login_, &QAbstractButton::clicked, this, [this](bool on) {
        const bool kept = autostart_.setEnabled(on);
        // A folder that refused the change leaves the switch showing what is really there.
        login_->setChecked(autostart_.isEnabled());
        if (kept) {
            flashSaved();
        }
    });
    connect(calibrate_, &QAbstractButton::clicked, this,
            [this] { tracker_.setCurrentPage(AppPage::calibration); });
    Observe::tracker(tracker_, this, [this] { redraw(); });
    Observe::camera(tracker_.postureCamera(), this, [this] { redraw(); });
    redraw();
}

void SettingsView::flashSaved() {
    if (saved_->isHidden()) {
        saved_->show();
        fadeIn(*saved_, 250ms, motion_);
    } else if (savedLeaving_) {
        // A change while it fades out brings it back whole; its fade goes with the effect.
        savedLeaving_ = false;
        saved_->setGraphicsEffect(nullptr);
    }
    // Each change keeps the confirmation up for its own full 1.5 s.
    hideSaved_.start();
}

void SettingsView::redraw() {
    const qint64 interval = tracker_.reminderInterval();
    cadence_->setCurrentIndex(cadence_->findData(interval));
    const QString hint = CadenceOptions::hintFor(interval);
    hint_->setVisible(!hint.isEmpty());
    if (hint != hint_->text()) {
        hint_->setText(hint);
        fadeIn(*hint_, 350ms, motion_);  // a new cadence's hint eases in
    }
    exercise_->setChecked(tracker_.showExerciseOffset());
    posture_->setChecked(tracker_.postureTrackingEnabled());

    const bool posture = tracker_.postureTrackingEnabled();
    calibrateDivider_->setVisible(posture);
    calibrate_->setVisible(posture);
    const QString label =
        tracker_.postureCamera().isCalibrated() ? u"Recalibrate Posture"_s : u"Calibrate Posture"_s;
    calibrate_->setText(label);
    calibrate_->setAccessibleName(label);
    calibrate_->updateGeometry();
}

QString SettingsView::hintText() const {
    return hint_->text();
}

LinkButton* SettingsView::calibrateButton() const {
    return calibrate_->isHidden() ? nullptr : calibrate_;
}

bool SettingsView::showsConfirmation() const {
    return !saved_->isHidden() && !savedLeaving_;  // once it fades out it confirms no more
}
