#pragma once

class DeviceSettingsLinks;
class EchogramWindowLinks;
class NavigationSettingsLinks;
class NtripWindowLinks;
class RealtimeWindowLinks;
class RunlineWindowLinks;
class SetUpWindowLinks;
class SoundVelocityLinks;
class ThemeWindowLinks;

// The main window's answers to what each tool window asks of the rest of the program (the
// interfaces sit beside the windows that need them). One object per window for the program's
// life: each reads the main window and the other windows as they stand at the call, so a
// window made again later is reached as well, and a call while one is missing does nothing.
namespace MainWindowLinks {
DeviceSettingsLinks& DeviceSettings();
NavigationSettingsLinks& NavigationSettings();
SetUpWindowLinks& SetUpWindow();
RealtimeWindowLinks& RealtimeWindow();
EchogramWindowLinks& EchogramWindow();
SoundVelocityLinks& SoundVelocity();
RunlineWindowLinks& RunlineWindow();
ThemeWindowLinks& ThemeWindow();
NtripWindowLinks& NtripWindow();
} // namespace MainWindowLinks
