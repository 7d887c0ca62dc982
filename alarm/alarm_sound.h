#pragma once
// The sound worker: the alarm sound, played on a thread of its own.

// Plays the sound that the user gave the alarm event (or the sound file
// named, or the default sound for null) on a thread that nobody waits for;
// without a thread there is no sound and nothing else changes. The name
// must live until the run ends.
void StartAlarmSound(const char* strAlarmSound);
