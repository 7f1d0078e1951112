#include "storage/XmlReader.h"

#include "storage/Charset.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <type_traits>

// Reading rules, in short: the encoding comes from the byte-order mark (UTF-8 or UTF-16 LE),
// else code page 1252, and an `encoding` in the declaration switches it from the end of the
// declaration on. Before the root, white space, the declaration, comments, processing
// instructions and a DOCTYPE are skipped. The root may have any name; end tags must match
// exactly; attributes are skipped. Elements still open when the content ends count as
// closed, unless it ends inside non-blank text. An element's value is its text only when
// that text is its sole content and not all white space; references in it are decoded once.
//
// The parser keeps the open elements on an explicit stack and hands each element to a handler
// as it starts and ends: one builds the tree (nodes in one flat vector), one only notes where
// sections start, one passes rows and cells on. Neither reading nor freeing a deeply nested
// document recurses.

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

QString decodeReferences(QStringView raw) {
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

QString decodeText(QString raw) {
    return raw.contains(u'&') ? decodeReferences(raw) : raw;
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

// The parser runs over the code units of one of two kinds of text: UTF-16 (content decoded
// whole) or the bytes of UTF-8 content. Markup is ASCII in both, and in UTF-8 a byte below
// 0x80 is always a character of its own, so every tag is found in the bytes and only the
// names and texts handed on are decoded.
template <typename Unit>
struct Units;

template <>
struct Units<char16_t> {
    static char16_t at(const char16_t* p) { return *p; }
    static QString decode(const char16_t* b, const char16_t* e, const char16_t* /*end*/) {
        return QStringView(b, e).toString();
    }
    static qsizetype find(const char16_t* b, const char16_t* e, const char* ascii) {
        return QStringView(b, e).indexOf(QLatin1StringView(ascii));
    }
    static qsizetype find(const char16_t* b, const char16_t* e, char ascii) {
        return QStringView(b, e).indexOf(QChar::fromLatin1(ascii));
    }
    static bool isAscii(const char16_t* /*b*/, const char16_t* /*e*/) { return true; }
};

template <>
struct Units<char> {
    static char16_t at(const char* p) { return static_cast<unsigned char>(*p); }
    // `e` is the end of the content or an ASCII byte. Decoding that byte along makes a
    // sequence cut off at `e` come out exactly as it does when the whole content is decoded.
    static QString decode(const char* b, const char* e, const char* end) {
        if (e < end) {
            QString text = decodeCharset(Charset::utf8(), QByteArrayView(b, e + 1));
            text.chop(1);
            return text;
        }
        return decodeCharset(Charset::utf8(), QByteArrayView(b, e));
    }
    static qsizetype find(const char* b, const char* e, const char* ascii) {
        return QByteArrayView(b, e).indexOf(QByteArrayView(ascii));
    }
    static qsizetype find(const char* b, const char* e, char ascii) {
        const void* found = std::memchr(b, ascii, static_cast<size_t>(e - b));
        return found == nullptr ? -1 : static_cast<const char*>(found) - b;
    }
    static bool isAscii(const char* b, const char* e) {
        return std::all_of(b, e, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    }
};

// Reads elements and hands each on to a handler as it starts and ends:
//   start(tagStart, nameBegin, nameEnd)  an element begins (its start tag is read);
//   wantsValue()                         asked before an element ends: decode its text?
//   end(value)                           the innermost open element ends; `value` is its text
//                                        when that is its sole content and not all white space
//                                        (and the handler wanted it), else empty.
// Elements still open when the content ends get their end too.
template <typename Unit, typename Handler>
class Parser {
    using U = Units<Unit>;

public:
    Parser(const Unit* begin, const Unit* end, Handler& handler)
        : begin_(begin), p_(begin), end_(end), handler_(handler) {}

    bool parseDocument() { return parseProlog() && parseElements(); }

    // The element whose start tag is at `at`, up to its end tag or the end of the content.
    bool parseElementAt(const Unit* at) {
        p_ = at;
        return parseElements();
    }

    const QString& error() const { return error_; }

private:
    struct Open {
        const Unit* nameBegin;
        const Unit* nameEnd;
        const Unit* contentStart;
        bool hasMarkup;  // a child, comment, CDATA section or processing instruction
    };

    char16_t unit(const Unit* q) const { return U::at(q); }

    bool fail(const Unit* at, const QString& message) {
        int line = 1;
        const Unit* lineStart = begin_;
        for (const Unit* q = begin_; q < at; ++q) {
            if (*q == Unit('\n')) {
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

    bool startsWith(const char* ascii) const {
        const Unit* q = p_;
        for (; *ascii != '\0'; ++ascii, ++q) {
            if (q == end_ || unit(q) != static_cast<char16_t>(*ascii)) {
                return false;
            }
        }
        return true;
    }

    void skipXmlSpace() {
        while (p_ < end_ && isXmlSpace(unit(p_))) {
            ++p_;
        }
    }

    // Moves past the next `terminator`; false when the content ends first.
    bool skipPast(const char* terminator) {
        const qsizetype at = U::find(p_, end_, terminator);
        if (at < 0) {
            return false;
        }
        p_ += at + static_cast<qsizetype>(std::strlen(terminator));
        return true;
    }

    // Skips "<!--...-->", "<?...?>" or "<![CDATA[...]]>" at p_ when one starts there.
    // Returns 0 when none starts, 1 when skipped, -1 (after fail()) when unterminated.
    int skipSpecial() {
        const Unit* start = p_;
        if (startsWith("<!--")) {
            p_ += 4;
            return skipPast("-->") ? 1 : (fail(start, QStringLiteral("unterminated comment")), -1);
        }
        if (startsWith("<?")) {
            p_ += 2;
            return skipPast("?>")
                       ? 1
                       : (fail(start, QStringLiteral("unterminated processing instruction")), -1);
        }
        if (startsWith("<![CDATA[")) {
            p_ += 9;
            return skipPast("]]>")
                       ? 1
                       : (fail(start, QStringLiteral("unterminated CDATA section")), -1);
        }
        return 0;
    }

    // "<!DOCTYPE ... [ internal subset ] >". Quoted literals and comments in the subset may
    // hold '>' and ']'. The declarations are not applied: only the five predefined entities
    // are ever expanded.
    bool skipDoctype() {
        const Unit* start = p_;
        p_ += 9;
        bool inSubset = false;
        while (p_ < end_) {
            const char16_t c = unit(p_);
            if (c == u'"' || c == u'\'') {
                const Unit* close = std::find(p_ + 1, end_, *p_);
                if (close == end_) {
                    break;
                }
                p_ = close + 1;
            } else if (inSubset && startsWith("<!--")) {
                p_ += 4;
                if (!skipPast("-->")) {
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
            if (unit(p_) != u'<') {
                return fail(p_, QStringLiteral("text before the root element"));
            }
            const int special = skipSpecial();
            if (special < 0) {
                return false;
            }
            if (special > 0) {
                continue;
            }
            if (startsWith("<!DOCTYPE")) {
                if (!skipDoctype()) {
                    return false;
                }
                continue;
            }
            if (p_ + 1 < end_ && isNameStart(unit(p_ + 1))) {
                return true;
            }
            return fail(p_, QStringLiteral("malformed markup before the root element"));
        }
    }

    // At '<' + name start. Parses the start tag with its attributes.
    bool parseStartTag() {
        const Unit* tagStart = p_;
        ++p_;
        const Unit* nameStart = p_;
        while (p_ < end_ && isNameChar(unit(p_))) {
            ++p_;
        }
        const Unit* nameEnd = p_;
        bool selfClosing = false;
        while (true) {
            const Unit* beforeSpace = p_;
            skipXmlSpace();
            if (p_ == end_) {
                return fail(tagStart, QStringLiteral("content ends inside a tag"));
            }
            if (unit(p_) == u'>') {
                ++p_;
                break;
            }
            if (unit(p_) == u'/') {
                if (p_ + 1 < end_ && unit(p_ + 1) == u'>') {
                    p_ += 2;
                    selfClosing = true;
                    break;
                }
                return fail(p_, QStringLiteral("malformed tag"));
            }
            if (p_ == beforeSpace || !isNameStart(unit(p_))) {
                return fail(p_, QStringLiteral("malformed tag"));
            }
            // An attribute: name = "value". Its value may hold '>' and '/'.
            while (p_ < end_ && isNameChar(unit(p_))) {
                ++p_;
            }
            skipXmlSpace();
            if (p_ == end_ || unit(p_) != u'=') {
                return fail(p_, QStringLiteral("malformed attribute"));
            }
            ++p_;
            skipXmlSpace();
            if (p_ == end_ || (unit(p_) != u'"' && unit(p_) != u'\'')) {
                return fail(p_, QStringLiteral("malformed attribute"));
            }
            const Unit* close = std::find(p_ + 1, end_, *p_);
            if (close == end_) {
                return fail(tagStart, QStringLiteral("content ends inside a tag"));
            }
            p_ = close + 1;
        }

        if (!open_.empty()) {
            open_.back().hasMarkup = true;
        }
        handler_.start(tagStart, nameStart, nameEnd);
        if (selfClosing) {
            handler_.end(QString());
        } else {
            open_.push_back(Open{nameStart, nameEnd, p_, false});
        }
        return true;
    }

    bool sameName(const Open& open, const Unit* b, const Unit* e) const {
        if (std::equal(open.nameBegin, open.nameEnd, b, e)) {
            return true;
        }
        // Different bytes of UTF-8 may still decode alike (any two invalid ones do).
        if (U::isAscii(open.nameBegin, open.nameEnd) && U::isAscii(b, e)) {
            return false;
        }
        return U::decode(open.nameBegin, open.nameEnd, end_) == U::decode(b, e, end_);
    }

    // At "</". Returns false after fail() on a malformed or mismatched end tag.
    bool parseEndTag() {
        const Unit* tagStart = p_;
        p_ += 2;
        const Unit* nameStart = p_;
        while (p_ < end_ && isNameChar(unit(p_))) {
            ++p_;
        }
        const Unit* nameEnd = p_;
        skipXmlSpace();
        if (p_ == end_) {
            return fail(tagStart, QStringLiteral("content ends inside a tag"));
        }
        if (unit(p_) != u'>' || nameStart == nameEnd) {
            return fail(p_, QStringLiteral("malformed end tag"));
        }
        ++p_;
        const Open top = open_.back();
        if (!sameName(top, nameStart, nameEnd)) {
            return fail(tagStart, QStringLiteral("end tag </%1> does not match <%2>")
                                      .arg(U::decode(nameStart, nameEnd, end_),
                                           U::decode(top.nameBegin, top.nameEnd, end_)));
        }
        QString value;
        if (!top.hasMarkup && handler_.wantsValue()) {
            value = decodeText(U::decode(top.contentStart, tagStart, end_));
            if (isAllWhiteSpace(value)) {
                value.clear();
            }
        }
        open_.pop_back();
        handler_.end(std::move(value));
        return true;
    }

    bool parseElements() {
        if (!parseStartTag()) {
            return false;
        }
        while (!open_.empty()) {
            const Unit* textStart = p_;
            const qsizetype lt = U::find(p_, end_, '<');
            if (lt < 0) {
                // The content ends with elements still open: they count as closed, unless
                // it was cut off in the middle of a text.
                if (!isAllWhiteSpace(decodeText(U::decode(textStart, end_, end_)))) {
                    const Open& top = open_.back();
                    return fail(end_, QStringLiteral("content ends inside the text of <%1>")
                                          .arg(U::decode(top.nameBegin, top.nameEnd, end_)));
                }
                while (!open_.empty()) {
                    open_.pop_back();
                    handler_.end(QString());
                }
                return true;
            }
            p_ += lt;
            if (p_ + 1 < end_ && unit(p_ + 1) == u'/') {
                if (!parseEndTag()) {
                    return false;
                }
                continue;
            }
            const int special = skipSpecial();
            if (special < 0) {
                return false;
            }
            if (special > 0) {
                open_.back().hasMarkup = true;
                continue;
            }
            if (p_ + 1 < end_ && isNameStart(unit(p_ + 1))) {
                if (!parseStartTag()) {
                    return false;
                }
                continue;
            }
            if (p_ + 1 == end_) {
                return fail(p_, QStringLiteral("content ends inside a tag"));
            }
            return fail(p_, QStringLiteral("malformed tag"));
        }
        // The element is closed; whatever follows is not read.
        return true;
    }

    const Unit* begin_;
    const Unit* p_;
    const Unit* end_;
    Handler& handler_;
    std::vector<Open> open_;
    QString error_;
};

// ---- Handlers ---------------------------------------------------------------------------

// Builds the element tree.
template <typename Unit>
class TreeBuilder {
public:
    explicit TreeBuilder(const Unit* end) : end_(end) {}

    void start(const Unit* /*tagStart*/, const Unit* nameBegin, const Unit* nameEnd) {
        const int index = static_cast<int>(doc_.nodes().size());
        doc_.nodes().push_back(XmlDocument::Node{internName(nameBegin, nameEnd), {}, {}});
        if (!open_.empty()) {
            doc_.nodes()[static_cast<size_t>(open_.back())].children.push_back(index);
        }
        open_.push_back(index);
    }
    bool wantsValue() const { return true; }
    void end(QString value) {
        doc_.nodes()[static_cast<size_t>(open_.back())].value = std::move(value);
        open_.pop_back();
    }

    XmlDocument take() { return std::move(doc_); }

private:
    // Most documents repeat a handful of names thousands of times; sharing one QString per
    // name saves an allocation per element.
    QString internName(const Unit* nameBegin, const Unit* nameEnd) {
        if constexpr (std::is_same_v<Unit, char16_t>) {
            return intern(QStringView(nameBegin, nameEnd));
        } else {
            return intern(Units<Unit>::decode(nameBegin, nameEnd, end_));
        }
    }
    QString intern(QStringView name) {
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

    const Unit* end_;
    XmlDocument doc_;
    std::vector<int> open_;
    std::array<QString, 64> nameCache_;
};

// Decodes nothing; notes where the first child of the root with each wanted name starts.
template <typename Unit>
class SectionFinder {
public:
    SectionFinder(const Unit* begin, const std::vector<QString>& names)
        : begin_(begin), names_(names), found_(names.size(), -1) {}

    void start(const Unit* tagStart, const Unit* nameBegin, const Unit* nameEnd) {
        if (depth_ == 1) {
            for (size_t i = 0; i < names_.size(); ++i) {
                if (found_[i] < 0 && isAsciiName(nameBegin, nameEnd, names_[i])) {
                    found_[i] = tagStart - begin_;
                }
            }
        }
        ++depth_;
    }
    bool wantsValue() const { return false; }
    void end(const QString& /*value*/) { --depth_; }

    const std::vector<qsizetype>& found() const { return found_; }

private:
    // The wanted names are ASCII, so a name with any other unit never equals one.
    static bool isAsciiName(const Unit* b, const Unit* e, const QString& name) {
        if (e - b != name.size()) {
            return false;
        }
        for (qsizetype i = 0; i < name.size(); ++i) {
            if (asciiLower(Units<Unit>::at(b + i)) != asciiLower(name[i].unicode())) {
                return false;
            }
        }
        return true;
    }

    const Unit* begin_;
    const std::vector<QString>& names_;
    std::vector<qsizetype> found_;
    int depth_ = 0;
};

// Hands the children and grandchildren of one element to a row reader.
class RowWalker {
public:
    explicit RowWalker(XmlRowReader& reader) : reader_(reader) {}

    template <typename Unit>
    void start(const Unit* /*tagStart*/, const Unit* /*nameBegin*/, const Unit* /*nameEnd*/) {
        if (++depth_ == 2) {
            reader_.row();
        }
    }
    bool wantsValue() const { return depth_ == 3; }
    void end(QString value) {
        if (depth_-- == 3) {
            reader_.cell(std::move(value));
        }
    }

private:
    XmlRowReader& reader_;
    int depth_ = 0;
};

}  // namespace

// ---- Reading in passes ----------------------------------------------------------------------

struct XmlStream::Text {
    QByteArrayView bytes;  // UTF-8 content, parsed as it is
    QString decoded;       // any other encoding, decoded whole
    bool wide = false;
};

namespace {

struct ChosenCharset {
    Charset charset;
    qsizetype start = 0;  // where the text to decode begins
};

std::optional<ChosenCharset> chooseCharset(QByteArrayView content, QString* error) {
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
    return ChosenCharset{charset, start};
}

// Runs `read` with the parser for the kind of text held.
template <typename Read>
auto withUnits(const XmlStream::Text& text, Read read) {
    if (text.wide) {
        const auto* begin = reinterpret_cast<const char16_t*>(text.decoded.utf16());
        return read(begin, begin + text.decoded.size());
    }
    return read(text.bytes.data(), text.bytes.data() + text.bytes.size());
}

}  // namespace

XmlStream::XmlStream() : text_(std::make_unique<Text>()) {}
XmlStream::~XmlStream() = default;
XmlStream::XmlStream(XmlStream&&) noexcept = default;
XmlStream& XmlStream::operator=(XmlStream&&) noexcept = default;

std::optional<XmlStream> XmlStream::open(QByteArrayView content,
                                         const std::vector<QString>& sectionNames) {
    const std::optional<ChosenCharset> chosen = chooseCharset(content, nullptr);
    if (!chosen) {
        return std::nullopt;
    }
    XmlStream stream;
    if (chosen->charset == Charset::utf8()) {
        stream.text_->bytes = content.sliced(chosen->start);
    } else {
        stream.text_->decoded = decodeCharset(chosen->charset, content.sliced(chosen->start));
        stream.text_->wide = true;
    }
    const bool read = withUnits(*stream.text_, [&](const auto* begin, const auto* end) {
        using Unit = std::remove_cv_t<std::remove_pointer_t<decltype(begin)>>;
        SectionFinder<Unit> finder(begin, sectionNames);
        Parser<Unit, SectionFinder<Unit>> parser(begin, end, finder);
        if (!parser.parseDocument()) {
            return false;
        }
        stream.sections_ = finder.found();
        return true;
    });
    if (!read) {
        return std::nullopt;
    }
    return stream;
}

std::optional<XmlDocument> XmlStream::section(size_t index) const {
    const qsizetype at = sections_.at(index);
    if (at < 0) {
        return std::nullopt;
    }
    return withUnits(*text_, [&](const auto* begin, const auto* end) {
        using Unit = std::remove_cv_t<std::remove_pointer_t<decltype(begin)>>;
        TreeBuilder<Unit> builder(end);
        Parser<Unit, TreeBuilder<Unit>> parser(begin, end, builder);
        // The whole content was read once already: the element reads again as it did then.
        parser.parseElementAt(begin + at);
        return std::optional<XmlDocument>(builder.take());
    });
}

bool XmlStream::readRows(size_t index, XmlRowReader& reader) const {
    const qsizetype at = sections_.at(index);
    if (at < 0) {
        return false;
    }
    withUnits(*text_, [&](const auto* begin, const auto* end) {
        using Unit = std::remove_cv_t<std::remove_pointer_t<decltype(begin)>>;
        RowWalker walker(reader);
        Parser<Unit, RowWalker> parser(begin, end, walker);
        return parser.parseElementAt(begin + at);
    });
    return true;
}

std::optional<XmlDocument> readXmlDocument(QByteArrayView content, QString* error) {
    const std::optional<ChosenCharset> chosen = chooseCharset(content, error);
    if (!chosen) {
        return std::nullopt;
    }
    const QString text = decodeCharset(chosen->charset, content.sliced(chosen->start));
    const auto* begin = reinterpret_cast<const char16_t*>(text.utf16());
    const auto* end = begin + text.size();
    TreeBuilder<char16_t> builder(end);
    Parser<char16_t, TreeBuilder<char16_t>> parser(begin, end, builder);
    const bool read = parser.parseDocument();
    if (error != nullptr) {
        *error = read ? QString() : parser.error();
    }
    if (!read) {
        return std::nullopt;
    }
    return builder.take();
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
