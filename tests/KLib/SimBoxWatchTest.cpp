#include "KLib/IO/USB/SimBoxWatch.h"
#include "BoxReports.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A listening socket at `path`, as a simulated box makes it; the descriptor.
int listenAt(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(fd, 1), 0);
    return fd;
}

// The box directory is made after the watch began: the watch takes it up, reports the box
// that starts in it and the one that ends, and stops when destroyed.
TEST(SimBoxWatch, ReportsBoxesInADirectoryMadeLater) {
    char pattern[] = "/tmp/orva-watch-XXXXXX";
    const std::string runtime = mkdtemp(pattern);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const std::string directory = runtime + "/orva-boxes";
    const std::string socketPath = directory + "/demo.sock";
    BoxReports reports;
    {
        KLib::USB::SimBoxWatch watch(reports.events());
        ASSERT_EQ(::mkdir(directory.c_str(), 0700), 0);
        const int fd = listenAt(socketPath);
        EXPECT_TRUE(reports.waitForArrivals(1));
        ::close(fd);
        ::unlink(socketPath.c_str());
        EXPECT_EQ(reports.waitForLeft(1), std::vector<std::string>{"sim:" + socketPath});
    }
    unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(runtime);
}

} // namespace
