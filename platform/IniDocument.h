#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <vector>

// A settings file held as its lines of bytes, each with its own line end, and an index of its
// sections and keys. Reading it and writing it back unchanged gives the same bytes; a change
// rewrites only the lines it touches. Names are matched folded: ASCII case and the blanks
// around them do not count. A section that stands twice in the file reads as one: its keys
// are looked up block after block, in file order.
class IniDocument {
public:
    IniDocument();
    static IniDocument Parse(const QByteArray& bytes);
    QByteArray Serialize() const;

    // The name compared: blanks around it dropped and ASCII letters in lower case only (a
    // Turkish locale would fold 'I' to a dotless i).
    static QString FoldName(const QString& name);

    std::optional<QString> Value(const QString& section, const QString& key) const;
    bool HasSection(const QString& section) const;
    // Keys as they stand in the file, and section names in the order they first appear.
    QStringList Keys(const QString& section) const;
    QStringList Sections() const;

    // Replaces the first line of the key, or adds one to the section (created at the end when
    // missing). The key is written exactly as given.
    void Write(const QString& section, const QString& key, const QString& value);
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

private:
    struct Line {
        QByteArray text; // without its line end
        QByteArray end;  // "\r\n", "\n", "\r\r\n", ... or empty on a last line without one
        int equals = -1; // an entry's '=' position in text, -1 for any other line
    };
    struct Block {
        QString name; // empty for the lines before the first section
        std::vector<Line> lines; // the header line first, except in the leading block
        QHash<QString, size_t> keys; // folded key -> its first line
    };

    static QString KeyOf(const Line& line);
    static void IndexKeys(Block& block);
    void IndexSections();
    const std::vector<size_t>* BlocksOf(const QString& section) const;
    Line NewLine(const QByteArray& text) const;
    void EndLine(Line& line) const;

    std::vector<Block> blocks_;
    QHash<QString, std::vector<size_t>> sections_; // folded name -> its blocks, in file order
    QByteArray lineEnd_ = "\r\n";
};
