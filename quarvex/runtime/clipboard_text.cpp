#include "quarvex/runtime/clipboard_text.h"

#include "quarvex/runtime/code_page.h"

#include <QString>

#include <algorithm>

namespace qvrt {

namespace {

bool endsCell(QChar c) { return c == u'\t' || c == u'\r' || c == u'\n'; }

// The quote that closes the cell opened by the quote at `open`: the first
// one that stands right before a tab, a line end or the end of the text,
// with every quote before it doubled; -1 when there is none. With
// leadingOnly, only the quotes right after the opening one are looked at
// (see BlockTextFromClipboard).
qsizetype closingQuote(QStringView text, qsizetype open, bool leadingOnly) {
    const qsizetype n = text.size();
    for (qsizetype i = open + 1; i < n; ++i) {
        if (text[i] != u'"') {
            if (leadingOnly) return -1;
            continue;
        }
        if (i + 1 == n || endsCell(text[i + 1])) return i;
        // Inside a quoted cell every quote is doubled; a lone one means the
        // cell was never quoted (text from Calc, "Big" granite).
        if (text[i + 1] != u'"') return -1;
        ++i;
    }
    return -1;
}

}  // namespace

void AppendClipboardCell(std::string_view cell, QString& out) {
    const qsizetype start = out.size();
    AppendDecodedCell(cell, out);
    const QStringView text = QStringView(out).sliced(start);
    if (!text.startsWith(u'"') && std::none_of(text.begin(), text.end(), endsCell)) return;
    const QString quoted = u'"' + text.toString().replace(u'"', QStringLiteral("\"\"")) + u'"';
    out.truncate(start);
    out.append(quoted);
}

QString BlockTextFromClipboard(QStringView text) {
    QString block;
    block.reserve(text.size());
    const qsizetype n = text.size();
    // Once a search for a closing quote has run to the end in vain, a later
    // search would walk the same quotes in step with it once past its own
    // leading quotes, so it need only look at those: a text full of unclosed
    // quotes is still read in one pass.
    bool searchedToEnd = false;
    bool cellStart = true;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (cellStart && c == u'"') {
            const qsizetype close = closingQuote(text, i, searchedToEnd);
            searchedToEnd = searchedToEnd || close < 0;
            if (close >= 0) {
                for (qsizetype k = i + 1; k < close; ++k) {
                    const QChar q = text[k];
                    if (q == u'"' && text[k + 1] == u'"') ++k;  // a doubled quote stands for one
                    block.append(endsCell(q) ? QChar(u' ') : q);
                }
                i = close;
                cellStart = false;
                continue;
            }
        }
        block.append(c);
        cellStart = endsCell(c);
    }
    return block;
}

}  // namespace qvrt
