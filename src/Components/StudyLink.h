#pragma once

#include <QAbstractButton>

#include "Components/UrlOpener.h"

// A small "i" in a card's top-right corner: the study behind a claim. Hovering names it,
// clicking opens its DOI page.
class StudyLink : public QAbstractButton {
    Q_OBJECT

public:
    StudyLink(QString url, QString tooltip, UrlOpener open, QWidget* parent = nullptr);

    // Pins a link to the top-right corner of `card`, 6 pt in, without moving its content.
    static StudyLink* attach(QWidget* card, const QString& doiPath, const QString& tooltip,
                             UrlOpener open);
    // The DOI resolver's address for a DOI path.
    static QString doiUrl(const QString& doiPath);

    const QString& url() const { return url_; }
    bool isHovered() const { return hovered_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void openStudy();

    QString url_;
    UrlOpener open_;
    bool hovered_ = false;
};
