#include "files/DataFileWriter.h"

#include "files/CsvExport.h"
#include "files/MatDataWriter.h"
#include "files/PathPieces.h"

bool writeDataFile(const std::string& path, Config& config, const GraphSamples& graphs,
                   DataFileUI& ui) {
    const std::string extension = splitPath(path).extension;
    if (extension == "mat")
        return writeMatDataFile(path, config, graphs, ui);
    if (extension == "csv")
        return writeCsvFile(path, config, graphs, ui);
    ui.showMessage("Unknown file type", "Message");
    return false;
}
