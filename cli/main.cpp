// orva-cli: scripted access to ORVA 2 USB boxes.
//
//   orva-cli scan          lists every box found: device path, product and serial strings
//   orva-cli info [PATH]   connects like the program does at start-up and prints what it found
//   orva-cli record ...    records to a file for a given time
//   orva-cli convert IN OUT copies a recording into another file type

#include "cli/Commands.h"
#include "cli/Convert.h"
#include "cli/Record.h"

#include <iostream>
#include <string>

namespace {

void printUsage(std::ostream& out) {
    out << "usage: orva-cli scan\n"
           "       orva-cli info [PATH]\n"
           "       orva-cli record --seconds S --output FILE [--config CFG] [--rate R] [PATH]\n"
           "       orva-cli convert IN OUT\n"
           "\n"
           "scan  lists every ORVA 2 USB box that can be opened now, one per line:\n"
           "      device path, product string and serial number string.\n"
           "info  connects to the box at PATH (or the only box found) exactly as the program\n"
           "      does at start-up, with the per-user configuration file when there is one,\n"
           "      prints the identification, the inputs and the frame layout, and disconnects.\n"
           "      No file is written.\n"
           "record connects like info (with CFG instead of the per-user configuration when\n"
           "      given, at R samples/s instead of its rate when given), starts the stream as\n"
           "      the Start command does and writes every channel of the configuration's\n"
           "      graphs to FILE as the samples arrive, for S seconds or until Ctrl-C or\n"
           "      SIGTERM; the file is complete in every case. FILE.csv: time and channels\n"
           "      as text, the losses in FILE.lost.csv; FILE.h5: MATLAB's version 7.3 MAT\n"
           "      layout (HDF5) with the variables of Save Data and the table \"lost\";\n"
           "      FILE.mat: the same variables in a MATLAB 5 MAT file, as Save Data writes\n"
           "      them, or in the 7.3 layout (and a line says so) when they exceed the 4 GiB\n"
           "      a variable of a MATLAB 5 file holds. On a terminal a progress line shows\n"
           "      the time, frames, megabytes written, frames lost and the free disk space.\n"
           "convert copies the graphs, channels, values and losses of IN (a .mat file of\n"
           "      either version, .h5, or a .csv file this program wrote) into OUT, whose\n"
           "      type its extension names as for record. A channel shorter than the\n"
           "      longest is filled with NaN.\n"
           "\n"
           "exit status: 0 done, 1 the box is not one this program can drive, 2 wrong usage,\n"
           "3 no box found or none chosen, 4 the box did not answer within 1 s, 5 recorded\n"
           "but frames were lost (their substitutes and the loss table are in the file),\n"
           "6 the file could not be written (what was written stays readable), 7 the box\n"
           "was lost during the recording (the file holds everything up to then), 8 the\n"
           "input file could not be read.\n";
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
    if (command == "record")
        return runRecord(std::vector<std::string>(argv + 2, argv + argc), std::cerr);
    if (command == "convert" && argc == 4)
        return runConvert(argv[2], argv[3], std::cerr);
    printUsage(std::cerr);
    return exitUsage;
}
