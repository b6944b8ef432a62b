// SPDX-License-Identifier: GPL-3.0-or-later
#include "algorithms/forms/TfrmTest.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "algorithms/SelfTest.h"
#include "algorithms/forms/PictureLabel.h"
#include "algorithms/forms/PinLabels.h"
#include "link/Connection.h"

namespace kardo {

TfrmTest::TfrmTest(ProgrammerLink* link, uint8_t hardwareModel,
                   const std::filesystem::path& pictureDir, QWidget* parent)
    : QDialog(parent), link_(link) {
    setObjectName("TfrmTest");
    setWindowTitle("Test KARDO Hardware");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    FormCreate(hardwareModel, pictureDir);
}

TfrmTest::~TfrmTest() {
    // Nothing closes the dialog while a step runs, but a program ending under it must
    // not leave the thread on the link; the wait is bounded by the step's reads.
    if (worker_.joinable()) {
        worker_.join();
    }
}

void TfrmTest::FormCreate(uint8_t hardwareModel, const std::filesystem::path& pictureDir) {
    auto* layout = new QVBoxLayout(this);

    PINS = new QGroupBox("PINS", this);
    PINS->setObjectName("PINS");
    auto* pins = new QHBoxLayout(PINS);
    const char* file = hardwareModel == kModelFirstGeneration ? "Test.jpg" : "Test_2.jpg";
    Image2 = MakePictureLabel(LoadPicture(pictureDir / file), "Image2", PINS);
    pins->addWidget(Image2);
    auto* names = new QVBoxLayout;
    AddPinLabels(*names, PINS, {kVccPin, kVppPin, kClkPin, kDataPin, kMisoPin, kRstPin, kGndPin});
    pins->addLayout(names);
    layout->addWidget(PINS);

    // Two columns, filled top to bottom and then the second.
    TestRG = new QGroupBox(" Test ", this);
    TestRG->setObjectName("TestRG");
    auto* grid = new QGridLayout(TestRG);
    testItems_ = new QButtonGroup(this);
    constexpr int kRows = (static_cast<int>(kSelfTestSteps.size()) + 1) / 2;
    for (int i = 0; i < static_cast<int>(kSelfTestSteps.size()); ++i) {
        auto* item = new QRadioButton(kSelfTestSteps[static_cast<std::size_t>(i)].item, TestRG);
        item->setObjectName(QString("TestRG%1").arg(i));
        testItems_->addButton(item, i);
        grid->addWidget(item, i % kRows, i / kRows);
    }
    layout->addWidget(TestRG);

    Label1 = new QLabel("** REMOVE  ALL  JUMPERS **", this);
    Label1->setObjectName("Label1");
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The longest step text fits without the dialog growing when it is shown.
    Label1->setMinimumWidth(Label1->fontMetrics().horizontalAdvance(kSelfTestSteps[3].text) + 16);
    layout->addWidget(Label1);

    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton("Go", this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TfrmTest::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmTest::Button2Click);
    // The worker only raises a signal and leaves its result in an atomic: nothing it
    // builds crosses to the UI thread, so the hand-over is one the race checker can see.
    connect(this, &TfrmTest::StepDone, this, &TfrmTest::StepFinished, Qt::QueuedConnection);
}

void TfrmTest::SetLabel1Colour(const QColor& colour) {
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, colour);
    Label1->setPalette(palette);
}

void TfrmTest::SetControlsEnabled(bool enabled) {
    TestRG->setEnabled(enabled);
    Button1->setEnabled(enabled);
    Button2->setEnabled(enabled);
}

void TfrmTest::Button1Click() {
    if (StepRunning()) {
        return;
    }
    SetLabel1Colour(palette().color(QPalette::WindowText));
    // No item chosen is index -1, whose low byte goes out as 0xFF.
    const int index = testItems_->checkedId();
    if (index >= 0 && index < static_cast<int>(kSelfTestSteps.size())) {
        Label1->setText(kSelfTestSteps[static_cast<std::size_t>(index)].text);
    }
    SetControlsEnabled(false);
    const auto byte = static_cast<uint8_t>(index & 0xFF);
    worker_ = std::thread([this, byte] {
        stepPassed_.store(link_ != nullptr && RunSelfTestStep(*link_, byte));
        emit StepDone();
    });
}

void TfrmTest::StepFinished() {
    worker_.join();
    const bool passed = stepPassed_.load();
    SetControlsEnabled(true);
    if (passed) {
        Label1->clear();
    } else {
        SetLabel1Colour(Qt::red);
        Label1->setText("Test failed");
    }
}

void TfrmTest::Button2Click() {
    reject();
}

void TfrmTest::reject() {
    if (!StepRunning()) {
        QDialog::reject();
    }
}

void TfrmTest::closeEvent(QCloseEvent* event) {
    if (StepRunning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace kardo
