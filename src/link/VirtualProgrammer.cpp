// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/VirtualProgrammer.h"

#include <algorithm>

#include "config/SheetTraits.h"

namespace kardo {

char VirtualProgrammer::Family() const {
    return chip_ ? chip_->family : parameters_.family;
}

void VirtualProgrammer::Reset() {
    input_.clear();
    output_.clear();
    expected_ = 1;
    handler_ = nullptr;
}

void VirtualProgrammer::Receive(const uint8_t* bytes, std::size_t n) {
    if (faults.silent) {
        return;
    }
    input_.insert(input_.end(), bytes, bytes + n);
    Pump();
}

std::size_t VirtualProgrammer::Take(uint8_t* out, std::size_t n) {
    const std::size_t count = std::min(n, output_.size());
    std::copy_n(output_.begin(), count, out);
    output_.erase(output_.begin(), output_.begin() + static_cast<long>(count));
    return count;
}

void VirtualProgrammer::Expect(std::size_t count, Handler handler) {
    expected_ = count;
    handler_ = std::move(handler);
}

void VirtualProgrammer::Pump() {
    while (input_.size() >= expected_) {
        std::vector<uint8_t> bytes(input_.begin(), input_.begin() + static_cast<long>(expected_));
        input_.erase(input_.begin(), input_.begin() + static_cast<long>(expected_));
        Handler handler = std::move(handler_);
        expected_ = 1;  // back to waiting for a command unless the handler says otherwise
        handler_ = nullptr;
        if (handler) {
            handler(bytes);
        } else {
            Command(bytes[0]);
        }
    }
}

void VirtualProgrammer::Send(const std::vector<uint8_t>& bytes) {
    output_.insert(output_.end(), bytes.begin(), bytes.end());
}

void VirtualProgrammer::SendHandshake() {
    Send(faults.wrongHandshake ? std::vector<uint8_t>{'N', 'o'} : std::vector<uint8_t>{'G', 'o'});
}

void VirtualProgrammer::Stream(const std::vector<uint8_t>& area, bool mainArea) {
    const std::size_t before = output_.size();
    Send(area);
    if (mainArea && faults.corruptAddress && *faults.corruptAddress < area.size()) {
        output_[before + *faults.corruptAddress] ^= 0xFF;
    }
}

void VirtualProgrammer::Command(uint8_t byte) {
    switch (byte) {
        case 'F':
            Send(firmwareVersion);
            break;
        case 'V':
            Expect(4, [this](const std::vector<uint8_t>& b) { Parameters2(b); });
            break;
        case 'E':
            if (Family() == 'M') {
                Expect(3, [this](const std::vector<uint8_t>& b) { FuseFrame(b); });
            } else {
                SendHandshake();
                Expect(1, [this](const std::vector<uint8_t>& b) { EepromCommand(b[0]); });
            }
            break;
        case 'P':
            // A new PIC command ends whatever is left of the last stream: the host reads
            // only the bytes its area needs (a blank check may stop short of a word the
            // read covers), and the rest must not be taken for the handshake.
            DropOutput();
            SendHandshake();
            Expect(1, [this](const std::vector<uint8_t>& b) { PicCommand(b[0]); });
            break;
        case 'M':
            Expect(1, [this](const std::vector<uint8_t>& b) { IspCommand(b[0]); });
            break;
        case 'S':
            DropOutput();  // stop sending what is left of a stream
            break;
        case 'T':
            Expect(1, [this](const std::vector<uint8_t>&) {
                Send(std::vector<uint8_t>(static_cast<std::size_t>(faults.selfTestNoise), '.'));
                if (!faults.selfTestFails) {
                    Send('D');
                }
            });
            break;
        default:
            break;  // anything else, like the trailing 'R' of a PIC read, is ignored
    }
}

void VirtualProgrammer::Parameters2(const std::vector<uint8_t>& first) {
    Parameters p;
    p.received = true;
    p.size = static_cast<uint16_t>(first[0] << 8 | first[1]);
    p.family = static_cast<char>(first[2]);
    p.variant = first[3];
    const auto finish = [this](Parameters done) {
        parameters_ = done;
        Send(faults.rejectParameters ? std::vector<uint8_t>{'N', 'O'}
                                     : std::vector<uint8_t>{'O', 'K'});
    };
    if (p.family == 'C') {
        Expect(4, [p, finish](const std::vector<uint8_t>& rest) mutable {
            p.dataCount = static_cast<uint16_t>(rest[0] << 8 | rest[1]);
            p.progParam = rest[2];
            p.configCode = rest[3];
            finish(p);
        });
    } else {
        finish(p);
    }
}

void VirtualProgrammer::BlockWrite(std::vector<uint8_t>* area, std::size_t offset,
                                   std::size_t total, std::size_t block, bool pairAcks) {
    if (offset >= total) {
        Changed();
        return;
    }
    const std::size_t length = std::min(block, total - offset);
    Expect(length, [=, this](const std::vector<uint8_t>& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (offset + i < area->size()) {
                (*area)[offset + i] = bytes[i];
                ++chipBytesWritten_;
            }
        }
        if (pairAcks) {
            // Two acknowledgement bytes for every pair, and for a last odd byte.
            for (std::size_t i = 0; i < bytes.size(); i += 2) {
                Send({bytes[i], i + 1 < bytes.size() ? bytes[i + 1] : uint8_t{0}});
            }
        } else {
            Send(bytes);  // one acknowledgement byte for every byte: the byte written
        }
        BlockWrite(area, offset + length, total, block, pairAcks);
    });
}

