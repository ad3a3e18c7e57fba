#include "platform/IniFile.h"

#include "platform/FileIO.h"
#include "platform/NumberText.h"

#include <QFile>

namespace {

// ASCII-only case folding: names must compare the same under every locale (a Turkish
// locale would fold 'I' to a dotless i).
QString FoldName(const QString& name) {
    QString folded = name.trimmed();
    for (QChar& c : folded) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return folded;
}

bool SameName(const QString& a, const QString& b) {
    return FoldName(a) == FoldName(b);
}

using Section = IniFile::Section;
using Entry = IniFile::Entry;

Section* FindSection(std::vector<Section>& sections, const QString& name) {
    for (Section& s : sections) {
        if (SameName(s.name, name))
            return &s;
    }
    return nullptr;
}

const Section* FindSection(const std::vector<Section>& sections, const QString& name) {
    return FindSection(const_cast<std::vector<Section>&>(sections), name);
}

Entry* FindEntry(Section& section, const QString& key) {
    for (Entry& e : section.entries) {
        if (!e.raw && SameName(e.key, key))
            return &e;
    }
    return nullptr;
}

} // namespace

IniFile::IniFile(const QString& path) : path_(path) {
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly))
        sections_ = parse(file.readAll());
}

IniFile::~IniFile() {
    flush();
}

std::vector<Section> IniFile::parse(const QByteArray& bytes) {
    std::vector<Section> sections;
    const QString text = QString::fromUtf8(bytes);
    Section* current = nullptr;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.contains(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1);
            current = FindSection(sections, name);
            if (!current) {
                sections.push_back(Section{name, {}});
                current = &sections.back();
            }
            continue;
        }
        if (!current)
            continue; // lines before the first section have no meaning
        const int equals = line.indexOf(QLatin1Char('='));
        if (trimmed.isEmpty())
            continue;
        if (equals < 0 || trimmed.startsWith(QLatin1Char(';'))) {
            current->entries.push_back(Entry{line, {}, true});
            continue;
        }
        current->entries.push_back(Entry{line.left(equals), line.mid(equals + 1), false});
    }
    return sections;
}

QByteArray IniFile::serialize(const std::vector<Section>& sections) {
    QString text;
    bool first = true;
    for (const Section& s : sections) {
        if (!first)
            text += QLatin1Char('\n');
        first = false;
        text += QLatin1Char('[') + s.name + QLatin1String("]\n");
        for (const Entry& e : s.entries) {
            text += e.raw ? e.key : e.key + QLatin1Char('=') + e.value;
            text += QLatin1Char('\n');
        }
    }
    return text.toUtf8();
}

void IniFile::apply(std::vector<Section>& sections, const Change& change) {
    Section* section = FindSection(sections, change.section);
    switch (change.op) {
    case Op::Write: {
        if (!section) {
            sections.push_back(Section{change.section, {}});
            section = &sections.back();
        }
        if (Entry* e = FindEntry(*section, change.key)) {
            e->key = change.key;
            e->value = change.value;
        } else {
            section->entries.push_back(Entry{change.key, change.value, false});
        }
        break;
    }
    case Op::DeleteKey:
        if (section) {
            auto& entries = section->entries;
            std::erase_if(entries,
                          [&](const Entry& e) { return !e.raw && SameName(e.key, change.key); });
        }
        break;
    case Op::EraseSection:
        std::erase_if(sections, [&](const Section& s) { return SameName(s.name, change.section); });
        break;
    }
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    if (const Section* s = FindSection(sections_, section)) {
        if (const Entry* e = FindEntry(const_cast<Section&>(*s), key))
            return e->value;
    }
    return defaultValue;
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
    apply(sections_, change);
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
    return FindSection(sections_, section) != nullptr;
}

bool IniFile::valueExists(const QString& section, const QString& key) const {
    const Section* s = FindSection(sections_, section);
    return s && FindEntry(const_cast<Section&>(*s), key) != nullptr;
}

QStringList IniFile::readSection(const QString& section) const {
    QStringList keys;
    if (const Section* s = FindSection(sections_, section)) {
        for (const Entry& e : s->entries) {
            if (!e.raw)
                keys << e.key;
        }
    }
    return keys;
}

QStringList IniFile::readSections() const {
    QStringList names;
    for (const Section& s : sections_)
        names << s.name;
    return names;
}

void IniFile::eraseSection(const QString& section) {
    Change change{Op::EraseSection, section, {}, {}};
    apply(sections_, change);
    pending_.push_back(std::move(change));
}

void IniFile::deleteKey(const QString& section, const QString& key) {
    Change change{Op::DeleteKey, section, key, {}};
    apply(sections_, change);
    pending_.push_back(std::move(change));
}

bool IniFile::flush() {
    if (pending_.empty())
        return true;
    // Another burst may have written the file since this one read it: replay our changes
    // over what is there now.
    std::vector<Section> onDisk;
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly)) {
        onDisk = parse(file.readAll());
        file.close();
    }
    for (const Change& change : pending_)
        apply(onDisk, change);
    if (!WriteFileAtomically(path_.toStdString(), serialize(onDisk).toStdString()))
        return false;
    sections_ = std::move(onDisk);
    pending_.clear();
    return true;
}
