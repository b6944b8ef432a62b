// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/forms/TfrmOption.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/forms/Dialogs.h"
#include "common/forms/WindowLook.h"

namespace kardo {
namespace {

struct BoxName {
    OptionBox box;
    const char* name;
};
constexpr BoxName kGeneralBoxes[] = {
    {OptionBox::CheckBox1, "CheckBox1"},   {OptionBox::CheckBox2, "CheckBox2"},
    {OptionBox::CheckBox3, "CheckBox3"},   {OptionBox::CheckBox6, "CheckBox6"},
    {OptionBox::CheckBox5, "CheckBox5"},   {OptionBox::CheckBox8, "CheckBox8"},
    {OptionBox::CheckBox4, "CheckBox4"},   {OptionBox::ChSoundON, "ChSoundON"},
    {OptionBox::OddEvenBox, "OddEvenBox"},
};
constexpr BoxName kStepBoxes[] = {
    {OptionBox::ProgStep1, "ProgStep1"}, {OptionBox::ProgStep2, "ProgStep2"},
    {OptionBox::ProgStep3, "ProgStep3"}, {OptionBox::ProgStep4, "ProgStep4"},
    {OptionBox::ProgStep5, "ProgStep5"}, {OptionBox::ProgStep6, "ProgStep6"},
    {OptionBox::ProgStep0, "ProgStep0"},
};

QLineEdit* Edit(QWidget* parent, const char* name, const char* pattern, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    return edit;
}

QRadioButton* Radio(QWidget* parent, const char* name, const char* text) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

TfrmOption::TfrmOption(OptionSheet& sheet, SerialNumberSettings& serial, Dialogs& dialogs,
                       QWidget* parent)
    : QDialog(parent), sheet_(sheet), serial_(serial), dialogs_(dialogs) {
    setObjectName("TfrmOption");
    setWindowTitle("Options");
    TakeLookOf(*this, parent);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    BuildControls();
    FillSerialFields();
    Render();
}

void TfrmOption::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    const auto addBoxes = [this](QGroupBox* group, const auto& names) {
        auto* column = new QVBoxLayout(group);
        for (const BoxName& entry : names) {
            auto* box = new QCheckBox(group);
            box->setObjectName(entry.name);
            boxes_[static_cast<std::size_t>(entry.box)] = box;
            column->addWidget(box);
            const OptionBox which = entry.box;
            connect(box, &QCheckBox::clicked, this, [this, which](bool checked) {
                sheet_.Set(which, checked);
                Render();
            });
        }
        return column;
    };
    GroupBox1 = new QGroupBox(" General Options ", this);
    GroupBox1->setObjectName("GroupBox1");
    addBoxes(GroupBox1, kGeneralBoxes);
    layout->addWidget(GroupBox1);

    BuildSerialGroup();
    layout->addWidget(GroupBox2);

    GroupBox3 = new QGroupBox(" Programming Options ", this);
    GroupBox3->setObjectName("GroupBox3");
    QVBoxLayout* steps = addBoxes(GroupBox3, kStepBoxes);
    EpromLabel = new QLabel("Only Effective during Programming", GroupBox3);
    EpromLabel->setObjectName("EpromLabel");
    steps->addWidget(EpromLabel);
    layout->addWidget(GroupBox3);

