#pragma once

#include "Views/PageButton.h"

// A category pill: a capsule, filled with the accent when it is the chosen one.
class PillButton : public PageButton {
    Q_OBJECT

public:
    explicit PillButton(const QString& text, QWidget* parent = nullptr);

    bool isSelected() const { return selected_; }
    void setSelected(bool selected);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override;

private:
    bool selected_ = false;
};
