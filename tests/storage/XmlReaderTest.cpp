#include "storage/XmlReader.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringEncoder>

namespace taskwick {
namespace {

// The root's value of a document, or "<failed: error>" when the read fails.
QString rootValue(QByteArrayView content) {
    QString error;
    const auto doc = readXmlDocument(content, &error);
    if (!doc) {
        return QStringLiteral("<failed: %1>").arg(error);
    }
    return doc->root().value();
}

// The value of the root's only child <v>, written as <r><v>TEXT</v></r> in UTF-8.
QString valueOf(const QString& text) {
    const QByteArray content = "\xEF\xBB\xBF<r><v>" + text.toUtf8() + "</v></r>";
    QString error;
    const auto doc = readXmlDocument(content, &error);
    if (!doc) {
        return QStringLiteral("<failed: %1>").arg(error);
    }
    const auto v = doc->root().child(u"v");
    return v ? v->value() : QStringLiteral("<no v>");
}

bool reads(QByteArrayView content) {
    return readXmlDocument(content).has_value();
}

QByteArray utf16LE(const QString& text) {
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(text));
}

TEST(XmlReaderEncoding, markAndDeclaration_chooseTheDecoding) {
    // UTF-8 mark.
    EXPECT_EQ(rootValue("\xEF\xBB\xBF<r>Gr\xC3\xBC\xC3\x9F"
                        "e</r>"),
              QStringLiteral("Gr\u00FC\u00DFe"));
    // No mark and no declaration: code page 1252, where 0x80 is the euro sign.
    EXPECT_EQ(rootValue("<r>\x80 \xFC</r>"), QStringLiteral("\u20AC \u00FC"));
    // The bytes 1252 leaves undefined keep their number instead of being lost.
    EXPECT_EQ(rootValue("<r>\x81</r>"), QString(QChar(0x81)));
    // No mark, declaration names UTF-8: the bytes after it are UTF-8.
    EXPECT_EQ(rootValue("<?xml version=\"1.0\" encoding=\"utf-8\"?><r>\xE2\x82\xAC</r>"),
              QStringLiteral("\u20AC"));
    EXPECT_EQ(rootValue("<?xml version='1.0' encoding='UTF-8'?>\r\n<r>\xC3\xBC</r>"),
              QStringLiteral("\u00FC"));
    // The ISO 8859-1 names mean code page 1252, in any letter case.
    EXPECT_EQ(rootValue("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><r>\x80</r>"),
              QStringLiteral("\u20AC"));
    EXPECT_EQ(rootValue("<?xml version=\"1.0\" encoding=\"Latin1\"?><r>\x80</r>"),
              QStringLiteral("\u20AC"));
    EXPECT_EQ(rootValue("<?xml version=\"1.0\" encoding=\"Windows-1252\"?><r>\x80</r>"),
              QStringLiteral("\u20AC"));
    // The declaration switches even after a mark, and may follow a comment.
    EXPECT_EQ(rootValue("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1252\"?><r>\x80</r>"),
              QStringLiteral("\u20AC"));
    EXPECT_EQ(rootValue("<!-- \x80 --><?xml version=\"1.0\" encoding=\"utf-8\"?><r>\xC3\xBC</r>"),
              QStringLiteral("\u00FC"));
    // Any other registered name, looked up without regard to case.
    EXPECT_EQ(rootValue("<?xml version=\"1.0\" encoding=\"iso-8859-15\"?><r>\xA4</r>"),
              QStringLiteral("\u20AC"));
    EXPECT_EQ(rootValue("<?xml version=\"1.0\" encoding=\"KOI8-r\"?><r>\xC1</r>"),
              QStringLiteral("\u0430"));
}

TEST(XmlReaderEncoding, utf16LittleEndianWithMark_readWithOrWithoutDeclaration) {
    const QString withDeclaration = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<r>Gr\u00FC\u00DFe \u20AC</r>\r\n");
    EXPECT_EQ(rootValue(utf16LE(withDeclaration)), QStringLiteral("Gr\u00FC\u00DFe \u20AC"));
    EXPECT_EQ(rootValue(utf16LE(QStringLiteral("<r>\u00FC</r>"))), QStringLiteral("\u00FC"));
    // An odd last byte is cut-off data, not a reason to lose the document.
    EXPECT_EQ(rootValue(utf16LE(QStringLiteral("<r>a</r>")) + "x"), QStringLiteral("a"));
}

TEST(XmlReaderEncoding, unknownOrUnusableName_failsTheRead) {
    QString error;
    EXPECT_FALSE(readXmlDocument("<?xml version=\"1.0\" encoding=\"klingon-7\"?><r>a</r>", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("klingon-7"))) << error.toStdString();
    EXPECT_FALSE(reads("<?xml version=\"1.0\" encoding=\"\"?><r>a</r>"));
    // iconv's own option suffixes are no charset names.
    EXPECT_FALSE(reads("<?xml version=\"1.0\" encoding=\"utf-8//IGNORE\"?><r>a</r>"));
    EXPECT_FALSE(reads("<?xml version=\"1.0\" encoding=\"\xC3\xA4\"?><r>a</r>"));
    // Without an encoding the declaration changes nothing.
    EXPECT_EQ(rootValue("<?xml version=\"1.0\"?><r>\x80</r>"), QStringLiteral("\u20AC"));
}

TEST(XmlReaderProlog, declarationCommentsInstructionsDoctype_skipped) {
    EXPECT_EQ(rootValue(" \r\n\t<?xml version=\"1.0\"?><!-- a <b> comment --><?pi x?>"
                        "<!DOCTYPE r [<!ENTITY e \"]>\"> <!-- ]> -->]>\r\n<r>v</r>"),
              QStringLiteral("v"));
    // Entities the document type declares are not expanded; they stay as written.
    EXPECT_EQ(rootValue("<!DOCTYPE r [<!ENTITY e \"x\">]><r>&e;</r>"), QStringLiteral("&e;"));
}

TEST(XmlReaderProlog, textOrNothingBeforeTheRoot_fails) {
    EXPECT_FALSE(reads(""));
    EXPECT_FALSE(reads("\xEF\xBB\xBF"));
    EXPECT_FALSE(reads("  \r\n"));
    EXPECT_FALSE(reads("<?xml version=\"1.0\"?>\r\n"));
    EXPECT_FALSE(reads("x<r/>"));
    EXPECT_FALSE(reads("<!-- unterminated <r/>"));
    EXPECT_FALSE(reads("<!DOCTYPE r <r/>"));
    EXPECT_FALSE(reads("</r>"));
    EXPECT_FALSE(reads("< r/>"));
}

TEST(XmlReaderStructure, rootOfAnyName_readAndWhatFollowsItIgnored) {
    const auto doc = readXmlDocument("<Anything><Left>1</Left></Anything> trailing <junk </x>");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->root().name(), QStringLiteral("Anything"));
    EXPECT_EQ(doc->root().childCount(), 1);
    EXPECT_EQ(rootValue("<r/>"), QString());
}

