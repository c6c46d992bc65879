#pragma once

#include <ostream>
#include <string>

constexpr int exitOk = 0;
constexpr int exitIncompatible = 1;
constexpr int exitUsage = 2;
constexpr int exitNoBox = 3;
constexpr int exitNoReply = 4;

int runScan(std::ostream& out);
int runInfo(const std::string& path, std::ostream& out, std::ostream& err);
