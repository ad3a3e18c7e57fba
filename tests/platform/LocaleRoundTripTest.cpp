#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/NumericLocale.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace {

// Restores the C numeric locale however the test ends.
struct LocaleScope {
    ~LocaleScope() { ResetNumericLocale(); }
};

TEST(LocaleRoundTrip, NumbersSurviveAFileUnderTheTurkishLocale) {
    LocaleScope scope;
    ASSERT_NE(std::setlocale(LC_ALL, "tr_TR.UTF-8"), nullptr)
        << "the tr_TR.UTF-8 locale is missing; `make deps` generates it";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 0.5);
    ASSERT_STREQ(text, "0,5") << "the locale should write a decimal comma";

    QTemporaryDir dir;
    const QString path = dir.path() + "/numbers.INI";
    const double values[] = {0.0033528106647474, -12.75, 4512345.678, 6378137.0, 1.5e-7};
    {
        IniFile ini(path);
        for (int i = 0; i < 5; ++i) {
            ini.writeFloat("N", QString("g%1").arg(i), values[i]);
            ini.writeString("N", QString("f%1").arg(i),
                            QString::fromStdString(FormatFixed(values[i], 3)));
        }
    }
    const IniFile ini(path);
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(ini.readFloat("N", QString("g%1").arg(i), 999), values[i]);
        const std::string fixed = ini.readString("N", QString("f%1").arg(i)).toStdString();
        EXPECT_EQ(fixed.find(','), std::string::npos) << fixed;
        double parsed = 999;
        EXPECT_TRUE(ParseNumber(std::string_view(fixed), parsed)) << fixed;
    }
    EXPECT_EQ(ini.readString("N", "f1"), "-12.750");
}

} // namespace
