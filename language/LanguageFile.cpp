#include "language/LanguageFile.h"

#include "platform/CodePageCodec.h"
#include "platform/FileIO.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <cstdint>
#include <cstdio>

namespace {

// Text of the file as UTF-8, or nothing with `error` set.
bool DecodeToUtf8(const std::string& bytes, QByteArray& utf8, std::string& error) {
    const auto starts = [&bytes](const char* mark, size_t size) {
        return bytes.size() >= size && bytes.compare(0, size, mark, size) == 0;
    };
    QStringDecoder::Encoding encoding = QStringDecoder::Utf8;
    size_t skip = 0;
    if (starts("\xEF\xBB\xBF", 3)) {
        skip = 3;
    } else if (starts("\xFF\xFE", 2)) {
        encoding = QStringDecoder::Utf16LE;
        skip = 2;
    } else if (starts("\xFE\xFF", 2)) {
        encoding = QStringDecoder::Utf16BE;
        skip = 2;
    }
    const QByteArrayView body(bytes.data() + skip, qsizetype(bytes.size() - skip));
    if (encoding == QStringDecoder::Utf8) {
        if (!CodePageCodec::IsValidUtf8(std::string_view(body.data(), size_t(body.size())))) {
            error = "the file is not UTF-8 text";
            return false;
        }
        utf8 = body.toByteArray();
        return true;
    }
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(body);
    if (decoder.hasError()) {
        error = "the file is not valid UTF-16 text";
        return false;
    }
    if (body.size() % 2 != 0) {
        error = "the file is not valid UTF-16 text";
        return false;
    }
    utf8 = text.toUtf8();
    return true;
}

std::string LineAndColumn(const QByteArray& text, qsizetype offset) {
    int line = 1, column = 1;
    for (qsizetype i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((uchar(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

void AppendQuoted(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace

LanguageFileContent ParseLanguageFile(const std::string& bytes) {
    LanguageFileContent content;
    if (bytes.size() > LanguageFileSizeLimit) {
        content.error = "the file is larger than 16 MiB";
        return content;
    }
    QByteArray utf8;
    if (!DecodeToUtf8(bytes, utf8, content.error))
        return content;
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        content.error = "not JSON at " + LineAndColumn(utf8, parseError.offset) + ": " +
                        parseError.errorString().toStdString();
        return content;
    }
    if (!document.isObject()) {
        content.error = "the file does not hold a JSON object";
        return content;
    }
    const QJsonObject object = document.object();
    for (auto member = object.begin(); member != object.end(); ++member) {
        if (!member.value().isString())
            continue;
        content.entries.emplace_back(member.key().toStdString(),
                                     member.value().toString().toStdString());
    }
    content.ok = true;
    return content;
}

LanguageFileContent ReadLanguageFile(const std::string& path) {
    const auto bytes = ReadWholeFile(path, LanguageFileSizeLimit);
    if (!bytes) {
        LanguageFileContent content;
        content.error = "the file cannot be read or is larger than 16 MiB";
        return content;
    }
    return ParseLanguageFile(*bytes);
}

std::string LanguageFileBytes(const std::map<std::string, std::string>& dictionary) {
    std::string out = "\xEF\xBB\xBF{\r\n";
    size_t left = dictionary.size();
    for (const auto& [key, text] : dictionary) {
        out += "  ";
        AppendQuoted(out, key);
        out += ": ";
        AppendQuoted(out, text);
        out += --left > 0 ? ",\r\n" : "\r\n";
    }
    out += "}\r\n";
    return out;
}
