#pragma once

#include <string>

// The user-interface language. This holds the current language code only: the dictionaries
// behind it, the translation of captions and the language files come with the translation
// dictionary itself.
class TTavrinTranslation {
public:
    // Language code of the user interface; "en" after construction.
    std::string CurrentLanguage = "en";

    void SetLanguage(const std::string& code);
};

// The one dictionary, created by the main window and kept until the program ends.
extern TTavrinTranslation* Translator;
