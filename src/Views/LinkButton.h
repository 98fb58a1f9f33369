#pragma once

#include <QVariantAnimation>
#include <optional>

#include "Views/PageButton.h"
#include "Views/Symbols.h"
#include "Views/TextStyle.h"

// A plain button: an optional symbol, 4 pt before its text, in one colour and without chrome.
// It may take a second colour while the pointer is over it.
class LinkButton : public PageButton {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds hoverFade{200};

    LinkButton(const QString& text, const TextStyle& style, QWidget* parent = nullptr);

    // The symbol before the text, at the size of text of `pointSize`.
    void setSymbol(Symbol symbol, qreal pointSize);
    void setHoverColor(const QColor& color);
    // The colour drawn now, between the resting and the hover colour.
    QColor shownColor() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TextStyle style_;
    std::optional<Symbol> symbol_;
    qreal symbolSide_ = 0;
    std::optional<QColor> hoverColor_;
    QVariantAnimation hoverBlend_;
};
