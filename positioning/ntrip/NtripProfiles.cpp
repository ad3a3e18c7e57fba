#include "positioning/ntrip/NtripProfiles.h"

namespace {

constexpr char Tab = '\t';

bool HoldsLineBreaker(const std::string& text) {
    return text.find_first_of("\t\r\n") != std::string::npos;
}

} // namespace

std::string NtripProfileName(const NtripProfile& profile) {
    std::string name = profile.server + ":" + profile.port;
    if (!profile.username.empty())
        name = profile.username + "@" + name;
    return name;
}

std::optional<std::string> NtripProfileLine(const NtripProfile& profile, std::string* reason) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"server", &profile.server},     {"port", &profile.port},
        {"user name", &profile.username}, {"password", &profile.password},
        {"latitude", &profile.latitude}, {"longitude", &profile.longitude}};
    for (const auto& [label, value] : fields) {
        if (HoldsLineBreaker(*value)) {
            if (reason)
                *reason = std::string("the ") + label + " holds a tab or a line break";
            return std::nullopt;
        }
    }
    std::string line = NtripProfileName(profile);
    for (const auto& field : fields) {
        line += Tab;
        line += *field.second;
    }
    return line;
}

std::vector<std::string> SplitProfileFile(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string JoinProfileFile(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> NtripProfileNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        const size_t tab = line.find(Tab);
        if (tab != std::string::npos)
            names.push_back(line.substr(0, tab));
    }
    return names;
}

std::optional<std::string> NtripProfileLineAt(const std::vector<std::string>& lines, size_t index) {
    for (const std::string& line : lines) {
        if (line.find(Tab) == std::string::npos)
            continue;
        if (index == 0)
            return line;
        --index;
    }
    return std::nullopt;
}

std::vector<std::string> SplitProfileFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(Tab, start);
        if (tab == std::string::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

void StoreProfileLine(std::vector<std::string>& lines, const std::string& name,
                      const std::string& line) {
    const std::string prefix = name + Tab;
    for (std::string& existing : lines) {
        if (existing.compare(0, prefix.size(), prefix) == 0) {
            existing = line;
            return;
        }
    }
    lines.push_back(line);
}
