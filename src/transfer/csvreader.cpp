#include "csvreader.h"

namespace {

bool endsLine(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Skips one line end (CR LF, LF or a lone CR) at position i.
qsizetype afterLineEnd(QStringView text, qsizetype i)
{
    if (i < text.size() && text[i] == u'\r')
        ++i;
    if (i < text.size() && text[i] == u'\n')
        ++i;
    return i;
}

} // namespace

bool readCsv(QStringView text, QList<QStringList> *rows, QString *error)
{
    rows->clear();
    const qsizetype n = text.size();
    qsizetype i = 0;
    QStringList row;
    while (i < n) {
        if (row.isEmpty() && endsLine(text[i])) {
            i = afterLineEnd(text, i); // an empty line
            continue;
        }
        QString cell;
        if (text[i] == u'"') {
            // Quoted: runs to the quote that is not doubled; text after it up to the comma belongs to the cell.
            ++i;
            for (;;) {
                const qsizetype quote = text.indexOf(u'"', i);
                if (quote < 0) {
                    if (error)
                        *error = QStringLiteral("in row %1 a quoted field is never closed").arg(rows->size() + 1);
                    return false;
                }
                cell += text.sliced(i, quote - i);
                i = quote + 1;
                if (i < n && text[i] == u'"') {
                    cell += u'"';
                    ++i;
                    continue;
                }
                break;
            }
        }
        const qsizetype start = i;
        while (i < n && text[i] != u',' && !endsLine(text[i]))
            ++i;
        cell += text.sliced(start, i - start);
        row.append(cell);
        if (i < n && text[i] == u',') {
            ++i;
            if (i == n)
                row.append(QString()); // a comma at the very end still opens a last, empty cell
            continue;
        }
        i = afterLineEnd(text, i);
        rows->append(row);
        row.clear();
    }
    if (!row.isEmpty())
        rows->append(row);
    return true;
}
