// libFuzzer target for the task list reader: any byte sequence must be read or rejected
// without a crash, leak or hang, and a read tree must be well-formed. A second property
// turns the input into a cell text and checks that writing and reading it gives it back.

#include "storage/XmlReader.h"
#include "storage/XmlWriter.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using taskwick::XmlDocument;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Every node but the root has exactly one parent that comes before it in document order,
// so walking the tree terminates and visits every node once.
void checkTree(const XmlDocument& doc) {
    const auto& nodes = doc.nodes();
    check(!nodes.empty());
    std::vector<int> parents(nodes.size(), -1);
    for (size_t i = 0; i < nodes.size(); ++i) {
        for (const int child : nodes[i].children) {
            check(child > static_cast<int>(i) && child < static_cast<int>(nodes.size()));
            check(parents[static_cast<size_t>(child)] == -1);
            parents[static_cast<size_t>(child)] = static_cast<int>(i);
        }
        // The value readers and the lookups run on whatever the file holds.
        const int number = taskwick::readXmlInteger(nodes[i].value);
        check(number >= -1 || nodes[i].value.contains(u'-'));
        (void)taskwick::readXmlBoolean(nodes[i].value);
        check(taskwick::readXmlAlignment(nodes[i].value) <= 2);
        check(nodes[i].children.empty() || nodes[i].value.isEmpty());
    }
    for (size_t i = 1; i < nodes.size(); ++i) {
        check(parents[i] != -1);
    }
    const XmlDocument::Element root = doc.root();
    if (root.childCount() > 0) {
        const auto first = root.childAt(0);
        const auto found = root.child(first.name());
        check(found.has_value() && found->name().compare(first.name(), Qt::CaseInsensitive) == 0);
    }
}

bool isAllSpace(const QString& text) {
    for (const QChar c : text) {
        if (!c.isSpace()) {
            return false;
        }
    }
    return true;
}

void checkRoundTrip(const std::uint8_t* data, size_t size) {
    QString cell(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2) {
        cell[static_cast<qsizetype>(i / 2)] =
            QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    taskwick::ToDoListData values;
    values.rowCount = 1;
    values.columnCount = 1;
    values.columns = {{QStringLiteral("C"), 1, 1}};
    values.rows = {{cell}};
    const auto doc = taskwick::readXmlDocument(taskwick::writeToDoList(values));
    check(doc.has_value());
    const QString expected = isAllSpace(cell) ? QString() : cell;
    const auto root = doc->root();
    check(root.child(u"ToDoContent")->childAt(0).childAt(0).value() == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    QString error;
    const auto doc = taskwick::readXmlDocument(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), &error);
    if (doc) {
        check(error.isEmpty());
        checkTree(*doc);
    } else {
        check(!error.isEmpty());
    }
    checkRoundTrip(data, size);
    return 0;
}
