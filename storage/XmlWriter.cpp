#include "storage/XmlWriter.h"

#include <array>
#include <charconv>
#include <cstring>
#include <string_view>

namespace taskwick {

namespace {

// Bytes one UTF-16 code unit below 256 takes once escaped; every unit from 256 on takes
// eight ("&#x20AC;").
constexpr std::array<std::uint8_t, 256> makeEscapedWidths() {
    std::array<std::uint8_t, 256> widths{};
    for (int c = 0; c < 256; ++c) {
        if (c == '\t' || c == '\n' || c == '\r' || (c >= 32 && c <= 127)) {
            widths[c] = 1;
        } else {
            widths[c] = 6;  // "&#x0B;", "&#xFC;"
        }
    }
    widths['"'] = 6;   // &quot;
    widths['&'] = 5;   // &amp;
    widths['\''] = 6;  // &apos;
    widths['<'] = 4;   // &lt;
    widths['>'] = 4;   // &gt;
    return widths;
}

constexpr std::array<std::uint8_t, 256> kEscapedWidth = makeEscapedWidths();
constexpr char kHexDigits[] = "0123456789ABCDEF";

qsizetype escapedSize(QStringView text) {
    qsizetype size = 0;
    for (const char16_t unit :
         std::u16string_view(text.utf16(), static_cast<size_t>(text.size()))) {
        size += unit < 256 ? kEscapedWidth[unit] : 8;
    }
    return size;
}

char* putLiteral(char* out, std::string_view literal) {
    std::memcpy(out, literal.data(), literal.size());
    return out + literal.size();
}

// Writes exactly escapedSize(text) bytes.
char* putEscaped(char* out, QStringView text) {
    for (const char16_t unit :
         std::u16string_view(text.utf16(), static_cast<size_t>(text.size()))) {
        if (unit < 256 && kEscapedWidth[unit] == 1) {
            *out++ = static_cast<char>(unit);
            continue;
        }
        switch (unit) {
            case u'"':
                out = putLiteral(out, "&quot;");
                continue;
            case u'&':
                out = putLiteral(out, "&amp;");
                continue;
            case u'\'':
                out = putLiteral(out, "&apos;");
                continue;
            case u'<':
                out = putLiteral(out, "&lt;");
                continue;
            case u'>':
                out = putLiteral(out, "&gt;");
                continue;
            default:
                break;
        }
        out = putLiteral(out, "&#x");
        if (unit >= 256) {
            *out++ = kHexDigits[(unit >> 12) & 0xF];
            *out++ = kHexDigits[(unit >> 8) & 0xF];
        }
        *out++ = kHexDigits[(unit >> 4) & 0xF];
        *out++ = kHexDigits[unit & 0xF];
        *out++ = ';';
    }
    return out;
}

// Writes into one buffer sized for the whole document up front (expectedSize is an upper
// bound), through a plain pointer: building a large table never reallocates, never converts
// through an intermediate QString and pays no bookkeeping per piece.
class DocumentBuilder {
public:
    explicit DocumentBuilder(qsizetype expectedSize) {
        out_.resize(expectedSize);
        p_ = out_.data();
    }

    void raw(std::string_view bytes) {
        std::memcpy(p_, bytes.data(), bytes.size());
        p_ += bytes.size();
    }

    void open(int level, std::string_view name) {
        indent(level);
        *p_++ = '<';
        raw(name);
        raw(">\r\n");
    }

    void close(int level, std::string_view name) {
        indent(level);
        raw("</");
        raw(name);
        raw(">\r\n");
    }

    // A leaf: start tag, escaped value and end tag on one line, or the empty-element tag when
    // there is no value.
    void leaf(int level, std::string_view name, QStringView value) {
        indent(level);
        *p_++ = '<';
        raw(name);
        if (value.isEmpty()) {
            raw("/>\r\n");
            return;
        }
        *p_++ = '>';
        p_ = putEscaped(p_, value);
        raw("</");
        raw(name);
        raw(">\r\n");
    }

    void leaf(int level, std::string_view name, std::string_view asciiValue) {
        indent(level);
        *p_++ = '<';
        raw(name);
        *p_++ = '>';
        raw(asciiValue);
        raw("</");
        raw(name);
        raw(">\r\n");
    }