TEST(XmlReaderStructure, mismatchedOrMalformedTags_fail) {
    QString error;
    EXPECT_FALSE(readXmlDocument("<r>\r\n  <a>1</b>\r\n</r>", &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("line 2, column 7:"))) << error.toStdString();
    // Tags match exactly, letter case included.
    EXPECT_FALSE(reads("<r><a>1</A></r>"));
    EXPECT_FALSE(reads("<r><a>1</a></R>"));
    EXPECT_FALSE(reads("<r><a<b/></a></r>"));
    EXPECT_FALSE(reads("<r>a < b</r>"));
    EXPECT_FALSE(reads("<r><a/ ></r>"));
    EXPECT_FALSE(reads("<r><a x></a></r>"));
    EXPECT_FALSE(reads("<r><a x=1></a></r>"));
    EXPECT_FALSE(reads("<r><a x=\"1\"y=\"2\"></a></r>"));
    EXPECT_FALSE(reads("<r></></r>"));
    EXPECT_FALSE(reads("<r><!DOCTYPE x></r>"));
    EXPECT_FALSE(reads("<r><![CDATA[x</r>"));
}

TEST(XmlReaderStructure, contentEndingEarly_closesOpenElementsUnlessInsideText) {
    auto doc = readXmlDocument("<r><a>1</a><b><c>");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->root().childCount(), 2);
    EXPECT_EQ(doc->root().childAt(0).value(), QStringLiteral("1"));
    EXPECT_EQ(doc->root().childAt(1).name(), QStringLiteral("b"));
    EXPECT_EQ(doc->root().childAt(1).childAt(0).name(), QStringLiteral("c"));
    // Ending in white space between elements is ending between elements.
    EXPECT_TRUE(reads("<r>\r\n  <a>1</a>\r\n  "));
    EXPECT_TRUE(reads("<r>"));
    // Ending inside a text, a tag or a comment is damage.
    EXPECT_FALSE(reads("<r><a>12"));
    EXPECT_FALSE(reads("<r><a>1</a>x"));
    EXPECT_FALSE(reads("<r><a>&amp;"));
    EXPECT_FALSE(reads("<r><a"));
    EXPECT_FALSE(reads("<r><a x=\"1"));
    EXPECT_FALSE(reads("<r></a"));
    EXPECT_FALSE(reads("<r><"));
    EXPECT_FALSE(reads("<r><!-- x"));
}

