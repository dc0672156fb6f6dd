#include "report/output/xml/rpx_reader.h"

#include "utility/cp1250.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <string_view>

namespace report::output {
namespace {

std::size_t g_liveNodes = 0;

bool IsBlank(QChar c) { return c.isSpace(); }

bool TagEndsAt(const QString& line, qsizetype i)
{
    return line[i] == QLatin1Char('>') ||
           (line[i] == QLatin1Char('/') && i + 1 < line.size() && line[i + 1] == QLatin1Char('>'));
}

qsizetype SkipBlanks(const QString& line, qsizetype i)
{
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return i;
}

// An attribute value at `i`: a quoted one up to its closing quote (or the line's end), else the
// word up to a blank or the tag's end.
QString ReadValue(const QString& line, qsizetype& i)
{
    if (i < line.size() && line[i] == QLatin1Char('"')) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
        const qsizetype end = close < 0 ? line.size() : close;
        QString value = line.mid(i + 1, end - i - 1);
        i = close < 0 ? line.size() : close + 1;
        return value;
    }
    const qsizetype start = i;
    while (i < line.size() && !IsBlank(line[i]) && !TagEndsAt(line, i))
        ++i;
    return line.mid(start, i - start);
}

}  // namespace

TRpDocnode::TRpDocnode() { ++g_liveNodes; }

TRpDocnode::~TRpDocnode()
{
    // Children are taken apart one level at a time, so no destructor ever recurses.
    std::vector<std::unique_ptr<TRpDocnode>> pending = std::move(Children);
    while (!pending.empty()) {
        std::unique_ptr<TRpDocnode> node = std::move(pending.back());
        pending.pop_back();
        for (std::unique_ptr<TRpDocnode>& child : node->Children)
            pending.push_back(std::move(child));
        node->Children.clear();
    }
    --g_liveNodes;
}

QString TRpDocnode::Attribute(const QString& name, const QString& fallback) const
{
    const qsizetype at = AttributeNames.indexOf(name);
    return at < 0 ? fallback : AttributeValues.value(at);
}

bool TRpDocnode::HasAttribute(const QString& name) const { return AttributeNames.contains(name); }

const TRpDocnode* TRpDocnode::Child(const QString& name) const
{
    for (const std::unique_ptr<TRpDocnode>& child : Children)
        if (child->Name == name)
            return child.get();
    return nullptr;
}

std::size_t LiveDocnodes() { return g_liveNodes; }

TRpxTag ParseRpxTag(const QString& line, TRpDocnode& node)
{
    TRpxTag tag;
    tag.end = line.size();
    qsizetype i = 1;  // after "<"
    const qsizetype nameStart = i;
    while (i < line.size() && !IsBlank(line[i]) && !TagEndsAt(line, i))
        ++i;
    node.Name = line.mid(nameStart, i - nameStart);
    while (true) {
        i = SkipBlanks(line, i);
        if (i >= line.size())
            break;
        if (TagEndsAt(line, i)) {
            tag.selfClosed = line[i] == QLatin1Char('/');
            tag.end = i + (tag.selfClosed ? 2 : 1);
            break;
        }
        const qsizetype wordStart = i;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != QLatin1Char('=') && !TagEndsAt(line, i))
            ++i;
        const QString word = line.mid(wordStart, i - wordStart);
        i = SkipBlanks(line, i);
        if (i < line.size() && line[i] == QLatin1Char('=')) {
            i = SkipBlanks(line, i + 1);
            const QString value = ReadValue(line, i);
            if (!word.isEmpty()) {
                node.AttributeNames << word;
                node.AttributeValues << value;
            }
        } else if (word.isEmpty() && i < line.size() && !TagEndsAt(line, i)) {
            ++i;  // a stray character: never stand still
        }
    }
    const qsizetype textEnd = line.indexOf(QLatin1Char('<'), tag.end);
    node.Text = line.mid(tag.end, (textEnd < 0 ? line.size() : textEnd) - tag.end);
    return tag;
}

std::unique_ptr<TRpDocnode> ReadRpxText(const QString& text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    qsizetype at = 0;
    while (at < lines.size() && !lines[at].trimmed().startsWith(QLatin1String("<QXDoc")))
        ++at;
    if (at >= lines.size())
        return nullptr;
    auto root = std::make_unique<TRpDocnode>();
    const QString first = lines[at].trimmed();
    const TRpxTag rootTag = ParseRpxTag(first, *root);
    if (rootTag.selfClosed || first.indexOf(QLatin1String("</QXDoc"), rootTag.end) >= 0)
        return root;
    std::vector<TRpDocnode*> open{root.get()};
    for (++at; at < lines.size() && !open.empty(); ++at) {
        const QString line = lines[at].trimmed();
        if (line.size() < 3)
            continue;
        if (line.startsWith(QLatin1String("</"))) {
            open.pop_back();
            continue;
        }
        // Declarations and comments are no elements.
        if (line.startsWith(QLatin1String("<?")) || line.startsWith(QLatin1String("<!")))
            continue;
        TRpDocnode& current = *open.back();
        if (line.startsWith(QLatin1Char('<'))) {
            auto child = std::make_unique<TRpDocnode>();
            const TRpxTag tag = ParseRpxTag(line, *child);
            // Closed on its own line only by its end tag after the tag itself: "/Page" inside a
            // value closes nothing.
            const bool closed = tag.selfClosed || line.indexOf(QLatin1String("</") + child->Name, tag.end) >= 0;
            TRpDocnode* added = child.get();
            current.Children.push_back(std::move(child));
            if (!closed)
                open.push_back(added);
            continue;
        }
        const qsizetype stop = line.indexOf(QLatin1Char('<'));
        current.Text += stop < 0 ? line : line.left(stop);
    }
    return root;
}

bool DecodeRpxBytes(const QByteArray& bytes, QString& text, QString& error)
{
    if (std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(bytes);
        bom && *bom != QStringConverter::Utf8) {
        QStringDecoder decoder(*bom);
        text = decoder.decode(bytes);
        return true;
    }
    QString encoding = QStringLiteral("UTF-8");
    // The declaration is on the first line, in ASCII whatever the encoding.
    const QByteArray head = bytes.left(bytes.indexOf('\n') < 0 ? 512 : bytes.indexOf('\n'));
    static const QRegularExpression declared(
        QStringLiteral("^\\s*(?:\\xEF\\xBB\\xBF)?<\\?xml[^>]*encoding\\s*=\\s*[\"']([^\"']+)[\"']"));
    if (const QRegularExpressionMatch match = declared.match(QString::fromLatin1(head)); match.hasMatch())
        encoding = match.captured(1).trimmed();
    const QString lower = encoding.toLower();
    if (lower == QLatin1String("windows-1250") || lower == QLatin1String("cp1250") ||
        lower == QLatin1String("x-cp1250")) {
        text = utility::Cp1250ToQString(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        return true;
    }
    const std::optional<QStringConverter::Encoding> named = QStringConverter::encodingForName(encoding.toLatin1());
    if (!named) {
        error = QStringLiteral("The document's encoding %1 cannot be read").arg(encoding);
        return false;
    }
    QStringDecoder decoder(*named, QStringConverter::Flag::Stateless);
    text = decoder.decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return true;
}

}  // namespace report::output
