#pragma once

class LinkButton;
class QBoxLayout;
class QWidget;

// The header of the pages that lead back to the dashboard: "Back" after a left chevron, in the
// accent colour, alone at the left of a row 8 pt below the page's top. Returns the button.
LinkButton* addBackHeader(QBoxLayout& page, QWidget* parent);
