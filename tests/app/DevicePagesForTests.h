#pragma once

#include "app/devices/TFGPS.h"

#include "platform/IniFile.h"

#include "tests/support/TestEnvironment.h"
#include "tools/surveysim/ExampleDatum.h"
#include "tools/surveysim/SurveySettingsFile.h"

#include <QComboBox>
#include <QStringList>

// A port page as an operator fills it in: port `number` with the line settings the lists offer,
// in the page's order (port, baud rate, data width, stop bits, parity, priority, delay, NMEA log,
// log time, DTR, RTS).
inline QStringList WorkingPortPage(int number) {
    return {QStringLiteral("COM%1").arg(number),
            QStringLiteral("9600"),
            QStringLiteral("8"),
            QStringLiteral("1"),
            QStringLiteral("None"),
            QStringLiteral("Normal"),
            QStringLiteral("5"),
            QStringLiteral("False"),
            QStringLiteral("False"),
            QStringLiteral("True"),
            QStringLiteral("True")};
}

// Stores that page where the device settings window loads it from, so a window created
// afterwards opens `number` at Start.
inline void StorePortPage(bool gnss, int number) {
    IniFile ini(TestEnvironment::settingsFile());
    WritePortPage(ini, gnss, WorkingPortPage(number));
}

// Types that page into the window as it stands.
inline void FillPortPage(bool gnss, int number) {
    QComboBox* const boxes[2][11] = {
        {FGPS->Port, FGPS->BaudRate, FGPS->DataWidth, FGPS->StopBits, FGPS->Parity, FGPS->Priority,
         FGPS->Delay, FGPS->NMEALog, FGPS->LogTime, FGPS->EnableDTR, FGPS->EnableRTS},
        {FGPS->SPort, FGPS->SBaudRate, FGPS->SDataWidth, FGPS->SStopBits, FGPS->SParity,
         FGPS->SPriority, FGPS->SDelay, FGPS->SNMEALog, FGPS->SLogTime, FGPS->SEnableDTR,
         FGPS->SEnableRTS}};
    const QStringList texts = WorkingPortPage(number);
    for (int i = 0; i < 11; ++i)
        boxes[gnss ? 0 : 1][i]->setCurrentText(texts[i]);
}

// Stores a geodetic page that a run can use (the edits start empty, and Start refuses empty
// edits).
inline void StoreGeodeticParameters(const GeodeticTexts& t = ExampleLocalDatum()) {
    IniFile ini(TestEnvironment::settingsFile());
    WriteGeodeticParameters(ini, t);
}

// Stores what a run needs besides the ports: the set-up window's draft, sound velocity, offset
// and tide (keys padded as the window writes them), and a usable geodetic page.
inline void StoreSurveySetUp() {
    {
        IniFile ini(TestEnvironment::settingsFile());
        const QString section = QStringLiteral("ECHOSOUNDER_OFFSETS");
        ini.writeString(section, QStringLiteral("Offset A     "), QStringLiteral("0.40"));
        ini.writeString(section, QStringLiteral("SV           "), QStringLiteral("1530"));
        ini.writeString(section, QStringLiteral("Offset C     "), QStringLiteral("1.5"));
        ini.writeString(section, QStringLiteral("Tide Height  "), QStringLiteral("0.35"));
    }
    StoreGeodeticParameters();
}
