#include "survey/SurveySetup.h"

#include "platform/NumberText.h"

#include <charconv>
#include <cmath>

namespace {

struct Wording {
    const char* english;
    const char* turkish;
};

const char* Pick(const Wording& wording, SetupLanguage language) {
    return language == SetupLanguage::English ? wording.english : wording.turkish;
}

// Field did not scan, or (for the names) is empty; indexed by SurveySetupField.
const Wording fieldMessages[] = {
    {"Failed! Recheck offset A", "Başarısız! A değerini yeniden kontrol ediniz."},
    {"Failed! Recheck offset B", "Başarısız! B değerini yeniden kontrol ediniz."},
    {"Failed! Recheck offset C", "Başarısız! C değerini yeniden kontrol ediniz."},
    {"Failed! Recheck SV value", "Başarısız! SV/SH değerini yeniden kontrol ediniz."},
    {"Failed! Recheck tide height", "Başarısız! Su kotunu kontrol ediniz."},
    {"Failed! Location cannot be missing", "Başarısız! Yer adı boş olamaz"},
    {"Failed! Name/type of survey boat cannot be missing",
     "Başarısız! Ölçme aracının adı boş olamaz"},
    {"Failed! Name of surveyor cannot be missing", "Başarısız! Öçen kişinin adı boş olamaz"},
};

const Wording offsetsDisagree = {
    "Measurements contains error: A + C must be close enough to B.",
    "Ölçümlerde hata var: A + C toplamı B değerine yakın olması gerekir"};
const Wording soundVelocityOutOfRange = {"Error in Sound Velocity (SV) value",
                                         "SV/SE değerinde hata var"};
const Wording timeFormat = {
    "Time format does not fit requirements. The date and time fromat must be YYYY-DD-MM "
    "HHmmssfff",
    "Tarih ve saat formatı gereksinimleri karşılamıyor. Bilgisayar tarih ve zaman formatının "
    "YYYY-DD-MM HHmmssfff olduguna emin olunuz."};

const Wording logTitle = {"Tavrin Sounding Desk - offsets essential for post processing",
                          "Tavrin Iskandil Masasi - veri işleme için gerekli değerler"};
// The value lines' labels, already padded with dots: 34 characters in English, 44 in Turkish.
const Wording logLabels[] = {
    {"Time..............................", "Zaman......................................."},
    {"Survey Location...................", "Yer........................................."},
    {"Survey Boat.......................", "Ölçme botu.................................."},
    {"Transducer Draft (A)..............", "Transduser su kesimi (A)...................."},
    {"Transducer - Antenna Offset (B)...", "Transduser ile GPS anteni arası mesafe (B).."},
    {"Antenna Height Above Water (C)....", "Sudan antene olan mesafe (C)................"},
    {"Sound Velocity....................", "Ses hızı...................................."},
    {"Tide Height.......................", "Su kotu....................................."},
    {"Surveyor..........................", "Ölçen......................................."},
};
const Wording profileUsed = {"Sound velocity profile used", "Ses hızı profili kullanıldı"};

const Wording logFailure = {"The offsets log %1 cannot be written: %2",
                            "Ofset kaydı %1 yazılamıyor: %2"};

constexpr SurveySetupField numericFields[] = {
    SurveySetupField::OffsetA, SurveySetupField::OffsetB, SurveySetupField::OffsetC,
    SurveySetupField::SoundVelocity, SurveySetupField::TideHeight};
constexpr SurveySetupField nameFields[] = {SurveySetupField::Location, SurveySetupField::SurveyBoat,
                                           SurveySetupField::Surveyor};

bool IsScanBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string ReplaceFirst(std::string text, std::string_view marker, const std::string& value) {
    const size_t at = text.find(marker);
    if (at != std::string::npos)
        text.replace(at, marker.size(), value);
    return text;
}

} // namespace

SetupLanguage SurveySetup::LanguageOf(const std::string& languageCode) {
    return languageCode == "en" ? SetupLanguage::English : SetupLanguage::Turkish;
}

std::string& SurveySetup::Text(SetupFieldTexts& texts, SurveySetupField field) {
    switch (field) {
    case SurveySetupField::OffsetA:
        return texts.offsetA;
    case SurveySetupField::OffsetB:
        return texts.offsetB;
    case SurveySetupField::OffsetC:
        return texts.offsetC;
    case SurveySetupField::SoundVelocity:
        return texts.soundVelocity;
    case SurveySetupField::TideHeight:
        return texts.tideHeight;
    case SurveySetupField::Location:
        return texts.location;
    case SurveySetupField::SurveyBoat:
        return texts.surveyBoat;
    case SurveySetupField::Surveyor:
        break;
    }
    return texts.surveyor;
}

const std::string& SurveySetup::Text(const SetupFieldTexts& texts, SurveySetupField field) {
    return Text(const_cast<SetupFieldTexts&>(texts), field);
}

