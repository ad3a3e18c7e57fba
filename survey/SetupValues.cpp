#include "survey/SetupValues.h"

#include "survey/FieldNumber.h"

std::optional<SetupRefusal> ReadSetupValues(const SetupTexts& texts, SetupValues& out) {
    SetupValues values;
    if (!ReadFieldNumber(texts.OffsetA, values.OffsetA))
        return SetupRefusal{SetupField::OffsetA};
    if (!ReadFieldNumber(texts.OffsetC, values.OffsetC))
        return SetupRefusal{SetupField::OffsetC};
    if (!ReadFieldNumber(texts.SV, values.SoundVelocity))
        return SetupRefusal{SetupField::SV};
    if (values.SoundVelocity < kLowestSoundVelocity || values.SoundVelocity > kHighestSoundVelocity)
        return SetupRefusal{SetupField::SV, true};
    if (!ReadFieldNumber(texts.TideHt, values.TideHeight))
        return SetupRefusal{SetupField::TideHt};
    out = values;
    return std::nullopt;
}

std::string SetupFieldMessage(SetupField field, bool english, bool outOfRange) {
    switch (field) {
    case SetupField::OffsetA:
        return english ? "Failed! Recheck offset A"
                       : "Başarısız! A değerini yeniden kontrol ediniz.";
    case SetupField::OffsetC:
        return english ? "Failed! Recheck offset C"
                       : "Başarısız! C değerini yeniden kontrol ediniz.";
    case SetupField::SV:
        if (outOfRange)
            return english ? "Error in Sound Velocity (SV) value"
                           : "SV/SE değerinde hata var";
        return english ? "Failed! Recheck SV value"
                       : "Başarısız! SV/SH değerini yeniden kontrol ediniz.";
    case SetupField::TideHt:
        return english ? "Failed! Recheck tide height"
                       : "Başarısız! Su kotunu kontrol ediniz.";
    }
    return {};
}

const char* SetupFieldControlName(SetupField field) {
    switch (field) {
    case SetupField::OffsetA: return "OffsetA";
    case SetupField::OffsetC: return "OffsetC";
    case SetupField::SV: return "SV";
    case SetupField::TideHt: return "TideHt";
    }
    return "";
}
