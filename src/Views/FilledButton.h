#pragma once

#include "Views/PageButton.h"
#include "Views/TextStyle.h"

// How a filled button looks: white text on a solid rounded fill.
struct FilledButtonStyle {
    QColor fill;
    TextStyle text;
    qreal cornerRadius = 8;
    int paddingX = 20;
    int paddingY = 7;
    bool fullWidth = false;
};

// A solid, prominent button: Start, Done, Calibrate.
class FilledButton : public PageButton {
    Q_OBJECT

public:
    FilledButton(const QString& text, FilledButtonStyle style, QWidget* parent = nullptr);

    // Drawn at half strength; whether it can be pressed is setEnabled's business.
    void setDimmed(bool dimmed);
    bool isDimmed() const { return dimmed_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FilledButtonStyle style_;
    bool dimmed_ = false;
};
