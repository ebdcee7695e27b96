#include "ListExport.h"

#include "TextHelpers.h"

using namespace Qt::StringLiterals;

namespace {

void AppendField(QString &line, QString field)
{
    QuoteCsvField(field, u',');
    line += field;
}

void AppendRow(QString &text, const TRecipient &r, int paramColumns, bool log)
{
    AppendField(text, r.Address);
    for (int k = 1; k <= paramColumns; ++k) {
        text += u',';
        AppendField(text, r.Value(k));
    }
    if (log) {
        text += u',';
        AppendField(text, r.StatusText);
    }
    text += "\r\n"_L1;
}

} // namespace

QString FormatExport(const std::vector<TRecipient> &rows, int paramColumns, bool log, const std::vector<int> *selected)
{
    QString text;
    if (selected) {
        for (const int row : *selected) {
            if (row >= 0 && size_t(row) < rows.size())
                AppendRow(text, rows[size_t(row)], paramColumns, log);
        }
    } else {
        for (const TRecipient &r : rows)
            AppendRow(text, r, paramColumns, log);
    }
    return text;
}
