#include "survey/SurveySetup.h"

#include <gtest/gtest.h>

namespace {

SetupFieldTexts Valid() {
    SetupFieldTexts texts;
    texts.offsetA = "1.0";
    texts.offsetB = "2.0";
    texts.offsetC = "1.0";
    texts.soundVelocity = "1500";
    texts.tideHeight = "0.35";
    texts.location = "Haliç";
    texts.surveyBoat = "Martı 2";
    texts.surveyor = "A. Yılmaz";
    return texts;
}

std::optional<SetupRejection> Rejection(const SetupFieldTexts& texts,
                                        SetupLanguage language = SetupLanguage::English) {
    const auto result = SurveySetup::Check(texts, language);
    if (const auto* rejected = std::get_if<SetupRejection>(&result))
        return *rejected;
    return std::nullopt;
}

} // namespace

TEST(SurveySetupCheck, AcceptsAValidSetupWithItsNumbers) {
    const auto result = SurveySetup::Check(Valid(), SetupLanguage::English);
    ASSERT_TRUE(std::holds_alternative<AcceptedSurveySetup>(result));
    const auto& accepted = std::get<AcceptedSurveySetup>(result);
    EXPECT_DOUBLE_EQ(accepted.offsetA, 1.0);
    EXPECT_DOUBLE_EQ(accepted.offsetB, 2.0);
    EXPECT_DOUBLE_EQ(accepted.offsetC, 1.0);
    EXPECT_DOUBLE_EQ(accepted.soundVelocity, 1500);
    EXPECT_DOUBLE_EQ(accepted.tideHeight, 0.35);
    EXPECT_EQ(accepted.location, "Haliç");
    EXPECT_EQ(accepted.surveyBoat, "Martı 2");
    EXPECT_EQ(accepted.surveyor, "A. Yılmaz");
}

TEST(SurveySetupCheck, OffsetsMustCloseTheGeometryAsTheArithmeticGivesIt) {
    const struct {
        const char* a;
        const char* b;
        const char* c;
        bool accepted;
    } cases[] = {
        {"1.0", "2.0", "1.02", true},   // difference 0.02
        {"1.0", "2.0", "1.03", false},  // difference 0.03
        {"1.0", "2.5", "1.525", true},  // comes out just under 0.025
        {"1.2", "3.0", "1.775", false}, // comes out just over 0.025
        {"-0.5", "0", "0.5", true},
    };
    for (const auto& c : cases) {
        SetupFieldTexts texts = Valid();
        texts.offsetA = c.a;
        texts.offsetB = c.b;
        texts.offsetC = c.c;
        const auto rejected = Rejection(texts);
        SCOPED_TRACE(std::string(c.a) + " " + c.b + " " + c.c);
        if (c.accepted) {
            EXPECT_FALSE(rejected);
        } else {
            ASSERT_TRUE(rejected);
            EXPECT_EQ(rejected->field, SurveySetupField::OffsetA);
            EXPECT_EQ(rejected->message,
                      "Measurements contains error: A + C must be close enough to B.");
            EXPECT_FALSE(rejected->conversionError);
        }
    }
}

TEST(SurveySetupCheck, SoundVelocityFrom1300To1700) {
    const struct {
        const char* sv;
        bool accepted;
    } cases[] = {{"1300", true},      {"1700", true},   {"1299.999", false},
                 {"1700.001", false}, {"1500.5", true}, {"-1500", false}};
    for (const auto& c : cases) {
        SetupFieldTexts texts = Valid();
        texts.soundVelocity = c.sv;
        const auto rejected = Rejection(texts);
        SCOPED_TRACE(c.sv);
        if (c.accepted) {
            EXPECT_FALSE(rejected);
        } else {
            ASSERT_TRUE(rejected);
            EXPECT_EQ(rejected->field, SurveySetupField::SoundVelocity);
            EXPECT_EQ(rejected->message, "Error in Sound Velocity (SV) value");
        }
    }
}

