#pragma once

#include <ostream>
#include <string>

constexpr int exitOk = 0;
constexpr int exitIncompatible = 1;
constexpr int exitUsage = 2;
constexpr int exitNoBox = 3;
constexpr int exitNoReply = 4;
constexpr int exitFramesLost = 5;
constexpr int exitWriteFailed = 6;
constexpr int exitBoxLost = 7;
constexpr int exitReadFailed = 8;

struct Config;
enum class ConnectResult;

// The per-user configuration, as the program reads it at start-up. When there is none, or it
// cannot be read, the defaults are used, and `err` says so.
Config userConfiguration(std::ostream& err);
// The exit status of a connect sequence's result; exitOk when connected.
int exitStatusOf(ConnectResult result);

int runScan(std::ostream& out);
int runInfo(const std::string& path, std::ostream& out, std::ostream& err);
