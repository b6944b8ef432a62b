// SPDX-License-Identifier: GPL-3.0-or-later
// Which directory the program takes as its default directory, in the layouts it is run
// from: started in stage/, run from the build tree, installed under a prefix.
#include "app/DataDirectory.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace kardo {
namespace {

using test::TempDir;

// A directory tree as `cmake --install` lays it out, under a temporary prefix.
struct Installation {
    TempDir prefix;
    std::filesystem::path bin = prefix / "bin";
    std::filesystem::path data = prefix / "share" / "kardo";
    std::filesystem::path elsewhere = prefix / "home";
    Installation() {
        std::filesystem::create_directories(bin);
        std::filesystem::create_directories(data);
        std::filesystem::create_directories(elsewhere);
    }
    static void PutDatabase(const std::filesystem::path& dir, const char* file = "KARDO_e.usb") {
        test::WriteBytes(dir / file, {0x00});
    }
};

TEST(DataDirectory, TheInstalledDataDirectoryIsShareKardoBesideBin) {
    Installation install;
    EXPECT_EQ(InstalledDataDirectory(install.bin), install.data.lexically_normal());
}

TEST(DataDirectory, AnInstalledProgramStartedAnywhereUsesItsInstalledFiles) {
    Installation install;
    Installation::PutDatabase(install.data, "KARDO_m.usb");
    const auto installed = InstalledDataDirectory(install.bin);
    EXPECT_EQ(ChooseDataDirectory(install.elsewhere, install.bin, installed), installed);
    EXPECT_TRUE(IsInstalledCopy(install.bin));
}

TEST(DataDirectory, AWorkingDirectoryWithADatabaseComesFirst) {
    // Started in stage/, or beside a database being edited, that copy is the one used.
    Installation install;
    Installation::PutDatabase(install.data);
    Installation::PutDatabase(install.elsewhere);
    Installation::PutDatabase(install.bin);
    EXPECT_EQ(
        ChooseDataDirectory(install.elsewhere, install.bin, InstalledDataDirectory(install.bin)),
        install.elsewhere);
}

TEST(DataDirectory, TheProgramsOwnDirectoryComesBeforeTheInstalledOne) {
    // stage/kardo started from another directory still finds the files staged with it.
    Installation install;
    Installation::PutDatabase(install.data);
    Installation::PutDatabase(install.bin);
    EXPECT_EQ(
        ChooseDataDirectory(install.elsewhere, install.bin, InstalledDataDirectory(install.bin)),
        install.bin);
}

TEST(DataDirectory, WithoutADatabaseAnywhereTheWorkingDirectoryStays) {
    // Not an installed copy either: such a program never creates settings of its own.
    Installation install;
    std::filesystem::create_directories(install.bin / "KARDO_e.usb");  // a folder, not a file
    EXPECT_EQ(
        ChooseDataDirectory(install.elsewhere, install.bin, InstalledDataDirectory(install.bin)),
        install.elsewhere);
    EXPECT_FALSE(IsInstalledCopy(install.bin));
}

TEST(DataDirectory, TheProgramDirectoryIsThatOfTheRunningExecutable) {
    const auto dir = ProgramDirectory(nullptr);
    EXPECT_TRUE(dir.is_absolute());
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    EXPECT_TRUE(std::filesystem::exists(dir / "kardo_core_tests"));
}

}  // namespace
}  // namespace kardo
