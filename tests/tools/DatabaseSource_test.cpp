// SPDX-License-Identifier: GPL-3.0-or-later
// The database compiler: what it builds from source, what it rejects, and that a dump
// of any well-formed file builds back to the same bytes.
#include "DatabaseSource.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "devicedb/DeviceDatabase.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace kardo {
namespace {

using dbsource::Build;
using dbsource::Dump;
using dbsource::SourceError;

std::string BuildError(const std::string& source) {
    try {
        Build(source);
    } catch (const SourceError& e) {
        return e.message;
    }
    return "";
}

TEST(DatabaseSource, BuildsTheFileLayoutFromFields) {
    const auto bytes = Build(R"(
header = "KARDO"
[[manufacturer]]
name = "ATMEL"
[[manufacturer.device]]
Name = "AT28C256"
Family = "E"
Vcc = 5.0
LastAddress = 0x7FFF
EepromSize = 0x1234
ConfigMask = [0x3F, 0xFF]
ButtonMask = 0xE7
[[manufacturer]]
name = "EMPTY"
)");
    ASSERT_EQ(bytes.size(), 16u + 2 * 16 + 4 + 192 + 4);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "KARDO");
    EXPECT_EQ(bytes[13], 2);
    EXPECT_EQ(std::string(bytes.begin() + 17, bytes.begin() + 22), "ATMEL");
    const std::size_t record = 16 + 32 + 4;
    EXPECT_EQ(bytes[record - 2], 1);  // device count, little-endian
    EXPECT_EQ(bytes[record + 1], 'E');
    EXPECT_EQ(bytes[record + 38], 0xFF);  // LastAddress 0x7FFF, little-endian
    EXPECT_EQ(bytes[record + 39], 0x7F);
    EXPECT_EQ(bytes[record + 122], 0x34);
    EXPECT_EQ(bytes[record + 123], 0x12);
    EXPECT_EQ(bytes[record + 152], 0x3F);
    float vcc = 0;
    std::memcpy(&vcc, &bytes[record + 22], 4);
    EXPECT_EQ(vcc, 5.0f);
    EXPECT_EQ(bytes[record + 188], 0xE7);
    EXPECT_EQ(bytes.back(), 0);  // the empty block's count
}

TEST(DatabaseSource, RejectsWhatTheFileCannotHold) {
    const std::string device = "[[manufacturer]]\nname = \"M\"\n[[manufacturer.device]]\n";
    EXPECT_NE(BuildError(device + "Lastaddress = 5\n").find("unknown key 'Lastaddress'"),
              std::string::npos);
    EXPECT_NE(BuildError(device + "Name = \"ABCDEFGHIJKLMNOPQRSTU\"\n").find("longer than 20"),
              std::string::npos);
    EXPECT_NE(BuildError(device + "Variant = 256\n").find("outside"), std::string::npos);
    EXPECT_NE(BuildError(device + "EepromSize = -1\n").find("outside"), std::string::npos);
    EXPECT_NE(BuildError(device + "Family = \"EE\"\n").find("longer than 1"), std::string::npos);
    EXPECT_NE(BuildError(device + "Vcc = \"5\"\n").find("expected a number"), std::string::npos);
    EXPECT_NE(BuildError(device + "Vcc = 1e39\n").find("outside the range of a float"),
              std::string::npos);
    EXPECT_NE(BuildError(device + "Vpp = -3.4028236e38\n").find("outside the range of a float"),
              std::string::npos);
    EXPECT_EQ(BuildError(device + "Vcc = 3.40282347e38\nVpp = -inf\nVccMax = nan\n"), "");
    EXPECT_NE(BuildError(device + "raw = { 190 = \"000000\" }\n").find("past the end"),
              std::string::npos);
    EXPECT_NE(BuildError("[[manufacturer]]\nname = \"SIXTEEN_CHARS_XX\"\n").find("longer than 15"),
              std::string::npos);
    EXPECT_NE(BuildError("header = [").find("line 1"), std::string::npos);
}

