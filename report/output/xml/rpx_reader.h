// The line reader of XML report documents: one element per line, read into a tree of nodes with
// their attributes (in order) and the text between their tags.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <memory>
#include <vector>

namespace report::output {

class TRpDocnode {
public:
    TRpDocnode();
    // Frees the subtree without recursion: a document of any depth is released in place.
    ~TRpDocnode();
    TRpDocnode(const TRpDocnode&) = delete;
    TRpDocnode& operator=(const TRpDocnode&) = delete;

    QString Name;
    QString Text;
    // Children in document order (each child's name is its Name).
    std::vector<std::unique_ptr<TRpDocnode>> Children;
    // Attribute names and their values, in the order the tag gives them.
    QStringList AttributeNames;
    QStringList AttributeValues;

    // The value of the first attribute `name` (compared with case); `fallback` without one.
    [[nodiscard]] QString Attribute(const QString& name, const QString& fallback = QString()) const;
    [[nodiscard]] bool HasAttribute(const QString& name) const;
    // The first child named `name`; nullptr without one.
    [[nodiscard]] const TRpDocnode* Child(const QString& name) const;
};

// Nodes alive in the program (a leak shows as a count that does not go back).
[[nodiscard]] std::size_t LiveDocnodes();

// Reads the lines of `text`: those before the first one starting with "<QXDoc" are skipped,
// that one is the root; every further line of at least 3 characters (after trimming) closes
// the current element ("</..."), opens a child of it ("<...") or adds to its text (up to a
// "<"). Reading ends when the root is closed or the text ends. nullptr without "<QXDoc".
[[nodiscard]] std::unique_ptr<TRpDocnode> ReadRpxText(const QString& text);

struct TRpxTag {
    qsizetype end = 0;        // where the tag ends in its line: after its ">", or the line's length
    bool selfClosed = false;  // the tag ends with "/>"
};
// Parses one tag line into `node`: its name, its attributes (name="value"; a quoted value is
// one token whatever it holds, an unclosed one ends with the line) and the text after ">" up
// to "<".
TRpxTag ParseRpxTag(const QString& line, TRpDocnode& node);

// The document's bytes as text, in the encoding its XML declaration names (UTF-8 when it names
// none; "windows-1250" through the program's own table). False with `error` for an encoding
// the program cannot read.
[[nodiscard]] bool DecodeRpxBytes(const QByteArray& bytes, QString& text, QString& error);

}  // namespace report::output
