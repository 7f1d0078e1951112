#include "storage/ToDoListLoader.h"

#include "storage/XmlReader.h"
#include "storage/XmlTree.h"

#include "texts/ErrorContexts.h"
#include "texts/Texts.h"

#include <algorithm>
#include <array>
#include <deque>
#include <limits>
#include <optional>
#include <utility>

namespace taskwick {

namespace {

using Element = XmlDocument::Element;

// A required element that is missing, or a column the table does not have: the section
// reports itself and the loader goes on with the next one.
struct SectionFailure {};

Element require(const std::optional<Element>& parent, QStringView name) {
    if (!parent) {
        throw SectionFailure{};
    }
    auto found = parent->child(name);
    if (!found) {
        throw SectionFailure{};
    }
    return *found;
}

Element require(const std::optional<Element>& section) {
    if (!section) {
        throw SectionFailure{};
    }
    return *section;
}

int readRequiredInteger(const Element& parent, QStringView name) {
    return readXmlInteger(require(parent, name).value());
}

// Row counts come from the file, so R + 1 must not overflow.
int plusOne(int value) {
    return value == std::numeric_limits<int>::max() ? value : value + 1;
}

// The cells of one row that texts go to, as TaskTable::appendToRow chooses them: the row's
// empty cells from column 0 (an empty text is stored as " ", so the next one goes to the next
// cell). It remembers where the last text went: the loader only fills cells, so the search
// never starts again from column 0, which keeps a row with many columns linear.
class RowSlots {
public:
    RowSlots(const TaskTable& table, int row) : table_(table), row_(row) {}