bool SurveySetup::BeginsWithNumber(std::string_view text) {
    while (!text.empty() && IsScanBlank(text.front()))
        text.remove_prefix(1);
    // One sign at most; from_chars takes a minus but no plus.
    const bool plus = !text.empty() && text.front() == '+';
    if (plus)
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const char first = text.front();
    // from_chars also reads "inf" and "nan", which are no depth, velocity or offset.
    if (!((first == '-' && !plus) || first == '.' || (first >= '0' && first <= '9')))
        return false;
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (end == text.data())
        return false;
    // Out of range still begins with a number; the whole-text conversion refuses it later.
    return error == std::errc::result_out_of_range || std::isfinite(value);
}

std::string SurveySetup::NotANumberMessage(const std::string& text) {
    return "'" + text + "' is not a valid floating point value";
}

std::string SurveySetup::TimeFormatWarning(SetupLanguage language) {
    return Pick(timeFormat, language);
}

std::variant<AcceptedSurveySetup, SetupRejection>
SurveySetup::Check(const SetupFieldTexts& texts, SetupLanguage language, bool requireNames) {
    const auto reject = [language](SurveySetupField field) {
        return SetupRejection{field, Pick(fieldMessages[int(field)], language), false};
    };
    for (SurveySetupField field : numericFields) {
        if (!BeginsWithNumber(Text(texts, field)))
            return reject(field);
    }
    if (requireNames) {
        for (SurveySetupField field : nameFields) {
            if (Text(texts, field).empty())
                return reject(field);
        }
    }
    // Every number must be one as a whole: a tide of "0.35 m" would otherwise pass here and
    // fail each line that reads it later.
    double values[std::size(numericFields)] = {};
    for (size_t i = 0; i < std::size(numericFields); ++i) {
        const std::string& text = Text(texts, numericFields[i]);
        if (!ParseNumber(std::string_view(text), values[i]))
            return SetupRejection{numericFields[i], NotANumberMessage(text), true};
    }
    AcceptedSurveySetup accepted;
    accepted.offsetA = values[0];
    accepted.offsetB = values[1];
    accepted.offsetC = values[2];
    accepted.soundVelocity = values[3];
    accepted.tideHeight = values[4];
    // Compared as the arithmetic gives it: 1.0 + 1.525 - 2.5 passes, 1.2 + 1.775 - 3.0 not.
    if (std::fabs(accepted.offsetA + accepted.offsetC - accepted.offsetB) > 0.025)
        return SetupRejection{SurveySetupField::OffsetA, Pick(offsetsDisagree, language), false};
    if (accepted.soundVelocity > 1700 || accepted.soundVelocity < 1300)
        return SetupRejection{SurveySetupField::SoundVelocity,
                              Pick(soundVelocityOutOfRange, language), false};
    accepted.location = texts.location;
    accepted.surveyBoat = texts.surveyBoat;
    accepted.surveyor = texts.surveyor;
    return accepted;
}

std::string SurveySetup::OffsetsLogBlock(const SetupFieldTexts& texts, const std::string& timeText,
                                         SetupLanguage language, bool profileInUse) {
    const std::string values[] = {
        timeText,
        texts.location,
        texts.surveyBoat,
        texts.offsetA,
        texts.offsetB,
        texts.offsetC,
        profileInUse ? std::string(Pick(profileUsed, language)) : texts.soundVelocity,
        texts.tideHeight,
        texts.surveyor,
    };
    std::string block = "\r\n\r\n";
    block += Pick(logTitle, language);
    for (size_t i = 0; i < std::size(values); ++i) {
        block += "\r\n";
        block += Pick(logLabels[i], language);
        block += "\t=";
        block += values[i];
    }
    return block;
}

std::string SurveySetup::OffsetsLogFailure(const std::string& path, const std::string& reason,
                                           SetupLanguage language) {
    return ReplaceFirst(ReplaceFirst(Pick(logFailure, language), "%1", path), "%2", reason);
}

std::vector<std::pair<SurveySetupField, const char*>> SurveySetup::KeysRead() {
    return {
        {SurveySetupField::OffsetA, "Offset A"},
        {SurveySetupField::OffsetB, "Offset B"},
        {SurveySetupField::OffsetC, "Offset C"},
        {SurveySetupField::TideHeight, "Tide Height"},
        {SurveySetupField::SoundVelocity, "SV"},
        {SurveySetupField::Surveyor, "Surveyor"},
        {SurveySetupField::SurveyBoat, "SurveyBoat"},
        {SurveySetupField::Location, "SurveyLocation"},
    };
}

std::vector<std::pair<std::string, std::string>>
SurveySetup::KeysWritten(const SetupFieldTexts& texts, const std::string& timeText) {
    return {
        {"Offset A     ", texts.offsetA},    {"Offset B     ", texts.offsetB},
        {"Offset C     ", texts.offsetC},    {"SV           ", texts.soundVelocity},
        {"Tide Height  ", texts.tideHeight}, {"Time         ", timeText},
        {"Surveyor     ", texts.surveyor},   {"SurveyBoat   ", texts.surveyBoat},
        {"SurveyLocation", texts.location},
    };
}
