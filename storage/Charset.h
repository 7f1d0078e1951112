#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace taskwick {

// A character encoding the file reader can decode. UTF-8 and UTF-16 go through Qt's own
// converters (the common case and the fast one); every other registered name goes through
// iconv, which knows the character-set names and their aliases.
struct Charset {
    enum class Kind { Utf8, Utf16LE, Utf16BE, Iconv };

    Kind kind = Kind::Utf8;
    QByteArray iconvName;  // upper case, only for Kind::Iconv

    static Charset utf8() { return {Kind::Utf8, {}}; }
    static Charset utf16LE() { return {Kind::Utf16LE, {}}; }
    // The 8-bit encoding of content that names none: lists written in the 8-bit days hold
    // Latin-1 text, and code page 1252 reads it and the typographic characters beside it.
    static Charset windows1252() { return {Kind::Iconv, QByteArrayLiteral("WINDOWS-1252")}; }

    friend bool operator==(const Charset&, const Charset&) = default;
};

// The encoding an `encoding` pseudo-attribute names, looked up without regard to letter
// case; none when the name is not a registered character set. "utf-16" means little-endian,
// the order such lists are written in, and the ISO 8859-1 names mean code page 1252, since text
// labelled ISO 8859-1 often holds its typographic characters (curly quotes, the euro sign).
std::optional<Charset> lookupCharset(QByteArrayView name);

// Decodes the bytes completely. Bytes that are not valid in the encoding become U+FFFD,
// except the five bytes code page 1252 leaves undefined, which become the C1 control of the
// same number, as web browsers read them. An odd byte at the end of UTF-16 becomes U+FFFD.
QString decodeCharset(const Charset& charset, QByteArrayView bytes);

}  // namespace taskwick
