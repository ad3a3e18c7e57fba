#pragma once

class QLineEdit;

// What the survey set-up window asks of the rest of the program: the project saved before its
// checks, a survey started, the sound velocity and NTRIP windows shown, and the on-screen
// keyboards for its fields. The main window answers.
class SetUpWindowLinks {
public:
    virtual ~SetUpWindowLinks() = default;
    virtual void SaveProject() = 0;
    // Presses Start on the main window.
    virtual void StartSurvey() = 0;
    virtual void ShowSoundVelocity() = 0;
    virtual void ShowNtripModally() = 0;
    // The keyboard for a text field, the numeric keypad for a number field.
    virtual void ShowKeyboard(QLineEdit* field, bool text) = 0;
};
