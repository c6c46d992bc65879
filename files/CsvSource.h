#pragma once

#include "files/SampleSource.h"

#include <cstdint>
#include <fstream>

// A CSV file with the program's header lines ("time" and the graph.channel names, the units, the
// colours), read a block of rows at a time. Reads the recording's own form ("," and ".") and
// Save Data's form in a locale with decimal commas (";" and ","); an empty cell is a value the
// channel does not have (NaN). Consecutive channels with the same graph name before the first
// "." form a graph. The losses come from NAME.lost.csv beside the file when there is one.
class CsvSource : public SampleSource {
public:
    explicit CsvSource(const std::string& path);

    std::size_t read(std::size_t rows, const std::vector<double*>& columns) override;
    double progress() const override;

private:
    // Splits a line at the separator.
    std::vector<std::string> cells(const std::string& line) const;
    // Parses one data line into row; false when it is malformed.
    bool parseRow(std::string line, std::vector<double>& row) const;
    bool readLosses(const std::string& path);

    std::ifstream in_;
    std::string path_;
    char separator_ = ',';
    std::size_t channels_ = 0;
    std::uint64_t size_ = 0; // bytes of the file
    std::uint64_t line_ = 3; // lines read
    std::uint64_t bytesRead_ = 0;
    std::vector<std::vector<double>> ahead_; // rows read to find the rate, not yet handed out
};
