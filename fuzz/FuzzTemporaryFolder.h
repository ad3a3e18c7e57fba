#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

// A fresh folder of the target's own under TMPDIR (else /tmp), for the files it hands to a
// reader that takes a path; made once per run, without a trailing slash, and removed with what
// it holds when the run ends (a finding aborts and leaves it to look at).
inline std::string MakeFuzzFolder(const char* name) {
    static std::vector<std::string> made;
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + name + "_XXXXXX";
    if (!::mkdtemp(pattern.data()))
        std::abort();
    if (made.empty())
        std::atexit([] {
            for (const std::string& folder : made) {
                std::error_code ignored;
                std::filesystem::remove_all(folder, ignored);
            }
        });
    made.push_back(pattern);
    return pattern;
}
