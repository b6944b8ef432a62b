// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/DeviceNotes.h"

#include <array>
#include <cstdint>

#include "common/Format.h"

namespace kardo {
namespace {

enum class NoteLabel { Adapter, Comment };

struct AdapterNote {
    uint8_t code;
    NoteLabel label;
    const char* text;
};

// What each adapter code asks of the technician: a socket adapter (Adapter:) or a
// wiring note (Comments:).
constexpr std::array kAdapterNotes{
    AdapterNote{1, NoteLabel::Adapter, "PLCC68 51GB"},
    AdapterNote{2, NoteLabel::Adapter, "PLCC44"},
    AdapterNote{3, NoteLabel::Adapter, "PLCC32 -> DIP28"},
    AdapterNote{4, NoteLabel::Adapter, "PLCC32 -> DIP32"},
    AdapterNote{5, NoteLabel::Adapter, "PLCC68 87C55x"},
    AdapterNote{6, NoteLabel::Adapter, "PLCC52 DS87C530"},
    AdapterNote{7, NoteLabel::Adapter, "PIC17C75x / 16C92x"},
    AdapterNote{8, NoteLabel::Comment, "100R from ZIF pin40 - pin34"},
    AdapterNote{9, NoteLabel::Comment, "100R from ZIF pin1 - pin15"},
    AdapterNote{10, NoteLabel::Comment, "100R from ZIF pin25 - device pin25"},
    AdapterNote{11, NoteLabel::Comment, "PIC12Cxxx 4-GANG"},
    AdapterNote{12, NoteLabel::Adapter, "SOIC08 208mil"},
    AdapterNote{13, NoteLabel::Adapter, "SOIC28 300mil"},
    AdapterNote{14, NoteLabel::Comment, "see READ_SST.TXT"},
    AdapterNote{15, NoteLabel::Adapter, "SOIC08 150mil"},
    AdapterNote{16, NoteLabel::Comment, "Data @4200"},
    AdapterNote{20, NoteLabel::Adapter, "PLCC20"},
    AdapterNote{22, NoteLabel::Adapter, "DS2250"},
    AdapterNote{30, NoteLabel::Adapter, "TSOP40"},
    AdapterNote{31, NoteLabel::Adapter, "TSOP48"},
    AdapterNote{32, NoteLabel::Adapter, "TSOP32 -> DIP40"},
    AdapterNote{44, NoteLabel::Adapter, "PLCC44/1"},
    AdapterNote{45, NoteLabel::Adapter, "PLCC44/2"},
    AdapterNote{46, NoteLabel::Adapter, "PLCC44/3"},
    AdapterNote{47, NoteLabel::Adapter, "PLCC44/4"},
    AdapterNote{50, NoteLabel::Adapter, "universal SOIC"},
    AdapterNote{51, NoteLabel::Adapter, "SOIC4440"},
    AdapterNote{60, NoteLabel::Adapter, "QFP44"},
};

void ApplyAdapterNote(uint8_t code, DeviceInfoTexts& texts) {
    for (const auto& note : kAdapterNotes) {
        if (note.code == code) {
            (note.label == NoteLabel::Adapter ? texts.AdapL : texts.ComL) = note.text;
            return;
        }
    }
}

// Memory notes: where the extra areas of a microcontroller sit in the buffer. Each
// rule that applies replaces the comment before it.
void ApplyMemoryNotes(const DeviceRecord& r, DeviceInfoTexts& texts) {
    if (r.Family() == 'M') {
        switch (r.EncryptCode() >> 4) {
            case 0:
                break;
            case 2:
                texts.ComL = "Encryption @ addr 0x10000, 32 bytes";
                break;
            case 4:
                texts.ComL = "Encryption @ addr 0x10000, 64 bytes";
                break;
            default:
                texts.ComL = "Encryption @ addr 0x10000";
                break;
        }
        if (r.EepromSize() != 0) {
            texts.ComL = Format("E2prom @ 0x%.5llX  size = %d bytes",
                                static_cast<unsigned long long>(r.Size()), int{r.EepromSize()});
        }
        if (r.ManufId() == 0xBF && r.DeviceId() == 0x91) {
            texts.ComL = "Block0 @ 0 - 0xFFFF , Block1 @ 0x10000 - 0x11FFF";
        }
    } else if (r.Family() == 'C' && r.EepromSize() != 0) {
        const int bytes = r.EepromSize() + 1;
        texts.ComL = r.Variant() == 18 ? Format("E2prom @ 0xF0200  size = %d bytes", bytes)
                                       : Format("E2prom @ 0x4200  size = %d bytes", bytes);
    }
}

}  // namespace

DeviceInfoTexts DeviceInfoFor(const DeviceRecord& r) {
    DeviceInfoTexts texts;
    if (r.ManufId() != 0) {
        texts.ManIDL = Format("0x%.2X", unsigned{r.ManufId()});
        texts.DevIDL = Format("0x%.2X", unsigned{r.DeviceId()});
        if (r.DeviceId2() != 0 && r.Family() == 'M') {
            texts.DevIDL2 = Format("0x%.2X", unsigned{r.DeviceId2()});
        }
    }
    texts.SizeL = Format("0x%llX", static_cast<unsigned long long>(r.Size()) & 0xFFFFFFFFull);
    texts.VccL = FormatVolts(r.Vcc());
    if (r.Vpp() != 0.0f) {
        texts.VppL = FormatVolts(r.Vpp());
    }
    ApplyAdapterNote(r.AdapterCode(), texts);
    ApplyMemoryNotes(r, texts);
    return texts;
}

}  // namespace kardo
