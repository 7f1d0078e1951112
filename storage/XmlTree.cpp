#include "storage/XmlTree.h"

namespace taskwick {

namespace {

// Only ASCII letters fold: element names of the file are ASCII, and folding beyond that
// would make "Text" and a name with a dotless i compare equal.
bool equalsIgnoringAsciiCase(QStringView a, QStringView b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i].unicode()) != asciiLower(b[i].unicode())) {
            return false;
        }
    }
    return true;
}

}  // namespace

XmlDocument::Element XmlDocument::Element::childAt(int position) const {
    // at() throws std::out_of_range: the loader's section guards report a bad index like any
    // other failure instead of reading past the vector.
    return Element(doc_, node().children.at(static_cast<size_t>(position)));
}

std::optional<XmlDocument::Element> XmlDocument::Element::child(QStringView name) const {
    for (const int index : node().children) {
        if (equalsIgnoringAsciiCase(doc_->nodes_[static_cast<size_t>(index)].name, name)) {
            return Element(doc_, index);
        }
    }
    return std::nullopt;
}

}  // namespace taskwick
