// orva-cli: scripted access to ORVA 2 USB boxes.
//
//   orva-cli scan          lists every box found: device path, product and serial strings
//   orva-cli info [PATH]   connects like the program does at start-up and prints what it found
//
// Exit status: 0 done, 1 the box is not one this program can drive, 2 wrong usage,
// 3 no box found or none chosen, 4 the box did not answer.

#include "cli/Commands.h"

#include <iostream>
#include <string>

namespace {

void printUsage(std::ostream& out) {
    out << "usage: orva-cli scan\n"
           "       orva-cli info [PATH]\n"
           "\n"
           "scan  lists every ORVA 2 USB box that can be opened now, one per line:\n"
           "      device path, product string and serial number string.\n"
           "info  connects to the box at PATH (or the only box found) exactly as the program\n"
           "      does at start-up, with the per-user configuration file when there is one,\n"
           "      prints the identification, the inputs and the frame layout, and disconnects.\n"
           "      No file is written.\n"
           "\n"
           "exit status: 0 done, 1 the box is not one this program can drive, 2 wrong usage,\n"
           "3 no box found or none chosen, 4 the box did not answer within 1 s.\n";
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "-h" || command == "--help") {
        printUsage(std::cout);
        return exitOk;
    }
    if (command == "scan" && argc == 2)
        return runScan(std::cout);
    if (command == "info" && argc <= 3)
        return runInfo(argc == 3 ? argv[2] : "", std::cout, std::cerr);
    printUsage(std::cerr);
    return exitUsage;
}
