#include "app/TTavrinTranslation.h"

TTavrinTranslation* Translator = nullptr;

void TTavrinTranslation::SetLanguage(const std::string& code) {
    if (code == CurrentLanguage)
        return;
    CurrentLanguage = code;
}
