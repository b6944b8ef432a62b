// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window on the shipped database against the virtual programmer, every call
// on the link traced: for the tests that need the real devices and the files the
// outside toolchains made for them.
#include <QDialog>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

#include "link/SimulatedLink.h"
#include "link/TraceLink.h"
#include "support/TestPaths.h"
#include "support/forms/MainWindowFixture.h"
#include "support/forms/UserActions.h"

namespace kardo::test {

inline const std::filesystem::path kToolchainFiles = kardo::test::SourceDir() / "tests/fileio/data";

// The link the window owns: the virtual programmer, every call traced.
struct SimulatorHolder {
    SimulatedLink sim;
};
class TracedSimulator : private SimulatorHolder, public TraceLink {
  public:
    TracedSimulator() : TraceLink(sim) {}
    SimulatedLink& simulator() { return sim; }
};

// A part of the shipped database selected (type radio, manufacturer row, device row),
// its chip in the socket.
struct ShippedBench {
    TempDir shipped;
    TracedSimulator* link;
    std::unique_ptr<MainWindowFixture> f;

    ShippedBench(const char* type, int manufacturer, int device, const char* expectedName,
                 std::filesystem::path settingsFile = {}) {
        for (const char* file : {"KARDO_e.usb", "KARDO_m.usb"}) {
            std::filesystem::copy_file(kardo::test::BuiltDataDir() / file, shipped / file);
        }
        auto owned = std::make_unique<TracedSimulator>();
        link = owned.get();
        f = std::make_unique<MainWindowFixture>(
            std::move(owned), shipped.path(),
            [l = link](const DeviceRecord& r) { l->simulator().programmer().InsertChip(r); },
            std::move(settingsFile));
        f->Select(type, manufacturer, device);
        if (!f->state().record || f->state().record->Name() != expectedName) {
            qFatal("the shipped database no longer has %s there", expectedName);
        }
    }
    VirtualChip& chip() { return link->simulator().programmer().chip(); }
    void Load(const char* file) {
        f->dialogs.openFiles.push_back(Dialogs::FileChoice{kToolchainFiles / file, 1});
        f->dialogs.drivers.push_back(
            [](QDialog& dialog) { Click(dialog.findChild<QPushButton*>("BitBtn1")); });
        Click(f->button("SB_Load"));
    }
    std::vector<uint8_t> Bytes(std::size_t at, std::size_t n) {
        const uint8_t* data = f->state().buffer.data();
        return std::vector<uint8_t>(data + at, data + at + n);
    }
    // The log of the last operation: from after its empty first line to before the time.
    QStringList LastOperation() {
        const QStringList log = f->log();
        const auto start = log.lastIndexOf(QString());
        return log.mid(start + 1, log.size() - start - 2);
    }
    // Opens the dialog of `button`, lets `user` work in it, then leaves it with OK, which
    // must close it.
    void InDialog(const char* button, const QString& title, std::function<void(QDialog&)> user,
                  const char* ok = "BitBtn1") {
        f->dialogs.drivers.push_back([title, user, ok](QDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), title);
            user(dialog);
            Click(Child<QPushButton>(dialog, ok));
            QVERIFY(!dialog.isVisible());
        });
        Click(f->button(button));
        QVERIFY(f->dialogs.drivers.empty());
    }
    int Count(const std::string& traceLine) {
        const auto lines = link->Lines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), traceLine));
    }
};

}  // namespace kardo::test
