#pragma once

#include "platform/IniDocument.h"

#include <QString>
#include <QStringList>

#include <vector>

// The settings file, with the semantics of a Windows profile file: section and key names are
// compared without regard to ASCII case and to blanks around them, a new key is written exactly
// as given (a padded key keeps its blanks), values are kept raw, booleans are written "1"/"0"
// and read as integers.
//
// Open one for a burst of reads or writes and let it go: the writes are persisted when it is
// destroyed (or on flush()), atomically, merged into what is on disk at that moment so that
// two bursts that overlap do not undo each other.
//
// A rewrite changes only the lines it must: every other line keeps its bytes (also bytes that
// are not UTF-8, comments and lines before the first section) and its line end. New lines take
// the line end the file already uses; a new file gets CR LF. A value read never carries the
// CRs of its line end. Sections and keys are found through an index, so a file of many
// thousand sections reads in milliseconds.
class IniFile {
public:
    explicit IniFile(const QString& path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& fileName() const { return path_; }

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;
    // A text that is not a whole decimal number reads as the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;
    double readFloat(const QString& section, const QString& key, double defaultValue) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void writeFloat(const QString& section, const QString& key, double value);

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    // Key names of a section as they stand in the file.
    QStringList readSection(const QString& section) const;
    QStringList readSections() const;
    void eraseSection(const QString& section);
    void deleteKey(const QString& section, const QString& key);

    // Writes pending changes now. Returns false when the file could not be written; the
    // changes stay pending.
    bool flush();

private:
    enum class Op { Write, DeleteKey, EraseSection };
    struct Change {
        Op op;
        QString section;
        QString key;
        QString value;
    };

    static void apply(IniDocument& document, const Change& change);

    QString path_;
    IniDocument document_;
    std::vector<Change> pending_;
};
