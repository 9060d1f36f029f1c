#include "quarvex/runtime/spread_grid.h"

#include "quarvex/runtime/clipboard_text.h"
#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/grid_model.h"
#include "quarvex/runtime/grid_view.h"
#include "quarvex/runtime/safe_write.h"
#include "quarvex/runtime/spread_grid_cells.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace qvrt {

namespace {

constexpr int kDefaultCols = 50;
constexpr int kDefaultRows = 15000;
constexpr int kDefaultRowNumberTwips = 720;
constexpr int kDefaultColTwips = 1080;

QString fontFamilyFor(const QString& name) {
    if (name.compare(u"MS Sans Serif", Qt::CaseInsensitive) == 0 ||
        name.compare(u"Small Fonts", Qt::CaseInsensitive) == 0)
        return QStringLiteral("DejaVu Sans");
    if (name.compare(u"Arial", Qt::CaseInsensitive) == 0) return QStringLiteral("Liberation Sans");
    return name;
}

std::string_view bytesOf(const QByteArray& b) {
    return {b.constData(), static_cast<size_t>(b.size())};
}

std::string_view slice(std::string_view text, size_t at, size_t n) { return text.substr(at, n); }
QStringView slice(QStringView text, size_t at, size_t n) {
    return text.mid(static_cast<qsizetype>(at), n == std::string_view::npos ? -1 : static_cast<qsizetype>(n));
}

// Lines of a block text: CR LF, CR or LF end a line; a final line end does
// not start another (empty) row.
template <typename View>
std::vector<View> blockLines(View text) {
    std::vector<View> lines;
    const size_t n = static_cast<size_t>(text.size());
    size_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') continue;
        lines.push_back(slice(text, start, i - start));
        if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n || lines.empty()) lines.push_back(slice(text, start, std::string_view::npos));
    return lines;
}

template <typename View>
std::vector<View> fieldsOf(View line, size_t maxFields) {
    std::vector<View> fields;
    const size_t n = static_cast<size_t>(line.size());
    size_t start = 0;
    while (fields.size() < maxFields) {
        size_t tab = start;
        while (tab < n && line[tab] != u'\t') ++tab;
        fields.push_back(slice(line, start, tab - start));
        if (tab == n) break;
        start = tab + 1;
    }
    return fields;
}

// Cell bytes made for a row's fields, and views of them once all are made
// (the buffer may move while it grows).
class RowBytes {
public:
    void clear() {
        buf_.clear();
        spans_.clear();
    }
    // A field whose cell bytes are made here.
    template <typename Append>
    void make(Append&& append) {
        const qsizetype at = buf_.size();
        append(buf_);
        spans_.push_back({at, buf_.size() - at, nullptr});
    }
    // A field whose bytes are already cell bytes.
    void keep(std::string_view bytes) { spans_.push_back({0, static_cast<qsizetype>(bytes.size()), bytes.data()}); }
    const std::vector<std::string_view>& views() {
        views_.clear();
        for (const Span& sp : spans_)
            views_.emplace_back(sp.data ? sp.data : buf_.constData() + sp.at, static_cast<size_t>(sp.size));
        return views_;
    }

private:
    struct Span {
        qsizetype at, size;
        const char* data;
    };
    QByteArray buf_;
    std::vector<Span> spans_;
    std::vector<std::string_view> views_;
};

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The cells a line of a block sets: its first width fields, those of a
// UTF-8 line beyond ASCII converted to cell bytes made in bytes (the rest
// are cells as they stand).
std::vector<std::string_view> cellsOfLine(std::string_view line, size_t width, bool utf8, RowBytes& bytes) {
    std::vector<std::string_view> fields = fieldsOf(line, width);
    if (!utf8 || isAscii(line)) return fields;
    bytes.clear();
    for (std::string_view field : fields) {
        if (isAscii(field)) bytes.keep(field);
        else bytes.make([&](QByteArray& out) { AppendCellBytesFromUtf8(field, out); });
    }
    return bytes.views();
}

}  // namespace

QString TypedCellText(QString text) {
    for (QChar& ch : text)
        if (ch == u'\t' || ch == u'\r' || ch == u'\n') ch = u' ';
    return text;
}

