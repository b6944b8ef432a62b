// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <thread>

class QButtonGroup;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QPushButton;

namespace kardo {

class ProgrammerLink;

// "Test KARDO Hardware": the user picks one of the programmer's outputs and "Go" has
// the programmer drive it for a few seconds. The exchange waits up to half a minute
// for the programmer, so it runs on a thread of its own: the dialog keeps repainting
// and can be moved, and its controls stay off (and it cannot be closed) until the
// step is over.
class TfrmTest : public QDialog {
    Q_OBJECT
  public:
    // `link` may be null (no programmer backend): every step then fails.
    TfrmTest(ProgrammerLink* link, uint8_t hardwareModel, const std::filesystem::path& pictureDir,
             QWidget* parent);
    ~TfrmTest() override;

    bool StepRunning() const { return worker_.joinable(); }

    void reject() override;

  signals:
    void StepDone();  // raised on the worker thread

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    void FormCreate(uint8_t hardwareModel, const std::filesystem::path& pictureDir);
    void Button1Click();
    void Button2Click();
    void StepFinished();
    void SetControlsEnabled(bool enabled);
    void SetLabel1Colour(const QColor& colour);

    ProgrammerLink* link_;
    std::thread worker_;
    std::atomic<bool> stepPassed_{false};

    QGroupBox* PINS = nullptr;
    QLabel* Image2 = nullptr;
    QGroupBox* TestRG = nullptr;
    QButtonGroup* testItems_ = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};

}  // namespace kardo