    void leaf(int level, std::string_view name, int value) {
        char digits[16];
        const auto result = std::to_chars(std::begin(digits), std::end(digits), value);
        leaf(level, name, std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
    }

    void leaf(int level, std::string_view name, bool value) {
        leaf(level, name, value ? std::string_view("TRUE") : std::string_view("FALSE"));
    }

    // An element that would have children but has none, such as the content of a table
    // without task rows, is neither valued nor parent and so becomes an empty-element tag.
    void emptyElement(int level, std::string_view name) {
        indent(level);
        *p_++ = '<';
        raw(name);
        raw("/>\r\n");
    }

    QByteArray take() {
        out_.truncate(p_ - out_.data());
        return std::move(out_);
    }

private:
    void indent(int level) {
        static constexpr std::string_view spaces = "            ";
        raw(spaces.substr(0, static_cast<size_t>(level) * 2));
    }

    QByteArray out_;
    char* p_ = nullptr;
};

std::string_view alignmentName(std::uint8_t alignment) {
    switch (alignment) {
        case 1:
            return "CENTER";
        case 2:
            return "RIGHT";
        default:
            return "LEFT";
    }
}

// Generous for every line but the escaped value itself: indentation, both tags and CR LF of
// the longest leaf ("      <ColumnAlignment>CENTER</ColumnAlignment>") stay below this.
constexpr qsizetype kLineAllowance = 64;

qsizetype expectedSize(const ToDoListData& data) {
    qsizetype size = 30 * kLineAllowance + escapedSize(data.skinName) + escapedSize(data.skinPath);
    for (const auto& column : data.columns) {
        size += 5 * kLineAllowance + escapedSize(column.caption);
    }
    for (const auto& row : data.rows) {
        size += 2 * kLineAllowance;
        for (const QString& cell : row) {
            size += kLineAllowance + escapedSize(cell);
        }
    }
    return size;
}

}  // namespace

QByteArray writeToDoList(const ToDoListData& data) {
    DocumentBuilder doc(expectedSize(data));
    doc.raw("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n");
    doc.open(0, "ToDoList");

    doc.open(1, "WindowPosition");
    doc.leaf(2, "Left", data.left);
    doc.leaf(2, "Top", data.top);
    doc.leaf(2, "Width", data.width);
    doc.leaf(2, "Height", data.height);
    doc.close(1, "WindowPosition");

    doc.open(1, "ColumnInfo");
    doc.leaf(2, "RowCount", data.rowCount);
    doc.leaf(2, "ColumnCount", data.columnCount);
    doc.leaf(2, "HeaderTextBold", data.captionsBold);
    doc.leaf(2, "DrawGridLines", data.drawGridLines);
    doc.close(1, "ColumnInfo");

    doc.open(1, "Skin");
    doc.leaf(2, "SkinName", QStringView(data.skinName));
    doc.leaf(2, "SkinPath", QStringView(data.skinPath));
    doc.close(1, "Skin");

    if (data.columns.empty()) {
        doc.emptyElement(1, "ColumnHeader");
    } else {
        doc.open(1, "ColumnHeader");
        for (const auto& column : data.columns) {
            doc.open(2, "Column");
            doc.leaf(3, "ColumnCaption", QStringView(column.caption));
            doc.leaf(3, "ColumnWidth", column.width);
            doc.leaf(3, "ColumnAlignment", alignmentName(column.alignment));
            doc.close(2, "Column");
        }
        doc.close(1, "ColumnHeader");
    }

    if (data.rows.empty()) {
        doc.emptyElement(1, "ToDoContent");
    } else {
        doc.open(1, "ToDoContent");
        for (const auto& row : data.rows) {
            if (row.empty()) {
                doc.emptyElement(2, "Column");
                continue;
            }
            doc.open(2, "Column");
            for (const QString& cell : row) {
                doc.leaf(3, "Text", QStringView(cell));
            }
            doc.close(2, "Column");
        }
        doc.close(1, "ToDoContent");
    }

    doc.close(0, "ToDoList");
    return doc.take();
}

}  // namespace taskwick
