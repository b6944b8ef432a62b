// SPDX-License-Identifier: GPL-3.0-or-later
// The USB link of the Windows build, through a D2XX driver that is not there: the
// library loader, the eight functions and the driver behind them are fakes.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "link/Connection.h"
#include "link/D2xxFunctions.h"
#include "link/D2xxLink.h"

namespace kardo {
namespace {

struct RecordingLog : LogSink {
    std::vector<std::string> lines;
    void AppendLine(const std::string& line) override { lines.push_back(line); }
};

// The driver as the link sees it: which calls came, with what, and what it answers.
struct Driver {
    bool attached = true;            // a bridge with our description is plugged in
    std::vector<std::string> calls;  // every call after the open, in order
    std::vector<uint8_t> written;
    std::vector<uint8_t> toSend;    // what the programmer has sent, waiting in the driver
    uint8_t firmware = 2;           // the answer to 'F'
    D2xxStatus failWith = kD2xxOk;  // every call after the open answers this
    D2xxDword claimExtra = 0;       // a driver that counts more bytes than it moved
    int openHandles = 0;
};

class FakeDriver : public D2xxBackend {
  public:
    explicit FakeDriver(Driver& driver) : d_(driver) {}

    D2xxStatus OpenEx(const char* description, D2xxDword flags, D2xxHandle& handle) override {
        d_.calls.push_back("OpenEx " + std::string(description) + " " + std::to_string(flags));
        if (!d_.attached || flags != kD2xxOpenByDescription ||
            std::string(description) != "Q6K USB") {
            return 2;  // device not found
        }
        ++d_.openHandles;
        handle = &handles_[++lastHandle_];
        return kD2xxOk;
    }
    D2xxStatus ResetDevice(D2xxHandle handle) override { return Call("ResetDevice", handle); }
    D2xxStatus Purge(D2xxHandle handle, D2xxDword mask) override {
        return Call("Purge " + std::to_string(mask), handle);
    }
    D2xxStatus SetTimeouts(D2xxHandle handle, D2xxDword readMs, D2xxDword writeMs) override {
        return Call("SetTimeouts " + std::to_string(readMs) + " " + std::to_string(writeMs),
                    handle);
    }
    D2xxStatus Write(D2xxHandle handle, const uint8_t* data, D2xxDword n,
                     D2xxDword& written) override {
        written = 0;
        if (const D2xxStatus status = Call("Write " + std::to_string(n), handle)) {
            return status;
        }
        d_.written.insert(d_.written.end(), data, data + n);
        if (n == 1 && data[0] == 'F') {
            d_.toSend.push_back(d_.firmware);
        }
        written = n;
        return kD2xxOk;
    }
    D2xxStatus Read(D2xxHandle handle, uint8_t* data, D2xxDword n, D2xxDword& got) override {
        got = 0;
        if (const D2xxStatus status = Call("Read " + std::to_string(n), handle)) {
            return status;
        }
        const auto count = std::min<std::size_t>(n, d_.toSend.size());
        std::copy_n(d_.toSend.begin(), count, data);
        d_.toSend.erase(d_.toSend.begin(), d_.toSend.begin() + static_cast<std::ptrdiff_t>(count));
        got = static_cast<D2xxDword>(count) + d_.claimExtra;
        return kD2xxOk;
    }
    D2xxStatus GetQueueStatus(D2xxHandle handle, D2xxDword& queued) override {
        queued = static_cast<D2xxDword>(d_.toSend.size());
        return Call("GetQueueStatus", handle);
    }
    D2xxStatus Close(D2xxHandle handle) override {
        const D2xxStatus status = Call("Close", handle);
        handles_.erase(Index(handle));
        --d_.openHandles;
        return status;
    }

  private:
    int Index(D2xxHandle handle) const {
        for (const auto& [index, slot] : handles_) {
            if (&slot == handle) {
                return index;
            }
        }
        return -1;
    }
    // Every call must come with a handle the driver gave out and that is still open.
    D2xxStatus Call(const std::string& what, D2xxHandle handle) {
        EXPECT_NE(Index(handle), -1) << what << " on a handle that is not open";
        d_.calls.push_back(what + " #" + std::to_string(Index(handle)));
        return d_.failWith;
    }

