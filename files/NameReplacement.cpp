#include "files/NameReplacement.h"

#include <algorithm>

void fixGraphName(std::string& caption, int& counter) {
    if (caption.empty())
        caption = "no_caption" + std::to_string(counter++);
}

void fixChannelName(std::string& caption, int& counter) {
    std::replace(caption.begin(), caption.end(), ' ', '_');
    fixGraphName(caption, counter);
}
