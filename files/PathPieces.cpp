#include "files/PathPieces.h"

PathPieces splitPath(const std::string& path) {
    PathPieces pieces;
    const std::size_t separator = path.find_last_of("/\\");
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    pieces.directory = path.substr(0, nameStart);
    pieces.fileName = path.substr(nameStart);
    const std::size_t dot = pieces.fileName.rfind('.');
    if (dot == std::string::npos) {
        pieces.baseName = pieces.fileName;
    } else {
        pieces.extension = pieces.fileName.substr(dot + 1);
        pieces.baseName = pieces.fileName.substr(0, dot);
    }
    return pieces;
}

std::string sideConfigPath(const std::string& path) {
    const PathPieces pieces = splitPath(path);
    return pieces.directory + pieces.baseName + ".cfg";
}
