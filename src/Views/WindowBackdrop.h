#pragma once

#include <QPixmap>
#include <QWidget>

// Everything under the page: the blurred ambient wash, a frosted layer over the whole window and
// a faint white sheen on top. All of it is still, so it is drawn into one picture and kept.
class WindowBackdrop : public QWidget {
    Q_OBJECT

public:
    explicit WindowBackdrop(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap composed_;
};
