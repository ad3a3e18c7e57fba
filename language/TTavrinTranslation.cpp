#include "language/TTavrinTranslation.h"

#include "language/LanguageFile.h"
#include "platform/AppPaths.h"
#include "platform/FileIO.h"
#include "platform/RepeatedErrorGuard.h"

#include <QString>

#include <algorithm>
#include <filesystem>

TTavrinTranslation* Translator = nullptr;

namespace {

namespace fs = std::filesystem;

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

// A key is one line of "missing.log": its line breaks are written as escapes.
std::string MissingLogLine(const std::string& key) {
    std::string line;
    for (const char c : key) {
        if (c == '\r')
            line += "\\r";
        else if (c == '\n')
            line += "\\n";
        else
            line += c;
    }
    return line;
}

} // namespace

TTavrinTranslation::TTavrinTranslation() {
    LanguagesFolder = AppPaths::languagesFolder();
    std::error_code ignored;
    fs::create_directories(LanguagesFolder, ignored);
    ScanLanguages();
    CurrentLanguage = "en";
    LoadLanguage("tr", Dictionary);
    RebuildReverseMap();
}

bool TTavrinTranslation::IsLanguageCode(const std::string& code) {
    if (code.empty() || code.size() > 32)
        return false;
    return std::all_of(code.begin(), code.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    });
}

std::string TTavrinTranslation::LanguageFilePath(const std::string& code) const {
    const std::string exact = LanguagesFolder + code + ".json";
    std::error_code error;
    if (fs::exists(exact, error))
        return exact;
    for (const auto& entry : fs::directory_iterator(LanguagesFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (SameIgnoringCase(name, code + ".json"))
            return entry.path().string();
    }
    return exact;
}

void TTavrinTranslation::ScanLanguages() {
    Languages.clear();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(LanguagesFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= 5 || !SameIgnoringCase(name.substr(name.size() - 5), ".json"))
            continue;
        const std::string code = name.substr(0, name.size() - 5);
        if (IsLanguageCode(code))
            Languages.push_back(code);
    }
    for (const char* builtIn : {"en", "tr"}) {
        const bool listed = std::any_of(Languages.begin(), Languages.end(),
                                        [&](const std::string& code) { return SameIgnoringCase(code, builtIn); });
        if (!listed)
            Languages.push_back(builtIn);
    }
    std::stable_sort(Languages.begin(), Languages.end(), LessIgnoringCase);
}

bool TTavrinTranslation::LoadLanguage(const std::string& code, std::map<std::string, std::string>& map) {
    map.clear();
    if (!IsLanguageCode(code))
        return false;
    const std::string path = LanguageFilePath(code);
    std::error_code error;
    if (!fs::exists(path, error))
        return false;
    LanguageFileContent content = ReadLanguageFile(path);
    if (!content.ok) {
        unreadableFiles_.insert(path);
        ReportOnce(path, "Language file " + path + " was not loaded: " + content.error);
        return false;
    }
    unreadableFiles_.erase(path);
    for (auto& [key, text] : content.entries)
        map.insert_or_assign(map.end(), std::move(key), std::move(text));
    return true;
}

std::string TTavrinTranslation::EnglishKeyOf(const std::string& text) const {
    const auto found = ReverseDictionary.find(text);
    return found != ReverseDictionary.end() ? found->second : text;
}

std::string TTavrinTranslation::TranslateKey(const std::string& key) {
    if (CurrentLanguage == "en")
        return key;
    const auto found = Dictionary.find(key);
    if (found != Dictionary.end() && !found->second.empty())
        return found->second;
    LogMissing(key);
    return key;
}

std::string InterfaceText(const std::string& key) {
    return Translator ? Translator->TranslateKey(key) : key;
}

std::string TTavrinTranslation::TranslateText(const std::string& text) {
    return TranslateKey(EnglishKeyOf(text));
}

void TTavrinTranslation::SetLanguage(const std::string& code) {
    if (code == CurrentLanguage)
        return;
    if (!IsLanguageCode(code)) {
        Report("Language \"" + code + "\" is not a language code; the interface stays in " +
               CurrentLanguage);
        return;
    }
    CurrentLanguage = code;
    if (code == "en")
        return;
    const std::string path = LanguageFilePath(code);
    std::error_code error;
    if (!fs::exists(path, error))
        ReportOnce(path, "Language file " + path + " is missing: the interface shows English texts");
    LoadLanguage(code, Dictionary);
    RebuildReverseMap();
}