    Driver& d_;
    std::map<int, int> handles_;  // open handles by number; a handle is a slot's address
    int lastHandle_ = 0;
};

struct D2xxLinkTest : ::testing::Test {
    Driver driver;
    D2xxLink link{std::make_unique<FakeDriver>(driver)};
    ConnectionState state;
    RecordingLog log;
};

TEST_F(D2xxLinkTest, StartUpOpensByDescriptionResetsAndAsksTheFirmware) {
    OpenLink(link, state, log);
    EXPECT_EQ(state.LinkState, 1);
    EXPECT_EQ(state.FirmwareVersion, 2u);
    EXPECT_EQ(state.HardwareModel, 40);
    EXPECT_EQ(driver.written, (std::vector<uint8_t>{'F'}));
    EXPECT_EQ(driver.calls, (std::vector<std::string>{
                                "OpenEx Q6K USB 2",
                                "SetTimeouts 1000 1000 #1",  // before anything can be read
                                "ResetDevice #1",
                                "Purge 3 #1",
                                "SetTimeouts 1000 1000 #1",
                                "Write 1 #1",
                                "GetQueueStatus #1",
                                "Read 1 #1",
                                "Purge 3 #1",
                            }));

    // "Reconnect": the old handle goes first, and there is no reset this time.
    driver.calls.clear();
    ReopenLink(link, state, log);
    EXPECT_EQ(state.LinkState, 1);
    ASSERT_GE(driver.calls.size(), 3u);
    EXPECT_EQ(driver.calls[0], "Close #1");
    EXPECT_EQ(driver.calls[1], "OpenEx Q6K USB 2");
    EXPECT_EQ(std::count(driver.calls.begin(), driver.calls.end(), "ResetDevice #2"), 0);

    CloseLink(link);
    EXPECT_EQ(driver.calls.back(), "Close #2");
    EXPECT_EQ(driver.openHandles, 0);
}

TEST_F(D2xxLinkTest, WithNoProgrammerAttachedNothingButTheOpenReachesTheDriver) {
    driver.attached = false;
    OpenLink(link, state, log);
    EXPECT_EQ(state.LinkState, 0);
    EXPECT_EQ(state.HardwareModel, 24);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"OpenEx Q6K USB 2"}));

    std::size_t count = 7;
    uint8_t byte = 0;
    EXPECT_EQ(link.Write(&byte, 1, count), kLinkInvalidHandle);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(link.Read(&byte, 1, count), kLinkInvalidHandle);
    EXPECT_EQ(link.GetQueueStatus(count), kLinkInvalidHandle);
    EXPECT_EQ(link.Close(), kLinkInvalidHandle);
    EXPECT_EQ(driver.calls.size(), 1u);
}

TEST_F(D2xxLinkTest, CountsAndStatusesAreTheDriversButNeverBeyondTheBuffer) {
    ASSERT_EQ(link.OpenEx("Q6K USB"), kLinkOk);
    const uint8_t block[5] = {1, 2, 3, 4, 5};
    std::size_t count = 0;
    EXPECT_EQ(link.Write(block, sizeof block, count), kLinkOk);
    EXPECT_EQ(count, 5u);

    driver.toSend = {'O', 'K', 'x'};
    EXPECT_EQ(link.GetQueueStatus(count), kLinkOk);
    EXPECT_EQ(count, 3u);
    uint8_t reply[2] = {};
    EXPECT_EQ(link.Read(reply, 2, count), kLinkOk);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(reply[0], 'O');
    EXPECT_EQ(reply[1], 'K');

    // A short read stays short; a count beyond what was asked for is not believed.
    uint8_t more[4] = {};
    driver.claimExtra = 100;
    EXPECT_EQ(link.Read(more, 4, count), kLinkOk);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(more[0], 'x');

    driver.failWith = 4;  // an I/O error, passed on as the driver said it
    EXPECT_EQ(link.Write(block, 1, count), 4u);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(link.Purge(kPurgeRxTx), 4u);
    driver.failWith = kD2xxOk;

    // Opening again never leaks the first handle.
    ASSERT_EQ(link.OpenEx("Q6K USB"), kLinkOk);
    EXPECT_EQ(driver.openHandles, 1);
    EXPECT_EQ(link.OpenEx("Another bridge"), 2u);
    EXPECT_EQ(driver.openHandles, 0);
}

