// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/PicEffects.h"
#include "devicedb/DeviceBuffer.h"
#include "devicedb/DeviceRecord.h"

namespace kardo {

// A control of a PIC sheet as a device shows it.
struct PicControl {
    std::string name;
    std::string caption;
    std::vector<std::string> items;  // empty: a check box
    std::vector<PicEffect> choices;  // check box: unticked, ticked; radio group: per item
    std::string choiceFrom;          // writes what this other box shows, not its own state
    std::string blockedBy;           // writes its 1 only while this box is unticked
    std::string enables;             // the radio group enabled while this box is ticked
    std::optional<std::pair<uint8_t, uint8_t>> reads;  // opening reads only these bits of a byte
    std::string captionTicked, captionUnticked;        // a caption that follows the state
    bool visible = true;
    bool isCheckBox() const { return items.empty(); }
};

struct PicPage {
    std::string name;
    std::string caption;
    std::vector<PicControl> controls;
};

struct PicControlState {
    bool checked = false;
    int index = -1;
    bool enabled = true;
    std::string caption;
};

// Where a PIC's configuration bytes and ID locations lie in the buffer.
struct PicConfigLayout {
    std::size_t configAt = 0;
    std::size_t configBytes = 0;  // the bytes shown in hex: 2, 4 or 14
    std::size_t idAt = 0;
    std::size_t idStep = 1;
    std::size_t idCount = 0;  // 4, or 8 on PIC18 parts
};
PicConfigLayout PicLayoutFor(const DeviceRecord& record);

// Which of the two ID groups shows: the four-box group, or the PIC18 one of eight.
struct PicIdGroups {
    bool id = false;
    bool pic18 = false;
};

// The whole logic of the PIC configuration dialog, which only renders it. The
// configuration words and ID locations are the buffer's own bytes: every control writes
// there at once, so a file's configuration shows here and what is set here is programmed.
class PicConfigModel {
  public:
    PicConfigModel(const DeviceRecord& record, DeviceBuffer& buffer);

    const std::vector<PicPage>& pages() const { return pages_; }
    const PicConfigLayout& layout() const { return layout_; }

    // The opening: clears the configuration bits the part lacks (not on PIC18 parts),
    // then shows every control and ID box as the buffer stands.
    void Open();

    void SetTicked(std::string_view control, bool ticked);
    void Choose(std::string_view control, int index);

    // An ID box's text, stored as the user types. False, and nothing stored, when it
    // is not hexadecimal.
    bool SetIdText(std::size_t id, std::string_view text);
    const std::vector<std::string>& idTexts() const { return idTexts_; }

    const PicControlState& state(std::string_view control) const;
    const PicControl& control(std::string_view control) const;
    // The configuration bytes in buffer order, two hex digits each.
    std::vector<std::string> ByteTexts() const;

    PicIdGroups IdGroupsOnOpening() const;
    static PicIdGroups IdGroupsFor(const std::string& page, PicIdGroups before);

  private:
    std::size_t IndexOf(std::string_view name) const;
    PicBytes Bytes();
    int StateOf(const PicControl& c);
    void ShowCheckBoxes();
    void ShowCompanions();

    const DeviceRecord record_;
    DeviceBuffer& buffer_;
    PicConfigLayout layout_;
    std::vector<uint8_t> masks_;
    std::vector<PicPage> pages_;
    std::vector<const PicControl*> controls_;
    std::vector<PicControlState> states_;
    std::vector<std::string> idTexts_;
};

}  // namespace kardo
