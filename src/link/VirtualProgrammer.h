// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "devicedb/DeviceRecord.h"
#include "link/VirtualChip.h"

namespace kardo {

// The programmer's firmware, in process: it takes the bytes the host writes, answers as
// the real firmware does, and keeps a chip in its socket. Used by the tests, the
// benchmarks and KARDO_LINK=sim.
class VirtualProgrammer {
  public:
    // Misbehaviour on request, for the tests of what the host does about it.
    struct Faults {
        bool silent = false;                              // never answers anything
        bool wrongHandshake = false;                      // "No" instead of "Go"
        bool rejectParameters = false;                    // "NO" instead of "OK" to the upload
        std::optional<uint32_t> corruptAddress;           // reads of the main area flip this byte
        std::optional<std::array<uint8_t, 3>> signature;  // a chip of another kind
        int selfTestNoise = 0;                            // bytes sent before the self-test 'D'
        bool selfTestFails = false;                       // the self-test never says 'D'
        int lockCommandsIgnored = 0;  // lock bit commands acknowledged but not taken
        bool notBlank = false;        // every chip put in the socket has a programmed byte
        bool eraseFails = false;      // an ISP or PIC erase answers "Fail" and erases nothing
    };

    // What the last parameter upload said.
    struct Parameters {
        bool received = false;
        uint16_t size = 0;  // low 16 bits only, as sent
        char family = 0;
        uint8_t variant = 0;
        uint16_t dataCount = 0;
        uint8_t progParam = 0;
        uint8_t configCode = 0;
    };

    Faults faults;
    uint8_t firmwareVersion = 3;

    // A technician puts the selected device's chip in the socket. With an image file set,
    // the chip comes from that file when it holds the same device, else it is blank. A
    // file holding another device's chip is left as it is: that chip is not thrown away
    // for a blank one, the new chip is kept in memory only, and TakeImageProblem says so.
    void InsertChip(const DeviceRecord& record);
    // Where the chip is kept between runs; empty for none. A file that cannot be read or
    // written, or one that is not a chip file (which is never replaced), is not used:
    // the chip is kept in memory only, and the returned text says why (empty when the
    // file can be used).
    std::string SetImageFile(std::filesystem::path file);
    // The reason the image file stopped being used since the last call, if it did.
    std::string TakeImageProblem() { return std::exchange(imageProblem_, {}); }
    bool HasChip() const { return chip_.has_value(); }
    VirtualChip& chip();

    const Parameters& parameters() const { return parameters_; }

    // The host's side of the wire.
    void Receive(const uint8_t* bytes, std::size_t n);
    std::size_t Available() const { return output_.size(); }
    std::size_t Take(uint8_t* out, std::size_t n);
    // The firmware stops sending what it has left; counted, so the USB timing model can
    // drop what it holds of the firmware's output too.
    void DropOutput() {
        output_.clear();
        ++outputDrops_;
    }
    std::size_t outputDrops() const { return outputDrops_; }
    // A bridge reset: the firmware starts over, waiting for a command.
    void Reset();
    // Bytes stored into the chip by block writes so far: what the USB timing model
    // charges the chip's write time for.
    std::size_t chipBytesWritten() const { return chipBytesWritten_; }

  private:
    using Handler = std::function<void(const std::vector<uint8_t>&)>;

    void Expect(std::size_t count, Handler handler);
    void Pump();
    void Command(uint8_t byte);
    void Send(const std::vector<uint8_t>& bytes);
    void Send(uint8_t byte) { output_.push_back(byte); }
    void SendHandshake();
    void Stream(const std::vector<uint8_t>& area, bool mainArea);
    void Changed();
    void MarkNotBlank();
    // Stops keeping the chip in the file, and says why.
    void DropImageFile(const std::string& what);
    char Family() const;

    void Parameters2(const std::vector<uint8_t>& first);
    void EepromCommand(uint8_t command);
    void PicCommand(uint8_t command);
    void IspCommand(uint8_t command);
    void FuseFrame(const std::vector<uint8_t>& frame);
    // A chip erase: "Done" and the chip erased, or with the erase-fails fault "Fail".
    void Erase();
    std::vector<uint8_t>* PicArea(uint8_t areaByte);

    // Receives `total` bytes into `area` in blocks, answering each block with `ack`
    // bytes per byte group; bytes past the area's end are taken and dropped.
    void BlockWrite(std::vector<uint8_t>* area, std::size_t offset, std::size_t total,
                    std::size_t block, bool pairAcks);

    std::optional<VirtualChip> chip_;
    std::filesystem::path imageFile_;
    std::string imageProblem_;
    Parameters parameters_;
    std::deque<uint8_t> input_;
    std::deque<uint8_t> output_;
    std::size_t expected_ = 1;
    Handler handler_;
    std::size_t chipBytesWritten_ = 0;
    std::size_t outputDrops_ = 0;
};

}  // namespace kardo
