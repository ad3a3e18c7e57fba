// The language files over arbitrary bytes, read by the reader alone and by the dictionary
// reloading the interface language from its file. Properties: a refused file says why and
// leaves the dictionary as it was, unsaved edits included, and is never overwritten by a save;
// an accepted file becomes the dictionary, and what a save then writes reads back to the same
// dictionary, byte for byte on a second save, so no key is lost by saving.

#include "fuzz/FuzzProperty.h"
#include "fuzz/FuzzTemporaryFolder.h"

#include "language/LanguageFile.h"
#include "language/TTavrinTranslation.h"
#include "platform/AppPaths.h"
#include "platform/FileIO.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

namespace {

using Map = std::map<std::string, std::string>;

std::string Folder;

Map AsMap(const LanguageFileContent& content) {
    Map map;
    for (const auto& [key, text] : content.entries)
        map.insert_or_assign(key, text);
    return map;
}

// The file a translator has been working on, and the interface in its language.
const Map& Translated() {
    static const Map map = {{"Open", "A\xC3\xA7"},
                            {"Save", "Kaydet"},
                            {"Save && Exit", "Kaydet && \xC3\x87\xC4\xB1k"},
                            {"Zoom In", ""}};
    return map;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The program's own folder, where the dictionary finds "Languages/".
    AppPaths::setApplicationFolder(MakeFuzzFolder("fuzz_language") + "/");
    Folder = AppPaths::languagesFolder();
    std::filesystem::create_directories(Folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const LanguageFileContent content = ParseLanguageFile(bytes);
    if (!content.ok) {
        FUZZ_PROPERTY(!content.error.empty() && content.entries.empty());
    } else {
        // A save writes every key and text the file gave, and writes it the same way again.
        const Map map = AsMap(content);
        const std::string written = LanguageFileBytes(map);
        const LanguageFileContent reread = ParseLanguageFile(written);
        FUZZ_PROPERTY(reread.ok);
        FUZZ_PROPERTY(AsMap(reread) == map);
        FUZZ_PROPERTY(LanguageFileBytes(AsMap(reread)) == written);
    }

    const std::string path = Folder + "tr.json";
    FUZZ_PROPERTY(WriteFileAtomically(path, LanguageFileBytes(Translated())));
    TTavrinTranslation translator;
    translator.SetLanguage("tr");
    FUZZ_PROPERTY(translator.Dictionary == Translated());
    translator.SetTranslation("tr", "Zoom In", "Yak\xC4\xB1nla\xC5\x9Ft\xC4\xB1r"); // not saved yet
    const Map before = translator.Dictionary;
    const Map reverseBefore = translator.ReverseDictionary;

    FUZZ_PROPERTY(WriteFileAtomically(path, bytes));
    translator.RefreshLanguages();
    if (!content.ok) {
        FUZZ_PROPERTY(translator.Dictionary == before);
        FUZZ_PROPERTY(translator.ReverseDictionary == reverseBefore);
        std::string reason;
        FUZZ_PROPERTY(!translator.SaveLanguage("tr", &reason) && !reason.empty());
        FUZZ_PROPERTY(ReadWholeFile(path, LanguageFileSizeLimit + 1) == bytes);
        return 0;
    }
    FUZZ_PROPERTY(translator.Dictionary == AsMap(content));
    std::string reason;
    FUZZ_PROPERTY(translator.SaveLanguage("tr", &reason));
    const LanguageFileContent saved = ReadLanguageFile(path);
    FUZZ_PROPERTY(saved.ok && AsMap(saved) == translator.Dictionary);
    return 0;
}
