#pragma once

// Registers the counterpart and project pickers with PickerRegistry, so that
// the entry windows of lower folders show their pick buttons. Called once by
// the main window; tests call it too.
void RegisterCounterpartPickers();
