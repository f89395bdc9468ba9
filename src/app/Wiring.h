#pragma once
// Connects the windows of the subsystems to the main menu's commands.

namespace brelvo::app {
class TFormMenu;
void wireSubsystemWindows(TFormMenu &menu);
}
