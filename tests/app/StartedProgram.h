#pragma once

#include "app/main_window/TFNav.h"
#include "app/program/ProgramStart.h"
#include "app/survey_windows/TOffsets.h"
#include "language/TTavrinTranslation.h"

#include "platform/IniFile.h"

#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>

#include <gtest/gtest.h>

// Each test starts the program's windows from a settings file it writes itself and tears them
// down again, so tests do not see each other's language, windows or settings.
class StartedProgram : public ::testing::Test {
public:
    // The settings file as it stands on disk; empty when there is none.
    static QByteArray settingsFileBytes() {
        QFile file(TestEnvironment::settingsFile());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll();
    }

protected:
    void SetUp() override {
        QFile::remove(TestEnvironment::settingsFile());
        TestEnvironment::dialogs().clear();
        // The dictionary lives for the whole run in the program; each test is a new run.
        delete Translator;
        Translator = nullptr;
    }

    void TearDown() override {
        DestroyApplicationWindows();
        QApplication::processEvents();
    }

    static void writeSetting(const QString& section, const QString& key, const QString& value) {
        IniFile ini(TestEnvironment::settingsFile());
        ini.writeString(section, key, value);
    }

    // The place and size a run stored for the window whose section is `section`.
    static void storeWindowPlace(const QString& section, int left, int top, int width, int height) {
        writeSetting(section, QStringLiteral("Left"), QString::number(left));
        writeSetting(section, QStringLiteral("Top"), QString::number(top));
        writeSetting(section, QStringLiteral("Width"), QString::number(width));
        writeSetting(section, QStringLiteral("Height"), QString::number(height));
    }

    // Values the set-up window takes as they stand, in each of its fields.
    static void fillTheSetUpWindowValidly() {
        Offsets->OffsetA->setText(QStringLiteral("1.0"));
        Offsets->OffsetB->setText(QStringLiteral("2.0"));
        Offsets->OffsetC->setText(QStringLiteral("1.02"));
        Offsets->SV->setText(QStringLiteral("1480"));
        Offsets->TideHt->setText(QStringLiteral("0.35"));
        Offsets->Location->setText(QStringLiteral("Haliç"));
        Offsets->SurveyBoat->setText(QStringLiteral("Martı"));
        Offsets->Surveyor->setText(QStringLiteral("Deniz"));
    }

    // Creates the windows and shows the main window, as the entry does before its loop.
    static void start() {
        CreateApplicationWindows();
        FNav->show();
        QApplication::processEvents();
    }
};
