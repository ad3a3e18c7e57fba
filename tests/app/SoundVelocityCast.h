#pragma once

#include "app/sound_velocity/TfSVP.h"

#include "platform/ScriptedDialogs.h"

#include <QString>

#include <string>

// The survey tests' casts (tests/survey/data/, made by make_svp_cast.py).
inline const std::string SvpCastFolder = std::string(TESTS_DIR) + "/survey/data/";

// Builds the velocity column of cast_default.txt through the sound velocity window's own
// steps, as the operator would: open, extract (OK: skip the readings in air), average, build.
inline void BuildDefaultCast(ScriptedDialogs& dialogs) {
    dialogs.answerFile(QString::fromStdString(SvpCastFolder + "cast_default.txt"));
    fSVP->BitBtn1Click();
    dialogs.answer(DialogAnswer::Ok);
    fSVP->bRawToSVVClick();
    fSVP->bSVVtoAveragedSVClick();
    fSVP->bAveragedSVtoSVPClick();
}