SpreadGrid::SpreadGrid(QWidget* parent)
    : QWidget(parent), cells_(std::make_unique<GridCells>(kDefaultCols, kDefaultRows)) {
    model_ = new GridModel(*cells_, this);
    view_ = new GridView(*this);
    view_->setModel(model_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    connect(model_, &GridModel::cellEdited, this, &SpreadGrid::Change);
    colTwips_.assign(static_cast<size_t>(kDefaultCols) + 1, kDefaultColTwips);
    colTwips_[0] = kDefaultRowNumberTwips;
    applyFont();
    for (int c = 0; c <= kDefaultCols; ++c) applyColWidth(c);
    view_->setCurrentIndex(model_->index(0, 0));
}

SpreadGrid::~SpreadGrid() = default;

int SpreadGrid::MaxCols() const { return cells_->cols(); }

void SpreadGrid::setMaxCols(int cols) {
    view_->finishEditing();
    const int old = cells_->cols();
    model_->setCols(cols);
    colTwips_.resize(static_cast<size_t>(cells_->cols()) + 1, kDefaultColTwips);
    for (int c = old + 1; c <= cells_->cols(); ++c) applyColWidth(c);
}

int SpreadGrid::MaxRows() const { return cells_->rows(); }

void SpreadGrid::setMaxRows(int rows) {
    view_->finishEditing();
    model_->setRows(rows);
}

SpreadGrid::Rect SpreadGrid::blockRect() const {
    Rect r{std::min(col_, col2_), std::min(row_, row2_), std::max(col_, col2_), std::max(row_, row2_)};
    if (col_ == -1 || col2_ == -1) r.col1 = 1, r.col2 = cells_->cols();
    if (row_ == -1 || row2_ == -1) r.row1 = 1, r.row2 = cells_->rows();
    r.col1 = std::max(r.col1, 1);
    r.row1 = std::max(r.row1, 1);
    r.col2 = std::min(r.col2, cells_->cols());
    r.row2 = std::min(r.row2, cells_->rows());
    return r;
}

SpreadGrid::Rect SpreadGrid::currentRect() const {
    if (blockMode_) return blockRect();
    Rect r{col_, row_, col_, row_};
    if (col_ == -1) r.col1 = 1, r.col2 = cells_->cols();
    if (row_ == -1) r.row1 = 1, r.row2 = cells_->rows();
    return r;
}

QString SpreadGrid::Text() const { return GetText(col_, row_); }

void SpreadGrid::setText(const QString& text) {
    const Rect r = currentRect();
    if (r.col1 > r.col2 || r.row1 > r.row2) return;
    if (r.col1 == r.col2 && r.row1 == r.row2) {
        SetText(r.col1, r.row1, text);
        return;
    }
    if (text.isEmpty()) {
        model_->clearBlock(r.col1, r.row1, r.col2, r.row2);
        return;
    }
    const QByteArray bytes = CellBytes(text);
    const int first = std::max(r.col1, 1), last = std::min(r.col2, cells_->cols());
    if (first > last) return;
    const std::vector<std::string_view> run(static_cast<size_t>(last - first + 1), bytesOf(bytes));
    for (int row = std::max(r.row1, 1); row <= std::min(r.row2, cells_->rows()); ++row) model_->setRun(row, first, run);
}

QString SpreadGrid::GetText(int col, int row) const { return DecodeCell(cells_->get(col, row)); }

void SpreadGrid::GetRowBytes(int row, int lastCol, std::vector<std::string_view>& out) const {
    cells_->getRow(row, lastCol, out);
}

int SpreadGrid::LastUsedRow() const { return cells_->lastUsedRow(); }

void SpreadGrid::SetText(int col, int row, const QString& text) {
    if (!cells_->inRange(col, row)) return;
    model_->setCell(col, row, bytesOf(CellBytes(text)));
}

QString SpreadGrid::blockText(bool forClipboard) const {
    const Rect r = blockRect();
    QString out;
    std::vector<std::string_view> cells;
    for (int row = r.row1; row <= r.row2; ++row) {
        cells_->getRow(row, r.col2, cells);
        for (int col = r.col1; col <= r.col2; ++col) {
            if (col > r.col1) out.append(u'\t');
            const std::string_view cell = cells[static_cast<size_t>(col)];
            if (forClipboard)
                AppendClipboardCell(cell, out);
            else
                AppendDecodedCell(cell, out);
        }
        out.append(u"\r\n");
    }
    return out;
}

QString SpreadGrid::Clip() const { return blockText(false); }

QString SpreadGrid::ClipboardText() const { return blockText(true); }

void SpreadGrid::PasteClipboardText(const QString& text) {
    if (text.isEmpty()) return;
    setClip(BlockTextFromClipboard(text));
}

void SpreadGrid::setClip(const QString& text) {
    // Text that Windows-1252 holds whole pastes as its bytes; only other
    // text is made into cells field by field.
    const QByteArray bytes = CellBytes(text);
    if (!IsWideCell(bytesOf(bytes))) return setClipBytes(bytesOf(bytes));
    const Rect r = blockRect();
    if (r.col1 > r.col2 || r.row1 > r.row2) return;
    const std::vector<QStringView> lines = blockLines(QStringView(text));
    const size_t width = static_cast<size_t>(r.col2 - r.col1 + 1);
    RowBytes cells;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int row = r.row1 + static_cast<int>(i);
        if (row > r.row2) break;
        cells.clear();
        for (QStringView field : fieldsOf(lines[i], width))
            cells.make([&](QByteArray& out) { AppendCellBytes(field, out); });
        model_->setRun(row, r.col1, cells.views());
    }
}

