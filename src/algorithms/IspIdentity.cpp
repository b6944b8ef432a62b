// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/IspFamily.h"
#include "common/Format.h"
#include "link/Protocol.h"

namespace kardo {

bool CheckChipIdentity(OperationContext& c) {
    if (!c.choices.Id_flag) {
        return true;
    }
    const DeviceRecord& r = c.record;
    for (;;) {
        c.link.Purge(kPurgeRxTx);
        SendBytes(c.link, {cmd::IspMode});
        SendBytes(c.link, {'I'});
        // Bytes that do not arrive count as 0, so a silent programmer shows as a chip
        // of the wrong kind and the user decides.
        uint8_t id[3] = {};
        std::size_t got = 0;
        c.link.Read(id, sizeof id, got);
        for (std::size_t i = got; i < sizeof id; ++i) {
            id[i] = 0;
        }
        if (id[0] == r.ManufId() && id[1] == r.DeviceId() && id[2] == r.DeviceId2()) {
            return true;
        }
        c.foreignSignature = std::array<uint8_t, 3>{id[0], id[1], id[2]};
        const std::string text = Format("ID: 30=0x%X 31=0x%X 32=0x%X ", id[0], id[1], id[2]);
        switch (c.AskAbortRetryIgnore(text, "CHIP_ID Error")) {
            case OperationHost::Answer::Retry:
                continue;
            case OperationHost::Answer::Abort:
                return false;
            default:
                return true;
        }
    }
}

}  // namespace kardo
