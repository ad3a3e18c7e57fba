#include "language/LanguageFile.h"
#include "language/TTavrinTranslation.h"
#include "platform/AppPaths.h"
#include "platform/FileIO.h"
#include "platform/RepeatedErrorGuard.h"

#include <QDir>
#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

const std::string Fixtures = TEST_DATA_DIR "/languages/";

std::string Fixture(const std::string& name) {
    return ReadWholeFile(Fixtures + name).value_or("");
}

// Each test starts with an empty language folder and no dictionary.
class Dictionary : public ::testing::Test {
protected:
    void SetUp() override {
        folder = AppPaths::languagesFolder();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        RepeatedErrorGuard::setSink([this](const QString& text) { reports.push_back(text.toStdString()); });
    }
    void TearDown() override {
        RepeatedErrorGuard::setSink(nullptr);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(folder);
    }
    void Install(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(WriteFileAtomically(folder + name, bytes));
    }
    std::string folder;
    std::vector<std::string> reports;
};

} // namespace

TEST(LanguageFile, EncodingsAndDamageTable) {
    const struct {
        const char* file;
        bool loads;
        const char* error;
    } cases[] = {
        {"tr.json", true, ""},
        {"tr-nomark-lf.json", true, ""},
        {"tr-utf16le.json", true, ""},
        {"tr-utf16be.json", true, ""},
        {"tr-cp1254.json", false, "the file is not UTF-8 text"},
        {"tr-truncated.json", false, "not JSON at line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const LanguageFileContent content = ParseLanguageFile(Fixture(c.file));
        EXPECT_EQ(content.ok, c.loads) << content.error;
        if (c.loads) {
            ASSERT_EQ(content.entries.size(), 46u);
            std::map<std::string, std::string> map(content.entries.begin(), content.entries.end());
            EXPECT_EQ(map["Import..."], "\xC4\xB0\xC3\xA7" "e Aktar...");
            EXPECT_EQ(map["Save && Exit"], "Kaydet && \xC3\x87\xC4\xB1k");
        } else {
            EXPECT_TRUE(content.entries.empty());
            EXPECT_NE(content.error.find(c.error), std::string::npos) << content.error;
        }
    }
}

TEST(LanguageFile, RefusedShapesAndSkippedMembers) {
    EXPECT_FALSE(ParseLanguageFile("[\"a\"]").ok);
    EXPECT_FALSE(ParseLanguageFile("").ok);
    EXPECT_FALSE(ParseLanguageFile("\xFF\xFE" "a").ok); // odd UTF-16
    EXPECT_FALSE(ParseLanguageFile(std::string(LanguageFileSizeLimit + 1, ' ')).ok);
    const LanguageFileContent mixed = ParseLanguageFile("{\"a\": 1, \"b\": \"B\", \"c\": null, \"b\": \"later\"}");
    ASSERT_TRUE(mixed.ok);
    ASSERT_EQ(mixed.entries.size(), 1u);
    EXPECT_EQ(mixed.entries[0], (std::pair<std::string, std::string>{"b", "later"}));
    const LanguageFileContent broken = ParseLanguageFile("{\n  \"a\": \"A\",\n  \"b\" \"B\"\n}");
    EXPECT_NE(broken.error.find("line 3, column"), std::string::npos) << broken.error;
}

TEST(LanguageFile, WriterBytes) {
    EXPECT_EQ(LanguageFileBytes({}), "\xEF\xBB\xBF{\r\n}\r\n");
    const std::map<std::string, std::string> dictionary = {
        {"Zoom", "Yak\xC4\xB1nla\xC5\x9Ft\xC4\xB1r"},
        {"A \"quote\"", "back\\slash\ttab\nline\x01\x1f"},
        {"Save && Exit", ""}};
    EXPECT_EQ(LanguageFileBytes(dictionary),
              "\xEF\xBB\xBF{\r\n"
              "  \"A \\\"quote\\\"\": \"back\\\\slash\\ttab\\nline\\u0001\\u001f\",\r\n"
              "  \"Save && Exit\": \"\",\r\n"
              "  \"Zoom\": \"Yak\xC4\xB1nla\xC5\x9Ft\xC4\xB1r\"\r\n"
              "}\r\n");
}

TEST(LanguageFile, RandomDictionariesRoundTripAndSaveTheSameBytesTwice) {
    std::mt19937 random(20261210);
    const std::string alphabet[] = {"a", "Z", " ", "\"", "\\", "\t", "\n", "\r", "\x01", "\x1f", "/",
                                    "\xC4\xB1", "\xC3\xA7", "\xF0\x9F\x98\x80", "&&", "{", "}"};
    std::map<std::string, std::string> dictionary;
    while (dictionary.size() < 5000) {
        std::string key, text;
        for (int i = int(random() % 12); i >= 0; --i)
            key += alphabet[random() % std::size(alphabet)];
        for (int i = int(random() % 12); i > 0; --i)
            text += alphabet[random() % std::size(alphabet)];
        dictionary[key] = text;
    }
    const std::string bytes = LanguageFileBytes(dictionary);
    const LanguageFileContent content = ParseLanguageFile(bytes);
    ASSERT_TRUE(content.ok) << content.error;
    const std::map<std::string, std::string> back(content.entries.begin(), content.entries.end());
    EXPECT_EQ(back, dictionary);
    EXPECT_EQ(LanguageFileBytes(back), bytes);
    // Escaped surrogate pairs read as the character they stand for.
    const LanguageFileContent escaped = ParseLanguageFile("{\"k\": \"\\ud83d\\ude00\"}");
    ASSERT_TRUE(escaped.ok);
    EXPECT_EQ(escaped.entries[0].second, "\xF0\x9F\x98\x80");
}

TEST(LanguageFile, ReaderSurvivesDamagedInput) {
    std::mt19937 random(7);
    const std::string good = Fixture("tr.json");
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = good.substr(0, random() % (good.size() + 1));
        for (int flips = int(random() % 4); flips > 0 && !bytes.empty(); --flips)
            bytes[random() % bytes.size()] = char(random());
        const LanguageFileContent content = ParseLanguageFile(bytes);
        if (!content.ok)
            EXPECT_TRUE(content.entries.empty());
    }
    EXPECT_FALSE(ParseLanguageFile(std::string(100000, '[') + std::string(100000, ']')).ok);
    const LanguageFileContent big = ParseLanguageFile("{\"k\": \"" + std::string(1 << 20, 'x') + "\"}");
    ASSERT_TRUE(big.ok);
    EXPECT_EQ(big.entries[0].second.size(), size_t(1) << 20);
}