// The library behind the link: found by name, each function called as declared. These
// stand in for the library's functions; the handle they give out is the device itself.
struct FakeDevice {
    std::string description;
    D2xxDword flags = 0;
    std::vector<std::string> calls;
    std::vector<uint8_t> toSend{0x5A};
};

FakeDevice& DeviceOf(D2xxHandle handle) {
    return *static_cast<FakeDevice*>(handle);
}
D2xxStatus FakeOpenEx(void* arg1, D2xxDword flags, D2xxHandle* handle) {
    *handle = new FakeDevice{static_cast<const char*>(arg1), flags, {}, {0x5A}};
    return kD2xxOk;
}
D2xxStatus FakeResetDevice(D2xxHandle handle) {
    DeviceOf(handle).calls.push_back("reset");
    return kD2xxOk;
}
D2xxStatus FakePurge(D2xxHandle handle, D2xxDword mask) {
    DeviceOf(handle).calls.push_back("purge " + std::to_string(mask));
    return kD2xxOk;
}
D2xxStatus FakeSetTimeouts(D2xxHandle handle, D2xxDword readMs, D2xxDword writeMs) {
    DeviceOf(handle).calls.push_back("timeouts " + std::to_string(readMs) + " " +
                                     std::to_string(writeMs));
    return kD2xxOk;
}
D2xxStatus FakeWrite(D2xxHandle handle, void* buffer, D2xxDword n, D2xxDword* written) {
    DeviceOf(handle).calls.push_back(
        "write " + std::string(static_cast<const char*>(buffer), static_cast<std::size_t>(n)));
    *written = n;
    return kD2xxOk;
}
D2xxStatus FakeRead(D2xxHandle handle, void* buffer, D2xxDword n, D2xxDword* got) {
    FakeDevice& device = DeviceOf(handle);
    device.calls.push_back("read " + std::to_string(n));
    *static_cast<uint8_t*>(buffer) = device.toSend.at(0);
    *got = 1;
    return kD2xxOk;
}
D2xxStatus FakeGetQueueStatus(D2xxHandle handle, D2xxDword* queued) {
    *queued = static_cast<D2xxDword>(DeviceOf(handle).toSend.size());
    return 9;  // a status of its own, to see it come back
}
D2xxStatus FakeClose(D2xxHandle handle) {
    DeviceOf(handle).calls.push_back("close");
    return kD2xxOk;
}

// What the loader was asked and what it has; outlives the fakes.
struct Library {
    bool present = true;
    std::map<std::string, LibraryFunction> functions{
        {"FT_OpenEx", reinterpret_cast<LibraryFunction>(&FakeOpenEx)},
        {"FT_ResetDevice", reinterpret_cast<LibraryFunction>(&FakeResetDevice)},
        {"FT_Purge", reinterpret_cast<LibraryFunction>(&FakePurge)},
        {"FT_SetTimeouts", reinterpret_cast<LibraryFunction>(&FakeSetTimeouts)},
        {"FT_Write", reinterpret_cast<LibraryFunction>(&FakeWrite)},
        {"FT_Read", reinterpret_cast<LibraryFunction>(&FakeRead)},
        {"FT_GetQueueStatus", reinterpret_cast<LibraryFunction>(&FakeGetQueueStatus)},
        {"FT_Close", reinterpret_cast<LibraryFunction>(&FakeClose)},
    };
    std::vector<std::string> loaded;
    int unloaded = 0;
};

class FakeLibrary : public SharedLibrary {
  public:
    explicit FakeLibrary(Library& library) : library_(library) {}
    ~FakeLibrary() override { ++library_.unloaded; }
    LibraryFunction Find(const char* name) override {
        const auto found = library_.functions.find(name);
        return found == library_.functions.end() ? nullptr : found->second;
    }

  private:
    Library& library_;
};

