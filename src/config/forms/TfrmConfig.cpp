// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/forms/TfrmConfig.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/forms/ItemGroups.h"

namespace kardo {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TfrmConfig::TfrmConfig(ConfigSheetModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("TfrmConfig");
    setWindowTitle("ID / Configuration");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    PageControl = new QTabWidget(this);
    PageControl->setObjectName("PageControl");
    layout->addWidget(PageControl);
    bool anyTab = false;
    for (const ConfigPage& page : model_.pages()) {
        PageControl->addTab(BuildPage(page), Text(page.caption));
        anyTab = anyTab || page.showTab;
    }
    // A sheet without a tab is shown alone, its tab bar hidden.
    PageControl->tabBar()->setVisible(anyTab);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    Render(true);
}

// Check boxes go into the left column, item groups, displays and the calibration group
// into the right one.
QWidget* TfrmConfig::BuildPage(const ConfigPage& page) {
    const auto [widget, left, right] = MakeSheetPage(page.name);
    for (const ConfigControl& c : page.controls) {
        switch (c.kind) {
            case ControlKind::CheckBox:
                AddCheckBox(c, widget, left);
                break;
            case ControlKind::RadioGroup:
                AddRadioGroup(c, widget, right);
                break;
            case ControlKind::ComboBox:
                AddComboBox(c, widget, right);
                break;
        }
    }
    for (const HexDisplay& d : page.displays) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(Text(d.label), widget));
        auto* value = new QLabel(widget);
        value->setObjectName(Text(d.name));
        row->addWidget(value);
        row->addStretch();
        right->addLayout(row);
        displays_.emplace_back(&d, value);
    }
    if (page.calibration) {
        AddCalibration(*page.calibration, widget, right);
    }
    left->addStretch();
    right->addStretch();
    return widget;
}

void TfrmConfig::AddCheckBox(const ConfigControl& c, QWidget* page, QVBoxLayout* column) {
    QWidget* parent = page;
    QVBoxLayout* into = column;
    bool shared = false;
    if (!c.group.empty()) {
        auto* group = page->findChild<QGroupBox*>(Text(c.group), Qt::FindDirectChildrenOnly);
        shared = group != nullptr;
        if (group == nullptr) {
            group = new QGroupBox(Text(c.groupCaption), page);
            group->setObjectName(Text(c.group));
            new QVBoxLayout(group);
            column->addWidget(group);
        }
        into = static_cast<QVBoxLayout*>(group->layout());
        parent = group;
    }
    auto* box = new QCheckBox(parent);
    box->setObjectName(Text(c.name));
    into->addWidget(box);
    if (shared) {
        // A group of several boxes stays; each box shows and hides alone.
        for (auto& [name, w] : widgets_) {
            if (w.frame == parent) {
                w.frame = w.box;
            }
        }
    }
    widgets_[c.name] = {c.group.empty() || shared ? static_cast<QWidget*>(box) : parent, box};
    const std::string name = c.name;
    connect(box, &QCheckBox::clicked, this, [this, name](bool checked) {
        model_.SetTicked(name, checked);
        Render(false);
    });
}

void TfrmConfig::AddRadioGroup(const ConfigControl& c, QWidget* page, QVBoxLayout* column) {
    QGroupBox* group = nullptr;
    QButtonGroup* buttons = MakeItemGroup(page, c.name, c.caption, c.items, group);
    column->addWidget(group);
    widgets_[c.name] = {group, nullptr, buttons};
    const std::string name = c.name;
    connect(buttons, &QButtonGroup::idClicked, this, [this, name](int index) {
        model_.Choose(name, index);
        Render(false);
    });
}

void TfrmConfig::AddComboBox(const ConfigControl& c, QWidget* page, QVBoxLayout* column) {
    QWidget* frame = nullptr;
    QBoxLayout* layout = nullptr;
    if (c.group.empty()) {
        frame = new QWidget(page);
        layout = new QHBoxLayout(frame);
        layout->setContentsMargins(0, 0, 0, 0);
    } else {
        auto* group = new QGroupBox(Text(c.groupCaption), page);
        group->setObjectName(Text(c.group));
        frame = group;
        layout = new QVBoxLayout(group);
    }
    if (!c.caption.empty()) {
        layout->addWidget(new QLabel(Text(c.caption), frame));
    }
    auto* box = new QComboBox(frame);
    box->setObjectName(Text(c.name));
    for (const std::string& item : c.items) {
        box->addItem(Text(item));
    }
    layout->addWidget(box);
    column->addWidget(frame);
    widgets_[c.name] = {frame, nullptr, nullptr, box};
    const std::string name = c.name;
    connect(box, &QComboBox::activated, this, [this, name](int index) {
        model_.Choose(name, index);
        Render(false);
    });
}

