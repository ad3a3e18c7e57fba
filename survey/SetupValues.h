#pragma once

#include <optional>
#include <string>

// The four survey set-up values the acquisition uses: transducer draft (A), sound velocity,
// antenna height above water (C) and the manual tide height.
struct SetupTexts {
    std::string OffsetA;
    std::string SV;
    std::string OffsetC;
    std::string TideHt;
};

struct SetupValues {
    double OffsetA = 0;
    double SoundVelocity = 0;
    double OffsetC = 0;
    double TideHeight = 0;
};

enum class SetupField { OffsetA, OffsetC, SV, TideHt };

// Lowest and highest single sound velocity the set-up accepts (m/s).
inline constexpr double kLowestSoundVelocity = 1300;
inline constexpr double kHighestSoundVelocity = 1700;

struct SetupRefusal {
    SetupField field;
    bool outOfRange = false; // the sound velocity is a number outside 1300..1700
};

// Converts the four texts strictly (blanks around the number allowed, '.' only, no nan or inf).
// Returns the first field that fails, in the set-up window's order (A, C, SV, tide); the sound
// velocity also fails outside 1300..1700. `out` is written only when every field passes.
std::optional<SetupRefusal> ReadSetupValues(const SetupTexts& texts, SetupValues& out);

// The set-up window's own message for a refused field, English or Turkish.
std::string SetupFieldMessage(SetupField field, bool english, bool outOfRange);

// The name of the set-up window's control for a field ("OffsetA", "SV", ...).
const char* SetupFieldControlName(SetupField field);
