// SPDX-License-Identifier: GPL-3.0-or-later
// Every PIC of the shipped database held against gputils' own processor data (Debian
// package gputils, read through gpasm): sizes, layout, ID and configuration addresses,
// implemented configuration bits and the PIC18 erased configuration. Without gputils
// these tests fail.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "devicedb/DeviceRecordLayout.h"
#include "support/GputilsParts.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

// gpasm lists these parts but has no processor data for them (it prints nothing and
// warns that its configuration data has no entries): their values are the datasheets',
// as their records say.
const std::set<std::string> kUnknownToGputils{"PIC16C74", "PIC16C84"};

std::vector<DeviceRecord> ShippedPics() {
    std::vector<DeviceRecord> pics;
    for (const DeviceRecord& r : test::ShippedRecords()) {
        if (r.Family() == 'C') {
            pics.push_back(r);
        }
    }
    return pics;
}

std::vector<std::string> Disagreements(const DeviceRecord& r) {
    const auto lookup = test::LookUpGputilsPart(test::GputilsName(r));
    if (!lookup.part) {
        return {lookup.problem};
    }
    return test::GputilsDisagreements(r, *lookup.part);
}

TEST(GputilsPic, EveryShippedPicAgreesWithGputils) {
    const auto pics = ShippedPics();
    ASSERT_FALSE(pics.empty());
    for (const DeviceRecord& r : pics) {
        SCOPED_TRACE(r.Name());
        const auto lookup = test::LookUpGputilsPart(test::GputilsName(r));
        if (kUnknownToGputils.contains(r.Name())) {
            EXPECT_FALSE(lookup.part.has_value()) << "gputils knows it now: check it";
            continue;
        }
        ASSERT_TRUE(lookup.part.has_value()) << lookup.problem;
        for (const std::string& line : test::GputilsDisagreements(r, *lookup.part)) {
            ADD_FAILURE() << line;
        }
    }
}

// A shipped record with one value changed by one: the check names what disagrees.
TEST(GputilsPic, AValueChangedByOneIsReported) {
    namespace f = field;
    struct Edit {
        const char* part;
        std::function<void(DeviceRecord&)> change;
        const char* reported;
    };
    const auto mask = [](std::size_t i, int by) {
        return [i, by](DeviceRecord& r) {
            const auto at = f::ConfigMask.offset + i;
            r.bytes()[at] = static_cast<uint8_t>(r.bytes()[at] + by);
        };
    };
    const Edit edits[] = {
        {"PIC16F877A", [](DeviceRecord& r) { r.SetI32(f::LastAddress, r.LastAddress() - 1); },
         "LastAddress"},
        {"PIC16F877A", [](DeviceRecord& r) { r.SetU16(f::EepromSize, r.EepromSize() + 1); },
         "EepromSize"},
        {"PIC16F877A", mask(1, -1), "ConfigMask"},
        {"PIC16F88", mask(2, 1), "word 0x2008"},
        {"PIC16F88", [](DeviceRecord& r) { r.SetU8(f::ConfigCount, 3); }, "ConfigCount"},
        {"PIC12F508", [](DeviceRecord& r) { r.SetI32(f::LastAddress, r.LastAddress() + 2); },
         "ID locations"},
        {"PIC12F675", [](DeviceRecord& r) { r.SetU8(f::BlankValue, 0x3E); }, "BlankValue"},
        {"PIC16F72", [](DeviceRecord& r) { r.SetU8(f::Variant, 2); }, "Variant"},
        {"PIC18F452", mask(7, 1), "ConfigMask byte 7"},
        {"PIC18F4550", [](DeviceRecord& r) { r.SetU8(f::ConfigCode, 37); }, "erased value"},
    };
    for (const Edit& e : edits) {
        DeviceRecord r = test::ShippedRecord(e.part);
        e.change(r);
        const auto lines = Disagreements(r);
        std::string all;
        for (const auto& line : lines) {
            all += line + "\n";
        }
        EXPECT_NE(all.find(e.reported), std::string::npos)
            << e.part << ": expected a report of " << e.reported << ", got:\n"
            << all;
    }
}

}  // namespace
}  // namespace kardo
