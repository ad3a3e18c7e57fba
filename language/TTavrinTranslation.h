#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// The user-interface language: the English caption of every control is the key of a flat
// dictionary per language, kept in one JSON file per language in `LanguagesFolder`. The
// reverse map takes a translated caption back to its English key, so captions can be
// translated again and again, into any language, with the same result.
//
// Texts are UTF-8. Problems with the files are reported once per file and run through the
// program's repeated-error report; a report made before the main window can show it waits for
// the first translation walk.
class TTavrinTranslation {
public:
    TTavrinTranslation();

    std::map<std::string, std::string> Dictionary;        // English key -> loaded language
    std::map<std::string, std::string> ReverseDictionary; // loaded language -> English key
    std::string CurrentLanguage = "en";
    std::string LanguagesFolder; // with a trailing slash
    std::vector<std::string> Languages;

    void ScanLanguages();
    // Fills `map` from the code's file; an unreadable file leaves it empty and is reported.
    // False when the file is missing or was refused.
    bool LoadLanguage(const std::string& code, std::map<std::string, std::string>& map);
    std::string TranslateText(const std::string& text);
    // The English key a caption stands for: itself unless it is a text of the loaded language.
    std::string EnglishKeyOf(const std::string& text) const;
    // The caption to show for an English key in the current language.
    std::string TranslateKey(const std::string& key);
    void SetLanguage(const std::string& code);
    void RebuildReverseMap();
    std::vector<std::string> GetKeys();
    std::string GetTranslation(const std::string& language, const std::string& key);
    void SetTranslation(const std::string& language, const std::string& key, const std::string& text);
    // Writes the current language's dictionary. False with the reason when nothing was
    // written: another language, a write failure, or a file that exists but could not be read
    // in this run (one saved edit must not replace a translator's whole file).
    bool SaveLanguage(const std::string& language, std::string* reason = nullptr);
    // Rescans the folder and reloads the current language; a file that exists but is refused
    // leaves the dictionary as it was.
    void RefreshLanguages();
    void LogMissing(const std::string& key);

    // 1 to 32 letters, digits, '-' or '_': a code never names a path outside the folder.
    static bool IsLanguageCode(const std::string& code);
    // The code's file; a name that differs only in case serves when the exact one is absent.
    std::string LanguageFilePath(const std::string& code) const;

    // Hands the reports made so far to the program's report and sends later ones at once.
    void DeliverReports();

private:
    void Report(const std::string& text);
    void ReportOnce(const std::string& path, const std::string& text);

    std::set<std::string> missingKeys_;
    bool missingLogRead_ = false;
    bool missingLogFailureReported_ = false;
    std::set<std::string> unreadableFiles_; // exist but could not be read in this run
    std::set<std::string> reportedFiles_;
    std::vector<std::string> pendingReports_;
    bool deliverAtOnce_ = false;
};

// The one dictionary, created by the main window and kept until the program ends.
extern TTavrinTranslation* Translator;

// The text of a fixed English key in the interface's language, for a text a window sets while
// running; the key itself before the main window made the dictionary.
std::string InterfaceText(const std::string& key);
