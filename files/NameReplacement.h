#pragma once

#include "files/DiagnosticRecord.h"

#include <string>

// Names written into data files must be usable as MAT variable and field names. The counter
// numbers the replaced names of one save and is advanced for every replacement.

// An empty graph name becomes "no_caption<counter>".
void fixGraphName(std::string& caption, int& counter);

// Every space becomes "_"; an empty channel name becomes "no_caption<counter>".
void fixChannelName(std::string& caption, int& counter);

// The variable of a diagnostic view's figures: "<graph>_lissajous" or "<graph>_quality", every
// space as "_", cut to the 31 characters MATLAB keeps of a name.
std::string diagnosticVariableName(const DiagnosticRecord& record);