// A part sold under several names is one table with aliases: a copy of its record under
// each name, in order, and the dump writes such a run back as aliases.
TEST(DatabaseSource, AliasesAreCopiesUnderTheirNames) {
    const std::string device = "[[manufacturer]]\nname = \"M\"\n[[manufacturer.device]]\n";
    const auto file = Build(device + "Name = \"ATmega8\"\nFamily = \"M\"\nManufId = 0x1E\n" +
                            "aliases = [\"ATmega8A\", \"ATmega8L\"]\n" +
                            "[[manufacturer.device]]\nName = \"ATmega16\"\n");
    const std::size_t first = 16 + 16 + 4;
    ASSERT_EQ(file.size(), first + 4 * 192);
    EXPECT_EQ(file[first - 2], 4);
    const char* const names[] = {"ATmega8", "ATmega8A", "ATmega8L", "ATmega16"};
    for (std::size_t k = 0; k < 4; ++k) {
        const uint8_t* record = &file[first + k * 192];
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(record + 2)), names[k]);
        if (k > 0 && k < 3) {
            EXPECT_TRUE(std::equal(record + 22, record + 192, &file[first + 22]));
        }
    }
    const std::string source = Dump(file);
    EXPECT_NE(source.find("aliases = [\"ATmega8A\", \"ATmega8L\"]"), std::string::npos) << source;
    EXPECT_EQ(Build(source), file);
    // Records of other families alike but for the name are different chips: no aliases.
    const auto pics =
        Build(device + "Name = \"PIC16F630\"\nFamily = \"C\"\n" + "aliases = [\"PIC16F676\"]\n");
    EXPECT_EQ(Dump(pics).find("aliases"), std::string::npos);
    EXPECT_EQ(Build(Dump(pics)), pics);

    EXPECT_NE(BuildError(device + "Name = \"A\"\naliases = [\"B\", \"B\"]\n").find("named twice"),
              std::string::npos);
    EXPECT_NE(BuildError(device + "Name = \"A\"\naliases = [\"A\"]\n").find("named twice"),
              std::string::npos);
    EXPECT_NE(BuildError(device + "aliases = [\"\"]\n").find("needs a name"), std::string::npos);
    EXPECT_NE(BuildError(device + "aliases = [\"ABCDEFGHIJKLMNOPQRSTU\"]\n").find("longer than 20"),
              std::string::npos);
    EXPECT_NE(BuildError(device + "aliases = \"B\"\n").find("expected an array"),
              std::string::npos);
}

// The keys of a raw table are offsets into the 192-byte record; anything that is not
// plainly one, or that reaches past the record, is refused with the device and key named.
TEST(DatabaseSource, RawOffsetsAreReadStrictly) {
    const std::string device = "[[manufacturer]]\nname = \"M\"\n[[manufacturer.device]]\n";
    auto raw = [&](const std::string& key, const std::string& hex) {
        return device + "raw = { \"" + key + "\" = \"" + hex + "\" }\n";
    };
    for (const std::string key : {"-1", "1e3", " 5", "5 ", "+5", "", "0x", "0x-1", "5x", "0xG"}) {
        const std::string error = BuildError(raw(key, "AA"));
        EXPECT_NE(error.find("M device 1.raw." + key + ": the key must be a byte offset"),
                  std::string::npos)
            << "key '" << key << "': " << error;
    }
    for (const auto& [key, hex] :
         std::vector<std::pair<std::string, std::string>>{{"192", "AA"},
                                                          {"190", "AABBCCDD"},
                                                          {"99999999999999999999", "AA"},
                                                          {"18446744073709551615", "AA"},
                                                          {"0xFFFFFFFFFFFFFFFF", "AA"}}) {
        const std::string error = BuildError(raw(key, hex));
        EXPECT_NE(error.find("M device 1.raw." + key + ": runs past the end"), std::string::npos)
            << "key '" << key << "': " << error;
    }

    constexpr std::size_t kRecord = 16 + 16 + 4;
    const auto hex = Build(raw("0x10", "AABB"));
    EXPECT_EQ(hex[kRecord + 16], 0xAA);  // 0x10 is 16, not 0
    EXPECT_EQ(hex[kRecord + 17], 0xBB);
    EXPECT_EQ(hex[kRecord + 0], 0x00);
    const auto last = Build(raw("188", "01020304"));  // ends exactly at the record's end
    ASSERT_EQ(last.size(), kRecord + 192);
    EXPECT_EQ(last.back(), 0x04);
    EXPECT_EQ(Build(raw("010", "AA"))[kRecord + 10], 0xAA);  // decimal, not octal
}