TEST(XmlReaderStructure, attributes_acceptedAndIgnored) {
    const auto doc = readXmlDocument(
        "<r version=\"2\" path='a/b>c' empty=\"\"><a\r\n  x = \"1\"\ty='>'/><b k=\"/>\">v</b></r>");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->root().childCount(), 2);
    EXPECT_EQ(doc->root().childAt(0).value(), QString());
    EXPECT_EQ(doc->root().childAt(1).value(), QStringLiteral("v"));
}

TEST(XmlReaderValue, textIsTheValueOnlyWhenItIsTheSoleContent) {
    EXPECT_EQ(valueOf(QStringLiteral("  a  ")), QStringLiteral("  a  "));
    EXPECT_EQ(valueOf(QStringLiteral("a\r\nb\rc\nd")), QStringLiteral("a\r\nb\rc\nd"));
    EXPECT_EQ(valueOf(QStringLiteral(" ")), QString());
    EXPECT_EQ(valueOf(QStringLiteral(" \t\r\n")), QString());
    // Other Unicode white space, literal or as a reference, is white space too.
    EXPECT_EQ(valueOf(QStringLiteral("\u00A0\u3000")), QString());
    EXPECT_EQ(valueOf(QStringLiteral("&#x20;&#xA0;")), QString());
    EXPECT_EQ(valueOf(QStringLiteral("a<x/>")), QString());
    EXPECT_EQ(valueOf(QStringLiteral("a<!-- c -->")), QString());
    EXPECT_EQ(valueOf(QStringLiteral("<![CDATA[a]]>")), QString());
    EXPECT_EQ(valueOf(QStringLiteral("a<?pi?>b")), QString());
    EXPECT_EQ(valueOf(QStringLiteral("a > b")), QStringLiteral("a > b"));
    const auto doc = readXmlDocument("<r>\r\n  <a>1</a>\r\n</r>");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->root().value(), QString());
}