TEST_F(Dictionary, LanguageCodes) {
    const std::pair<const char*, bool> cases[] = {
        {"tr", true},   {"pt-BR", true}, {"zh_Hant", true}, {"", false},
        {"../x", false}, {"a/b", false}, {"tr.json", false}, {"\xC3\xA7", false},
        {"abcdefghijabcdefghijabcdefghij12", true}, {"abcdefghijabcdefghijabcdefghij123", false}};
    for (const auto& [code, valid] : cases)
        EXPECT_EQ(TTavrinTranslation::IsLanguageCode(code), valid) << code;
}

TEST_F(Dictionary, ScanListsCodesInNameOrderAndMatchesFileNamesWithoutCase) {
    Install("TR.JSON", Fixture("tr.json"));
    Install("en.json", "{\"File\": \"never read\"}");
    Install("de.json", "{}");
    Install("..bad name.json", "{}");
    Install("notes.txt", "");
    TTavrinTranslation translation;
    EXPECT_EQ(translation.Languages, (std::vector<std::string>{"de", "en", "TR"}));
    // "TR.JSON" serves "tr".
    EXPECT_EQ(translation.Dictionary.at("File"), "Dosya");
    translation.SetLanguage("en");
    EXPECT_EQ(translation.TranslateText("File"), "File");
    EXPECT_TRUE(reports.empty());
}

TEST_F(Dictionary, TranslationsOfTheDescribedCases) {
    Install("tr.json", "{\"Zoom\": \"Yak\", \"In\": \"Ortak\", \"Out\": \"Ortak\", \"Empty\": \"\", \"Twice\": \"first\", \"Twice\": \"second\"}");
    TTavrinTranslation translation;
    // English interface: a Turkish caption goes back to its key, nothing is logged.
    EXPECT_EQ(translation.TranslateText("Yak"), "Zoom");
    // Two keys, one translation: the later key in byte order wins the way back.
    EXPECT_EQ(translation.TranslateText("Ortak"), "Out");
    translation.SetLanguage("tr");
    EXPECT_EQ(translation.TranslateText("Zoom"), "Yak");
    EXPECT_EQ(translation.TranslateText("Twice"), "second");
    EXPECT_EQ(translation.TranslateText("Empty"), "Empty");
    EXPECT_EQ(translation.TranslateText("Zoom"), "Yak");
    EXPECT_EQ(translation.TranslateText("12.34"), "12.34"); // a data label
    EXPECT_EQ(translation.TranslateText(""), "");
    EXPECT_EQ(translation.TranslateText("Not There"), "Not There");
    EXPECT_EQ(translation.TranslateText("Not There"), "Not There");
    EXPECT_EQ(translation.TranslateText("two\r\nlines"), "two\r\nlines");
    EXPECT_EQ(ReadWholeFile(folder + "missing.log").value_or(""),
              "Empty\r\n12.34\r\n\r\nNot There\r\ntwo\\r\\nlines\r\n");
    // A later run finds the keys already logged.
    TTavrinTranslation next;
    next.SetLanguage("tr");
    next.TranslateText("Not There");
    next.TranslateText("New One");
    EXPECT_EQ(ReadWholeFile(folder + "missing.log").value_or(""),
              "Empty\r\n12.34\r\n\r\nNot There\r\ntwo\\r\\nlines\r\nNew One\r\n");
}

