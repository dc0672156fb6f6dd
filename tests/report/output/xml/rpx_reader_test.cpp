#include "report/output/xml/rpx_reader.h"

#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <random>

namespace report::output {
namespace {

// "Name[attr=value,...]{text}(children)" of a tree.
QString Shape(const TRpDocnode& node)
{
    QString text = node.Name;
    if (!node.AttributeNames.isEmpty()) {
        QStringList pairs;
        for (qsizetype i = 0; i < node.AttributeNames.size(); ++i)
            pairs << node.AttributeNames[i] + QLatin1Char('=') + node.AttributeValues[i];
        text += QLatin1Char('[') + pairs.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    if (!node.Text.isEmpty())
        text += QLatin1Char('{') + node.Text + QLatin1Char('}');
    if (!node.Children.empty()) {
        QStringList children;
        for (const auto& child : node.Children)
            children << Shape(*child);
        text += QLatin1Char('(') + children.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return text;
}

TEST(RpxReaderTest, LinesBecomeATree)
{
    struct Row {
        const char* name;
        const char* text;
        const char* shape;
    };
    const Row rows[] = {
        {"lines before the root are skipped",
         "<?xml version=\"1.0\"?>\n<Header Pagewidth=\"1\">\n<QXDoc>\n<A>\n</A>\n</QXDoc>", "QXDoc(A)"},
        {"short lines are ignored", "<QXDoc>\n<A>\nab\n  x \n</A>\n</QXDoc>", "QXDoc(A)"},
        {"an element closed on its own line", "<QXDoc>\n<A>one</A>\n<B>two</B>\n</QXDoc>", "QXDoc(A{one} B{two})"},
        {"text is appended up to a <", "<QXDoc>\n<A>\nabc\ndef<x\n</A>\n</QXDoc>", "QXDoc(A{abcdef})"},
        {"an end tag with nothing open ends the reading", "<QXDoc>\n</QXDoc>\n<A>\n</A>", "QXDoc"},
        {"an unclosed document ends with its text", "<QXDoc>\n<A>\n<B>", "QXDoc(A(B))"},
        {"attributes in order", "<QXDoc>\n<Item Type=\"text\" X=\"1.5\" Y = \"2\">Hi</Item>\n</QXDoc>",
         "QXDoc(Item[Type=text,X=1.5,Y=2]{Hi})"},
        {"an = inside a value", "<QXDoc>\n<Item Text=\"a=b\" B=\"c\">t</Item>\n</QXDoc>",
         "QXDoc(Item[Text=a=b,B=c]{t})"},
        {"/ and the name inside a value close nothing", "<QXDoc>\n<Page Text=\"x/Page\">\n<Item/>\n</Page>\n</QXDoc>",
         "QXDoc(Page[Text=x/Page](Item))"},
        {"an unclosed quote ends with the line", "<QXDoc>\n<A B=\"open\n<C>x</C>\n</A>\n</QXDoc>",
         "QXDoc(A[B=open](C{x}))"},
        {"an = at the end of the line", "<QXDoc>\n<A B=\n</A>\n</QXDoc>", "QXDoc(A[B=])"},
        {"a self-closed element", "<QXDoc>\n<A B=\"1\"/>\n<C>\n</C>\n</QXDoc>", "QXDoc(A[B=1] C)"},
        {"the root's own attributes", "<QXDoc Version=\"2\">\n</QXDoc>", "QXDoc[Version=2]"},
        {"comments are skipped", "<QXDoc>\n<!-- a note -->\n<A>\n</A>\n</QXDoc>", "QXDoc(A)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::unique_ptr<TRpDocnode> root = ReadRpxText(QString::fromUtf8(row.text));
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(Shape(*root), QString::fromUtf8(row.shape));
    }
    EXPECT_EQ(ReadRpxText(QStringLiteral("<Other>\n</Other>")), nullptr);
}

TEST(RpxReaderTest, NodesAreCountedWhileTheyLive)
{
    const std::size_t before = LiveDocnodes();
    {
        const auto root = ReadRpxText(QStringLiteral("<QXDoc>\n<A>\n<B>x</B>\n</A>\n<C/>\n</QXDoc>"));
        EXPECT_EQ(LiveDocnodes(), before + 4);
    }
    EXPECT_EQ(LiveDocnodes(), before);
}

TEST(RpxReaderTest, TheDeclaredEncodingIsRead)
{
    struct Row {
        QByteArray bytes;
        const char* text;  // UTF-8
    };
    const Row rows[] = {
        {QByteArray("<QXDoc>\xC5\x81\xC3\xB3"
                    "d\xC5\xBA"),
         "<QXDoc>Łódź"},
        {QByteArray("<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n\xA3\xF3"
                    "d\x9F"),
         "Łódź"},
        {QByteArray("<?xml version='1.0' encoding='ISO-8859-1'?>\n\xE9"), "é"},
        {QByteArray("\xEF\xBB\xBF<QXDoc>"), "<QXDoc>"},
    };
    for (const Row& row : rows) {
        QString text;
        QString error;
        ASSERT_TRUE(DecodeRpxBytes(row.bytes, text, error)) << error.toStdString();
        EXPECT_TRUE(text.endsWith(QString::fromUtf8(row.text))) << text.toStdString();
        EXPECT_FALSE(text.startsWith(QChar(0xFEFF)));
    }
    QString text;
    QString error;
    EXPECT_FALSE(DecodeRpxBytes("<?xml version=\"1.0\" encoding=\"klingon-7\"?>\n<QXDoc>", text, error));
    EXPECT_TRUE(error.contains(QLatin1String("klingon-7")));
}

// Damaged documents made from the fixtures: whatever comes in, the reader ends, within its
// buffers, and frees every node.
TEST(RpxReaderTest, DamagedDocumentsAreReadSafely)
{
    const std::string fixture =
        "<?xml version=\"1.0\"?>\n<QXDoc>\n<Header Pagewidth=\"210\" Pageheight=\"297\"/>\n"
        "<Page Number=\"1\">\n<Item Type=\"text\" X=\"10\" Y=\"20\" Height=\"5\" Text=\"a=b\">Jazda</Item>\n"
        "<Item Type=\"image\" Cmp=\"lzw\">80 18 4C 46 38 08</Item>\n</Page>\n</QXDoc>\n";
    const std::size_t before = LiveDocnodes();
    std::mt19937 random(1234);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = fixture;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int f = 0; f < flips; ++f)
            bytes[random() % bytes.size()] = static_cast<char>(random() % 256);
        if (round % 3 == 0)
            bytes.resize(random() % bytes.size());
        QString text;
        QString error;
        if (DecodeRpxBytes(QByteArray::fromStdString(bytes), text, error))
            static_cast<void>(ReadRpxText(text));
    }
    EXPECT_EQ(LiveDocnodes(), before);
}

TEST(RpxReaderTest, AVeryDeepDocumentIsReadAndReleased)
{
    constexpr int kDepth = 100000;
    QString text = QStringLiteral("<QXDoc>\n");
    for (int i = 0; i < kDepth; ++i)
        text += QStringLiteral("<A n=\"%1\">\n").arg(i);
    const std::size_t before = LiveDocnodes();
    {
        const auto root = ReadRpxText(text);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(LiveDocnodes(), before + kDepth + 1);
    }
    EXPECT_EQ(LiveDocnodes(), before);
}

}  // namespace
}  // namespace report::output
