#pragma once

#include <QLabel>

// A card's caption: upper case, small, tracked out.
class StatLabel : public QLabel {
    Q_OBJECT

public:
    explicit StatLabel(const QString& text, QWidget* parent = nullptr);

    // Full Unicode upper-casing, whatever the locale: "straße" reads "STRASSE".
    static QString captionText(const QString& text);
};
