#include "Views/BackHeader.h"

#include <QBoxLayout>

#include "Components/GlassTheme.h"
#include "Views/LinkButton.h"
#include "Views/Symbols.h"

LinkButton* addBackHeader(QBoxLayout& page, QWidget* parent) {
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 8, 0, 0);
    auto* back =
        new LinkButton(QStringLiteral("Back"), {13, QFont::Medium, GlassTheme::accent()}, parent);
    back->setSymbol(Symbol::chevronLeft, 11);
    header->addWidget(back);
    header->addStretch();
    page.addLayout(header);
    return back;
}
