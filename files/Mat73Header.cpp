#include "files/Mat73Header.h"

#include "KLib/Data/MatlabFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

std::array<char, Mat73HeaderBytes> mat73Header(std::time_t created) {
    std::tm local{};
    localtime_r(&created, &local);
    char date[32];
    // The layout of ctime(): "Wed Dec  9 07:27:55 2026".
    std::strftime(date, sizeof date, "%a %b %e %H:%M:%S %Y", &local);
    const std::string text = std::string("MATLAB 7.3 MAT-file, Platform: GLNXA64, Created on: ") +
                             date + " HDF5 schema 1.00 .";
    std::array<char, Mat73HeaderBytes> header{};
    std::fill_n(header.begin(), KLib::Matlab::HeaderTextBytes, ' ');
    std::copy_n(text.begin(), std::min(text.size(), KLib::Matlab::HeaderTextBytes), header.begin());
    constexpr std::size_t version =
        KLib::Matlab::HeaderTextBytes + KLib::Matlab::HeaderSubsystemBytes;
    header[version] = 0x00;
    header[version + 1] = 0x02;
    header[version + 2] = 'I';
    header[version + 3] = 'M';
    return header;
}

std::string writeMat73Header(const std::string& path, std::time_t created) {
    const std::array<char, Mat73HeaderBytes> header = mat73Header(created);
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    const bool written =
        file && std::fwrite(header.data(), 1, header.size(), file) == header.size();
    const int writeError = errno;
    const bool closed = file && std::fclose(file) == 0;
    if (written && closed)
        return {};
    return "Can't write the MAT header of " + path + ": " +
           std::strerror(written ? errno : writeError);
}
