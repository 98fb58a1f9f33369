#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

// Our status-bar figure as the pixels handed to a tray. Panels differ: some fill a symbolic icon
// with their own colour, some say which colour they want, and some draw exactly what they are
// given, on a bar of either shade.
namespace TrayFigure {

// The figure in `ink`, ringed by a thin outline of the opposite shade, so that it reads on a
// dark bar and a light one alike.
QIcon outlined(const QIcon& glyph, const QColor& ink);
// The figure in exactly the colour a panel asked its icons to take.
QIcon tinted(const QIcon& glyph, const QColor& ink);
// The same pixels under an icon-theme name: a host that recolours symbolic icons loads the named
// icon and fills it with its panel's colour; any other draws the pixels.
QIcon named(const QIcon& pixels, const QString& themeName);
// The shade that stands out around a figure drawn in `ink`.
QColor outlineFor(const QColor& ink);

}  // namespace TrayFigure
