#include "common/ResultTable.h"

#include "common/AtomicFile.h"
#include "common/Csv.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

const char* const kHeader[] = {"variable", "kind", "time", "value", "error bound", "residual"};

std::string Format(const char* format, double v) {
    char text[40];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

std::vector<std::string> Fields(const ResultTable::Row& r) {
    return {r.variable, r.kind, r.time, r.value, r.error, r.residual};
}

} // namespace

std::string ResultTable::Value(double v) {
    return Format("%.15g", v);
}

std::string ResultTable::Bound(double v) {
    return Format("%.3g", v);
}

std::string ResultTable::Time(double t) {
    return Format("%.15g", t);
}

void ResultTable::Print(std::ostream& out) const {
    const size_t columns = sizeof kHeader / sizeof kHeader[0];
    std::vector<size_t> width(columns);
    for (size_t c = 0; c < columns; c++)
        width[c] = std::string(kHeader[c]).size();
    for (const Row& r : rows_) {
        const std::vector<std::string> f = Fields(r);
        for (size_t c = 0; c < columns; c++)
            width[c] = std::max(width[c], f[c].size());
    }
    auto line = [&](const std::vector<std::string>& f) {
        std::string s;
        for (size_t c = 0; c < columns; c++) {
            // Names and words to the left, numbers to the right.
            const bool left = c < 2;
            const std::string pad(width[c] - f[c].size(), ' ');
            s += left ? f[c] + pad : pad + f[c];
            if (c + 1 < columns)
                s += "  ";
        }
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        out << s << '\n';
    };
    line(std::vector<std::string>(kHeader, kHeader + columns));
    for (const Row& r : rows_)
        line(Fields(r));
}

void ResultTable::WriteCsv(const std::string& path) const {
    AtomicFile::Write(path, CsvText());
}

std::string ResultTable::CsvText() const {
    return "variable,kind,time,value,error_bound,residual\n" + CsvRows();
}

std::string ResultTable::CsvRows() const {
    std::ostringstream s;
    for (const Row& r : rows_) {
        const std::vector<std::string> f = Fields(r);
        for (size_t c = 0; c < f.size(); c++)
            s << (c > 0 ? "," : "") << Csv::Field(f[c]);
        s << '\n';
    }
    return s.str();
}
