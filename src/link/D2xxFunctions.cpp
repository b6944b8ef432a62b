// SPDX-License-Identifier: GPL-3.0-or-later
// The driver library's functions, found by name in the library loaded at run time, so the
// program starts, and runs without a programmer, on a machine without the driver.
#include "link/D2xxFunctions.h"

namespace kardo {
namespace {

using namespace d2xx;

struct Functions {
    OpenExFn openEx = nullptr;
    ResetDeviceFn resetDevice = nullptr;
    PurgeFn purge = nullptr;
    SetTimeoutsFn setTimeouts = nullptr;
    WriteFn write = nullptr;
    ReadFn read = nullptr;
    GetQueueStatusFn getQueueStatus = nullptr;
    CloseFn close = nullptr;
};

class D2xxFunctions : public D2xxBackend {
  public:
    D2xxFunctions(std::unique_ptr<SharedLibrary> library, const Functions& f)
        : library_(std::move(library)), f_(f) {}

    // The library only reads the description and the bytes to write; its declarations
    // just do not say so.
    D2xxStatus OpenEx(const char* description, D2xxDword flags, D2xxHandle& handle) override {
        return f_.openEx(const_cast<char*>(description), flags, &handle);
    }
    D2xxStatus ResetDevice(D2xxHandle handle) override { return f_.resetDevice(handle); }
    D2xxStatus Purge(D2xxHandle handle, D2xxDword mask) override { return f_.purge(handle, mask); }
    D2xxStatus SetTimeouts(D2xxHandle handle, D2xxDword readMs, D2xxDword writeMs) override {
        return f_.setTimeouts(handle, readMs, writeMs);
    }
    D2xxStatus Write(D2xxHandle handle, const uint8_t* data, D2xxDword n,
                     D2xxDword& written) override {
        return f_.write(handle, const_cast<uint8_t*>(data), n, &written);
    }
    D2xxStatus Read(D2xxHandle handle, uint8_t* data, D2xxDword n, D2xxDword& got) override {
        return f_.read(handle, data, n, &got);
    }
    D2xxStatus GetQueueStatus(D2xxHandle handle, D2xxDword& queued) override {
        return f_.getQueueStatus(handle, &queued);
    }
    D2xxStatus Close(D2xxHandle handle) override { return f_.close(handle); }

  private:
    std::unique_ptr<SharedLibrary> library_;  // keeps the functions loaded
    Functions f_;
};

}  // namespace

D2xxLoad LoadD2xx(LibraryLoader& loader) {
    std::string error;
    std::unique_ptr<SharedLibrary> library = loader.Load(kD2xxLibrary, error);
    if (library == nullptr) {
        return {nullptr, std::string(kD2xxLibrary) + " could not be loaded (" + error +
                             "): the FTDI D2XX driver is not installed, so the programmer "
                             "on USB cannot be reached. The program runs without it."};
    }
    Functions f;
    std::string missing;
    const auto find = [&](const char* name, auto& into) {
        const LibraryFunction found = library->Find(name);
        if (found == nullptr) {
            missing += missing.empty() ? name : std::string(", ") + name;
        }
        into = reinterpret_cast<std::remove_reference_t<decltype(into)>>(found);
    };
    find("FT_OpenEx", f.openEx);
    find("FT_ResetDevice", f.resetDevice);
    find("FT_Purge", f.purge);
    find("FT_SetTimeouts", f.setTimeouts);
    find("FT_Write", f.write);
    find("FT_Read", f.read);
    find("FT_GetQueueStatus", f.getQueueStatus);
    find("FT_Close", f.close);
    if (!missing.empty()) {
        return {nullptr, std::string(kD2xxLibrary) + " lacks " + missing +
                             ": it is not the FTDI D2XX driver library, or not a whole one, so "
                             "the programmer on USB cannot be reached. The program runs "
                             "without it."};
    }
    return {std::make_unique<D2xxFunctions>(std::move(library), f), {}};
}

}  // namespace kardo
