#pragma once
// The master switch of the whole add-on: `isTweakEnabled` in MainSettings.
// Both functions are exported under their C names, so that anything that
// loads the library can flip the switch without knowing its C++ side.
#define MORNAQ_EXPORT __attribute__((visibility("default")))

extern "C" {

// Stores the switch (creating MainSettings when it is missing), then posts
// "com.corvane.halbrin.mornaqprefs/prefsupdated" system-wide and logs the
// state, also when it did not change.
MORNAQ_EXPORT void MqSetState(bool state);

// Why this process's last MqSetState could not store the switch; null when it
// did, or when there was none. Valid until the next MqSetState.
MORNAQ_EXPORT const char* MqSetStateFailure();

// The stored switch; NO when the key or the file is missing.
MORNAQ_EXPORT bool MqGetState();
}
