#pragma once

class QString;

// What the sound velocity window asks of the rest of the program: the set-up window told
// whether a profile or its single sound velocity is used, a line in the message window, and
// the project saved. The main window answers.
class SoundVelocityLinks {
public:
    virtual ~SoundVelocityLinks() = default;
    // The set-up window's single sound velocity is locked while a profile is used; its button
    // says which one is.
    virtual void ShowSoundVelocityUse(bool profileUsed, const QString& caption) = 0;
    virtual void Message(const QString& text) = 0;
    virtual void SaveProject() = 0;
};
