#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace taskwick {

// An ASCII capital as its small letter; every other code unit as it is. The file's element
// names and encoding labels are ASCII, and folding beyond it would make unlike names equal.
inline char16_t asciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// The element tree the reader yields. Nodes live in one flat vector and refer to their
// children by index, so neither building nor freeing a deeply nested tree recurses.
class XmlDocument {
public:
    struct Node {
        QString name;
        QString value;              // the element's text when that text is its sole content
        std::vector<int> children;  // indices into the document's nodes, document order
    };

    class Element {
    public:
        Element(const XmlDocument* doc, int index) : doc_(doc), index_(index) {}
        const QString& name() const { return node().name; }
        const QString& value() const { return node().value; }
        int childCount() const { return static_cast<int>(node().children.size()); }
        // Child by position in document order; throws std::out_of_range outside 0..count-1.
        Element childAt(int position) const;
        // First child whose name equals `name` ignoring ASCII letter case; none otherwise.
        std::optional<Element> child(QStringView name) const;

    private:
        const Node& node() const { return doc_->nodes_[static_cast<size_t>(index_)]; }
        const XmlDocument* doc_;
        int index_;
    };

    // The root element; a document always has one.
    Element root() const { return Element(this, 0); }

    std::vector<Node>& nodes() { return nodes_; }
    const std::vector<Node>& nodes() const { return nodes_; }

private:
    std::vector<Node> nodes_;
};

}  // namespace taskwick
