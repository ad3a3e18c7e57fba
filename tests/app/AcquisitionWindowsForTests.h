#pragma once

#include "app/survey_windows/AcquisitionSession.h"
#include "tools/surveysim/ExampleDatum.h"

#include <string>
#include <utility>
#include <vector>

// The windows as values: what acquisition reads and what it shows, recorded.
struct AcquisitionWindowsForTests : AcquisitionInputs, AcquisitionDisplay {
    SetupTexts setup{"0.40", "1530", "1.5", "0.35"};
    bool setupVisible = false;
    GeodeticTexts geodetic = ExampleLocalDatum();
    bool sensorEnabled = true;
    std::string type = "NMEA DBT";
    std::string format = "%*6s,%*lf,%*1s,%lf";
    int formatValues = 1;
    double alert = 0.5;
    bool portPagesApply = true;
    // The sound velocity profile's column while "Use SVP" is ticked; none when unticked.
    const std::vector<std::string>* profile = nullptr;

    std::vector<std::pair<std::string, bool>> messages;
    std::vector<std::string> memo, events, refusals, focus;
    bool running = false, pressed = false;
    std::vector<bool> alerts;
    std::vector<std::string> gnssLines, sounderLines;
    // The high depths the read-outs showed.
    std::vector<double> shownDepths;

    SetupTexts SurveySetupTexts() override { return setup; }
    bool SetupWindowVisible() override { return setupVisible; }
    GeodeticTexts GeodeticSettings() override { return geodetic; }
    // The geodetic page's own check is the device settings window's; the snapshot checks here.
    bool GeodeticSettingsUsable(std::string*, std::string*) override { return true; }
    bool SensorEnabled() override { return sensorEnabled; }
    bool GyroEnabled() override { return false; }
    std::string SounderTypeName() override { return type; }
    std::string SounderFormat() override { return format; }
    int SounderFormatValues(const std::string&, std::string* reason) override {
        if (formatValues < 0 && reason)
            *reason = "'%d' is not a sounder conversion";
        return formatValues;
    }
    bool CopyPortSettings() override { return portPagesApply; }
    double ShallowAlertDepth() override { return alert; }
    const std::vector<std::string>* SoundVelocityColumn() override { return profile; }
    bool EnglishMessages() override { return true; }

    void Message(const std::string& text, bool show) override {
        messages.emplace_back(text, show);
        events.push_back(text);
    }
    void MemoOnly(const std::string& text) override { memo.push_back(text); }
    void EventLogOnly(const std::string& text) override { events.push_back(text); }
    void RefuseStart(const std::string& text, const std::string& control) override {
        refusals.push_back(text);
        focus.push_back(control);
    }
    void ShowRunning(bool value) override { running = value; }
    void SetRealtimePressed(bool value) override { pressed = value; }
    bool RealtimePressed() override { return pressed; }
    void GnssBox(uint32_t) override {}
    void MonitorLine(bool gnss, const std::string& line) override {
        (gnss ? gnssLines : sounderLines).push_back(line);
    }
    void Speed(double) override {}
    void SounderLineShown(const SounderLineOutcome& outcome, const std::string&) override {
        if (outcome.Valid)
            shownDepths.push_back(outcome.TrueDepthHigh);
    }
    void ShallowAlert(bool shallow) override { alerts.push_back(shallow); }
    void AcquisitionStarted(bool) override {}
    void AcquisitionStopped() override {}
    void SensorSilent() override {}
    void GnssConnected() override {}
};

