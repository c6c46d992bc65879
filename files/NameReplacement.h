#pragma once

#include <string>

// Names written into data files must be usable as MAT variable and field names. The counter
// numbers the replaced names of one save and is advanced for every replacement.

// An empty graph name becomes "no_caption<counter>".
void fixGraphName(std::string& caption, int& counter);

// Every space becomes "_"; an empty channel name becomes "no_caption<counter>".
void fixChannelName(std::string& caption, int& counter);
