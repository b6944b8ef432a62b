// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/ProductionLog.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "common/JsonText.h"
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

namespace kardo {

ProductionRecord NewProductionRecord(const ConnectionState& connection,
                                     const ProgrammerLink* link) {
    ProductionRecord record;
    record.time = TimeNowIso8601();
    record.host = HostName();
    record.programmerModel = connection.HardwareModel;
    record.firmware = connection.FirmwareVersion;
    record.programmerSerial = link != nullptr ? link->BridgeSerial() : std::string();
    record.programmerName = link != nullptr ? link->Name() : std::string();
    if (record.programmerName == record.programmerSerial) {
        record.programmerName.clear();  // said once is enough
    }
    return record;
}

std::string ProductionLine(const ProductionRecord& r) {
    JsonObject programmer;
    programmer.Add("model", int64_t{r.programmerModel}).Add("firmware", int64_t{r.firmware});
    if (!r.programmerSerial.empty()) {
        programmer.Add("serial", r.programmerSerial);
    }
    if (!r.programmerName.empty()) {
        programmer.Add("name", r.programmerName);
    }
    JsonObject line;
    line.Add("time", r.time)
        .Add("host", r.host)
        .AddJson("programmer", programmer.Text())
        .Add("device", r.device)
        .Add("operation", r.operation);
    if (!r.file.empty()) {
        line.Add("file", r.file).Add("sha256", r.fileSha256);
    }
    line.Add("checksum", r.checksum);
    if (r.serialNumber) {
        line.Add("serial", static_cast<int64_t>(*r.serialNumber));
    }
    return line.Add("result", r.passed ? "passed" : "failed")
        .Add("errors", int64_t{r.errors})
        .Add("duration_ms", r.durationMs)
        .Text();
}

std::string AppendProductionLine(const std::filesystem::path& file, const std::string& line) {
    const std::string whole = line + "\n";
#ifdef _WIN32
    const int fd = _open(file.string().c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY,
                         _S_IREAD | _S_IWRITE);
#else
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
#endif
    if (fd < 0) {
        return std::generic_category().message(errno);
    }
    // One write of the whole line: with O_APPEND the system puts it at the end whole.
#ifdef _WIN32
    const auto written = _write(fd, whole.data(), static_cast<unsigned>(whole.size()));
#else
    const ssize_t written = ::write(fd, whole.data(), whole.size());
#endif
    const int writeError = errno;
#ifdef _WIN32
    const int closed = _close(fd);
#else
    const int closed = ::close(fd);
#endif
    if (written < 0 || static_cast<std::size_t>(written) != whole.size()) {
        return written < 0 ? std::generic_category().message(writeError)
                           : "only part of the line was written";
    }
    if (closed != 0) {
        return std::generic_category().message(errno);
    }
    return {};
}

std::string TimeNowIso8601() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char when[32] = {}, zone[8] = {};
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(zone, sizeof zone, "%z", &local);
    // strftime gives +0100; ISO 8601 as people read it has +01:00.
    char iso[48];
    if (std::strlen(zone) == 5) {
        std::snprintf(iso, sizeof iso, "%s%.3s:%.2s", when, zone, zone + 3);
    } else {
        std::snprintf(iso, sizeof iso, "%s", when);
    }
    return iso;
}

std::string HostName() {
#ifdef _WIN32
    const char* name = std::getenv("COMPUTERNAME");
    return name != nullptr ? name : "";
#else
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) {
        return {};
    }
    return name;
#endif
}

const char* OperationName(char code) {
    switch (code) {
        case 'B':
            return "blank";
        case 'R':
            return "read";
        case 'P':
            return "program";
        case 'V':
            return "verify";
        case 'E':
            return "erase";
        default:
            return "?";
    }
}

}  // namespace kardo
