#pragma once

#include <QComboBox>

// A single-choice picker drawn in the window's glass: a frosted rounded field with the choice and
// a small up-down chevron, and a light list of the choices when it opens. Tab reaches it; the
// arrow keys change the choice, Space or Alt+Down open the list.
class GlassPicker : public QComboBox {
    Q_OBJECT

public:
    explicit GlassPicker(const QString& accessibleName, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    bool hovered_ = false;
    bool keyboardFocus_ = false;
};
