// The settings file reader and writer. Properties: reading and writing back unchanged gives
// the same bytes; a value reads the same after an unrelated key is written, in memory and after
// the rewrite is read again; a written value reads back as written.

#include "fuzz/FuzzProperty.h"
#include "platform/IniDocument.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniDocument document = IniDocument::Parse(bytes);
    FUZZ_PROPERTY(document.Serialize() == bytes);

    const QStringList sections = document.Sections();
    const QString unrelatedKey = QStringLiteral("FuzzUnrelatedKey");
    const QString newSection = QStringLiteral("FuzzNewSection");
    for (const QString& section : sections.mid(0, 4)) {
        for (const QString& key : document.Keys(section).mid(0, 4)) {
            if (IniDocument::FoldName(key) == IniDocument::FoldName(unrelatedKey))
                continue;
            const auto before = document.Value(section, key);
            FUZZ_PROPERTY(before.has_value());
            IniDocument changed = IniDocument::Parse(bytes);
            changed.Write(section, unrelatedKey, QStringLiteral("1"));
            changed.Write(newSection, key, QStringLiteral("2"));
            FUZZ_PROPERTY(changed.Value(section, key) == before || IniDocument::FoldName(section) ==
                                                                      IniDocument::FoldName(newSection));
            const IniDocument reread = IniDocument::Parse(changed.Serialize());
            if (IniDocument::FoldName(section) != IniDocument::FoldName(newSection))
                FUZZ_PROPERTY(reread.Value(section, key) == before);
            FUZZ_PROPERTY(reread.Value(section, unrelatedKey) == QStringLiteral("1"));
        }
    }
    // A write of a plain key reads back, also after the rewrite is read again.
    document.Write(QStringLiteral("FuzzWritten"), QStringLiteral("Key"), QStringLiteral("v=1"));
    FUZZ_PROPERTY(document.Value(QStringLiteral("FuzzWritten"), QStringLiteral("key")) ==
                  QStringLiteral("v=1"));
    const IniDocument reread = IniDocument::Parse(document.Serialize());
    FUZZ_PROPERTY(reread.Value(QStringLiteral("fuzzwritten"), QStringLiteral("KEY")) ==
                  QStringLiteral("v=1"));
    return 0;
}
