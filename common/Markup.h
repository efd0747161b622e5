// Text for the SVG and HTML documents the programs write: characters escaped for
// markup, and the number forms of the plots.
#pragma once

#include <string>

class Markup {
  public:
    // & < > " as entities, so that a name never breaks the document.
    static std::string Escaped(const std::string& text);
    // A coordinate: two decimals.
    static std::string Coordinate(double v);
    // The label of a tick of a linear axis with ticks `step` apart: 6 significant
    // digits, and 0 for a value that rounding moved off zero (1e-17).
    static std::string TickLabel(double v, double step);
};