void SpreadGrid::setClipBytes(std::string_view text, bool utf8, bool fromFile) {
    const Rect r = blockRect();
    if (r.col1 > r.col2 || r.row1 > r.row2) return;
    struct Reading {
        GridCells& cells;
        explicit Reading(GridCells& c, bool on) : cells(c) { cells.setReading(on); }
        ~Reading() { cells.setReading(false); }
    } reading(*cells_, fromFile);
    const std::vector<std::string_view> lines = blockLines(text);
    const size_t width = static_cast<size_t>(r.col2 - r.col1 + 1);
    RowBytes bytes;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int row = r.row1 + static_cast<int>(i);
        if (row > r.row2) break;
        model_->setRun(row, r.col1, cellsOfLine(lines[i], width, utf8, bytes));
    }
}

bool SpreadGrid::IsTabFileOf(QByteArrayView bytes, std::string_view text, int cols, bool utf8, std::string_view lineEnd) {
    const size_t width = static_cast<size_t>(std::clamp(cols, 1, GridCells::kMaxCols));
    RowBytes cells;
    QByteArray row;
    qsizetype at = 0;       // bytes matched so far
    qsizetype pending = 0;  // empty rows not yet matched: they count only before a row with a cell
    const auto matches = [&](std::string_view part) {
        if (bytes.size() - at < static_cast<qsizetype>(part.size()) ||
            std::memcmp(bytes.data() + at, part.data(), part.size()) != 0)
            return false;
        at += static_cast<qsizetype>(part.size());
        return true;
    };
    // Line by line as blockLines splits them, to stop at the first that differs.
    for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        const std::string_view line = text.substr(start, end - start);
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        row.clear();
        int tabs = 0;
        for (std::string_view cell : cellsOfLine(line, width, utf8, cells)) {
            if (!cell.empty()) {
                row.append(tabs, '\t');
                tabs = 0;
                if (utf8) AppendCellUtf8(cell, row);
                else row.append(cell.data(), static_cast<qsizetype>(cell.size()));
            }
            ++tabs;
        }
        if (row.isEmpty()) {
            ++pending;
            continue;
        }
        for (; pending > 0; --pending)
            if (!matches(lineEnd)) return false;
        if (!matches(std::string_view(row.constData(), static_cast<size_t>(row.size()))) || !matches(lineEnd)) return false;
    }
    return at == bytes.size();
}

int SpreadGrid::ActiveCol() const {
    const QModelIndex cur = view_->currentIndex();
    return cur.isValid() ? cur.column() + 1 : 1;
}

int SpreadGrid::ActiveRow() const {
    const QModelIndex cur = view_->currentIndex();
    return cur.isValid() ? cur.row() + 1 : 1;
}

void SpreadGrid::moveActive(int col, int row) {
    if (!cells_->inRange(col, row)) return;
    const QModelIndex target = model_->index(row - 1, col - 1);
    // Through the view, so a later Shift-move extends from this cell.
    view_->setCurrentIndex(target);
    view_->scrollTo(target);
}

void SpreadGrid::setAction(int action) {
    switch (action) {
    case ActionActiveCell:
        moveActive(col_, row_);
        break;
    case ActionDeleteRow:
        view_->finishEditing();
        model_->removeRow(row_);
        break;
    case ActionInsertRow:
        view_->finishEditing();
        model_->insertRow(row_);
        break;
    case ActionClearText: {
        const Rect r = currentRect();
        model_->clearBlock(r.col1, r.row1, r.col2, r.row2);
        break;
    }
    default:
        break;
    }
}

