#pragma once

#include "storage/XmlTree.h"

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace taskwick {

// Reads a whole document leniently (see the reading rules in the implementation). Returns
// no tree when the markup is not well-formed or names an unknown encoding; `error` then
// says why. Linear in the input, never recursive, safe on any byte sequence.
std::optional<XmlDocument> readXmlDocument(QByteArrayView content, QString* error = nullptr);

// Takes the children and grandchildren of one element, in document order, as XmlStream reads
// them: row() as each child starts, cell() as each grandchild ends, with its value.
class XmlRowReader {
public:
    virtual ~XmlRowReader() = default;
    virtual void row() = 0;
    virtual void cell(QString value) = 0;
};

// A document read in passes straight from its bytes, for content too large to hold as a tree.
// Opening reads the whole markup once, decoding nothing, and notes where the first child of
// the root with each of the given names (ignoring ASCII letter case) starts; each later read
// parses one such child again. UTF-8 content is parsed in its own bytes and only the texts
// handed on are decoded; content in any other encoding is decoded whole first. Everything
// reads exactly as readXmlDocument reads it. The content must outlive the stream.
class XmlStream {
public:
    // None exactly when readXmlDocument gives no tree.
    static std::optional<XmlStream> open(QByteArrayView content,
                                         const std::vector<QString>& sectionNames);

    // The child named by sectionNames[index] as a tree of its own; none when the root has none.
    std::optional<XmlDocument> section(size_t index) const;
    // Hands the children and grandchildren of that child to `reader`; false when it is missing.
    bool readRows(size_t index, XmlRowReader& reader) const;

    struct Text;

    ~XmlStream();
    XmlStream(XmlStream&&) noexcept;
    XmlStream& operator=(XmlStream&&) noexcept;

private:
    XmlStream();

    std::unique_ptr<Text> text_;
    std::vector<qsizetype> sections_;  // offset of each start tag in the text, -1 when missing
};

// Value readers for the element texts.
int readXmlInteger(const QString& value);             // -1 when the value does not parse
bool readXmlBoolean(const QString& value);            // true exactly for "TRUE"
std::uint8_t readXmlAlignment(const QString& value);  // CENTER 1, RIGHT 2, anything else 0

}  // namespace taskwick
