#include "config/FactoryFuses.h"

namespace kardo {
namespace {

struct FactoryEntry {
    const char* part;  // for the reader; the signature finds it
    uint8_t manufId, deviceId, deviceId2;
    FuseBytes bytes;
};

// From each part's datasheet. The extended fuse of parts without one is 0xFF, as a
// read of the missing byte gives.
constexpr FactoryEntry kFactory[] = {
    {"ATmega8", 0x1E, 0x93, 0x07, {0xE1, 0xD9, 0xFF, 0xFF}},
    {"ATmega16", 0x1E, 0x94, 0x03, {0xE1, 0x99, 0xFF, 0xFF}},
    {"ATmega168", 0x1E, 0x94, 0x06, {0x62, 0xDF, 0xF9, 0xFF}},
    {"ATmega328P", 0x1E, 0x95, 0x0F, {0x62, 0xD9, 0xFF, 0xFF}},
    // Its sheet's lock group knows the values 0x00, 0x02 and 0x03 only.
    {"ATtiny26", 0x1E, 0x91, 0x09, {0xE1, 0xF7, 0xFF, 0x03}},
    {"ATtiny2313", 0x1E, 0x91, 0x0A, {0x64, 0xDF, 0xFF, 0xFF}},
    {"ATtiny85", 0x1E, 0x93, 0x0B, {0x62, 0xDF, 0xFF, 0xFF}},
};

}  // namespace

std::optional<FuseBytes> FactoryFuses(const DeviceRecord& record) {
    if (record.Family() != 'M' || (record.Variant() != 30 && record.Variant() != 32)) {
        return std::nullopt;
    }
    for (const FactoryEntry& e : kFactory) {
        if (e.manufId == record.ManufId() && e.deviceId == record.DeviceId() &&
            e.deviceId2 == record.DeviceId2()) {
            return e.bytes;
        }
    }
    return std::nullopt;
}

bool StartFromFactoryFuses(ConfigBits& bits, const DeviceRecord& record) {
    const auto factory = FactoryFuses(record);
    if (!factory) {
        return false;
    }
    bits.FuseLow = factory->FuseLow;
    bits.FuseHigh = factory->FuseHigh;
    bits.FuseExt = factory->FuseExt;
    bits.LockBits = factory->LockBits;
    return true;
}

}  // namespace kardo
