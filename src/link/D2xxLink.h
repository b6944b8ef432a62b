// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "link/D2xxBackend.h"
#include "link/ProgrammerLink.h"

namespace kardo {

// The programmer over its FTDI USB bridge through the D2XX driver, as on Windows. The
// driver's calls already are the link's eight operations: this keeps the one handle,
// opens by product description, and passes the driver's statuses and counts through.
class D2xxLink : public ProgrammerLink {
  public:
    // The timeouts set on every open, before anything is read: the driver's own default
    // is to wait for as long as it takes, and a silent programmer would hang the program.
    static constexpr uint32_t kOpenTimeoutMs = 1000;

    // Without a backend (the driver library is missing) every open fails as it does with
    // no programmer attached, and the program runs in demonstration mode.
    explicit D2xxLink(std::unique_ptr<D2xxBackend> backend) : d2xx_(std::move(backend)) {}
    ~D2xxLink() override;
    D2xxLink(const D2xxLink&) = delete;
    D2xxLink& operator=(const D2xxLink&) = delete;

    LinkStatus OpenEx(const std::string& description) override;
    LinkStatus ResetDevice() override;
    LinkStatus Purge(uint32_t mask) override;
    LinkStatus SetTimeouts(uint32_t readMs, uint32_t writeMs) override;
    LinkStatus Write(const uint8_t* data, std::size_t n, std::size_t& written) override;
    LinkStatus Read(uint8_t* data, std::size_t n, std::size_t& got) override;
    LinkStatus GetQueueStatus(std::size_t& queued) override;
    LinkStatus Close() override;

  private:
    std::unique_ptr<D2xxBackend> d2xx_;
    D2xxHandle handle_ = nullptr;
    bool open_ = false;
};

}  // namespace kardo
