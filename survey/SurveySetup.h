#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

// The survey set-up as the operator types it: the offsets between transducer, water surface
// and GNSS antenna, the single sound velocity, the manual tide and the survey's names. Texts
// are UTF-8, exactly as they stand in the fields.
struct SetupFieldTexts {
    std::string offsetA;       // transducer draft (m)
    std::string offsetB;       // transducer to GNSS antenna (m)
    std::string offsetC;       // GNSS antenna above the water (m)
    std::string soundVelocity; // m/s
    std::string tideHeight;    // m
    std::string location;
    std::string surveyBoat;
    std::string surveyor;
};

// A set-up that passed every check: the only values a sounding may be corrected with.
struct AcceptedSurveySetup {
    double offsetA = 0;       // transducer draft below the water surface (m)
    double offsetB = 0;       // transducer to GNSS antenna (m)
    double offsetC = 0;       // GNSS antenna above the water surface (m)
    double soundVelocity = 0; // single sound velocity (m/s), 1300 to 1700
    double tideHeight = 0;    // manual tide height (m)
    std::string location;
    std::string surveyBoat;
    std::string surveyor;
};

enum class SetupLanguage { English, Turkish };

enum class SurveySetupField {
    OffsetA,
    OffsetB,
    OffsetC,
    SoundVelocity,
    TideHeight,
    Location,
    SurveyBoat,
    Surveyor
};

// Why a set-up was refused: the first fault in the order the checks run, with the field that
// takes the focus. A text that begins with a number but is not one as a whole ("0.35 m") is a
// conversion error: its message is the number conversion's own, and the focus stays where it is.
struct SetupRejection {
    SurveySetupField field;
    std::string message;
    bool conversionError = false;
};

// The set-up's checks, its offsets-log block and its settings keys, without a window.
class SurveySetup {
public:
    // Messages and the log block are English for "en" and Turkish for any other language.
    static SetupLanguage LanguageOf(const std::string& languageCode);

    // Runs the checks in order: each numeric field must begin with a number, then the three
    // names must not be empty (only with `requireNames`), then every numeric field must be a
    // number as a whole, then |A + C - B| <= 0.025 m, then 1300 <= SV <= 1700 m/s.
    static std::variant<AcceptedSurveySetup, SetupRejection>
    Check(const SetupFieldTexts& texts, SetupLanguage language, bool requireNames = true);

    // True when the text, after leading blanks, begins with a finite number, as a "%lf" scan
    // would read one; what follows the number is not looked at.
    static bool BeginsWithNumber(std::string_view text);

    // The message a text that is not a number gets when the operator leaves its field.
    static std::string NotANumberMessage(const std::string& text);

    // The warning shown when the clock label holds a colon.
    static std::string TimeFormatWarning(SetupLanguage language);

    // The block appended to the day's offsets log for an accepted set-up: two line ends, the
    // title and nine value lines, CR LF line ends and none at the end, so blocks written one
    // after another stand one empty line apart. Line 7 names the sound velocity profile
    // instead of the single velocity while a profile is in use.
    static std::string OffsetsLogBlock(const SetupFieldTexts& texts, const std::string& timeText,
                                       SetupLanguage language, bool profileInUse);

    // "The offsets log <path> cannot be written: <reason>" in the set-up's language.
    static std::string OffsetsLogFailure(const std::string& path, const std::string& reason,
                                         SetupLanguage language);

    // The settings section and its keys.
    static constexpr const char* Section = "ECHOSOUNDER_OFFSETS";
    // Keys read when the window is shown, in the order they are read.
    static std::vector<std::pair<SurveySetupField, const char*>> KeysRead();
    // The nine (key, value) pairs written for an accepted set-up, in order, with the keys padded
    // with blanks as the file has always held them.
    static std::vector<std::pair<std::string, std::string>>
    KeysWritten(const SetupFieldTexts& texts, const std::string& timeText);

    // The field's text in `texts`.
    static std::string& Text(SetupFieldTexts& texts, SurveySetupField field);
    static const std::string& Text(const SetupFieldTexts& texts, SurveySetupField field);
};
