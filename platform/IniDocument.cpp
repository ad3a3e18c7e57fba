#include "platform/IniDocument.h"

#include <algorithm>

IniDocument::IniDocument() {
    // The lines before the first section: kept, but they hold no keys.
    blocks_.push_back(Block{});
}

QString IniDocument::FoldName(const QString& name) {
    QString folded = name.trimmed();
    for (QChar& c : folded) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return folded;
}

IniDocument IniDocument::Parse(const QByteArray& bytes) {
    IniDocument document;
    bool endKnown = false;
    const qsizetype size = bytes.size();
    qsizetype position = 0;
    while (position < size) {
        const qsizetype newline = bytes.indexOf('\n', position);
        const qsizetype next = newline < 0 ? size : newline + 1;
        qsizetype textEnd = newline < 0 ? size : newline;
        // Every CR before the LF belongs to the line end: a value never carries one.
        while (textEnd > position && bytes[textEnd - 1] == '\r')
            --textEnd;
        Line line;
        line.text = bytes.mid(position, textEnd - position);
        line.end = bytes.mid(textEnd, next - textEnd);
        if (!endKnown && newline >= 0) {
            document.lineEnd_ = line.end.startsWith('\r') ? QByteArray("\r\n") : QByteArray("\n");
            endKnown = true;
        }
        position = next;
        const QByteArray trimmed = line.text.trimmed();
        if (trimmed.startsWith('[') && trimmed.contains(']')) {
            Block block;
            block.name = QString::fromUtf8(trimmed.mid(1, trimmed.indexOf(']') - 1));
            block.lines.push_back(std::move(line));
            document.blocks_.push_back(std::move(block));
            continue;
        }
        if (document.blocks_.size() > 1 && !trimmed.isEmpty() && !trimmed.startsWith(';'))
            line.equals = static_cast<int>(line.text.indexOf('='));
        document.blocks_.back().lines.push_back(std::move(line));
    }
    for (Block& block : document.blocks_)
        IndexKeys(block);
    document.IndexSections();
    return document;
}

QByteArray IniDocument::Serialize() const {
    qsizetype size = 0;
    for (const Block& block : blocks_)
        for (const Line& line : block.lines)
            size += line.text.size() + line.end.size();
    QByteArray bytes;
    bytes.reserve(size);
    for (const Block& block : blocks_)
        for (const Line& line : block.lines) {
            bytes += line.text;
            bytes += line.end;
        }
    return bytes;
}

QString IniDocument::KeyOf(const Line& line) {
    return QString::fromUtf8(line.text.left(line.equals));
}

void IniDocument::IndexKeys(Block& block) {
    block.keys.clear();
    for (size_t i = 0; i < block.lines.size(); ++i) {
        if (block.lines[i].equals < 0)
            continue;
        const QString key = FoldName(KeyOf(block.lines[i]));
        if (!block.keys.contains(key))
            block.keys.insert(key, i);
    }
}

void IniDocument::IndexSections() {
    sections_.clear();
    for (size_t i = 1; i < blocks_.size(); ++i)
        sections_[FoldName(blocks_[i].name)].push_back(i);
}

const std::vector<size_t>* IniDocument::BlocksOf(const QString& section) const {
    const auto found = sections_.constFind(FoldName(section));
    return found == sections_.cend() ? nullptr : &found.value();
}

IniDocument::Line IniDocument::NewLine(const QByteArray& text) const {
    Line line;
    line.text = text;
    line.end = lineEnd_;
    return line;
}

void IniDocument::EndLine(Line& line) const {
    // A last line without a line feed (perhaps with stray CRs) gets the file's line end before
    // another line follows it; otherwise the two would read as one.
    if (!line.end.endsWith('\n'))
        line.end = lineEnd_;
}

std::optional<QString> IniDocument::Value(const QString& section, const QString& key) const {
    const std::vector<size_t>* blocks = BlocksOf(section);
    if (!blocks)
        return std::nullopt;
    const QString folded = FoldName(key);
    for (const size_t b : *blocks) {
        const Block& block = blocks_[b];
        const auto found = block.keys.constFind(folded);
        if (found != block.keys.cend()) {
            const Line& line = block.lines[found.value()];
            return QString::fromUtf8(line.text.mid(line.equals + 1));
        }
    }
    return std::nullopt;
}

bool IniDocument::HasSection(const QString& section) const {
    return BlocksOf(section) != nullptr;
}

QStringList IniDocument::Keys(const QString& section) const {
    QStringList keys;
    if (const std::vector<size_t>* blocks = BlocksOf(section))
        for (const size_t b : *blocks)
            for (const Line& line : blocks_[b].lines)
                if (line.equals >= 0)
                    keys << KeyOf(line);
    return keys;
}

QStringList IniDocument::Sections() const {
    QStringList names;
    for (size_t i = 1; i < blocks_.size(); ++i)
        if (BlocksOf(blocks_[i].name)->front() == i)
            names << blocks_[i].name;
    return names;
}

void IniDocument::Write(const QString& section, const QString& key, const QString& value) {
    const QByteArray keyBytes = key.toUtf8();
    const QByteArray text = keyBytes + '=' + value.toUtf8();
    const QString folded = FoldName(key);
    const std::vector<size_t>* blocks = BlocksOf(section);
    if (blocks) {
        for (const size_t b : *blocks) {
            Block& block = blocks_[b];
            const auto found = block.keys.constFind(folded);
            if (found != block.keys.cend()) {
                Line& line = block.lines[found.value()];
                line.text = text;
                line.equals = static_cast<int>(keyBytes.size());
                return;
            }
        }
    }
    size_t target = 0;
    if (blocks) {
        target = blocks->front();
    } else {
        // A new section at the end, after a blank line as the program writes them.
        Block& last = blocks_.back();
        if (!last.lines.empty()) {
            EndLine(last.lines.back());
            if (!last.lines.back().text.trimmed().isEmpty())
                last.lines.push_back(NewLine(QByteArray()));
        }
        Block block;
        block.name = section;
        block.lines.push_back(NewLine('[' + section.toUtf8() + ']'));
        blocks_.push_back(std::move(block));
        target = blocks_.size() - 1;
        sections_[FoldName(section)].push_back(target);
    }
    Block& block = blocks_[target];
    // After the section's last line that is not blank: blank lines before the next section
    // stay where they are.
    size_t at = block.lines.size();
    while (at > 1 && block.lines[at - 1].text.trimmed().isEmpty())
        --at;
    EndLine(block.lines[at - 1]);
    Line line = NewLine(text);
    line.equals = static_cast<int>(keyBytes.size());
    block.lines.insert(block.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    IndexKeys(block);
}

void IniDocument::DeleteKey(const QString& section, const QString& key) {
    const std::vector<size_t>* blocks = BlocksOf(section);
    if (!blocks)
        return;
    const QString folded = FoldName(key);
    for (const size_t b : *blocks) {
        Block& block = blocks_[b];
        std::erase_if(block.lines, [&](const Line& line) {
            return line.equals >= 0 && FoldName(KeyOf(line)) == folded;
        });
        IndexKeys(block);
    }
}

void IniDocument::EraseSection(const QString& section) {
    const std::vector<size_t>* blocks = BlocksOf(section);
    if (!blocks)
        return;
    const std::vector<size_t> doomed = *blocks;
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(*it));
    IndexSections();
}
