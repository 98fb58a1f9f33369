#pragma once

#include <QAbstractButton>
#include <QPainterPath>

// The base of every button the pages draw: reachable with Tab, pressed with Space, Enter or
// Return, named for screen readers by its text, and aware of the pointer over it.
class PageButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit PageButton(const QString& text, QWidget* parent = nullptr);

    bool isHovered() const { return hovered_; }
    // Focus that came from the keyboard, which the button outlines; a click leaves none.
    bool showsFocus() const { return hasFocus() && keyboardFocus_; }

signals:
    void hoveredChanged(bool hovered);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The keyboard-focus outline around `shape`.
    void paintFocusRing(QPainter& painter, const QPainterPath& shape) const;

private:
    void setHovered(bool hovered);

    bool hovered_ = false;
    bool keyboardFocus_ = false;
};
