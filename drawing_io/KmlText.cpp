#include "drawing_io/KmlText.h"

#include "platform/CodePageCodec.h"

#include <QString>

namespace {

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

// Where the tag's name starts once a namespace prefix ("kml:") is included; npos for a bare ':'.
size_t StartWithPrefix(std::string_view text, size_t nameAt) {
    if (nameAt == 0 || text[nameAt - 1] != ':')
        return nameAt;
    size_t s = nameAt - 1;
    while (s > 0 && IsNameChar(text[s - 1]))
        --s;
    return s == nameAt - 1 ? std::string_view::npos : s;
}

bool IsTagBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one "&...;" at the start of `text`; returns the bytes used, 0 when it is not a
// reference we know (the '&' then stands as it is).
size_t DecodeReference(std::string_view text, std::string& out) {
    const size_t semicolon = text.find(';');
    if (semicolon == std::string_view::npos || semicolon > 12)
        return 0;
    const std::string_view name = text.substr(1, semicolon - 1);
    static constexpr std::pair<std::string_view, char> Named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, c] : Named)
        if (name == entity) {
            out.push_back(c);
            return semicolon + 1;
        }
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty())
            return 0;
        char32_t cp = 0;
        for (const char c : digits) {
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return 0;
            cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(d);
            if (cp > 0x10FFFF)
                return 0;
        }
        if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF))
            return 0;
        AppendUtf8(out, cp);
        return semicolon + 1;
    }
    return 0;
}

void AppendDecodedEntities(std::string& out, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            const size_t used = DecodeReference(text.substr(i), out);
            if (used > 0) {
                i += used - 1;
                continue;
            }
        }
        out.push_back(text[i]);
    }
}

} // namespace

std::string DecodeKmlBytes(std::string_view bytes) {
    return DecodeOwnedKmlBytes(std::string(bytes));
}

std::string DecodeOwnedKmlBytes(std::string&& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        bytes.erase(0, 3);
        return std::move(bytes);
    }
    const bool le = bytes.compare(0, 2, "\xFF\xFE") == 0;
    const bool be = bytes.compare(0, 2, "\xFE\xFF") == 0;
    if (le || be) {
        std::u16string units;
        units.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto a = static_cast<unsigned char>(bytes[i]);
            const auto b = static_cast<unsigned char>(bytes[i + 1]);
            units.push_back(static_cast<char16_t>(le ? (a | (b << 8)) : ((a << 8) | b)));
        }
        const QByteArray utf8 =
            QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())).toUtf8();
        return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
    }
    if (CodePageCodec::IsValidUtf8(bytes))
        return std::move(bytes);
    return CodePageCodec(CodePageCodec::SystemCodePage).ToUtf8(bytes);
}

std::string KmlLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view TrimKmlText(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

std::string KmlElementText(std::string_view raw) {
    std::string decoded;
    decoded.reserve(raw.size());
    while (!raw.empty()) {
        const size_t cdata = raw.find("<![CDATA[");
        AppendDecodedEntities(decoded, raw.substr(0, cdata));
        if (cdata == std::string_view::npos)
            break;
        raw.remove_prefix(cdata + 9);
        const size_t end = raw.find("]]>");
        decoded.append(raw.substr(0, end));
        if (end == std::string_view::npos)
            break;
        raw.remove_prefix(end + 3);
    }
    std::string out;
    out.reserve(decoded.size());
    bool inRun = false;
    for (const char c : decoded) {
        if (c == '\r' || c == '\n' || c == '\t') {
            if (!inRun)
                out.push_back(' ');
            inRun = true;
            continue;
        }
        inRun = false;
        out.push_back(c);
    }
    return std::string(TrimKmlText(out));
}

KmlTagSpan FindKmlOpenTag(std::string_view text, std::string_view name, size_t from) {
    for (size_t p = text.find(name, from); p != std::string_view::npos;
         p = text.find(name, p + 1)) {
        const size_t after = p + name.size();
        if (after >= text.size())
            return {};
        const char next = text[after];
        if (!(IsTagBlank(next) || next == '>' || next == '/'))
            continue;
        const size_t start = StartWithPrefix(text, p);
        if (start == std::string_view::npos)
            continue;
        if (start == 0 || text[start - 1] != '<')
            continue;
        const size_t close = text.find('>', after);
        if (close == std::string_view::npos)
            return {};
        KmlTagSpan span;
        span.Begin = start - 1;
        span.End = close + 1;
        span.SelfClosing = text[close - 1] == '/';
        return span;
    }
    return {};
}

KmlTagSpan FindKmlCloseTag(std::string_view text, std::string_view name, size_t from) {
    for (size_t p = text.find(name, from); p != std::string_view::npos;
         p = text.find(name, p + 1)) {
        size_t after = p + name.size();
        while (after < text.size() && IsTagBlank(text[after]))
            ++after;
        if (after >= text.size())
            return {};
        if (text[after] != '>')
            continue;
        const size_t start = StartWithPrefix(text, p);
        if (start == std::string_view::npos)
            continue;
        if (start < 2 || text[start - 1] != '/' || text[start - 2] != '<')
            continue;
        KmlTagSpan span;
        span.Begin = start - 2;
        span.End = after + 1;
        return span;
    }
    return {};
}

std::string KmlLinkTarget(std::string_view text) {
    const KmlTagSpan open = FindKmlOpenTag(text, "href", 0);
    if (open.Begin == std::string_view::npos || open.SelfClosing)
        return {};
    const KmlTagSpan close = FindKmlCloseTag(text, "href", open.End);
    if (close.Begin == std::string_view::npos)
        return {};
    return KmlElementText(text.substr(open.End, close.Begin - open.End));
}
