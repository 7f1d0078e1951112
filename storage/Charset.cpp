#include "storage/Charset.h"

#include <QStringDecoder>
#include <QtEndian>

#include <iconv.h>

#include <array>
#include <cerrno>
#include <string_view>

namespace taskwick {

namespace {

QByteArray asciiUpper(QByteArrayView name) {
    QByteArray upper(name.data(), name.size());
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

// Registered names consist of these characters only; refusing anything else keeps iconv's
// own suffixes ("//IGNORE", "//TRANSLIT") and file-system lookups out of a declaration.
bool isPlausibleCharsetName(QByteArrayView name) {
    if (name.isEmpty() || name.size() > 64) {
        return false;
    }
    for (const char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':' ||
                        c == '+';
        if (!ok) {
            return false;
        }
    }
    return true;
}

constexpr std::array<std::string_view, 13> kLatin1Names = {
    "ISO-8859-1", "ISO8859-1", "ISO88591", "ISO_8859-1",  "ISO_8859-1:1987", "ISO-IR-100", "LATIN1",
    "L1",         "CP819",     "IBM819",   "CSISOLATIN1", "CP1252",          "X-CP1252"};

class IconvHandle {
public:
    explicit IconvHandle(const QByteArray& from) : cd_(iconv_open("UTF-16LE", from.constData())) {}
    ~IconvHandle() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Appends UTF-16LE bytes from iconv as code units.
void appendUtf16LE(QString& out, const char* bytes, size_t size) {
    const qsizetype units = static_cast<qsizetype>(size / 2);
    const qsizetype start = out.size();
    out.resize(start + units);
    auto* dest = reinterpret_cast<char16_t*>(out.data()) + start;
    qFromLittleEndian<char16_t>(bytes, units, dest);
}

QString decodeWithIconv(const QByteArray& name, QByteArrayView bytes) {
    QString out;
    if (bytes.isEmpty()) {
        return out;
    }
    IconvHandle cd(name);
    if (!cd.valid()) {
        return out;  // lookupCharset has vouched for the name; nothing sensible is left
    }
    out.reserve(bytes.size());
    const bool isCp1252 = name == "WINDOWS-1252";
    char* in = const_cast<char*>(bytes.data());  // iconv's signature; it does not write
    size_t inLeft = static_cast<size_t>(bytes.size());
    char buffer[8192];
    while (true) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        appendUtf16LE(out, buffer, sizeof buffer - outLeft);
        if (result != static_cast<size_t>(-1)) {
            if (inLeft == 0) {
                // Flush the shift state of stateful encodings.
                outPtr = buffer;
                outLeft = sizeof buffer;
                iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
                appendUtf16LE(out, buffer, sizeof buffer - outLeft);
                break;
            }
            continue;
        }
        if (error == E2BIG) {
            continue;
        }
        if (error == EILSEQ) {
            const auto byte = static_cast<unsigned char>(*in);
            out.append(isCp1252 ? QChar(byte) : QChar(QChar::ReplacementCharacter));
            ++in;
            --inLeft;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
            continue;
        }
        // EINVAL: the input ends inside a multibyte sequence.
        out.append(QChar(QChar::ReplacementCharacter));
        break;
    }
    return out;
}

QString decodeWithQt(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    // Stateless: a sequence cut off at the end becomes U+FFFD instead of vanishing into the
    // decoder's state. ConvertInitialBom: the caller has already consumed the byte-order mark;
    // a second one is content.
    QStringDecoder decoder(
        encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

}  // namespace

std::optional<Charset> lookupCharset(QByteArrayView name) {
    if (!isPlausibleCharsetName(name)) {
        return std::nullopt;
    }
    const QByteArray upper = asciiUpper(name);
    if (upper == "UTF-8" || upper == "UTF8") {
        return Charset::utf8();
    }
    if (upper == "UTF-16" || upper == "UTF16" || upper == "UTF-16LE" || upper == "UTF16LE" ||
        upper == "UNICODE" || upper == "UCS-2" || upper == "UCS2") {
        return Charset::utf16LE();
    }
    if (upper == "UTF-16BE" || upper == "UTF16BE" || upper == "UNICODEFFFE") {
        return Charset{Charset::Kind::Utf16BE, {}};
    }
    for (const std::string_view latin1 : kLatin1Names) {
        if (upper == QByteArrayView(latin1.data(), static_cast<qsizetype>(latin1.size()))) {
            return Charset::windows1252();
        }
    }
    if (upper == "WINDOWS-1252") {
        return Charset::windows1252();
    }
    if (!IconvHandle(upper).valid()) {
        return std::nullopt;
    }
    return Charset{Charset::Kind::Iconv, upper};
}

QString decodeCharset(const Charset& charset, QByteArrayView bytes) {
    switch (charset.kind) {
        case Charset::Kind::Utf8:
            return decodeWithQt(QStringConverter::Utf8, bytes);
        case Charset::Kind::Utf16LE:
            return decodeWithQt(QStringConverter::Utf16LE, bytes);
        case Charset::Kind::Utf16BE:
            return decodeWithQt(QStringConverter::Utf16BE, bytes);
        case Charset::Kind::Iconv:
            return decodeWithIconv(charset.iconvName, bytes);
    }
    return {};
}

}  // namespace taskwick
