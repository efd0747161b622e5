#include "common/Markup.h"

#include <cmath>
#include <cstdio>

std::string Markup::Escaped(const std::string& s) {
    std::string e;
    for (char c : s) {
        switch (c) {
        case '&':
            e += "&amp;";
            break;
        case '<':
            e += "&lt;";
            break;
        case '>':
            e += "&gt;";
            break;
        case '"':
            e += "&quot;";
            break;
        default:
            e += c;
        }
    }
    return e;
}

std::string Markup::Coordinate(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string Markup::TickLabel(double v, double step) {
    if (std::fabs(v) < step * 1e-9)
        v = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}