void VirtualProgrammer::EepromCommand(uint8_t command) {
    std::vector<uint8_t>& memory = chip().memory;
    if (command == 'R') {
        Stream(memory, true);
    } else if (command == 'W') {
        // The host always sends whole 128-byte blocks.
        const std::size_t total = (memory.size() + 127) / 128 * 128;
        BlockWrite(&memory, 0, total, 128, false);
    }
}

std::vector<uint8_t>* VirtualProgrammer::PicArea(uint8_t areaByte) {
    VirtualChip& c = chip();
    switch (areaByte) {
        case 'p':
            return &c.memory;
        case 'd':
        case 0x00:
            return &c.data;
        case 'i':
            return &c.id;
        case 'k':
            return &c.step;
        case 'c':
            return &c.config;
        default:
            return nullptr;
    }
}

void VirtualProgrammer::PicCommand(uint8_t command) {
    if (command == 'E') {
        Erase();
    } else if (command == 'R' || command == 'W') {
        Expect(1, [this, command](const std::vector<uint8_t>& b) {
            std::vector<uint8_t>* area = PicArea(b[0]);
            if (area == nullptr) {
                return;
            }
            if (command == 'R') {
                Stream(*area, area == &chip().memory);
                return;
            }
            // Programming keeps away from the last word of the parts that hold their
            // factory calibration there; the device parameters tell which they are.
            std::size_t total = area->size();
            const VirtualChip& c = chip();
            if (area == &c.memory && total >= 2 &&
                (c.configCode == 0x20 || c.variant == 6 || c.variant == 11)) {
                total -= 2;
            }
            BlockWrite(area, 0, total, 128, true);
        });
    }
}

void VirtualProgrammer::IspCommand(uint8_t command) {
    VirtualChip& c = chip();
    switch (command) {
        case 'I':
            Send(faults.signature
                     ? std::vector<uint8_t>(faults.signature->begin(), faults.signature->end())
                     : std::vector<uint8_t>(c.signature.begin(), c.signature.end()));
            break;
        case 'R':
            Expect(1, [this](const std::vector<uint8_t>& b) {
                if (b[0] == 'p') {
                    Stream(chip().memory, true);
                } else if (b[0] == 'L') {
                    Send(chip().lockByte);
                }
            });
            break;
        case 'W':
            Expect(1, [this](const std::vector<uint8_t>& b) {
                if (b[0] == 'p') {
                    BlockWrite(&chip().memory, 0, chip().memory.size(), 128, false);
                } else if (b[0] >= 0xE1 && b[0] <= 0xE3) {
                    if (faults.lockCommandsIgnored > 0) {
                        --faults.lockCommandsIgnored;
                    } else {
                        chip().lockByte |= static_cast<uint8_t>(0x04 << (b[0] - 0xE1));
                        Changed();
                    }
                    Send(b[0]);
                }
            });
            break;
        case 'E':
            Erase();
            break;
        default:
            break;
    }
}

void VirtualProgrammer::Erase() {
    if (faults.eraseFails) {
        Send({'F', 'a', 'i', 'l'});
        return;
    }
    chip().Erase();
    Changed();
    Send({'D', 'o', 'n', 'e'});
}

// 'E', then 'P', 'F' or 'L', and the value; an AVR with a high fuse byte follows the low
// fuse with the high one, and parts whose sheet has an extended fuse byte with that one
// too: the host and this firmware model decide it by the same rule.
void VirtualProgrammer::FuseFrame(const std::vector<uint8_t>& frame) {
    if (frame[0] != 'P') {
        return;
    }
    VirtualChip& c = chip();
    if (frame[1] == 'L') {
        c.lockBits = frame[2];
        Changed();
        Send('A');
        return;
    }
    if (frame[1] != 'F') {
        return;
    }
    c.fuseLow = frame[2];
    Changed();
    Send('A');
    if (c.variant == 32) {
        Expect(1, [this](const std::vector<uint8_t>& high) {
            chip().fuseHigh = high[0];
            Changed();
            Send('A');
            if (HasExtendedFuse(chip().configCode)) {
                Expect(1, [this](const std::vector<uint8_t>& ext) {
                    chip().fuseExt = ext[0];
                    Changed();
                    Send('A');
                });
            }
        });
    }
}

}  // namespace kardo
