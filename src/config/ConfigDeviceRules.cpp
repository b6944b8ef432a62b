// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigDeviceRules.h"

#include <string>
#include <utility>

namespace kardo {
namespace {

class Sheets {
  public:
    explicit Sheets(std::vector<ConfigPage>& pages) : pages_(pages) {}

    ConfigControl* Control(const std::string& name) {
        for (ConfigPage& page : pages_) {
            for (ConfigControl& c : page.controls) {
                if (c.name == name) {
                    return &c;
                }
            }
        }
        return nullptr;
    }
    void Caption(const std::string& name, const std::string& caption) {
        if (ConfigControl* c = Control(name)) {
            c->caption = caption;
        }
    }
    void Items(const std::string& name, std::vector<std::string> items) {
        if (ConfigControl* c = Control(name)) {
            c->items = std::move(items);
        }
    }
    void Hide(const std::string& name) {
        if (ConfigControl* c = Control(name)) {
            c->visible = false;
        }
    }
    void Show(const std::string& name) {
        if (ConfigControl* c = Control(name)) {
            c->visible = true;
        }
    }
    void HideCalibration(const std::string& group) {
        for (ConfigPage& page : pages_) {
            if (page.calibration && page.calibration->name == group) {
                page.calibration->visible = false;
            }
        }
    }

  private:
    std::vector<ConfigPage>& pages_;
};

bool Signature(const DeviceRecord& r, uint8_t id, uint8_t id2) {
    return r.DeviceId() == id && r.DeviceId2() == id2;
}

// The serial memories of code 101 have no write-protect pin.
void WithoutWriteProtect(Sheets& s, const DeviceRecord& r) {
    if (r.ConfigCode() == 101) {
        s.Hide("CB100_Wpen");
    }
}

// Two parts of sheet 202 have an RC oscillator enable where the others start up fast.
void RcOscillatorParts(Sheets& s, const DeviceRecord& r) {
    if (Signature(r, 0x90, 0x01) || Signature(r, 0x91, 0x03)) {
        s.Caption("CB202_Fstrt", "RCEN");
    }
}

// The ATmega16 and ATmega162-class parts of sheet 204 have JTAG and on-chip debugging
// where the ATmega8 has WDTON and RSTDISBL, and no calibration bytes to place. The
// ATmega32 has the ATmega16's fuses bit for bit.
void JtagParts(Sheets& s, const DeviceRecord& r) {
    if ((r.DeviceId() == 0x94 && (r.DeviceId2() == 0x03 || r.DeviceId2() == 0x06)) ||
        Signature(r, 0x95, 0x02)) {
        s.Caption("CB204_Wdton", "JTAGEN");
        s.Caption("CB204_Rstdisbl", "OCDEN");
        s.HideCalibration("GB204A_CF");
    }
}

// The top high-fuse bit of the ATmega8535 and ATmega8515 selects the mode compatible
// with their AT90S predecessors. Found by signature, as every rule here, so that each
// name a part is listed under gets it.
void CompatibilityMode(Sheets& s, const DeviceRecord& r) {
    if (Signature(r, 0x93, 0x08)) {
        s.Caption("CB204_Rstdisbl", "S8535C");
    } else if (Signature(r, 0x93, 0x06)) {
        s.Caption("CB204_Rstdisbl", "S8515C");
    }
}

// Parts of sheet 205 without a boot section: bit 0 of the extended fuse enables
// self-programming, and there are no boot sizes or boot lock bits.
bool WithoutBootSectionPart(const DeviceRecord& r) {
    static constexpr std::pair<uint8_t, uint8_t> kParts[] = {
        {0x92, 0x05},  // ATmega48/48A
        {0x92, 0x0A},  // ATmega48P/48PA
        {0x92, 0x10},  // ATmega48PB
        {0x93, 0x0D},  // ATtiny861
        {0x92, 0x09},  // ATtiny48
        {0x93, 0x11},  // ATtiny88
        {0x93, 0x87},  // ATtiny87
        {0x94, 0x87},  // ATtiny167
        {0x92, 0x0C},  // ATtiny43U
    };
    for (const auto& [id, id2] : kParts) {
        if (Signature(r, id, id2)) {
            return true;
        }
    }
    return false;
}

void WithoutBootSection(Sheets& s, const DeviceRecord& r) {
    if (r.ConfigCode() == 205 && WithoutBootSectionPart(r)) {
        s.Caption("CB205_Bootrst", "SELFPRGEN");
        for (const char* name :
             {"CB205_Bootsz0", "CB205_Bootsz1", "CB205_Blb0box", "CB205_Blb1box"}) {
            s.Hide(name);
        }
    }
}

// Variant 34 parts name two of the four fuses of sheet 206 differently.
void Variant34Fuses(Sheets& s, const DeviceRecord& r) {
    if (r.Variant() == 34) {
        s.Items("RG206_F2", {"XTAL Osc Bypass Enable", "XTAL Osc Bypass Disable"});
        s.Items("RG206_F4", {"System Clock Out Enable", "System Clock Out Disable"});
    }
}

// Sheet 209's clock list is that of the ATtiny261/461/861; parts of other families on
// the same sheet get their own internal clock choices before the crystal ones.
void ClockChoices(Sheets& s, std::vector<std::string> internal) {
    if (ConfigControl* c = s.Control("CKSEL_CB")) {
        c->items = ClockItems(std::move(internal));
        c->itemValues = LeadingBits(c->items);
    }
}

// The ATtiny25/45/85: 0011 is their 6.4 MHz ATtiny15 mode, 0100 the 128 kHz
// oscillator and 0110 the low-frequency crystal.
void Tiny85Clocks(Sheets& s, const DeviceRecord& r) {
    if (Signature(r, 0x91, 0x08) || Signature(r, 0x92, 0x06) || Signature(r, 0x93, 0x0B)) {
        ClockChoices(s, {"0000 -External Clock", "0001 -High Freq PLL Clock",
                         "0010 -Internal 8 MHz Osc", "0011 -Internal 6.4 MHz Osc",
                         "0100 -Internal 128 KHz Osc", "0110 -Low-Freq Xtal Osc"});
    }
}

// The ATtiny24/44/84 have neither the PLL clock nor the 6.4 MHz mode; 0011 is their
// 128 kHz oscillator and 0110 the low-frequency crystal.
void Tiny84Clocks(Sheets& s, const DeviceRecord& r) {
    if (Signature(r, 0x91, 0x0B) || Signature(r, 0x92, 0x07) || Signature(r, 0x93, 0x0C)) {
        ClockChoices(s, {"0000 -External Clock", "0010 -Internal 8 MHz Osc",
                         "0011 -Internal 128 KHz Osc", "0110 -Low-Freq Xtal Osc"});
    }
}

// Which 8051 parts have the oscillator gain and the encryption bit.
void SecurityOptions(Sheets& s, const DeviceRecord& r) {
    if (r.DeviceId() == 0xE0) {
        s.Show("P208Osc");
    }
    if (r.DeviceId() == 0xE0 || r.DeviceId() == 0x62) {
        s.Show("P208S01in");
        s.Caption("P208S01in", "Encryption");
    }
}

}  // namespace

void ApplyDeviceRules(std::vector<ConfigPage>& pages, const DeviceRecord& record) {
    Sheets sheets(pages);
    for (auto rule :
         {WithoutWriteProtect, RcOscillatorParts, JtagParts, CompatibilityMode, WithoutBootSection,
          Variant34Fuses, Tiny85Clocks, Tiny84Clocks, SecurityOptions}) {
        rule(sheets, record);
    }
}

}  // namespace kardo
