#pragma once

// Reads a MAT file with independent readers: SciPy's scipy.io.loadmat, through the script
// tests/data/mat/dump_mat.py, which prints the file as canonical text, and for version 7.3 files
// h5py. Test programs define ORVA_TEST_DATA_DIR.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The first interpreter that can import module: $ORVA_PYTHON, the system's, then the one on the
// path.
inline std::string pythonWith(const std::string& module) {
    std::vector<std::string> candidates = {"/usr/bin/python3", "python3"};
    if (const char* chosen = std::getenv("ORVA_PYTHON"))
        candidates.insert(candidates.begin(), chosen);
    for (const std::string& python : candidates)
        if (std::system((python + " -c 'import " + module + "' >/dev/null 2>&1").c_str()) == 0)
            return python;
    return {};
}

inline std::string pythonWithSciPy() {
    return pythonWith("scipy.io");
}

// What command prints (stdout and stderr) followed by its exit status.
inline std::string commandOutput(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return "popen failed";
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    return output + "exit " + std::to_string(pclose(pipe));
}

// The script's output followed by its exit status.
inline std::string dumpWithSciPy(const std::string& file) {
    const std::string python = pythonWithSciPy();
    if (python.empty())
        return "no python3 with scipy found";
    return commandOutput(python + " '" ORVA_TEST_DATA_DIR "/mat/dump_mat.py' '" + file + "'");
}
