// Scripts for the headless device: a small text of taps, keys, typed text, menu choices,
// waits on the device's clock, screenshots and checks that drives a real program run.
// Once started, the device asks the script for the next step whenever the program has
// nothing left to do and would wait. The headless reader (tools/headless_reader) uses it;
// docs/headless-scripts.md describes the format.
#pragma once

#include <string>

namespace headless::script {

// Reads a script from a file ("-" reads standard input), replacing any script loaded
// before; false with a message that names the line when it cannot be read or a line is
// malformed.
bool Load(const char* path, std::string& error);
// The same from text; name stands for the file in messages.
bool LoadText(const std::string& text, const char* name, std::string& error);

// Installs the headless device (if no device is in force yet) with the script in front
// of it: from now on the program's waits run the script's steps. When the steps run out,
// the program is asked to close, as a window's close button does.
void Start();

// Runs what is left of the script after the program ended: checks, screenshots and
// messages still run; input, waits and pauses are skipped with a note. Then puts the plain
// headless device back.
void Finish();

// The checks that failed so far (each was reported on standard error).
int Failures();

}  // namespace headless::script
