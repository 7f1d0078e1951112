#include "storage/XmlReader.h"

#include "storage/Charset.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

// Reading rules, in short: the encoding comes from the byte-order mark (UTF-8 or UTF-16 LE),
// else code page 1252, and an `encoding` in the declaration switches it from the end of the
// declaration on. Before the root, white space, the declaration, comments, processing
// instructions and a DOCTYPE are skipped. The root may have any name; end tags must match
// exactly; attributes are skipped. Elements still open when the content ends count as
// closed, unless it ends inside non-blank text. An element's value is its text only when
// that text is its sole content and not all white space; references in it are decoded once.
//
// The parser keeps the open elements on an explicit stack and stores nodes in one flat
// vector, so neither reading nor freeing a deeply nested document recurses.

namespace taskwick {

namespace {

bool isXmlSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Any non-ASCII unit is accepted in names: the file's own names are ASCII, and checking the
// XML name classes would only turn hand-edited files into errors.
bool isNameStart(char16_t c) {
    return isAsciiLetter(c) || c == u'_' || c == u':' || c >= 0x80;
}

bool isNameChar(char16_t c) {
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// ---- Finding the declared encoding in the raw bytes -----------------------------------------

// Walks the prolog in the encoding the byte-order mark chose, one code unit of `width`
// bytes at a time. Markup is ASCII in every encoding we start with, so the walk needs no
// decoding; it stops at the first declaration that names an encoding, or at anything else.
class DeclarationFinder {
public:
    DeclarationFinder(QByteArrayView bytes, qsizetype start, int width)
        : bytes_(bytes), pos_(start), width_(width) {}

    struct Found {
        qsizetype end = 0;  // byte offset just past "?>"
        QByteArray encoding;
    };

    std::optional<Found> find() {
        while (true) {
            while (isXmlSpace(unit(0))) {
                advance(1);
            }
            if (startsWith("<?")) {
                const bool isDeclaration =
                    startsWith("<?xml") && (isXmlSpace(unit(5)) || unit(5) == u'?');
                if (isDeclaration) {
                    advance(5);
                    std::optional<QByteArray> encoding;
                    if (!readPseudoAttributes(encoding)) {
                        return std::nullopt;
                    }
                    if (encoding) {
                        return Found{pos_, *encoding};
                    }
                } else if (!skipPast("?>")) {
                    return std::nullopt;
                }
            } else if (startsWith("<!--")) {
                if (!skipPast("-->")) {
                    return std::nullopt;
                }
            } else {
                return std::nullopt;
            }
        }
    }

private:
    static constexpr char16_t kEnd = 0xFFFF;

    char16_t unit(qsizetype k) const {
        const qsizetype at = pos_ + k * width_;
        if (at + width_ > bytes_.size()) {
            return kEnd;
        }
        const auto low = static_cast<unsigned char>(bytes_[at]);
        if (width_ == 1) {
            return low;
        }
        return static_cast<char16_t>(low | (static_cast<unsigned char>(bytes_[at + 1]) << 8));
    }

    void advance(qsizetype units) { pos_ += units * width_; }

    bool startsWith(const char* ascii) const {
        for (qsizetype k = 0; ascii[k] != '\0'; ++k) {
            if (unit(k) != static_cast<char16_t>(ascii[k])) {
                return false;
            }
        }
        return true;
    }

    bool skipPast(const char* ascii) {
        while (unit(0) != kEnd) {
            if (startsWith(ascii)) {
                advance(static_cast<qsizetype>(qstrlen(ascii)));
                return true;
            }
            advance(1);
        }
        return false;
    }

    // name = "value" pairs up to "?>"; false when malformed, which leaves the declaration to
    // the parser, where it fails or is skipped like any processing instruction.
    bool readPseudoAttributes(std::optional<QByteArray>& encoding) {
        while (true) {
            while (isXmlSpace(unit(0))) {
                advance(1);
            }
            if (startsWith("?>")) {
                advance(2);
                return true;
            }
            QByteArray name;
            while (unit(0) != kEnd && unit(0) < 0x80 && isNameChar(unit(0))) {
                name.append(static_cast<char>(unit(0)));
                advance(1);
            }
            if (name.isEmpty()) {
                return false;
            }
            while (isXmlSpace(unit(0))) {
                advance(1);
            }
            if (unit(0) != u'=') {
                return false;
            }
            advance(1);
            while (isXmlSpace(unit(0))) {
                advance(1);
            }
            const char16_t quote = unit(0);
            if (quote != u'"' && quote != u'\'') {
                return false;
            }
            advance(1);
            QByteArray value;
            bool ascii = true;
            while (unit(0) != quote) {
                if (unit(0) == kEnd) {
                    return false;
                }
                if (unit(0) >= 0x80) {
                    ascii = false;
                } else if (value.size() < 256) {
                    value.append(static_cast<char>(unit(0)));
                }
                advance(1);
            }
            advance(1);
            if (name == "encoding" && !encoding) {
                // A name outside ASCII is no registered name; an unusable one fails the read.
                encoding = ascii ? value : QByteArray("?");
            }
        }
    }

    QByteArrayView bytes_;
    qsizetype pos_;
    int width_;
};

// ---- Values -----------------------------------------------------------------------------------

// Decodes "&name;" or "&#...;" at `p` (which points at '&'). Returns the position after the
// reference, or nullptr when it is none of the accepted forms and stays as written.
const char16_t* decodeReference(const char16_t* p, const char16_t* end, char16_t*& out) {
    const char16_t* q = p + 1;
    if (q < end && *q == u'#') {
        ++q;
        int base = 10;
        if (q < end && (*q == u'x' || *q == u'X')) {
            base = 16;
            ++q;
        }
        const char16_t* digits = q;
        std::uint32_t value = 0;
        while (q < end) {
            const int digit =
                base == 16 ? hexValue(*q) : (*q >= u'0' && *q <= u'9' ? *q - u'0' : -1);
            if (digit < 0) {
                break;
            }
            // Saturate instead of overflowing on a long run of digits.
            value = std::min<std::uint32_t>(
                value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit),
                0x110000);
            ++q;
        }
        if (q == digits || q >= end || *q != u';') {
            return nullptr;
        }
        if (value <= 0xFFFF) {
            // One code unit, lone surrogates included: the writer escapes a character outside
            // the BMP as two references, which must rejoin here.
            *out++ = static_cast<char16_t>(value);
        } else if (value <= 0x10FFFF) {
            // Never written by us, but a hand-edited file means the character itself.
            value -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (value >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
        } else {
            return nullptr;  // no character; kept as written
        }
        return q + 1;
    }

    struct Entity {
        const char16_t* name;
        char16_t unit;
    };
    static constexpr std::array<Entity, 5> kEntities = {
        {{u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"apos", u'\''}, {u"quot", u'"'}}};
    for (const Entity& entity : kEntities) {
        const char16_t* r = q;
        const char16_t* n = entity.name;
        while (*n != u'\0' && r < end && asciiLower(*r) == *n) {
            ++r;
            ++n;
        }
        if (*n == u'\0' && r < end && *r == u';') {
            *out++ = entity.unit;
            return r + 1;
        }
    }
    return nullptr;
}

QString decodeText(QStringView raw) {
    const qsizetype firstAmp = raw.indexOf(u'&');
    if (firstAmp < 0) {
        return raw.toString();
    }
    // Decoding never lengthens the text (a surrogate pair comes from at least "&#65536;").
    QString decoded(raw.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(decoded.data());
    const char16_t* p = raw.utf16();
    const char16_t* end = p + raw.size();
    const char16_t* runStart = p;
    const char16_t* amp = p + firstAmp;
    while (amp != nullptr) {
        out = std::copy(runStart, amp, out);
        const char16_t* after = decodeReference(amp, end, out);
        if (after == nullptr) {
            *out++ = u'&';
            after = amp + 1;
        }
        runStart = after;
        const qsizetype next = QStringView(after, end).indexOf(u'&');
        amp = next < 0 ? nullptr : after + next;
    }
    out = std::copy(runStart, end, out);
    decoded.truncate(out - reinterpret_cast<char16_t*>(decoded.data()));
    return decoded;
}

bool isAllWhiteSpace(QStringView text) {
    for (const QChar c : text) {
        if (!c.isSpace()) {
            return false;
        }
    }
    return true;
}

// ---- The element parser -----------------------------------------------------------------

class Parser {
public:
    explicit Parser(QStringView text)
        : begin_(text.utf16()), p_(text.utf16()), end_(text.utf16() + text.size()) {}

    std::optional<XmlDocument> parse() {
        if (!parseProlog()) {
            return std::nullopt;
        }
        XmlDocument doc;
        if (!parseElements(doc)) {
            return std::nullopt;
        }
        return doc;
    }

    const QString& error() const { return error_; }

private:
    struct Open {
        int node;
        const char16_t* contentStart;
        bool hasMarkup;  // a child, comment, CDATA section or processing instruction
    };

    bool fail(const char16_t* at, const QString& message) {
        int line = 1;
        const char16_t* lineStart = begin_;
        for (const char16_t* q = begin_; q < at; ++q) {
            if (*q == u'\n') {
                ++line;
                lineStart = q + 1;
            }
        }
        error_ = QStringLiteral("line %1, column %2: %3")
                     .arg(line)
                     .arg(static_cast<qint64>(at - lineStart) + 1)
                     .arg(message);
        return false;
    }

    bool startsWith(QStringView s) const {
        return end_ - p_ >= s.size() && QStringView(p_, s.size()) == s;
    }

    void skipXmlSpace() {
        while (p_ < end_ && isXmlSpace(*p_)) {
            ++p_;
        }
    }

    // Moves past the next `terminator`; false when the content ends first.
    bool skipPast(QStringView terminator) {
        const qsizetype at = QStringView(p_, end_).indexOf(terminator);
        if (at < 0) {
            return false;
        }
        p_ += at + terminator.size();
        return true;
    }

    // Skips "<!--...-->", "<?...?>" or "<![CDATA[...]]>" at p_ when one starts there.
    // Returns 0 when none starts, 1 when skipped, -1 (after fail()) when unterminated.
    int skipSpecial() {
        const char16_t* start = p_;
        if (startsWith(u"<!--")) {
            p_ += 4;
            return skipPast(u"-->") ? 1 : (fail(start, QStringLiteral("unterminated comment")), -1);
        }
        if (startsWith(u"<?")) {
            p_ += 2;
            return skipPast(u"?>")
                       ? 1
                       : (fail(start, QStringLiteral("unterminated processing instruction")), -1);
        }
        if (startsWith(u"<![CDATA[")) {
            p_ += 9;
            return skipPast(u"]]>")
                       ? 1
                       : (fail(start, QStringLiteral("unterminated CDATA section")), -1);
        }
        return 0;
    }

    // "<!DOCTYPE ... [ internal subset ] >". Quoted literals and comments in the subset may
    // hold '>' and ']'. The declarations are not applied: only the five predefined entities
    // are ever expanded.
    bool skipDoctype() {
        const char16_t* start = p_;
        p_ += 9;
        bool inSubset = false;
        while (p_ < end_) {
            const char16_t c = *p_;
            if (c == u'"' || c == u'\'') {
                const char16_t* close = std::find(p_ + 1, end_, c);
                if (close == end_) {
                    break;
                }
                p_ = close + 1;
            } else if (inSubset && startsWith(u"<!--")) {
                p_ += 4;
                if (!skipPast(u"-->")) {
                    break;
                }
            } else if (c == u'[') {
                inSubset = true;
                ++p_;
            } else if (c == u']') {
                inSubset = false;
                ++p_;
            } else if (c == u'>' && !inSubset) {
                ++p_;
                return true;
            } else {
                ++p_;
            }
        }
        return fail(start, QStringLiteral("unterminated document type declaration"));
    }

    bool parseProlog() {
        while (true) {
            skipXmlSpace();
            if (p_ == end_) {
                return fail(p_, QStringLiteral("no root element"));
            }
            if (*p_ != u'<') {
                return fail(p_, QStringLiteral("text before the root element"));
            }
            const int special = skipSpecial();
            if (special < 0) {
                return false;
            }
            if (special > 0) {
                continue;
            }
            if (startsWith(u"<!DOCTYPE")) {
                if (!skipDoctype()) {
                    return false;
                }
                continue;
            }
            if (p_ + 1 < end_ && isNameStart(p_[1])) {
                return true;
            }
            return fail(p_, QStringLiteral("malformed markup before the root element"));
        }
    }

    // Most documents repeat a handful of names thousands of times; sharing one QString per
    // name saves an allocation per element.
    QString internName(QStringView name) {
        std::size_t hash = static_cast<std::size_t>(name.size());
        for (const QChar c : name) {
            hash = hash * 31 + c.unicode();
        }
        QString& slot = nameCache_[hash % nameCache_.size()];
        if (slot != name) {
            slot = name.toString();
        }
        return slot;
    }

    // At '<' + name start. Parses the start tag with its attributes.
    bool parseStartTag(XmlDocument& doc, std::vector<Open>& open) {
        const char16_t* tagStart = p_;
        ++p_;
        const char16_t* nameStart = p_;
        while (p_ < end_ && isNameChar(*p_)) {
            ++p_;
        }
        const QStringView name(nameStart, p_);
        bool selfClosing = false;
        while (true) {
            const char16_t* beforeSpace = p_;
            skipXmlSpace();
            if (p_ == end_) {
                return fail(tagStart, QStringLiteral("content ends inside a tag"));
            }
            if (*p_ == u'>') {
                ++p_;
                break;
            }
            if (*p_ == u'/') {
                if (p_ + 1 < end_ && p_[1] == u'>') {
                    p_ += 2;
                    selfClosing = true;
                    break;
                }
                return fail(p_, QStringLiteral("malformed tag"));
            }
            if (p_ == beforeSpace || !isNameStart(*p_)) {
                return fail(p_, QStringLiteral("malformed tag"));
            }
            // An attribute: name = "value". Its value may hold '>' and '/'.
            while (p_ < end_ && isNameChar(*p_)) {
                ++p_;
            }
            skipXmlSpace();
            if (p_ == end_ || *p_ != u'=') {
                return fail(p_, QStringLiteral("malformed attribute"));
            }
            ++p_;
            skipXmlSpace();
            if (p_ == end_ || (*p_ != u'"' && *p_ != u'\'')) {
                return fail(p_, QStringLiteral("malformed attribute"));
            }
            const char16_t* close = std::find(p_ + 1, end_, *p_);
            if (close == end_) {
                return fail(tagStart, QStringLiteral("content ends inside a tag"));
            }
            p_ = close + 1;
        }

        const int index = static_cast<int>(doc.nodes().size());
        doc.nodes().push_back(XmlDocument::Node{internName(name), {}, {}});
        if (!open.empty()) {
            Open& parent = open.back();
            parent.hasMarkup = true;
            doc.nodes()[static_cast<size_t>(parent.node)].children.push_back(index);
        }
        if (!selfClosing) {
            open.push_back(Open{index, p_, false});
        }
        return true;
    }

    // At "</". Returns false after fail() on a malformed or mismatched end tag.
    bool parseEndTag(XmlDocument& doc, std::vector<Open>& open) {
        const char16_t* tagStart = p_;
        p_ += 2;
        const char16_t* nameStart = p_;
        while (p_ < end_ && isNameChar(*p_)) {
            ++p_;
        }
        const QStringView name(nameStart, p_);
        skipXmlSpace();
        if (p_ == end_) {
            return fail(tagStart, QStringLiteral("content ends inside a tag"));
        }
        if (*p_ != u'>' || name.isEmpty()) {
            return fail(p_, QStringLiteral("malformed end tag"));
        }
        ++p_;
        const Open top = open.back();
        XmlDocument::Node& node = doc.nodes()[static_cast<size_t>(top.node)];
        if (name != node.name) {
            return fail(tagStart, QStringLiteral("end tag </%1> does not match <%2>")
                                      .arg(name.toString(), node.name));
        }
        if (!top.hasMarkup) {
            QString value = decodeText(QStringView(top.contentStart, tagStart));
            if (!isAllWhiteSpace(value)) {
                node.value = std::move(value);
            }
        }
        open.pop_back();
        return true;
    }

    bool parseElements(XmlDocument& doc) {
        std::vector<Open> open;
        if (!parseStartTag(doc, open)) {
            return false;
        }
        while (!open.empty()) {
            const char16_t* textStart = p_;
            const qsizetype lt = QStringView(p_, end_).indexOf(u'<');
            if (lt < 0) {
                // The content ends with elements still open: they count as closed, unless
                // it was cut off in the middle of a text.
                if (!isAllWhiteSpace(decodeText(QStringView(textStart, end_)))) {
                    const QString& name = doc.nodes()[static_cast<size_t>(open.back().node)].name;
                    return fail(end_,
                                QStringLiteral("content ends inside the text of <%1>").arg(name));
                }
                return true;
            }
            p_ += lt;
            if (p_ + 1 < end_ && p_[1] == u'/') {
                if (!parseEndTag(doc, open)) {
                    return false;
                }
                continue;
            }
            const int special = skipSpecial();
            if (special < 0) {
                return false;
            }
            if (special > 0) {
                open.back().hasMarkup = true;
                continue;
            }
            if (p_ + 1 < end_ && isNameStart(p_[1])) {
                if (!parseStartTag(doc, open)) {
                    return false;
                }
                continue;
            }
            if (p_ + 1 == end_) {
                return fail(p_, QStringLiteral("content ends inside a tag"));
            }
            return fail(p_, QStringLiteral("malformed tag"));
        }
        // The root is closed; whatever follows is not read.
        return true;
    }

    const char16_t* begin_;
    const char16_t* p_;
    const char16_t* end_;
    QString error_;
    std::array<QString, 64> nameCache_;
};

}  // namespace

std::optional<XmlDocument> readXmlDocument(QByteArrayView content, QString* error) {
    Charset charset = Charset::windows1252();
    qsizetype start = 0;
    int unitWidth = 1;
    if (content.startsWith("\xEF\xBB\xBF")) {
        charset = Charset::utf8();
        start = 3;
    } else if (content.startsWith("\xFF\xFE")) {
        charset = Charset::utf16LE();
        start = 2;
        unitWidth = 2;
    }

    if (const auto declared = DeclarationFinder(content, start, unitWidth).find()) {
        const std::optional<Charset> named = lookupCharset(declared->encoding);
        if (!named) {
            if (error != nullptr) {
                *error = QStringLiteral("unknown character encoding \"%1\"")
                             .arg(QString::fromLatin1(declared->encoding));
            }
            return std::nullopt;
        }
        if (*named != charset) {
            // The declaration was read in the old encoding; what follows it is read in the
            // new one. Nothing before the root depends on the skipped declaration.
            charset = *named;
            start = declared->end;
        }
    }

    const QString text = decodeCharset(charset, content.sliced(start));
    Parser parser(text);
    std::optional<XmlDocument> doc = parser.parse();
    if (error != nullptr) {
        *error = doc ? QString() : parser.error();
    }
    return doc;
}

int readXmlInteger(const QString& value) {
    const char16_t* p = reinterpret_cast<const char16_t*>(value.utf16());
    const char16_t* end = p + value.size();
    while (p < end && *p == u' ') {
        ++p;
    }
    bool negative = false;
    if (p < end && (*p == u'+' || *p == u'-')) {
        negative = *p == u'-';
        ++p;
    }
    int base = 10;
    if (p < end && (*p == u'$' || *p == u'x' || *p == u'X')) {
        base = 16;
        ++p;
    } else if (end - p >= 2 && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X')) {
        base = 16;
        p += 2;
    }
    if (p == end) {
        return -1;
    }
    // Values whose magnitude does not fit a 32-bit signed integer do not parse; -2147483648
    // is the one value that needs the extra unit of the negative range.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (; p < end; ++p) {
        const int digit = base == 16 ? hexValue(*p) : (*p >= u'0' && *p <= u'9' ? *p - u'0' : -1);
        if (digit < 0) {
            return -1;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > limit) {
            return -1;
        }
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

bool readXmlBoolean(const QString& value) {
    return value == u"TRUE";
}

std::uint8_t readXmlAlignment(const QString& value) {
    if (value == u"CENTER") {
        return 1;
    }
    if (value == u"RIGHT") {
        return 2;
    }
    return 0;
}

}  // namespace taskwick