void TTavrinTranslation::RebuildReverseMap() {
    ReverseDictionary.clear();
    for (const auto& [key, text] : Dictionary)
        if (!text.empty())
            ReverseDictionary[text] = key;
}

std::vector<std::string> TTavrinTranslation::GetKeys() {
    std::map<std::string, std::string> turkish;
    LoadLanguage("tr", turkish);
    std::vector<std::string> keys;
    keys.reserve(turkish.size());
    for (const auto& entry : turkish)
        keys.push_back(entry.first);
    return keys;
}

std::string TTavrinTranslation::GetTranslation(const std::string& language, const std::string& key) {
    if (language == "en")
        return key;
    if (language == CurrentLanguage) {
        const auto found = Dictionary.find(key);
        return found != Dictionary.end() ? found->second : key;
    }
    std::map<std::string, std::string> other;
    LoadLanguage(language, other);
    const auto found = other.find(key);
    return found != other.end() ? found->second : key;
}

void TTavrinTranslation::SetTranslation(const std::string& language, const std::string& key,
                                        const std::string& text) {
    if (language == "en" || language != CurrentLanguage)
        return;
    Dictionary[key] = text;
}

bool TTavrinTranslation::SaveLanguage(const std::string& language, std::string* reason) {
    const auto fail = [reason](const std::string& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (language == "en")
        return fail("English is the language of the keys and has no file");
    if (language != CurrentLanguage)
        return fail("only the interface language (" + CurrentLanguage + ") can be saved");
    if (!IsLanguageCode(language))
        return fail("\"" + language + "\" is not a language code");
    const std::string path = LanguageFilePath(language);
    if (unreadableFiles_.count(path))
        return fail(path + " could not be read in this run; saving would replace it");
    std::string error;
    if (!WriteFileAtomically(path, LanguageFileBytes(Dictionary), &error))
        return fail(error);
    return true;
}

void TTavrinTranslation::RefreshLanguages() {
    ScanLanguages();
    if (CurrentLanguage == "en")
        return;
    // A file that is there but refused (damaged, or half written by an editor) keeps the
    // dictionary in use, unsaved edits included: the interface keeps its texts, and the save
    // stays refused until the file reads again, so neither the file nor the edits are lost.
    std::map<std::string, std::string> reloaded;
    if (!LoadLanguage(CurrentLanguage, reloaded) &&
        unreadableFiles_.count(LanguageFilePath(CurrentLanguage)))
        return;
    Dictionary = std::move(reloaded);
    RebuildReverseMap();
}

void TTavrinTranslation::LogMissing(const std::string& key) {
    const std::string path = LanguagesFolder + "missing.log";
    if (!missingLogRead_) {
        missingLogRead_ = true;
        if (const auto text = ReadWholeFile(path, LanguageFileSizeLimit)) {
            size_t start = 0;
            while (start < text->size()) {
                size_t end = text->find('\n', start);
                if (end == std::string::npos)
                    end = text->size();
                std::string line = text->substr(start, end - start);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                missingKeys_.insert(line);
                start = end + 1;
            }
        }
    }
    const std::string line = MissingLogLine(key);
    if (!missingKeys_.insert(line).second)
        return;
    std::string error;
    if (!AppendToFile(path, line + "\r\n", &error) && !missingLogFailureReported_) {
        missingLogFailureReported_ = true;
        Report("Missing translations cannot be recorded: " + error);
    }
}

void TTavrinTranslation::Report(const std::string& text) {
    if (deliverAtOnce_)
        RepeatedErrorGuard::report(QString::fromStdString(text));
    else
        pendingReports_.push_back(text);
}

void TTavrinTranslation::ReportOnce(const std::string& path, const std::string& text) {
    if (reportedFiles_.insert(path).second)
        Report(text);
}

void TTavrinTranslation::DeliverReports() {
    deliverAtOnce_ = true;
    for (const std::string& text : pendingReports_)
        RepeatedErrorGuard::report(QString::fromStdString(text));
    pendingReports_.clear();
}