TEST(XmlReaderValue, references_decodedOnce) {
    EXPECT_EQ(valueOf(QStringLiteral("&amp;&lt;&gt;&apos;&quot;")), QStringLiteral("&<>'\""));
    EXPECT_EQ(valueOf(QStringLiteral("&AMP;&Lt;&gT;&APOS;&Quot;")), QStringLiteral("&<>'\""));
    EXPECT_EQ(valueOf(QStringLiteral("&amp;amp;")), QStringLiteral("&amp;"));
    EXPECT_EQ(valueOf(QStringLiteral("&#65;&#x42;&#X43;&#x00000044;&#xfc;")),
              QStringLiteral("ABCD\u00FC"));
    EXPECT_EQ(valueOf(QStringLiteral("a&#0;b")),
              QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    // Two references to the halves of a surrogate pair give back the one character.
    EXPECT_EQ(valueOf(QStringLiteral("&#xD83D;&#xDE00;")), QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(valueOf(QStringLiteral("&#55357;&#56832;")), QString::fromUcs4(U"\U0001F600"));
    // A lone half stays a lone half.
    EXPECT_EQ(valueOf(QStringLiteral("x&#xDE00;")), QStringLiteral("x") + QChar(0xDE00));
    // A reference beyond the BMP means the character; beyond Unicode it is kept as written.
    EXPECT_EQ(valueOf(QStringLiteral("&#x1F600;")), QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(valueOf(QStringLiteral("&#x110000;")), QStringLiteral("&#x110000;"));
    EXPECT_EQ(valueOf(QStringLiteral("&#99999999999999999999;")),
              QStringLiteral("&#99999999999999999999;"));
}

TEST(XmlReaderValue, malformedReferences_stayAsWritten) {
    for (const QString& text :
         {QStringLiteral("&"), QStringLiteral("a & b"), QStringLiteral("&amp"),
          QStringLiteral("&ampx;"), QStringLiteral("&unknown;"), QStringLiteral("&#;"),
          QStringLiteral("&#x;"), QStringLiteral("&#xZZ;"), QStringLiteral("&#12a;"),
          QStringLiteral("&# 65;"), QStringLiteral("&#65"), QStringLiteral("&;")}) {
        EXPECT_EQ(valueOf(text), text);
    }
    EXPECT_EQ(valueOf(QStringLiteral("&&amp;&#65&#66;")), QStringLiteral("&&&#65B"));
}

TEST(XmlTreeLookup, childByName_firstMatchIgnoringAsciiCase) {
    const auto doc = readXmlDocument("<r><LEFT>1</LEFT><Left>2</Left><Top>3</Top></r>");
    ASSERT_TRUE(doc);
    const auto root = doc->root();
    ASSERT_TRUE(root.child(u"Left"));
    EXPECT_EQ(root.child(u"Left")->value(), QStringLiteral("1"));
    EXPECT_EQ(root.child(u"left")->value(), QStringLiteral("1"));
    EXPECT_EQ(root.child(u"tOP")->value(), QStringLiteral("3"));
    EXPECT_FALSE(root.child(u"Height"));
    EXPECT_FALSE(root.child(u"Lef"));
    // A lookup that finds nothing creates nothing.
    EXPECT_EQ(root.childCount(), 3);
    EXPECT_EQ(root.childAt(1).value(), QStringLiteral("2"));
    EXPECT_THROW(root.childAt(3), std::out_of_range);
    EXPECT_THROW(root.childAt(-1), std::out_of_range);
}

TEST(XmlTreeLookup, nonAsciiNames_compareExactly) {
    // The windows-1252 bytes for "Ä" and "ä" are different names.
    const auto doc = readXmlDocument("<r><\xC4>1</\xC4></r>");
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->root().child(QStringLiteral("\u00C4")));
    EXPECT_FALSE(doc->root().child(QStringLiteral("\u00E4")));
}

TEST(XmlReaderHostile, millionNestedElements_readWithoutRecursion) {
    const int depth = 1000000;
    QByteArray open = QByteArray("<a>").repeated(depth);
    auto doc = readXmlDocument(open);  // never closed: all count as closed
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->nodes().size(), static_cast<size_t>(depth));
    doc.reset();

    doc = readXmlDocument(open + QByteArray("x</a>") + QByteArray("</a>").repeated(depth - 1));
    ASSERT_TRUE(doc);
    auto element = doc->root();
    int levels = 1;
    while (element.childCount() > 0) {
        element = element.childAt(0);
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    EXPECT_EQ(element.value(), QStringLiteral("x"));
}

// These finish in linear time; a quadratic reader would make the suite crawl, not fail.
TEST(XmlReaderHostile, longRuns_readOrRejectedAsAWhole) {
    QByteArray attributes = "<r";
    for (int i = 0; i < 100000; ++i) {
        attributes += " a" + QByteArray::number(i) + "=\"v/>\"";
    }
    EXPECT_TRUE(reads(attributes + "/>"));
    EXPECT_FALSE(reads(attributes));

    const QByteArray references = QByteArray("&amp;").repeated(200000);
    EXPECT_EQ(rootValue("<r>" + references + "</r>"), QString(200000, QChar(u'&')));
    EXPECT_EQ(rootValue("<r>" + QByteArray("&").repeated(200000) + "</r>").size(), 200000);
    EXPECT_FALSE(reads("<r>" + QByteArray(1000000, 'x')));
    EXPECT_FALSE(reads("<!--" + QByteArray(1000000, '-')));
    EXPECT_FALSE(reads("<r><![CDATA[" + QByteArray(1000000, ']')));
    EXPECT_TRUE(reads("<r>" + QByteArray("<a/>").repeated(250000) + "</r>"));
    EXPECT_TRUE(reads("<r>" + QByteArray("<!---->").repeated(150000) + "</r>"));
    EXPECT_FALSE(reads(QByteArray("<?xml ").repeated(200000)));
    EXPECT_FALSE(
        reads("<?xml version=\"1.0\" encoding=\"" + QByteArray(1000000, 'a') + "\"?><r/>"));
}

TEST(XmlValueReaders, integer_decimalOrPrefixedHexWithOptionalBlanksAndSign) {
    EXPECT_EQ(readXmlInteger(QStringLiteral("1510")), 1510);
    EXPECT_EQ(readXmlInteger(QStringLiteral("+7")), 7);
    EXPECT_EQ(readXmlInteger(QStringLiteral("  7")), 7);
    EXPECT_EQ(readXmlInteger(QStringLiteral("007")), 7);
    EXPECT_EQ(readXmlInteger(QStringLiteral("-1200")), -1200);
    EXPECT_EQ(readXmlInteger(QStringLiteral("$1F")), 31);
    EXPECT_EQ(readXmlInteger(QStringLiteral("x1f")), 31);
    EXPECT_EQ(readXmlInteger(QStringLiteral("X1F")), 31);
    EXPECT_EQ(readXmlInteger(QStringLiteral("0x1F")), 31);
    EXPECT_EQ(readXmlInteger(QStringLiteral("0X1f")), 31);
    EXPECT_EQ(readXmlInteger(QStringLiteral(" -$10")), -16);
    EXPECT_EQ(readXmlInteger(QStringLiteral("0")), 0);
    EXPECT_EQ(readXmlInteger(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(readXmlInteger(QStringLiteral("-2147483648")), -2147483647 - 1);
    EXPECT_EQ(readXmlInteger(QStringLiteral("$7FFFFFFF")), 2147483647);
}

TEST(XmlValueReaders, integer_anythingElseReadsAsMinusOne) {
    for (const char* text :
         {"",    " ",   "12abc", "7 ",         "\t7",         "+",         "-",
          "+-7", "- 7", "$",     "x",          "0x",          "0x 1",      "$1G",
          "1.5", "1e3", "0b1",   "2147483648", "-2147483649", "$80000000", "99999999999999999999",
          "TRUE"}) {
        EXPECT_EQ(readXmlInteger(QString::fromLatin1(text)), -1) << '"' << text << '"';
    }
    // Only ASCII digits are digits.
    EXPECT_EQ(readXmlInteger(QStringLiteral("\uFF17")), -1);
    EXPECT_EQ(readXmlInteger(QStringLiteral("\u00A07")), -1);
}

TEST(XmlValueReaders, booleanAndAlignment_exactUpperCaseWords) {
    EXPECT_TRUE(readXmlBoolean(QStringLiteral("TRUE")));
    for (const char* text : {"true", "True", " TRUE", "TRUE ", "1", "", "FALSE"}) {
        EXPECT_FALSE(readXmlBoolean(QString::fromLatin1(text))) << text;
    }
    EXPECT_EQ(readXmlAlignment(QStringLiteral("CENTER")), 1);
    EXPECT_EQ(readXmlAlignment(QStringLiteral("RIGHT")), 2);
    for (const char* text : {"LEFT", "center", "Right", "", " CENTER", "JUSTIFY"}) {
        EXPECT_EQ(readXmlAlignment(QString::fromLatin1(text)), 0) << text;
    }
}

}  // namespace
}  // namespace taskwick
