#include "platform/IniFile.h"

#include "platform/FileIO.h"
#include "platform/NumberText.h"

#include <QFile>

IniFile::IniFile(const QString& path) : path_(path) {
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly))
        document_ = IniDocument::Parse(file.readAll());
}

IniFile::~IniFile() {
    flush();
}

void IniFile::apply(IniDocument& document, const Change& change) {
    switch (change.op) {
    case Op::Write:
        document.Write(change.section, change.key, change.value);
        break;
    case Op::DeleteKey:
        document.DeleteKey(change.section, change.key);
        break;
    case Op::EraseSection:
        document.EraseSection(change.section);
        break;
    }
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    return document_.Value(section, key).value_or(defaultValue);
}
int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    int value = 0;
    return ParseInteger(readString(section, key).trimmed(), value) ? value : defaultValue;
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double IniFile::readFloat(const QString& section, const QString& key, double defaultValue) const {
    double value = 0;
    return ParseNumber(readString(section, key).trimmed(), value) ? value : defaultValue;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    Change change{Op::Write, section, key, value};
    apply(document_, change);
    pending_.push_back(std::move(change));
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeFloat(const QString& section, const QString& key, double value) {
    writeString(section, key, QString::fromStdString(FormatGeneral(value)));
}

bool IniFile::sectionExists(const QString& section) const {
    return document_.HasSection(section);
}

bool IniFile::valueExists(const QString& section, const QString& key) const {
    return document_.Value(section, key).has_value();
}

QStringList IniFile::readSection(const QString& section) const {
    return document_.Keys(section);
}

QStringList IniFile::readSections() const {
    return document_.Sections();
}

void IniFile::eraseSection(const QString& section) {
    Change change{Op::EraseSection, section, {}, {}};
    apply(document_, change);
    pending_.push_back(std::move(change));
}

void IniFile::deleteKey(const QString& section, const QString& key) {
    Change change{Op::DeleteKey, section, key, {}};
    apply(document_, change);
    pending_.push_back(std::move(change));
}

bool IniFile::flush() {
    if (pending_.empty())
        return true;
    // Another burst may have written the file since this one read it: replay our changes
    // over what is there now.
    IniDocument onDisk;
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly)) {
        onDisk = IniDocument::Parse(file.readAll());
        file.close();
    }
    for (const Change& change : pending_)
        apply(onDisk, change);
    if (!WriteFileAtomically(path_.toStdString(), onDisk.Serialize().toStdString()))
        return false;
    document_ = std::move(onDisk);
    pending_.clear();
    return true;
}
