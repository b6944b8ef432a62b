// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the database files: the manufacturer list, the device lists found by walking
// the blocks, and single records, including files whose counts do not fit the file.
#include "devicedb/DeviceDatabase.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/Selection.h"

#include "support/TempDir.h"

namespace kardo {
namespace {

using DeviceDatabase::ListDevices;
using DeviceDatabase::ListManufacturers;
using DeviceDatabase::LoadRecord;
using Status = DeviceDatabase::RecordLookup::Status;

// Builds database bytes by hand, so that the counts can disagree with the contents.
struct RawDatabase {
    std::vector<uint8_t> bytes;

    explicit RawDatabase(uint8_t manufacturerCount) : bytes(16, 0) {
        bytes[13] = manufacturerCount;
    }
    void Entry(const std::string& name) {
        std::vector<uint8_t> entry(16, 0);
        entry[0] = 0xAA;  // not interpreted
        std::copy(name.begin(), name.begin() + std::min<std::size_t>(15, name.size()),
                  entry.begin() + 1);
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    void Block(uint16_t count) {
        bytes.insert(bytes.end(),
                     {0x55, 0x55, static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8)});
    }
    DeviceRecord::Bytes Record(const std::string& name, uint8_t fill) {
        DeviceRecord::Bytes record;
        record.fill(fill);
        record[0] = 7;
        record[1] = 'E';
        std::fill(record.begin() + 2, record.begin() + 22, 0);
        std::copy(name.begin(), name.begin() + std::min<std::size_t>(20, name.size()),
                  record.begin() + 2);
        bytes.insert(bytes.end(), record.begin(), record.end());
        return record;
    }
};

class DeviceDatabaseTest : public ::testing::Test {
  protected:
    std::filesystem::path Write(const RawDatabase& db) {
        const auto file = dir / "db.usb";
        test::WriteBytes(file, db.bytes);
        return file;
    }
    test::TempDir dir;
};

TEST_F(DeviceDatabaseTest, NoManufacturersGivesEmptyLists) {
    const auto file = Write(RawDatabase(0));
    EXPECT_TRUE(ListManufacturers(file)->empty());
    EXPECT_TRUE(ListDevices(file, 0)->empty());
    EXPECT_EQ(LoadRecord(file, 0, 0).status, Status::NotFound);
}

TEST_F(DeviceDatabaseTest, EmptyBlockDoesNotHideTheManufacturersAfterIt) {
    RawDatabase db(3);
    db.Entry("FIRST");
    db.Entry("NONE");
    db.Entry("LAST");
    db.Block(1);
    db.Record("A1", 0x11);
    db.Block(0);
    db.Block(2);
    db.Record("C1", 0x22);
    const auto c2 = db.Record("C2", 0x33);
    const auto file = Write(db);

    EXPECT_EQ(*ListManufacturers(file), (std::vector<std::string>{"FIRST", "NONE", "LAST"}));
    EXPECT_TRUE(ListDevices(file, 1)->empty());
    // The last manufacturer's block ends exactly at the end of the file.
    EXPECT_EQ(*ListDevices(file, 2), (std::vector<std::string>{"C1", "C2"}));
    const auto lookup = LoadRecord(file, 2, 1);
    ASSERT_EQ(lookup.status, Status::Ok);
    EXPECT_EQ(lookup.record.bytes(), c2);
}

TEST_F(DeviceDatabaseTest, NamesThatFillTheirWholeFieldStopAtTheField) {
    RawDatabase db(1);
    db.Entry("FIFTEEN_CHARS_X");  // 15 bytes, no NUL inside the entry
    db.Block(1);
    db.Record("TWENTY_CHARACTERS_XY", 0x41);  // 20 bytes, followed by non-NUL bytes
    const auto file = Write(db);
    EXPECT_EQ(ListManufacturers(file)->at(0), "FIFTEEN_CHARS_X");
    EXPECT_EQ(ListDevices(file, 0)->at(0), "TWENTY_CHARACTERS_XY");
    EXPECT_EQ(LoadRecord(file, 0, 0).record.Name(), "TWENTY_CHARACTERS_XY");
}

TEST_F(DeviceDatabaseTest, LoadRecordGivesTheBytesTheListPassedOver) {
    RawDatabase db(2);
    db.Entry("M0");
    db.Entry("M1");
    db.Block(2);
    db.Record("X", 1);
    db.Record("Y", 2);
    db.Block(3);
    std::vector<DeviceRecord::Bytes> expected;
    for (uint8_t k = 0; k < 3; ++k) {
        expected.push_back(db.Record("D" + std::to_string(k), static_cast<uint8_t>(0x80 + k)));
    }
    const auto file = Write(db);
    ASSERT_EQ(ListDevices(file, 1)->size(), 3u);
    for (int k = 0; k < 3; ++k) {
        const auto lookup = LoadRecord(file, 1, k);
        ASSERT_EQ(lookup.status, Status::Ok);
        EXPECT_EQ(lookup.record.bytes(), expected[static_cast<std::size_t>(k)]) << "device " << k;
    }
    EXPECT_EQ(LoadRecord(file, 1, 3).status, Status::NotFound);
    EXPECT_EQ(LoadRecord(file, 2, 0).status, Status::NotFound);
    EXPECT_EQ(LoadRecord(file, -1, 0).status, Status::NotFound);
    EXPECT_EQ(LoadRecord(file, 0, -1).status, Status::NotFound);
}

TEST_F(DeviceDatabaseTest, CountsBeyondTheEndOfTheFileStopAtTheEnd) {
    // 255 manufacturers announced, two entries present.
    RawDatabase manufacturers(255);
    manufacturers.Entry("ONE");
    manufacturers.Entry("TWO");
    auto file = Write(manufacturers);
    EXPECT_EQ(*ListManufacturers(file), (std::vector<std::string>{"ONE", "TWO"}));
    EXPECT_TRUE(ListDevices(file, 254)->empty());

    // A block announcing 65535 devices with one and a half present.
    RawDatabase devices(1);
    devices.Entry("BIG");
    devices.Block(0xFFFF);
    const auto first = devices.Record("FIRST", 9);
    devices.Record("SECOND", 9);
    devices.bytes.resize(devices.bytes.size() - 100);
    file = Write(devices);
    EXPECT_EQ(*ListDevices(file, 0), (std::vector<std::string>{"FIRST", "SECOND"}));
    EXPECT_EQ(LoadRecord(file, 0, 0).record.bytes(), first);
    const auto cut = LoadRecord(file, 0, 1);
    EXPECT_EQ(cut.status, Status::Truncated);
    EXPECT_EQ(cut.record.Name(), "SECOND");
    EXPECT_EQ(cut.record.bytes()[191], 0);  // what the file did not have stays zero
    EXPECT_EQ(LoadRecord(file, 0, 2).status, Status::NotFound);
    EXPECT_EQ(LoadRecord(file, 0, 60000).status, Status::NotFound);
}

TEST_F(DeviceDatabaseTest, FilesTooShortForTheirHeaderAreEmpty) {
    for (std::size_t size : {0u, 5u, 14u, 20u}) {
        RawDatabase db(3);
        db.bytes.resize(size, 3);
        const auto file = Write(db);
        const auto names = ListManufacturers(file);
        ASSERT_TRUE(names.has_value());
        EXPECT_LE(names->size(), 1u) << size;
        EXPECT_TRUE(ListDevices(file, 0)->empty()) << size;
        EXPECT_EQ(LoadRecord(file, 0, 0).status, Status::NotFound) << size;
    }
}

// A folder or a pipe under a database file's name counts as missing: neither can be
// read as a file, and opening the pipe would block the window.
TEST_F(DeviceDatabaseTest, MissingFileIsReportedAsSuch) {
    std::filesystem::create_directory(dir / "KARDO_e.usb");
    ASSERT_EQ(mkfifo((dir / "KARDO_m.usb").c_str(), 0600), 0);
    for (const auto& file : {dir / "absent.usb", dir / "KARDO_e.usb", dir / "KARDO_m.usb"}) {
        EXPECT_FALSE(ListManufacturers(file).has_value()) << file;
        EXPECT_FALSE(ListDevices(file, 0).has_value()) << file;
        EXPECT_EQ(LoadRecord(file, 0, 0).status, Status::FileMissing) << file;
    }
    EXPECT_EQ(DatabaseFlagsIn(dir.path()), 0);
}

// The lists stop quietly at the end of a file; FileProblem says when they had to, at
// every length a file can be cut to, and for what cannot be read.
TEST_F(DeviceDatabaseTest, AFileCutShortOrUnreadableIsNamedAsSuch) {
    RawDatabase db(2);
    db.Entry("ONE");
    db.Entry("TWO");
    db.Block(1);
    db.Record("FIRST", 1);
    db.Block(1);
    db.Record("SECOND", 2);
    const auto file = Write(db);
    EXPECT_EQ(DeviceDatabase::FileProblem(file), "");
    for (std::size_t size = 0; size < db.bytes.size(); ++size) {
        RawDatabase cut = db;
        cut.bytes.resize(size);
        EXPECT_NE(DeviceDatabase::FileProblem(Write(cut)).find("is cut short"), std::string::npos)
            << size;
    }
    std::filesystem::create_directory(dir / "folder.usb");
    EXPECT_EQ(DeviceDatabase::FileProblem(dir / "folder.usb"), "cannot be read");
    EXPECT_EQ(DeviceDatabase::FileProblem(dir / "absent.usb"), "");
}

}  // namespace
}  // namespace kardo