TEST_F(Dictionary, UnreadableFilesAreReportedOnceAndNeverOverwritten) {
    Install("tr.json", Fixture("tr-cp1254.json"));
    const std::string before = Fixture("tr-cp1254.json");
    TTavrinTranslation translation;
    EXPECT_TRUE(translation.Dictionary.empty());
    translation.SetLanguage("tr");
    translation.DeliverReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("tr.json was not loaded: the file is not UTF-8 text"), std::string::npos);
    translation.SetTranslation("tr", "File", "Dosya");
    std::string reason;
    EXPECT_FALSE(translation.SaveLanguage("tr", &reason));
    EXPECT_NE(reason.find("could not be read in this run"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(folder + "tr.json").value_or(""), before);
}

// A reload finding the file damaged (a translator's editor half way through a save) keeps the
// interface's texts and the edits not yet saved; once the file reads again, the reload takes it.
TEST_F(Dictionary, AReloadOfADamagedFileKeepsTheDictionaryAndItsUnsavedEdits) {
    Install("tr.json", Fixture("tr.json"));
    TTavrinTranslation translation;
    translation.SetLanguage("tr");
    translation.SetTranslation("tr", "Zoom", "Yak\xC4\xB1n");
    const auto dictionary = translation.Dictionary;
    const auto reverse = translation.ReverseDictionary;
    ASSERT_FALSE(dictionary.empty());

    Install("tr.json", Fixture("tr-truncated.json"));
    translation.RefreshLanguages();
    EXPECT_EQ(translation.Dictionary, dictionary);
    EXPECT_EQ(translation.ReverseDictionary, reverse);
    EXPECT_EQ(translation.TranslateText("File"), "Dosya");
    std::string reason;
    EXPECT_FALSE(translation.SaveLanguage("tr", &reason));
    EXPECT_EQ(ReadWholeFile(folder + "tr.json").value_or(""), Fixture("tr-truncated.json"));

    Install("tr.json", "{\"File\": \"Dosyalar\"}");
    translation.RefreshLanguages();
    EXPECT_EQ(translation.Dictionary, (std::map<std::string, std::string>{{"File", "Dosyalar"}}));
    EXPECT_TRUE(translation.SaveLanguage("tr", &reason)) << reason;
    // A file that is gone is no damage: the reload leaves the language without texts.
    std::filesystem::remove(folder + "tr.json");
    translation.RefreshLanguages();
    EXPECT_TRUE(translation.Dictionary.empty());
}

TEST_F(Dictionary, AMissingFileOrABadCodeIsReportedAndTheLanguageKept) {
    TTavrinTranslation translation;
    translation.SetLanguage("../etc/passwd");
    EXPECT_EQ(translation.CurrentLanguage, "en");
    translation.SetLanguage("de");
    EXPECT_EQ(translation.CurrentLanguage, "de");
    translation.DeliverReports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NE(reports[0].find("is not a language code"), std::string::npos);
    EXPECT_NE(reports[1].find("de.json is missing"), std::string::npos);
}

TEST_F(Dictionary, SaveWritesAtomicallyAndFailsWithAReason) {
    Install("tr.json", Fixture("tr.json"));
    TTavrinTranslation translation;
    translation.SetLanguage("tr");
    translation.SetTranslation("tr", "Zoom", "Yak\xC4\xB1n");
    ASSERT_TRUE(translation.SaveLanguage("tr"));
    EXPECT_EQ(ReadWholeFile(folder + "tr.json").value_or(""), LanguageFileBytes(translation.Dictionary));
    EXPECT_FALSE(translation.SaveLanguage("en"));
    EXPECT_FALSE(translation.SaveLanguage("de"));

    // A folder in the file's place: the old bytes stay, no temporary file is left.
    std::filesystem::remove(folder + "tr.json");
    std::filesystem::create_directories(folder + "tr.json");
    std::string reason;
    EXPECT_FALSE(translation.SaveLanguage("tr", &reason));
    EXPECT_FALSE(reason.empty());
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
}

TEST_F(Dictionary, AReadOnlyFolderLogsNoMissingKeyButReportsOnce) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "the owner of every file can write as root";
    TTavrinTranslation translation;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    translation.SetLanguage("de");
    translation.DeliverReports();
    reports.clear();
    translation.TranslateText("One");
    translation.TranslateText("Two");
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(Dictionary, AFolderInPlaceOfTheMissingLogReportsOnceAndTheTranslationGoesOn) {
    TTavrinTranslation translation;
    std::filesystem::create_directories(folder + "missing.log");
    translation.SetLanguage("de");
    translation.DeliverReports();
    reports.clear();
    EXPECT_EQ(translation.TranslateText("One"), "One");
    EXPECT_EQ(translation.TranslateText("Two"), "Two");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("Missing translations cannot be recorded"), std::string::npos);
}