// Runs the real kardo-db and returns its exit status; what it said on stderr goes to
// `said`.
int RunTool(const std::string& arguments, const std::filesystem::path& stderrFile,
            std::string& said) {
    const int status = std::system((kardo::test::DatabaseTool() + " " + arguments + " 2> " +
                                    stderrFile.string() + " > /dev/null")
                                       .c_str());
    std::ifstream in(stderrFile);
    said.assign(std::istreambuf_iterator<char>(in), {});
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A source that cannot be read whole is an error, never an empty database; a build that
// cannot write its output leaves nothing under the output's name.
TEST(DatabaseSource, ToolRefusesWhatItCannotReadOrWrite) {
    test::TempDir dir;
    const auto log = dir / "stderr.txt";
    const auto folder = dir / "folder.toml";
    std::filesystem::create_directory(folder);
    const auto out = dir / "out.usb";
    std::string said;

    EXPECT_EQ(RunTool("build " + folder.string() + " " + out.string(), log, said), 1);
    EXPECT_NE(said.find("cannot read " + folder.string() + ": it is a folder"), std::string::npos)
        << said;
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(RunTool("dump " + folder.string(), log, said), 1);
    EXPECT_NE(said.find("cannot read " + folder.string()), std::string::npos) << said;

    // Under a plain file: no one, root included, can open that.
    const auto source = dir / "source.toml";
    std::ofstream(source) << "[[manufacturer]]\nname = \"M\"\n";
    const auto underFile = source / "x.toml";
    EXPECT_EQ(RunTool("build " + underFile.string() + " " + out.string(), log, said), 1);
    EXPECT_NE(said.find("cannot read " + underFile.string() + ": Not a directory"),
              std::string::npos)
        << said;
    EXPECT_EQ(RunTool("dump " + underFile.string(), log, said), 1);
    EXPECT_NE(said.find("cannot read " + underFile.string()), std::string::npos) << said;
    EXPECT_FALSE(std::filesystem::exists(out));

    // The output's name is taken by a folder: the write fails at the last step, and the
    // bytes written beside it are removed again.
    const auto taken = dir / "taken.usb";
    std::filesystem::create_directory(taken);
    EXPECT_EQ(RunTool("build " + source.string() + " " + taken.string(), log, said), 1);
    EXPECT_NE(said.find("cannot write " + taken.string()), std::string::npos) << said;
    EXPECT_TRUE(std::filesystem::is_directory(taken));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              4);  // stderr.txt, folder.toml, source.toml, taken.usb
    EXPECT_EQ(RunTool("build " + source.string() + " " + (source / "out.usb").string(), log, said),
              1);
    EXPECT_NE(said.find("cannot write"), std::string::npos) << said;

    // And the sound case still writes the file.
    EXPECT_EQ(RunTool("build " + source.string() + " " + out.string(), log, said), 0) << said;
    EXPECT_EQ(test::ReadBytes(out), Build("[[manufacturer]]\nname = \"M\"\n"));
}

TEST(DatabaseSource, DumpBuildsBackToTheSameBytes) {
    // A file with every irregularity a reader must carry through: reserved bytes, bytes
    // after a name's NUL, a NaN with a payload, a binary header and trailing bytes.
    std::vector<uint8_t> file(16, 0);
    for (int i = 0; i < 13; ++i) {
        file[static_cast<std::size_t>(i)] = static_cast<uint8_t>(0xF0 + i);
    }
    file[13] = 2;
    file[14] = 0x12;
    file[15] = 0x34;
    const uint8_t entries[32] = {0x07, 'A', 'B', 0, 'Z', 0,    0,   0,   0,   0,  0,
                                 0,    0,   0,   0, 0,   0x00, 'N', 'O', 'N', 'E'};
    file.insert(file.end(), entries, entries + 32);
    file.insert(file.end(), {0xAB, 0xCD, 2, 0});
    for (int k = 0; k < 2; ++k) {
        std::vector<uint8_t> record(192);
        for (std::size_t i = 0; i < record.size(); ++i) {
            record[i] = static_cast<uint8_t>(i * 7 + static_cast<std::size_t>(k));
        }
        const char name[] = "DEV\0junk";
        std::memcpy(&record[2], name, sizeof name);
        const uint32_t nanWithPayload = 0x7FC01234;
        std::memcpy(&record[22], &nanWithPayload, 4);
        record[1] = 'C';
        record[50] = 0x80;  // non-ASCII inside a reserved run
        file.insert(file.end(), record.begin(), record.end());
    }
    file.insert(file.end(), {0, 0, 0, 0});
    file.insert(file.end(), {0xDE, 0xAD});

    const std::string source = Dump(file);
    EXPECT_EQ(Build(source), file) << source;
}

TEST(DatabaseSource, DumpRefusesFilesWhoseCountsRunPastTheEnd) {
    std::vector<uint8_t> file(16, 0);
    file[13] = 1;
    file.resize(32);
    file.insert(file.end(), {0, 0, 5, 0});  // five devices announced, none present
    EXPECT_THROW(Dump(file), SourceError);
    EXPECT_THROW(Dump(std::vector<uint8_t>(10)), SourceError);
}

}  // namespace
}  // namespace kardo
