// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/forms/TfrmPicConfig.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/forms/Dialogs.h"
#include "config/forms/ItemGroups.h"

namespace kardo {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TfrmPicConfig::TfrmPicConfig(PicConfigModel& model, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), model_(model), dialogs_(dialogs) {
    setObjectName("TfrmPicConfig");
    setWindowTitle("ID / Configuration");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* layout = new QVBoxLayout(this);
    auto* ids = new QHBoxLayout;
    const bool pic18 = model_.layout().idCount == 8;
    std::vector<QLineEdit*> four, eight;
    GB_ID = BuildIdGroup("GB_ID", " ID ", four, {"ID_0", "ID1", "ID2", "ID3"}, 0);
    GB_18F =
        BuildIdGroup("GB_18F", " ID ", eight,
                     {"ID270", "ID271", "ID272", "ID273", "ID274", "ID275", "ID276", "ID277"}, 0);
    idBoxes_ = pic18 ? eight : four;
    // The group the part does not use stays hidden and disabled.
    (pic18 ? GB_ID : GB_18F)->setEnabled(false);
    ids->addWidget(GB_ID);
    ids->addWidget(GB_18F);
    ids->addStretch();
    layout->addLayout(ids);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName("PageControl");
    for (const PicPage& page : model_.pages()) {
        PageControl->addTab(BuildPage(page), Text(page.caption));
    }
    layout->addWidget(PageControl);

    auto* bytes = new QHBoxLayout;
    for (std::size_t k = 0; k < model_.layout().configBytes; ++k) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("Label%1").arg(13 + k));
        bytes->addWidget(label);
        byteLabels_.push_back(label);
    }
    bytes->addStretch();
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    bytes->addWidget(ok);
    layout->addLayout(bytes);

    for (std::size_t i = 0; i < idBoxes_.size(); ++i) {
        const QSignalBlocker block(idBoxes_[i]);
        idBoxes_[i]->setText(Text(model_.idTexts()[i]));
    }
    idGroups_ = model_.IdGroupsOnOpening();
    connect(PageControl, &QTabWidget::currentChanged, this, &TfrmPicConfig::PageControlChange);
    Render();
}

QGroupBox* TfrmPicConfig::BuildIdGroup(const char* name, const char* caption,
                                       std::vector<QLineEdit*>& boxes,
                                       const std::vector<std::string>& names, std::size_t firstId) {
    auto* group = new QGroupBox(caption, this);
    group->setObjectName(name);
    auto* row = new QHBoxLayout(group);
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* box = new QLineEdit(group);
        box->setObjectName(Text(names[i]));
        box->setMaxLength(2);
        row->addWidget(box);
        boxes.push_back(box);
        const std::size_t id = firstId + i;
        connect(box, &QLineEdit::textEdited, this,
                [this, id](const QString& text) { IdChange(id, text); });
    }
    return group;
}

QWidget* TfrmPicConfig::BuildPage(const PicPage& page) {
    const auto [widget, boxes, groups] = MakeSheetPage(page.name);
    for (const PicControl& c : page.controls) {
        const std::string name = c.name;
        if (c.isCheckBox()) {
            auto* box = new QCheckBox(widget);
            box->setObjectName(Text(c.name));
            boxes->addWidget(box);
            widgets_[c.name] = {box, box, nullptr};
            connect(box, &QCheckBox::clicked, this, [this, name](bool checked) {
                model_.SetTicked(name, checked);
                Render();
            });
            continue;
        }
        QGroupBox* group = nullptr;
        QButtonGroup* buttons = MakeItemGroup(widget, c.name, c.caption, c.items, group);
        groups->addWidget(group);
        widgets_[c.name] = {group, nullptr, buttons};
        connect(buttons, &QButtonGroup::idClicked, this, [this, name](int index) {
            model_.Choose(name, index);
            Render();
        });
    }
    boxes->addStretch();
    groups->addStretch();
    return widget;
}

// Each keystroke is stored; a character that is not hexadecimal changes nothing.
void TfrmPicConfig::IdChange(std::size_t id, const QString& text) {
    if (!model_.SetIdText(id, text.toStdString())) {
        dialogs_.ShowMessage(this, text, "Error : Not a Valid Hex Value", Dialogs::Icon::Error);
    }
    Render();
}

void TfrmPicConfig::PageControlChange(int index) {
    if (index >= 0 && index < static_cast<int>(model_.pages().size())) {
        idGroups_ = PicConfigModel::IdGroupsFor(model_.pages()[index].name, idGroups_);
    }
    Render();
}

void TfrmPicConfig::Render() {
    const bool pic18 = model_.layout().idCount == 8;
    GB_ID->setVisible(idGroups_.id && !pic18);
    GB_18F->setVisible(idGroups_.pic18 && pic18);
    for (const PicPage& page : model_.pages()) {
        for (const PicControl& c : page.controls) {
            const PicControlState& s = model_.state(c.name);
            const ControlWidgets& w = widgets_.at(c.name);
            w.frame->setVisible(c.visible);
            w.frame->setEnabled(s.enabled && c.visible);
            if (w.box != nullptr) {
                const QSignalBlocker block(w.box);
                w.box->setText(Text(s.caption));
                w.box->setChecked(s.checked);
            } else {
                ShowChoice(w.group, s.index);
            }
        }
    }
    const auto texts = model_.ByteTexts();
    for (std::size_t k = 0; k < byteLabels_.size(); ++k) {
        byteLabels_[k]->setText(Text(texts[k]));
    }
}

}  // namespace kardo
