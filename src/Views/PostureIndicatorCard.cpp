#include "Views/PostureIndicatorCard.h"

#include <QHBoxLayout>
#include <QLabel>

#include "Components/GlassTheme.h"
#include "Components/StatLabel.h"
#include "Models/PostureWording.h"
#include "Views/LinkButton.h"
#include "Views/Observe.h"
#include "Views/PageContext.h"
#include "Views/Symbols.h"
#include "Views/TextStyle.h"

using namespace Qt::StringLiterals;

namespace {

QColor toneColor(PostureWording::Tone tone) {
    switch (tone) {
        case PostureWording::Tone::secondary:
            return GlassTheme::secondaryText();
        case PostureWording::Tone::tertiary:
            return GlassTheme::tertiaryText();
        case PostureWording::Tone::good:
            return GlassTheme::success();
    }
    return GlassTheme::tertiaryText();
}

}  // namespace

PostureIndicatorCard::PostureIndicatorCard(SittingTracker& tracker, PageContext& context,
                                           QWidget* parent)
    : StatCard(CardDepth::standard, context.motion, parent), tracker_(tracker) {
    auto* header = new QHBoxLayout;
    header->addWidget(new StatLabel(u"Posture"_s, this), 0, Qt::AlignVCenter);
    header->addStretch();
    calibrate_ = new LinkButton(u"Calibrate"_s, {11, QFont::DemiBold, GlassTheme::accent()}, this);
    header->addWidget(calibrate_, 0, Qt::AlignVCenter);
    addContent(header);

    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->setContentsMargins(0, 2, 0, 2);
    icon_ = new SymbolView(Symbol::figureStand, 28, GlassTheme::standardGray(), this);
    row->addWidget(icon_, 0, Qt::AlignVCenter);
    auto* words = new QVBoxLayout;
    words->setSpacing(2);
    status_ = PageText::label(
        {}, {.pointSize = 16, .color = GlassTheme::primaryText(), .rounded = true}, this);
    detail_ = PageText::label({}, {11, QFont::Normal, GlassTheme::tertiaryText()}, this);
    detail_->setWordWrap(true);
    words->addWidget(status_);
    words->addWidget(detail_);
    row->addLayout(words, 1);
    addContent(row);

    connect(calibrate_, &QAbstractButton::clicked, this,
            [this] { tracker_.setCurrentPage(AppPage::calibration); });

    const auto redrawSoon = [this] { redraw(); };
    Observe::tracker(tracker_, this, redrawSoon);
    Observe::analyzer(tracker_.postureAnalyzer(), this, redrawSoon);
    Observe::camera(tracker_.postureCamera(), this, redrawSoon);
    redraw();
}

void PostureIndicatorCard::redraw() {
    const PostureAnalyzer& analyzer = tracker_.postureAnalyzer();
    const PostureStatus status = analyzer.postureStatus();
    const bool calibrated = tracker_.postureCamera().isCalibrated();
    calibrate_->setVisible(!calibrated);

    const std::optional<SrgbColor> color = PostureWording::statusColor(status);
    icon_->setColor(color ? GlassTheme::fromSrgb(*color) : GlassTheme::standardGray());
    icon_->setSymbol(
        Symbols::named(PostureWording::iconName(status)).value_or(Symbol::figureStand));
    icon_->setAccessibleName(u"Posture "_s + PostureVerdicts::rawValue(status));

    status_->setText(PostureVerdicts::rawValue(status));
    // When the camera cannot measure, that explains the verdict better than the verdict does.
    const std::optional<CameraProblem> problem = tracker_.postureCamera().problem();
    const PostureWording::DetailLine line =
        problem ? PostureWording::DetailLine{PostureWording::cameraProblemText(*problem),
                                             PostureWording::Tone::tertiary}
                : PostureWording::detailLine(status, analyzer.worstIssue(),
                                             analyzer.currentDeviation(), calibrated);
    detail_->setText(line.text);
    PageText::setColor(*detail_, toneColor(line.tone));
}

QString PostureIndicatorCard::statusText() const {
    return status_->text();
}

QString PostureIndicatorCard::detailText() const {
    return detail_->text();
}

QColor PostureIndicatorCard::detailColor() const {
    return detail_->palette().color(QPalette::WindowText);
}

QColor PostureIndicatorCard::iconColor() const {
    return icon_->color();
}

QString PostureIndicatorCard::iconName() const {
    return Symbols::nameOf(icon_->symbol());
}

bool PostureIndicatorCard::offersCalibration() const {
    return !calibrate_->isHidden();
}
