#pragma once
// Start at boot for the data directory: the registered-at-boot flag and the Install command.
namespace aequa::ui {

// Reads whether the program is registered to start at boot (start-up).
void CheckBootRegistration();
bool RegisteredAtBoot();
// The Install command: registers when not registered, else unregisters; logs the outcome.
void ToggleBootRegistration();
// First start: once per settings file, registers unless registered, and writes AutoInstall=1.
void RegisterOnFirstStart();

}  // namespace aequa::ui