TEST(SurveySetupCheck, OnlyTheFirstFaultInCheckOrderIsReported) {
    SetupFieldTexts texts = Valid();
    texts.offsetA = "";
    texts.tideHeight = "x";
    texts.location = "";
    texts.soundVelocity = "2000";
    auto rejected = Rejection(texts);
    ASSERT_TRUE(rejected);
    EXPECT_EQ(rejected->field, SurveySetupField::OffsetA);
    EXPECT_EQ(rejected->message, "Failed! Recheck offset A");

    // A field that does not begin with a number comes before the names, the names before the
    // whole-text conversion, that before the geometry and the velocity range.
    texts = Valid();
    texts.offsetC = "1.5 m";
    texts.tideHeight = "abc";
    texts.location = "";
    rejected = Rejection(texts);
    ASSERT_TRUE(rejected);
    EXPECT_EQ(rejected->field, SurveySetupField::TideHeight);
    EXPECT_EQ(rejected->message, "Failed! Recheck tide height");

    texts.tideHeight = "0";
    rejected = Rejection(texts);
    ASSERT_TRUE(rejected);
    EXPECT_EQ(rejected->field, SurveySetupField::Location);

    texts.location = " "; // a blank is a name
    rejected = Rejection(texts);
    ASSERT_TRUE(rejected);
    EXPECT_EQ(rejected->field, SurveySetupField::OffsetC);
    EXPECT_TRUE(rejected->conversionError);
    EXPECT_EQ(rejected->message, "'1.5 m' is not a valid floating point value");
}

TEST(SurveySetupCheck, EachFieldNamesItsOwnFault) {
    const struct {
        SurveySetupField field;
        const char* english;
        const char* turkish;
    } cases[] = {
        {SurveySetupField::OffsetA, "Failed! Recheck offset A",
         "Başarısız! A değerini yeniden kontrol ediniz."},
        {SurveySetupField::OffsetB, "Failed! Recheck offset B",
         "Başarısız! B değerini yeniden kontrol ediniz."},
        {SurveySetupField::OffsetC, "Failed! Recheck offset C",
         "Başarısız! C değerini yeniden kontrol ediniz."},
        {SurveySetupField::SoundVelocity, "Failed! Recheck SV value",
         "Başarısız! SV/SH değerini yeniden kontrol ediniz."},
        {SurveySetupField::TideHeight, "Failed! Recheck tide height",
         "Başarısız! Su kotunu kontrol ediniz."},
        {SurveySetupField::Location, "Failed! Location cannot be missing",
         "Başarısız! Yer adı boş olamaz"},
        {SurveySetupField::SurveyBoat, "Failed! Name/type of survey boat cannot be missing",
         "Başarısız! Ölçme aracının adı boş olamaz"},
        {SurveySetupField::Surveyor, "Failed! Name of surveyor cannot be missing",
         "Başarısız! Öçen kişinin adı boş olamaz"},
    };
    for (const auto& c : cases) {
        SetupFieldTexts texts = Valid();
        SurveySetup::Text(texts, c.field) = "";
        const auto english = Rejection(texts, SetupLanguage::English);
        const auto turkish = Rejection(texts, SurveySetup::LanguageOf("tr"));
        ASSERT_TRUE(english && turkish);
        EXPECT_EQ(english->field, c.field);
        EXPECT_EQ(english->message, c.english);
        EXPECT_EQ(turkish->message, c.turkish);
    }
    SetupFieldTexts texts = Valid();
    texts.offsetC = "3";
    EXPECT_EQ(Rejection(texts, SetupLanguage::Turkish)->message,
              "Ölçümlerde hata var: A + C toplamı B değerine yakın olması gerekir");
    texts = Valid();
    texts.soundVelocity = "1200";
    EXPECT_EQ(Rejection(texts, SetupLanguage::Turkish)->message, "SV/SE değerinde hata var");
}

TEST(SurveySetupCheck, TextsThatAreNotWholeFiniteNumbersNeverPass) {
    // Each text is tried in the tide field, which no later check looks at.
    const struct {
        const char* text;
        bool scans;
    } cases[] = {
        {"0.35 m", true}, {"nan", false},  {"inf", false},      {"-inf", false}, {"", false},
        {"   ", false},   {"1e999", true}, {"0x10", true},      {"1,5", true},   {"abc", false},
        {" 0.35", true},  {"+-1", false},  {"Infinity", false},
    };
    for (const auto& c : cases) {
        SetupFieldTexts texts = Valid();
        texts.tideHeight = c.text;
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SurveySetup::BeginsWithNumber(c.text), c.scans);
        const auto rejected = Rejection(texts);
        ASSERT_TRUE(rejected);
        EXPECT_EQ(rejected->field, SurveySetupField::TideHeight);
        EXPECT_EQ(rejected->conversionError, c.scans);
    }
    for (const char* text : {"0", "-0.5", "+2", ".5", "1e-3"}) {
        SetupFieldTexts texts = Valid();
        texts.tideHeight = text;
        EXPECT_FALSE(Rejection(texts)) << text;
    }
}

