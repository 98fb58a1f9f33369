#pragma once

#include "Components/AmbientBackground.h"

// Everything under the page: the blurred ambient wash, a frosted layer over the whole window and
// a faint white sheen on top. All of it is still, so it is drawn into one picture and kept.
class WindowBackdrop : public AmbientBackground {
    Q_OBJECT

public:
    using AmbientBackground::AmbientBackground;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap composed_;
};
