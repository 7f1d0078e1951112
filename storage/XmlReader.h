#pragma once

#include "storage/XmlTree.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

namespace taskwick {

// Reads a whole document leniently (see the reading rules in the implementation). Returns
// no tree when the markup is not well-formed or names an unknown encoding; `error` then
// says why. Linear in the input, never recursive, safe on any byte sequence.
std::optional<XmlDocument> readXmlDocument(QByteArrayView content, QString* error = nullptr);

// Value readers for the element texts.
int readXmlInteger(const QString& value);             // -1 when the value does not parse
bool readXmlBoolean(const QString& value);            // true exactly for "TRUE"
std::uint8_t readXmlAlignment(const QString& value);  // CENTER 1, RIGHT 2, anything else 0

}  // namespace taskwick
