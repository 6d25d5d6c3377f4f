#pragma once
// The kept settings onto the windows' controls and state variables, and back.
#include "app/AppSettings.h"

class TMainForm;

// What the windows hold now (at start: their initial state).
vemo::AppSettings CaptureSettings(const TMainForm& form);

// Puts the values into the controls and state they feed. Out-of-range values go in as read:
// a radio group selects its last item for an index beyond it and none below 0. The port and
// speed lists are selected last of all, by SelectPortAndSpeed.
void ApplySettings(TMainForm& form, const vemo::AppSettings& s);

// Selects the saved port (by its name when the list has that port, else by its index) and
// speed; a list shows no selection for an index it does not have.
void SelectPortAndSpeed(TMainForm& form, const vemo::AppSettings& s);

// The user's store onto the windows (the first show) and the windows into it (the close).
// Storing reports nothing: a store that cannot be written is passed over.
vemo::AppSettings LoadUserSettings(TMainForm& form);
void StoreUserSettings(const TMainForm& form);
