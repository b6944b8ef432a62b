// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "link/SharedLibrary.h"

namespace kardo {

// The types of the FTDI D2XX driver library as it declares them: statuses and counts are
// DWORD and ULONG (32 bits, an unsigned long on Windows), a device handle is a pointer.
using D2xxDword = std::conditional_t<sizeof(unsigned long) == 4, unsigned long, uint32_t>;
using D2xxStatus = D2xxDword;
using D2xxHandle = void*;

inline constexpr D2xxStatus kD2xxOk = 0;
// FT_OpenEx's flag for "the first argument is the USB product description".
inline constexpr D2xxDword kD2xxOpenByDescription = 2;
inline constexpr const char* kD2xxLibrary = "ftd2xx.dll";

// The eight driver calls our USB link makes on Windows, one for one, so that the link's
// use of them can be tested with no driver installed.
class D2xxBackend {
  public:
    virtual ~D2xxBackend() = default;
    virtual D2xxStatus OpenEx(const char* description, D2xxDword flags, D2xxHandle& handle) = 0;
    virtual D2xxStatus ResetDevice(D2xxHandle handle) = 0;
    virtual D2xxStatus Purge(D2xxHandle handle, D2xxDword mask) = 0;
    virtual D2xxStatus SetTimeouts(D2xxHandle handle, D2xxDword readMs, D2xxDword writeMs) = 0;
    virtual D2xxStatus Write(D2xxHandle handle, const uint8_t* data, D2xxDword n,
                             D2xxDword& written) = 0;
    virtual D2xxStatus Read(D2xxHandle handle, uint8_t* data, D2xxDword n, D2xxDword& got) = 0;
    virtual D2xxStatus GetQueueStatus(D2xxHandle handle, D2xxDword& queued) = 0;
    virtual D2xxStatus Close(D2xxHandle handle) = 0;
};

struct D2xxLoad {
    std::unique_ptr<D2xxBackend> backend;  // null when the library cannot be used
    std::string problem;                   // then: why, for the user
};

// Loads the driver library through `loader` and finds its eight functions by name.
D2xxLoad LoadD2xx(LibraryLoader& loader);

}  // namespace kardo
