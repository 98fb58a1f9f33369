#include "Views/ExerciseOffsetCard.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

#include "Components/FigureLabel.h"
#include "Components/GlassTheme.h"
#include "Components/ProgressBar.h"
#include "Components/StatLabel.h"
#include "Components/StudyLink.h"
#include "Models/DayCoaching.h"
#include "Views/Fade.h"
#include "Views/GlassButton.h"
#include "Views/GlassPicker.h"
#include "Views/Observe.h"
#include "Views/PageContext.h"
#include "Views/TextStyle.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// A big number over its small caption.
QVBoxLayout* figure(FigureLabel* number, const QString& caption, QWidget* parent) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(number, 0, Qt::AlignHCenter);
    QLabel* under = PageText::label(
        caption, {9, QFont::Medium, GlassTheme::secondaryText(), false, 0.5}, parent);
    under->setAlignment(Qt::AlignHCenter);
    column->addWidget(under);
    return column;
}

GlassButtonStyle logButtonStyle() {
    GlassButtonStyle style;
    style.text = {13, QFont::DemiBold, Qt::white};
    style.fillTop = QColor::fromRgbF(0.20F, 0.38F, 0.28F, 0.65F);
    style.fillBottom = QColor::fromRgbF(0.14F, 0.28F, 0.20F, 0.75F);
    style.rimStops = {{0.0, 0.3}, {1.0, 0.0}};
    style.cornerRadius = 10;
    style.paddingX = 16;
    style.paddingY = 8;
    style.shadowRadius = 8;
    style.shadowDrop = 3;
    style.pressedScale = 0.95;
    style.hoverScale = 1.02;
    return style;
}

}  // namespace

ExerciseOffsetCard::ExerciseOffsetCard(SittingTracker& tracker, PageContext& context,
                                       QWidget* parent)
    : StatCard(CardDepth::recessed, context.motion, parent),
      tracker_(tracker),
      motion_(context.motion) {
    addContent(new StatLabel(u"Exercise Offset"_s, this));

    logged_ = new FigureLabel(GlassTheme::roundedFont(22), GlassTheme::primaryText(), this);
    needed_ = new FigureLabel(GlassTheme::roundedFont(22), GlassTheme::primaryText(), this);
    auto* figures = new QHBoxLayout;
    figures->setSpacing(20);
    figures->addStretch();
    figures->addLayout(figure(logged_, u"LOGGED"_s, this));
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::VLine);
    divider->setFixedSize(1, 30);
    divider->setStyleSheet(u"background: rgba(0, 0, 0, 30); border: none;"_s);
    figures->addWidget(divider, 0, Qt::AlignVCenter);
    figures->addLayout(figure(needed_, u"NEEDED"_s, this));
    figures->addStretch();
    addContent(figures);

    bar_ = new ProgressBar(this);
    bar_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    addContent(bar_, {});
    status_ = PageText::paragraph({}, {11, QFont::Normal, GlassTheme::secondaryText()}, this);
    addContent(status_, {});

    auto* logging = new QHBoxLayout;
    logging->setSpacing(8);
    picker_ = new GlassPicker(u"Exercise minutes to log"_s, this);
    for (const int amount : amounts) {
        picker_->addItem(QString::number(amount) + u" min"_s, amount);
    }
    picker_->setCurrentIndex(picker_->findData(defaultAmount));
    logging->addWidget(picker_, 1);
    log_ = new GlassButton(u"Log Exercise"_s, logButtonStyle(), context.motion, this);
    logging->addWidget(log_);
    addContent(logging);

    StudyLink::attach(this, u"10.1016/S0140-6736(16)30370-1"_s,
                      u"Sorvald et al., 2016 \u2014 Exercise offsets sitting mortality"_s,
                      context.openUrl, &context.motion);

    connect(log_, &QAbstractButton::clicked, this, &ExerciseOffsetCard::logPicked);
    Observe::tracker(tracker_, this, [this] { redraw(); });
    redraw();
}

void ExerciseOffsetCard::logPicked() {
    log_->setPressedLook(true);
    tracker_.logExercise(picker_->currentData().toInt());
    QTimer::singleShot(pressHold, log_, [button = log_] { button->setPressedLook(false); });
}

void ExerciseOffsetCard::redraw() {
    const qint64 done = tracker_.exerciseMinutes();
    const qint64 needed = tracker_.exerciseOffsetNeeded();
    const QString logged = QString::number(done) + u"m"_s;
    if (logged != logged_->text()) {
        logged_->setText(logged);
        fadeIn(*logged_, 500ms, motion_);  // newly logged minutes ease in
    }
    needed_->setText(QString::number(needed) + u"m"_s);
    bar_->setVisible(needed >= 1);
    if (needed >= 1) {
        bar_->setProgress(static_cast<double>(done) / static_cast<double>(needed), isVisible());
        bar_->setColor(done < needed ? GlassTheme::standardOrange() : GlassTheme::standardGreen());
    }
    status_->setText(DayCoaching::offsetStatus(needed, done));
    PageText::setColor(*status_, DayCoaching::offsetStillOwed(needed, done)
                                     ? GlassTheme::secondaryText()
                                     : GlassTheme::success());
}

QString ExerciseOffsetCard::loggedText() const {
    return logged_->text();
}

QString ExerciseOffsetCard::neededText() const {
    return needed_->text();
}

QString ExerciseOffsetCard::statusText() const {
    return status_->text();
}

QColor ExerciseOffsetCard::statusColor() const {
    return status_->palette().color(QPalette::WindowText);
}