SpreadGrid::Rect SpreadGrid::selectedRect() const {
    const QItemSelection sel = view_->selectionModel()->selection();
    Rect r{0, 0, 0, 0};
    bool first = true;
    for (const QItemSelectionRange& range : sel) {
        if (!range.isValid()) continue;
        if (first) {
            r = {range.left() + 1, range.top() + 1, range.right() + 1, range.bottom() + 1};
            first = false;
        } else {
            r.col1 = std::min(r.col1, range.left() + 1);
            r.row1 = std::min(r.row1, range.top() + 1);
            r.col2 = std::max(r.col2, range.right() + 1);
            r.row2 = std::max(r.row2, range.bottom() + 1);
        }
    }
    if (first) return {ActiveCol(), ActiveRow(), ActiveCol(), ActiveRow()};
    return r;
}

bool SpreadGrid::IsBlockSelected() const {
    const Rect r = selectedRect();
    return r.col1 != r.col2 || r.row1 != r.row2;
}

int SpreadGrid::SelBlockCol() const { return IsBlockSelected() ? selectedRect().col1 : ActiveCol(); }
int SpreadGrid::SelBlockCol2() const { return IsBlockSelected() ? selectedRect().col2 : ActiveCol(); }
int SpreadGrid::SelBlockRow() const { return IsBlockSelected() ? selectedRect().row1 : ActiveRow(); }
int SpreadGrid::SelBlockRow2() const { return IsBlockSelected() ? selectedRect().row2 : ActiveRow(); }

void SpreadGrid::setReDraw(bool on) {
    if (on == reDraw_) return;
    reDraw_ = on;
    model_->setQuiet(!on);
    view_->setUpdatesEnabled(on);
    if (on) view_->viewport()->update();
}

QByteArray SpreadGrid::TabFileBytes(bool* utf8, std::string_view lineEnd, const GridCells::CellTest& keepBytes) const {
    bool wide = false;
    QByteArray bytes = cells_->tabText(false, lineEnd, &wide);
    if (wide) bytes = TabFileBytesUtf8(lineEnd, keepBytes);
    if (utf8) *utf8 = wide;
    return bytes;
}

QByteArray SpreadGrid::TabFileBytesUtf8(std::string_view lineEnd, const GridCells::CellTest& keepBytes) const {
    return cells_->tabText(true, lineEnd, nullptr, keepBytes);
}

quint64 SpreadGrid::CellChanges() const { return cells_->changes(); }

void SpreadGrid::WatchCells(bool on) { cells_->watch(on); }

GridCells::SinceWatch SpreadGrid::CellsSinceWatch() const { return cells_->sinceWatch(); }

void SpreadGrid::SaveTabFile(const QString& path) { WriteFileReplacing(path, TabFileBytes()); }

void SpreadGrid::SetFocus() { view_->setFocus(); }

void SpreadGrid::setFontName(const QString& name) {
    fontName_ = name;
    applyFont();
}

void SpreadGrid::setFontSize(double points) {
    if (points > 0) fontSize_ = points;
    applyFont();
}

void SpreadGrid::applyFont() {
    QFont font(fontFamilyFor(fontName_));
    font.setPointSizeF(fontSize_);
    view_->setFont(font);
    const int height = QFontMetrics(font).height() + 4;
    view_->verticalHeader()->setMinimumSectionSize(std::min(height, 8));
    view_->verticalHeader()->setDefaultSectionSize(height);
}

int SpreadGrid::ColWidth(int col) const {
    if (col < 0 || col >= static_cast<int>(colTwips_.size())) return 0;
    return colTwips_[static_cast<size_t>(col)];
}

void SpreadGrid::setColWidth(int col, int twips) {
    if (col < 0 || col >= static_cast<int>(colTwips_.size())) return;
    colTwips_[static_cast<size_t>(col)] = std::max(twips, 0);
    applyColWidth(col);
}

void SpreadGrid::applyColWidth(int col) {
    const int px = qRound(colTwips_[static_cast<size_t>(col)] * view_->logicalDpiX() / 1440.0);
    if (col == 0)
        view_->verticalHeader()->setFixedWidth(px);
    else
        view_->setColumnWidth(col - 1, px);
}

QAbstractItemView* SpreadGrid::view() const { return view_; }

qsizetype SpreadGrid::CellCount() const { return cells_->count(); }

}  // namespace qvrt