TEST(SurveySetupCheck, StoredValuesNeedNoNames) {
    SetupFieldTexts texts = Valid();
    texts.location.clear();
    texts.surveyBoat.clear();
    texts.surveyor.clear();
    EXPECT_TRUE(std::holds_alternative<AcceptedSurveySetup>(
        SurveySetup::Check(texts, SetupLanguage::English, false)));
    EXPECT_TRUE(Rejection(texts));
}

TEST(OffsetsLog, EnglishBlockBytes) {
    SetupFieldTexts texts = Valid();
    texts.tideHeight = "0.35 m"; // written as typed, whatever it holds
    const std::string block =
        SurveySetup::OffsetsLogBlock(texts, "2026-12-10 174512345", SetupLanguage::English, false);
    EXPECT_EQ(block, "\r\n\r\n"
                     "Tavrin Sounding Desk - offsets essential for post processing\r\n"
                     "Time..............................\t=2026-12-10 174512345\r\n"
                     "Survey Location...................\t=Haliç\r\n"
                     "Survey Boat.......................\t=Martı 2\r\n"
                     "Transducer Draft (A)..............\t=1.0\r\n"
                     "Transducer - Antenna Offset (B)...\t=2.0\r\n"
                     "Antenna Height Above Water (C)....\t=1.0\r\n"
                     "Sound Velocity....................\t=1500\r\n"
                     "Tide Height.......................\t=0.35 m\r\n"
                     "Surveyor..........................\t=A. Yılmaz");
    // Two blocks one after the other stand one empty line apart.
    const std::string twice = block + block;
    EXPECT_NE(twice.find("Yılmaz\r\n\r\nTavrin Sounding Desk"), std::string::npos);
}

TEST(OffsetsLog, TurkishBlockBytesWithTheProfileInUse) {
    const std::string block =
        SurveySetup::OffsetsLogBlock(Valid(), "2026-12-10", SetupLanguage::Turkish, true);
    EXPECT_EQ(block,
              "\r\n\r\n"
              "Tavrin Iskandil Masasi - veri işleme için gerekli değerler\r\n"
              "Zaman.......................................\t=2026-12-10\r\n"
              "Yer.........................................\t=Haliç\r\n"
              "Ölçme botu..................................\t=Martı 2\r\n"
              "Transduser su kesimi (A)....................\t=1.0\r\n"
              "Transduser ile GPS anteni arası mesafe (B)..\t=2.0\r\n"
              "Sudan antene olan mesafe (C)................\t=1.0\r\n"
              "Ses hızı....................................\t=Ses hızı profili kullanıldı\r\n"
              "Su kotu.....................................\t=0.35\r\n"
              "Ölçen.......................................\t=A. Yılmaz");
    EXPECT_NE(SurveySetup::OffsetsLogBlock(Valid(), "t", SetupLanguage::English, true)
                  .find("Sound Velocity....................\t=Sound velocity profile used\r\n"),
              std::string::npos);
}

TEST(OffsetsLog, SettingsKeysKeepTheirPaddingAndOrder) {
    const auto keys = SurveySetup::KeysWritten(Valid(), "2026-12-10 174512345");
    ASSERT_EQ(keys.size(), 9u);
    const char* expected[] = {"Offset A     ", "Offset B     ", "Offset C     ",
                              "SV           ", "Tide Height  ", "Time         ",
                              "Surveyor     ", "SurveyBoat   ", "SurveyLocation"};
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(keys[i].first, expected[i]);
    EXPECT_EQ(keys[5].second, "2026-12-10 174512345");
    EXPECT_EQ(keys[8].second, "Haliç");
    EXPECT_EQ(SurveySetup::KeysRead().size(), 8u);
}