    BitBtn3 = new QPushButton("OK", this);
    BitBtn3->setObjectName("BitBtn3");
    BitBtn3->setDefault(true);
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(BitBtn3);
}

void TfrmOption::BuildSerialGroup() {
    GroupBox2 = new QGroupBox("Serial Number Options ", this);
    GroupBox2->setObjectName("GroupBox2");
    auto* grid = new QGridLayout(GroupBox2);
    const auto label = [this, grid](const char* text, int row) {
        grid->addWidget(new QLabel(text, GroupBox2), row, 0);
    };
    label("No of Digits", 0);
    ComboBox1 = new QComboBox(GroupBox2);
    ComboBox1->setObjectName("ComboBox1");
    for (int digits = 2; digits <= 16; digits += 2) {
        ComboBox1->addItem(QString::number(digits));
    }
    grid->addWidget(ComboBox1, 0, 1);
    label("Increment", 1);
    Edit1 = Edit(GroupBox2, "Edit1", "[0-9]{0,2}", 2);
    grid->addWidget(Edit1, 1, 1);
    label("Starting No", 2);
    // As wide as the chosen number of digits, in the chosen base.
    Edit2 = Edit(GroupBox2, "Edit2", "[0-9A-Fa-f]{0,16}", 16);
    grid->addWidget(Edit2, 2, 1);
    label("Store @ ", 3);
    Edit3 = Edit(GroupBox2, "Edit3", "[0-9A-Fa-f]{0,8}", 8);
    grid->addWidget(Edit3, 3, 1);
    // Two radio buttons side by side in a frame of their own, so each pair is a choice.
    const auto pair = [this, grid](int row, QRadioButton*& first, const char* firstName,
                                   const char* firstText, QRadioButton*& second,
                                   const char* secondName, const char* secondText) {
        auto* frame = new QGroupBox(GroupBox2);
        auto* line = new QHBoxLayout(frame);
        first = Radio(frame, firstName, firstText);
        second = Radio(frame, secondName, secondText);
        line->addWidget(first);
        line->addWidget(second);
        grid->addWidget(frame, row, 0, 1, 2);
    };
    pair(4, RB_Hex, "RB_Hex", "Hex", RB_Decimal, "RB_Decimal", "Decimal");
    pair(5, RB_MsdLsd, "RB_MsdLsd", "MSD - LSD", RB_LsdMsd, "RB_LsdMsd", "LSD - MSD");

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { DigitsChange(); });
    connect(Edit1, &QLineEdit::textEdited, this,
            [this](const QString& text) { serial_.increment = text.toUInt(); });
    connect(Edit2, &QLineEdit::textEdited, this, &TfrmOption::StartingNumberEdited);
    connect(Edit3, &QLineEdit::textEdited, this,
            [this](const QString& text) { serial_.address = text.toUInt(nullptr, 16); });
    connect(RB_Hex, &QRadioButton::toggled, this, [this] { BaseChanged(); });
    connect(RB_MsdLsd, &QRadioButton::toggled, this, [this](bool on) { serial_.msdFirst = on; });
}

// The fields from the kept settings, without the change handlers a user's edit runs.
void TfrmOption::FillSerialFields() {
    const QSignalBlocker blockDigits(ComboBox1), blockHex(RB_Hex), blockOrder(RB_MsdLsd);
    const int index = ComboBox1->findText(QString::number(serial_.digits));
    ComboBox1->setCurrentIndex(index < 0 ? 0 : index);
    serial_.digits = static_cast<uint8_t>(ComboBox1->currentText().toUInt());
    Edit1->setText(QString::number(serial_.increment));
    Edit3->setText(QString::number(serial_.address, 16).toUpper());
    (serial_.hex ? RB_Hex : RB_Decimal)->setChecked(true);
    (serial_.msdFirst ? RB_MsdLsd : RB_LsdMsd)->setChecked(true);
    BaseChanged();
}

void TfrmOption::DigitsChange() {
    serial_.digits = static_cast<uint8_t>(ComboBox1->currentText().toUInt());
    Edit2->setMaxLength(std::max<int>(serial_.digits, 1));
    dialogs_.ShowMessage(this, ComboBox1->currentText(), " ", Dialogs::Icon::None);
}

void TfrmOption::StartingNumberEdited(const QString& text) {
    if (const auto number = ParseSerialNumber(text.toStdString(), serial_.hex)) {
        serial_.next = *number;
    }
}

// The starting number keeps its value in the other base, and only its digits can be typed.
void TfrmOption::BaseChanged() {
    serial_.hex = RB_Hex->isChecked();
    const QString digits = serial_.hex ? "[0-9A-Fa-f]" : "[0-9]";
    Edit2->setValidator(
        new QRegularExpressionValidator(QRegularExpression(digits + "{0,16}"), Edit2));
    // A number too long for the digits is shown whole, so that it can be seen and mended.
    std::string text = SerialNumberText(serial_.next, serial_.digits, serial_.hex).value_or("");
    if (text.empty()) {
        text = *SerialNumberText(serial_.next, 20, serial_.hex);  // 20 digits hold any number
        text.erase(0, text.find_first_not_of('0'));
    }
    Edit2->setMaxLength(std::max<int>(serial_.digits, static_cast<int>(text.size())));
    Edit2->setText(QString::fromStdString(text));
}

void TfrmOption::Render() {
    for (std::size_t i = 0; i < kOptionBoxCount; ++i) {
        QCheckBox* box = boxes_[i];
        const OptionBoxState& s = sheet_.box(static_cast<OptionBox>(i));
        const QSignalBlocker block(box);
        box->setText(QString::fromStdString(s.caption));
        box->setEnabled(s.enabled);
        box->setVisible(s.visible);
        box->setChecked(s.checked);
    }
    GroupBox3->setEnabled(sheet_.stepsGroupEnabled());
    GroupBox3->setVisible(sheet_.stepsGroupVisible());
    EpromLabel->setVisible(sheet_.epromLabelVisible());
    GroupBox2->setVisible(sheet_.serialGroupVisible());
    for (QWidget* control : GroupBox2->findChildren<QWidget*>()) {
        control->setEnabled(sheet_.serialGroupEnabled());
    }
    adjustSize();
}

}  // namespace kardo