class FakeLoader : public LibraryLoader {
  public:
    explicit FakeLoader(Library& library) : library_(library) {}
    std::unique_ptr<SharedLibrary> Load(const char* name, std::string& error) override {
        library_.loaded.push_back(name);
        if (!library_.present) {
            error = "Module not found.";
            return nullptr;
        }
        return std::make_unique<FakeLibrary>(library_);
    }

  private:
    Library& library_;
};

TEST(D2xxLibrary, TheEightFunctionsAreFoundByNameAndCalledAsDeclared) {
    Library library;
    FakeLoader loader(library);
    D2xxLoad load = LoadD2xx(loader);
    ASSERT_NE(load.backend, nullptr) << load.problem;
    EXPECT_EQ(load.problem, "");
    EXPECT_EQ(library.loaded, (std::vector<std::string>{"ftd2xx.dll"}));

    D2xxHandle handle = nullptr;
    ASSERT_EQ(load.backend->OpenEx("Q6K USB", kD2xxOpenByDescription, handle), kD2xxOk);
    const std::unique_ptr<FakeDevice> device(static_cast<FakeDevice*>(handle));
    EXPECT_EQ(device->description, "Q6K USB");
    EXPECT_EQ(device->flags, 2u);

    D2xxDword count = 0;
    uint8_t byte = 0;
    const uint8_t command[] = {'F', 'V'};
    EXPECT_EQ(load.backend->ResetDevice(handle), kD2xxOk);
    EXPECT_EQ(load.backend->Purge(handle, 3), kD2xxOk);
    EXPECT_EQ(load.backend->SetTimeouts(handle, 1000, 500), kD2xxOk);
    EXPECT_EQ(load.backend->Write(handle, command, 2, count), kD2xxOk);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(load.backend->Read(handle, &byte, 1, count), kD2xxOk);
    EXPECT_EQ(byte, 0x5A);
    EXPECT_EQ(load.backend->GetQueueStatus(handle, count), 9u);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(load.backend->Close(handle), kD2xxOk);
    EXPECT_EQ(device->calls, (std::vector<std::string>{"reset", "purge 3", "timeouts 1000 500",
                                                       "write FV", "read 1", "close"}));

    EXPECT_EQ(library.unloaded, 0);  // the functions stay loaded while they can be called
    load.backend.reset();
    EXPECT_EQ(library.unloaded, 1);
}

TEST(D2xxLibrary, AMissingLibraryOrFunctionIsToldAndTheProgramRunsWithoutAProgrammer) {
    Library library;
    library.present = false;
    FakeLoader loader(library);
    D2xxLoad load = LoadD2xx(loader);
    EXPECT_EQ(load.backend, nullptr);
    EXPECT_EQ(load.problem,
              "ftd2xx.dll could not be loaded (Module not found.): the "
              "FTDI D2XX driver is not installed, so the programmer on USB cannot be reached. "
              "The program runs without it.");

    D2xxLink link(std::move(load.backend));
    ConnectionState state;
    RecordingLog log;
    OpenLink(link, state, log);
    EXPECT_EQ(state.LinkState, 0);
    EXPECT_EQ(state.HardwareModel, 24);
    ASSERT_EQ(log.lines.size(), 3u);
    EXPECT_EQ(log.lines[1], " **** NO PROGRAMMER FOUND ****");
    ReopenLink(link, state, log);
    EXPECT_EQ(state.LinkState, 0);
    EXPECT_EQ(state.HardwareModel, 65);

    // A library of that name without all eight: each missing one is named, and the
    // library is let go at once.
    library.present = true;
    library.functions.erase("FT_GetQueueStatus");
    library.functions.erase("FT_Close");
    load = LoadD2xx(loader);
    EXPECT_EQ(load.backend, nullptr);
    EXPECT_EQ(load.problem,
              "ftd2xx.dll lacks FT_GetQueueStatus, FT_Close: it is not the FTDI D2XX driver "
              "library, or not a whole one, so the programmer on USB cannot be reached. The "
              "program runs without it.");
    EXPECT_EQ(library.unloaded, 1);
}

}  // namespace
}  // namespace kardo
