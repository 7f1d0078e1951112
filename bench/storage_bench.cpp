// Throughput of the task list writer and reader on a 100 x 100 table, and of libxml2's tree
// parser on the same bytes for comparison. Figures are bytes of the file per second.

#include "storage/XmlReader.h"
#include "storage/XmlWriter.h"

#include <benchmark/benchmark.h>

#ifdef TASKWICK_BENCH_LIBXML2
#include <libxml/parser.h>
#include <libxml/tree.h>
#endif

namespace {

using taskwick::ToDoListData;

// Mixed cell texts: plain ASCII, umlauts, markup characters and, when `emoji` is set,
// characters outside the BMP (written as two surrogate references each, which strict
// parsers such as libxml2 reject).
ToDoListData makeTable(bool emoji) {
    ToDoListData data;
    data.left = 1510;
    data.top = 434;
    data.width = 370;
    data.height = 211;
    data.rowCount = 100;
    data.columnCount = 100;
    data.skinName = QStringLiteral("No Skin");
    for (int c = 0; c < 100; ++c) {
        data.columns.push_back(
            {QStringLiteral("Column %1").arg(c), 64, static_cast<std::uint8_t>(c % 3)});
    }
    const QString special =
        emoji ? QStringLiteral("\U0001F600 \U0001F680") : QStringLiteral("\u2713 \u00A7");
    for (int r = 0; r < 100; ++r) {
        data.rows.emplace_back();
        for (int c = 0; c < 100; ++c) {
            data.rows.back().push_back(QStringLiteral("Task %1.%2: buy Br\u00F6tchen & K\u00E4se "
                                                      "for <Gr\u00FC\u00DFe> %3, then call Tom")
                                           .arg(r)
                                           .arg(c)
                                           .arg(special));
        }
    }
    return data;
}

const QByteArray& fileBytes(bool emoji) {
    static const QByteArray withEmoji = taskwick::writeToDoList(makeTable(true));
    static const QByteArray without = taskwick::writeToDoList(makeTable(false));
    return emoji ? withEmoji : without;
}

void BM_Write(benchmark::State& state) {
    const ToDoListData data = makeTable(state.range(0) != 0);
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray bytes = taskwick::writeToDoList(data);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["file_bytes"] = static_cast<double>(size);
}

void BM_Read(benchmark::State& state) {
    const QByteArray& bytes = fileBytes(state.range(0) != 0);
    for (auto _ : state) {
        auto doc = taskwick::readXmlDocument(bytes);
        if (!doc || doc->nodes().size() < 10000) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(doc->nodes().data());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

#ifdef TASKWICK_BENCH_LIBXML2
int countElements(xmlNode* node) {
    int count = 0;
    // Iterative walk: the table is shallow, but a benchmark should not model recursion.
    while (node != nullptr) {
        if (node->type == XML_ELEMENT_NODE) {
            ++count;
        }
        if (node->children != nullptr) {
            node = node->children;
            continue;
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent;
        }
        if (node != nullptr) {
            node = node->next;
        }
    }
    return count;
}

void BM_Libxml2Read(benchmark::State& state) {
    const QByteArray& bytes = fileBytes(state.range(0) != 0);
    // References to single surrogates are errors for libxml2; RECOVER lets it go on as our
    // reader does, NOERROR keeps a message per emoji out of the figures.
    const int options =
        XML_PARSE_RECOVER | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NONET;
    {
        xmlDocPtr doc = xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), nullptr,
                                      nullptr, options);
        const int elements = doc != nullptr ? countElements(xmlDocGetRootElement(doc)) : 0;
        xmlFreeDoc(doc);
        if (elements < 10000) {
            state.SkipWithError("libxml2 did not read the whole table");
            return;
        }
    }
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), nullptr,
                                      nullptr, options);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Libxml2Read)->ArgName("emoji")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK(BM_Write)->ArgName("emoji")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read)->ArgName("emoji")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
