#include "files/PathPieces.h"

#include <gtest/gtest.h>

TEST(PathPieces, SplitsAWindowsPath) {
    const PathPieces p = splitPath("C:\\data\\run1.mat");
    EXPECT_EQ(p.directory, "C:\\data\\");
    EXPECT_EQ(p.fileName, "run1.mat");
    EXPECT_EQ(p.extension, "mat");
    EXPECT_EQ(p.baseName, "run1");
}

TEST(PathPieces, TakesTheLastOfMixedSeparatorsAndTheLastDot) {
    const PathPieces p = splitPath("/home/u\\runs/a.b.csv");
    EXPECT_EQ(p.directory, "/home/u\\runs/");
    EXPECT_EQ(p.fileName, "a.b.csv");
    EXPECT_EQ(p.extension, "csv");
    EXPECT_EQ(p.baseName, "a.b");
}

TEST(PathPieces, ADotInAFolderIsNoExtension) {
    const PathPieces p = splitPath("/tmp/v1.2/run");
    EXPECT_EQ(p.directory, "/tmp/v1.2/");
    EXPECT_EQ(p.extension, "");
    EXPECT_EQ(p.baseName, "run");
}

TEST(PathPieces, NoSeparatorMeansNoDirectory) {
    const PathPieces p = splitPath("run1.MAT");
    EXPECT_EQ(p.directory, "");
    EXPECT_EQ(p.fileName, "run1.MAT");
    EXPECT_EQ(p.extension, "MAT");
}

TEST(PathPieces, SideConfigurationPathWithEitherSeparator) {
    EXPECT_EQ(sideConfigPath("C:\\data\\run1.mat"), "C:\\data\\run1.cfg");
    EXPECT_EQ(sideConfigPath("/data/run1.mat"), "/data/run1.cfg");
    EXPECT_EQ(sideConfigPath("run1"), "run1.cfg");
}
