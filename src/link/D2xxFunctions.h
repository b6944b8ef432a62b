// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/D2xxBackend.h"

// The eight functions of the D2XX library with the signatures it publishes. Windows
// calls them __stdcall, which only 32-bit code tells apart from the default.
#if defined(_WIN32) && !defined(_WIN64)
#define KARDO_D2XX_API __stdcall
#else
#define KARDO_D2XX_API
#endif

namespace kardo::d2xx {

using OpenExFn = D2xxStatus(KARDO_D2XX_API*)(void* arg1, D2xxDword flags, D2xxHandle* handle);
using ResetDeviceFn = D2xxStatus(KARDO_D2XX_API*)(D2xxHandle handle);
using PurgeFn = D2xxStatus(KARDO_D2XX_API*)(D2xxHandle handle, D2xxDword mask);
using SetTimeoutsFn = D2xxStatus(KARDO_D2XX_API*)(D2xxHandle handle, D2xxDword readTimeout,
                                                  D2xxDword writeTimeout);
using WriteFn = D2xxStatus(KARDO_D2XX_API*)(D2xxHandle handle, void* buffer, D2xxDword bytesToWrite,
                                            D2xxDword* bytesWritten);
using ReadFn = D2xxStatus(KARDO_D2XX_API*)(D2xxHandle handle, void* buffer, D2xxDword bytesToRead,
                                           D2xxDword* bytesReturned);
using GetQueueStatusFn = D2xxStatus(KARDO_D2XX_API*)(D2xxHandle handle, D2xxDword* rxBytes);
using CloseFn = D2xxStatus(KARDO_D2XX_API*)(D2xxHandle handle);

}  // namespace kardo::d2xx