void TfrmConfig::AddCalibration(const CalibrationGroup& g, QWidget* page, QVBoxLayout* column) {
    calibrationGroup_ = new QGroupBox(" Calibration Factors ", page);
    calibrationGroup_->setObjectName(Text(g.name));
    calibrationGroup_->setVisible(g.visible);
    auto* layout = new QVBoxLayout(calibrationGroup_);
    auto* row = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        slots_[i] = new QRadioButton(QString("CAL%1").arg(i), calibrationGroup_);
        slots_[i]->setObjectName(Text(g.buttons[i]));
        row->addWidget(slots_[i]);
        connect(slots_[i], &QRadioButton::clicked, this, [this, i] {
            model_.ChooseCalibrationSlot(i);
            Render(true);
        });
    }
    layout->addLayout(row);
    auto* offsetRow = new QHBoxLayout;
    offsetRow->addWidget(new QLabel("Hex", calibrationGroup_));
    offsetBox_ = new QLineEdit("0", calibrationGroup_);
    offsetBox_->setObjectName(Text(g.offsetBox));
    offsetRow->addWidget(offsetBox_);
    programBox_ = new QCheckBox("Program @", calibrationGroup_);
    programBox_->setObjectName(Text(g.programBox));
    offsetRow->addWidget(programBox_);
    layout->addLayout(offsetRow);
    column->addWidget(calibrationGroup_);
    // A group whose choice nothing programs is shown, disabled, with the reason on each
    // of its controls: a disabled control takes no click, but still shows its tip.
    if (!g.notProgrammed.empty()) {
        calibrationGroup_->setEnabled(false);
        const QString why = Text(g.notProgrammed);
        calibrationGroup_->setToolTip(why);
        for (QWidget* w : calibrationGroup_->findChildren<QWidget*>()) {
            w->setToolTip(why);
        }
    }
    connect(offsetBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        // The box takes upper-case input.
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = offsetBox_->cursorPosition();
            offsetBox_->setText(upper);
            offsetBox_->setCursorPosition(cursor);
        }
        model_.SetCalibrationOffset(upper.toStdString());
    });
    connect(programBox_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.SetCalibrationProgram(checked);
        Render(true);
    });
}

// Shows the model: every control's state, caption and visibility, the hex displays,
// and the calibration group (its offset box only when the model rewrote it).
void TfrmConfig::Render(bool withOffset) {
    for (const ConfigPage& page : model_.pages()) {
        for (const ConfigControl& c : page.controls) {
            const ControlState& s = model_.state(c.name);
            const ControlWidgets& w = widgets_.at(c.name);
            w.frame->setVisible(c.visible);
            w.frame->setEnabled(c.enabled);
            if (w.box != nullptr) {
                const QSignalBlocker block(w.box);
                w.box->setText(Text(s.caption));
                w.box->setChecked(s.checked);
            } else if (w.group != nullptr) {
                ShowChoice(w.group, s.index);
            } else {
                w.combo->setCurrentIndex(s.index);
            }
        }
    }
    for (const auto& [display, label] : displays_) {
        label->setText(Text(model_.DisplayText(*display)));
    }
    if (calibrationGroup_ != nullptr) {
        const CalibrationState& cal = model_.calibration();
        programBox_->setChecked(cal.program);
        offsetBox_->setEnabled(cal.program);
        for (int i = 0; i < 4; ++i) {
            slots_[i]->setEnabled(cal.program);
            slots_[i]->setAutoExclusive(false);
            slots_[i]->setChecked(i == cal.slot);
            slots_[i]->setAutoExclusive(true);
        }
        if (withOffset) {
            offsetBox_->setText(Text(cal.offsetText));
        }
    }
}

}  // namespace kardo