    // The next cell's column; none once every cell of the row holds text. The caller fills
    // that cell (now or later) and no other of the row meanwhile.
    std::optional<int> take() {
        while (col_ < table_.colCount() && !table_.cell(col_, row_).isEmpty()) {
            ++col_;
        }
        if (col_ >= table_.colCount()) {
            return std::nullopt;
        }
        return col_++;
    }
    int row() const { return row_; }

private:
    const TaskTable& table_;
    int row_;
    int col_ = 0;
};

QString storedText(const QString& text) {
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

// The texts of the content's rows wait here, in UTF-8 and packed into large pieces, while the
// file's bytes are held: the two together take less memory than the finished table.
class PendingCells {
public:
    void add(int row, int col, const QString& text) {
        const QByteArray utf8 = storedText(text).toUtf8();
        if (pieces_.empty() || pieces_.back().size() + utf8.size() > pieces_.back().capacity()) {
            pieces_.emplace_back();
            pieces_.back().reserve(std::max(PieceSize, utf8.size()));
        }
        QByteArray& piece = pieces_.back();
        cells_.push_back({row, col, static_cast<int>(pieces_.size() - 1),
                          static_cast<int>(piece.size()), utf8.size()});
        piece.append(utf8);
    }
    // Into the table, each piece let go once its texts are in.
    void applyTo(TaskTable& table) {
        for (const Cell& cell : cells_) {
            for (; done_ < cell.piece; ++done_) {
                pieces_[static_cast<std::size_t>(done_)] = QByteArray();
            }
            const QByteArray& piece = pieces_[static_cast<std::size_t>(cell.piece)];
            table.setCell(cell.col, cell.row,
                          QString::fromUtf8(piece.constData() + cell.offset, cell.length));
        }
        cells_ = {};
        pieces_ = {};
    }

private:
    static constexpr qsizetype PieceSize = qsizetype{1} << 20;
    struct Cell {
        int row;
        int col;
        int piece;
        int offset;  // in a piece, which a single text larger than PieceSize has to itself
        qsizetype length;
    };
    std::deque<Cell> cells_;  // grows without moving what it holds
    std::deque<QByteArray> pieces_;
    int done_ = 0;  // pieces before this one are let go
};

// The root's children the loader reads, in the order it reads them.
enum Section : size_t {
    WindowPositionSection,
    ColumnInfoSection,
    SkinSection,
    ColumnHeaderSection
};
const std::vector<QString>& sectionNames() {
    static const std::vector<QString> names = {
        QStringLiteral("WindowPosition"), QStringLiteral("ColumnInfo"), QStringLiteral("Skin"),
        QStringLiteral("ColumnHeader"), QStringLiteral("ToDoContent")};
    return names;
}
constexpr size_t ContentSection = 4;

// What the loader reads: the first child of the root with each section's name, and the
// rows of the content, which a reader may hand over without holding them.
struct Sections {
    std::array<std::optional<Element>, ContentSection> elements;
    // Hands each row and cell of ToDoContent to the reader; false when there is none.
    std::function<bool(XmlRowReader&)> readContent = [](XmlRowReader&) { return false; };
};

class Loader : private XmlRowReader {
public:
    Loader(Sections sections, LoadTarget& target, std::function<void()> beforeFirstFailure)
        : sections_(std::move(sections)),
          target_(target),
          beforeFirstFailure_(std::move(beforeFirstFailure)) {}

    void report(const QString& context) {
        if (beforeFirstFailure_) {
            std::exchange(beforeFirstFailure_, nullptr)();
        }
        target_.reportFailure(context);
    }

    bool droppedContent() const { return dropped_; }
    // The content's texts, read by run(), go into the table.
    void applyTasks() { pending_.applyTo(target_.table()); }
    const std::optional<StoredWindow>& window() const { return window_; }

    void run() {
        // The window is placed before its box shows; the column info box shows before the
        // table takes the fallback shape.
        if (failed([this] { windowPosition(); })) {
            window_.reset();
            report(errorContext::LoadWindowPosition);
        }
        if (failed([this] { columnInfo(); })) {
            report(errorContext::LoadColumnInfo);
            columnInfoFallback();
        }
        if (sections_.elements[SkinSection] && failed([this] { skin(); })) {
            report(errorContext::LoadSkin);
        }
        if (failed([this] { columnHeader(); })) {
            report(errorContext::LoadColumnHeader);
        }
        if (failed([this] { content(); })) {
            report(errorContext::LoadContent);
        }
    }

private:
    // Each section stands alone: whatever goes wrong in it, the next one still runs.
    template <typename Section>
    static bool failed(Section section) {
        try {
            section();
            return false;
        } catch (...) {
            return true;
        }
    }

    // Read whole before any of it counts: a missing leaf leaves no half place.
    void windowPosition() {
        const Element pos = require(sections_.elements[WindowPositionSection]);
        const int left = readRequiredInteger(pos, u"Left");
        const int top = readRequiredInteger(pos, u"Top");
        const int width = readRequiredInteger(pos, u"Width");
        const int height = readRequiredInteger(pos, u"Height");
        window_ = StoredWindow{left, top, width, height};
    }

    void columnInfo() {
        TaskTable& table = target_.table();
        const Element info = require(sections_.elements[ColumnInfoSection]);
        rows_ = readRequiredInteger(info, u"RowCount");
        setRowCount(plusOne(rows_));
        columns_ = readRequiredInteger(info, u"ColumnCount");
        // The table keeps ColumnAlignments as long as its column count.
        setColCount(columns_);
        if (auto bold = info.child(u"HeaderTextBold")) {
            table.setCaptionsBold(readXmlBoolean(bold->value()));
        }
        if (auto grid = info.child(u"DrawGridLines")) {
            table.setDrawGridLines(readXmlBoolean(grid->value()));
        }
    }

    // A file whose ColumnCount is missing keeps its stored row count: R and N hold what was
    // read before the failure.
    void columnInfoFallback() {
        TaskTable& table = target_.table();
        if (rows_ == 0) {
            rows_ = FallbackTaskRows;
        }
        setRowCount(plusOne(rows_));
        if (columns_ == 0) {
            columns_ = FallbackColumns;
        }
        setColCount(columns_);
        table.setCaptionsBold(false);
        table.setDrawGridLines(true);
    }

    // The table holds counts to its limits; a file that asks for more has more than the next
    // save writes back.
    void setRowCount(int rows) {
        target_.table().setRowCount(rows);
        dropped_ = dropped_ || target_.table().rowCount() < rows;
    }
    void setColCount(int columns) {
        target_.table().setColCount(columns);
        dropped_ = dropped_ || target_.table().colCount() < columns;
    }

    void skin() {
        const Element skin = require(sections_.elements[SkinSection]);
        if (auto name = skin.child(u"SkinName")) {
            if (name->value() != NoSkinName) {
                target_.setCurrentSkinName(name->value());
            } else {
                target_.setCurrentSkinName(NoSkinName);
                target_.setCurrentSkinPath(QString());
            }
        }
        if (auto path = skin.child(u"SkinPath")) {
            // With the name as it stands now: without SkinName, the name from before. A skin
            // is never dropped for a folder that is not where the file says: the target looks
            // for it by its name, and keeps both as they are when it finds it nowhere.
            if (target_.currentSkinName() == NoSkinName) {
                target_.setCurrentSkinPath(QString());
            } else {
                target_.setCurrentSkinPath(path->value());
                target_.loadSkin();
            }
        }
    }

    void columnHeader() {
        TaskTable& table = target_.table();
        const Element header = require(sections_.elements[ColumnHeaderSection]);
        RowSlots captions(table, 0);
        for (int i = 0; i < header.childCount(); ++i) {
            const Element column = header.childAt(i);
            const int width = readRequiredInteger(column, u"ColumnWidth");
            if (i >= table.colCount()) {
                throw SectionFailure{};
            }
            table.setColumnWidth(i, std::max(width, MinColumnWidth));
            if (const std::optional<int> col = captions.take()) {
                table.setCell(*col, 0, storedText(require(column, u"ColumnCaption").value()));
            }
            table.setColumnAlignment(i, static_cast<Alignment>(readXmlAlignment(
                                            require(column, u"ColumnAlignment").value())));
        }
    }

    void content() {
        if (!sections_.readContent(*this)) {
            throw SectionFailure{};
        }
    }

    // Row elements past the stored row count still fill table rows: the table keeps them
    // hidden until it grows to them, but a save does not write them.
    void row() override {
        ++rowIndex_;
        TaskTable& table = target_.table();
        hiddenRow_ = plusOne(rowIndex_) >= table.rowCount();
        rowCells_.emplace(table, plusOne(rowIndex_));
        rowFull_ = false;
    }

    void cell(QString text) override {
        // A full row takes nothing more.
        if (!rowFull_) {
            const std::optional<int> col = rowCells_->take();
            rowFull_ = !col;
            if (col) {
                pending_.add(rowCells_->row(), *col, text);
            }
        }
        dropped_ = dropped_ || ((rowFull_ || hiddenRow_) && !isBlank(text));
    }

    Sections sections_;

    LoadTarget& target_;
    std::function<void()> beforeFirstFailure_;
    std::optional<StoredWindow> window_;
    int rows_ = 0;
    int columns_ = 0;
    bool dropped_ = false;
    int rowIndex_ = -1;
    bool hiddenRow_ = false;
    bool rowFull_ = false;
    std::optional<RowSlots> rowCells_;
    PendingCells pending_;
};

Sections sectionsOf(const XmlDocument& document) {
    Sections sections;
    if (document.nodes().empty()) {
        return sections;
    }
    const Element root = document.root();
    for (size_t i = 0; i < ContentSection; ++i) {
        sections.elements[i] = root.child(sectionNames()[i]);
    }
    sections.readContent = [root](XmlRowReader& reader) {
        const std::optional<Element> content = root.child(sectionNames()[ContentSection]);
        if (!content) {
            return false;
        }
        for (int j = 0; j < content->childCount(); ++j) {
            const Element row = content->childAt(j);
            reader.row();
            for (int k = 0; k < row.childCount(); ++k) {
                reader.cell(row.childAt(k).value());
            }
        }
        return true;
    };
    return sections;
}

LoadReport loadSections(Sections sections, LoadTarget& target,
                        const std::function<void()>& beforeFirstFailure,
                        const AfterReading& afterReading = {}) {
    Loader loader(std::move(sections), target, beforeFirstFailure);
    try {
        loader.run();
    } catch (...) {
        // Each section handles its own failures; only a fallback or a box that throws ends
        // up here.
        loader.report(errorContext::LoadDocument);
    }
    const LoadReport report{loader.window(), false, loader.droppedContent()};
    if (afterReading) {
        afterReading(report);
    }
    try {
        loader.applyTasks();
    } catch (...) {
        loader.report(errorContext::LoadContent);
    }
    return report;
}

}  // namespace

// A zero-byte or blank file is an empty document, which the reader would reject as having no
// root element.
bool isBlankListContent(const QByteArray& content) {
    QByteArrayView rest(content);
    if (rest.startsWith("\xEF\xBB\xBF")) {
        rest = rest.sliced(3);
    }
    return std::all_of(rest.begin(), rest.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

LoadReport loadToDoList(const QByteArray* content, LoadTarget& target,
                        const std::function<void()>& beforeFirstFailure,
                        const AfterReading& afterReading) {
    if (content && isBlankListContent(*content)) {
        return loadSections(sectionsOf(XmlDocument()), target, beforeFirstFailure, afterReading);
    }
    // Read in passes straight into the table: the whole markup is checked first, then each
    // section is read again where it starts, and the rows go cell by cell into the table.
    const std::optional<XmlStream> stream =
        content ? XmlStream::open(*content, sectionNames()) : std::optional<XmlStream>();
    if (!stream) {
        // Nothing of the file applies. The table already keeps one alignment per column, so
        // drawing finds an entry for every column all the same.
        Loader(Sections(), target, beforeFirstFailure).report(errorContext::LoadDocument);
        const LoadReport nothing{std::nullopt, true, false};
        if (afterReading) {
            afterReading(nothing);
        }
        return nothing;
    }
    // The small sections as trees of their own, kept alive while the loader reads them.
    std::array<std::optional<XmlDocument>, ContentSection> trees;
    Sections sections;
    for (size_t i = 0; i < ContentSection; ++i) {
        trees[i] = stream->section(i);
        if (trees[i]) {
            sections.elements[i] = trees[i]->root();
        }
    }
    sections.readContent = [&stream](XmlRowReader& reader) {
        return stream->readRows(ContentSection, reader);
    };
    return loadSections(std::move(sections), target, beforeFirstFailure, afterReading);
}

LoadReport loadToDoListDocument(const XmlDocument& document, LoadTarget& target,
                                const std::function<void()>& beforeFirstFailure) {
    return loadSections(sectionsOf(document), target, beforeFirstFailure);
}

namespace {

// The table alone: the skin stays as the user has it, and the window's place is the window's.
class TableOnlyTarget : public LoadTarget {
public:
    explicit TableOnlyTarget(TaskTable& table) : table_(table) {}
    bool failed() const { return failed_; }

    TaskTable& table() override { return table_; }
    QString currentSkinName() const override { return {}; }
    QString currentSkinPath() const override { return {}; }
    void setCurrentSkinName(const QString&) override {}
    void setCurrentSkinPath(const QString&) override {}
    void loadSkin() override {}
    void reportFailure(const QString&) override { failed_ = true; }

private:
    TaskTable& table_;
    bool failed_ = false;
};

}  // namespace

bool loadListContent(const QByteArray& content, TaskTable& into, LoadReport* report) {
    TableOnlyTarget target(into);
    const LoadReport loaded = loadToDoList(&content, target);
    if (report) {
        *report = loaded;
    }
    return !target.failed();
}

}  // namespace taskwick
