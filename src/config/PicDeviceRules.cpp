// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/PicDeviceRules.h"

#include <string>

namespace kardo {
namespace {

class Sheets {
  public:
    Sheets(std::vector<PicPage>& pages, const DeviceRecord& record) : r(record), pages_(pages) {}

    PicControl* Find(const std::string& name) {
        for (PicPage& page : pages_) {
            for (PicControl& c : page.controls) {
                if (c.name == name) {
                    return &c;
                }
            }
        }
        return nullptr;
    }
    void Show(const std::string& name, bool shown) {
        if (PicControl* c = Find(name)) {
            c->visible = shown;
        }
    }
    void Effects(const std::string& name, const std::vector<std::string>& effects) {
        if (PicControl* c = Find(name)) {
            c->choices.clear();
            for (const std::string& e : effects) {
                c->choices.push_back(ParsePicEffect(e));
            }
        }
    }
    void Items(const std::string& name, std::vector<std::string> items) {
        if (PicControl* c = Find(name)) {
            c->items = std::move(items);
        }
    }
    void Caption(const std::string& name, const std::string& caption) {
        if (PicControl* c = Find(name)) {
            c->caption = caption;
        }
    }
    void Captions(const std::string& name, const std::string& ticked, const std::string& unticked) {
        if (PicControl* c = Find(name)) {
            c->captionTicked = ticked;
            c->captionUnticked = unticked;
        }
    }
    void Set(const std::string& name, std::string PicControl::*field, const std::string& other) {
        if (PicControl* c = Find(name)) {
            c->*field = other;
        }
    }
    void Reads(const std::string& name, uint8_t byte, uint8_t bits) {
        if (PicControl* c = Find(name)) {
            c->reads = std::pair{byte, bits};
        }
    }

    const DeviceRecord& r;
    int32_t size() const { return r.LastAddress(); }
    uint8_t code() const { return r.ConfigCode(); }

  private:
    std::vector<PicPage>& pages_;
};

constexpr uint8_t W1H = 0, W1L = 1, CONFIG2H = 2;

// Controls that follow another one.
void LinkedControls(Sheets& s) {
    // Page 8's second set of boxes writes what the first set shows.
    s.Set("CheckBox1", &PicControl::choiceFrom, "CB8_Pwt");
    s.Set("CheckBox2", &PicControl::choiceFrom, "CB8_Wdt");
    s.Set("CheckBox3", &PicControl::choiceFrom, "CB8_Bod");
    // The power-up timer of sheet 22 can be disabled only while brown-out is off.
    s.Set("CB22_Pwt", &PicControl::blockedBy, "CB22_Bor");
    for (const auto& [box, group] : {std::pair{"CB22_Bor", "RG22_Bor"},
                                     {"CB27_Boren", "RG27_Bor"},
                                     {"CB27_Wdt", "RG27_Wdt"},
                                     {"CB34_Boren", "RG34_Bor"},
                                     {"CB34_Wdt", "RG34_Wdt"},
                                     {"CB36_Wdt", "RG36_Wdt"}}) {
        s.Set(box, &PicControl::enables, group);
    }
}

// Groups that write several copies of one field show the copy in these bits.
void OneCopyRead(Sheets& s) {
    for (const char* g : {"RG3_Prot2k", "RG3_Prot1k", "RG12_Prot2k", "RG12_Prot1k", "RG21_Prot8k",
                          "RG22_Prot", "RG29_Prot"}) {
        s.Reads(g, W1L, 0x30);
    }
    for (const char* g :
         {"RG3_Prot05k", "RG12_Prot05k", "RG7_Prot", "RG8_Prot", "RG9_Prot", "RG20_Cp"}) {
        s.Reads(g, W1L, 0x10);
    }
    s.Reads("RG6_Cp", W1L, 0x60);
    s.Reads("RG17_Prot", W1L, 0xC0);
    s.Reads("RG23_Prot2k", W1H, 0x0C);
    s.Reads("CB27_Wdt", CONFIG2H, 0x01);
}

// Code protection by memory size: the group of the device's size is shown.
void ProtectionBySize(Sheets& s) {
    const int32_t n = s.size();
    s.Show("RG3_Prot2k", n > 4094);
    s.Show("RG3_Prot1k", n == 2047);
    s.Show("RG3_Prot05k", n == 1023);
    s.Show("RG12_Prot2k", n == 4095);
    s.Show("RG12_Prot1k", n == 2047);
    s.Show("RG12_Prot05k", n == 1023);
    s.Show("RG21_Prot8k", n > 4095);
    s.Show("RG21_Prot2k", n <= 4095);
    s.Show("RG23_Prot2k", n > 2047);
    s.Show("RG23_Prot1k", n <= 2047);
    s.Show("RG30_Wrt8k", n > 8191);
    s.Show("RG30_Wrt4k", n <= 8191);
    if (n < 8193) {
        s.Items("RG10_Mwp", {"0x000 to 0x7FF", "0x000 to 0x3FF", "0x000 to 0x0FF", "Off"});
        s.Items("RG46_Mwp", {"0x000 to 0xFFF", "0x000 to 0x7FF", "0x000 to 0x1FF", "Off"});
    } else {
        s.Items("RG10_Mwp", {"0x000 to 0xFFF", "0x000 to 0x7FF", "0x000 to 0x0FF", "Off"});
        s.Items("RG46_Mwp", n < 16385
                                ? std::vector<std::string>{"0x000 to 0x1FFF", "0x000 to 0xFFF",
                                                           "0x000 to 0x1FF", "Off"}
                                : std::vector<std::string>{"0x000 to 0x3FFF", "0x000 to 0x1FFF",
                                                           "0x000 to 0x1FF", "Off"});
    }
}

// Sheet 12 writes through the part's masks: its protection bits exist in W1H and W1L
// as far as the masks say, and its other controls keep W1L within its mask.
void Sheet12Masks(Sheets& s) {
    for (const char* c : {"CB12_Pwt", "CB12_Wdt", "RG12_Osc"}) {
        if (PicControl* control = s.Find(c)) {
            for (PicEffect& e : control->choices) {
                e.push_back(PicClause{W1L, 0xFF, 0x00, true, false});
            }
        }
    }
    const std::string all = "W1H&00|00,W1L&m0F|00", off = "W1H&00|m3F,W1L&CF|m30";
    s.Effects("RG12_Prot2k", {all, "W1H&00|15,W1L&0F|m90", "W1H&00|2A,W1L&0F|mA0", off});
    s.Effects("RG12_Prot1k", {all, "W1H&00|15,W1L&0F|m90", off});
    s.Effects("RG12_Prot05k", {all, off});
}

// Effects that depend on the part's Variant, code or masks.
void DeviceEffects(Sheets& s) {
    if (s.r.Variant() == 6) {
        s.Effects("RG15_Prot", {"W1H&00|00,W1L&17|00", "W1H&00|m0F,W1L&FF|mE8"});
    } else {
        s.Effects("RG15_Prot", {"W1H&00|m0F,W1L&mF7|00", "W1H&00|m0F,W1L&F7|m08"});
    }
    // After its change RG20_Cp keeps both bytes within their masks.
    s.Effects("RG20_Cp", {"W1H&00|00,W1L&2F|00,W1H&mFF|00,W1L&mFF|00",
                          "W1H&00|0F,W1L&2F|D0,W1H&mFF|00,W1L&mFF|00"});
    if (s.code() == 45) {
        s.Effects("CB34_Ccp", {"CONFIG3H&9C|00", "CONFIG3H&9C|01"});
        s.Effects("CB34_Mcl", {"CONFIG3H&1D|00", "CONFIG3H&1D|80"});
    }
    if (s.code() == 19) {
        s.Effects("RG40_Prot", {"W1H&00|00,W1L&07|00", "W1H&00|00,W1L&F7|08"});
    }
    if (s.code() == 41 || s.code() == 43) {
        s.Effects("RG42_BB", {"CONFIG4L&C5|00", "CONFIG4L&C5|10"});
    }
}

// Names, captions and controls that only some parts of a sheet have.
void ByName(Sheets& s) {
    const std::string name = s.r.Name();
    // The part number without the maker's prefix: "PIC16F526" is "16F526".
    const std::string number = name.rfind("PIC", 0) == 0 ? name.substr(3) : name;
    const bool fifthIs2 = number.size() > 4 && number[4] == '2';
    s.Show("RG5_Iofs", fifthIs2);
    s.Show("CB5_Mcpu", fifthIs2);
    s.Captions("CB5_Mcl", "MCLR", fifthIs2 ? "RB3" : "GP3");
    s.Captions("CB6_Mcl", "MCLR", "GP3");
    s.Show("CB16_Wur", (s.r.ConfigMask()[0] & 0x10) != 0);
    if (number.rfind("16F9", 0) == 0) {
        s.Caption("CB16_Wur", "DEBUG disabled");
    }
    // The frequency choice of sheet 15 exists where the low configuration byte has bit 5.
    s.Show("RG15_Iofs", (s.r.ConfigMask()[1] & 0x20) != 0);
    const bool f505 = name == "PIC16F505" || name == "16F505";
    s.Show("RG20_OscF", f505);
    s.Show("RG20_OscC", !f505);
    // The voltage regulator of the 5 V parts.
    s.Show("RG46_Vcap", s.r.VccMax() > 4.0f && s.code() != 48);
}

// The PIC18 sheets: protection blocks the part lacks, and the options of each family.
void Pic18Sheets(Sheets& s) {
    const int32_t n = s.size();
    const uint8_t code = s.code();
    const auto hide = [&s](std::initializer_list<const char*> names, bool hidden) {
        for (const char* c : names) {
            if (hidden) {
                s.Show(c, false);
            }
        }
    };
    hide({"CB27_Cp4000", "CB27_Cp6000", "CB27_Tr2", "CB27_Tr3", "CB27_Wrt2", "CB27_Wrt3"},
         n < 16385);
    s.Show("CB27_Ccp", code == 27);
    hide({"CB34_Cp2", "CB34_Cp3", "CB34_Tr2", "CB34_Tr3", "CB34_Wrt2", "CB34_Wrt3"},
         code == 35 || (code == 45 && n < 8193) || (code == 34 && n < 4097));
    // The motor-control options of code 45 (the xx31 group).
    for (const char* c : {"CB34_Winen", "CB34_SSP", "CB34_Pwm4", "CB34_Excm", "CB34_Pwmpin",
                          "CB34_GPTREN", "CB34_LPOL", "CB34_HPOL"}) {
        s.Show(c, code == 45);
    }
    s.Show("CB34_Ccp", code == 34 || code == 45);
    s.Show("CB34_Pbad", code == 34);
    if (code == 34) {
        s.Captions("CB34_Ccp", "CCP2 / RC1", "CCP2 / RB3");
    }

    const auto block = [&s](int b, bool shown) {
        for (const char* kind : {"CB36_Cp", "CB36_Tr", "CB36_Wrt"}) {
            if (!shown) {
                s.Show(kind + std::to_string(b), false);
            }
        }
    };
    block(4, code == 44);
    block(5, code == 44 && n >= 98303);
    block(3, n != 0x5FFF && n != 0xBFFF);
    for (int b = 2; b <= 5; ++b) {
        block(b, n > 0x3FFF);
    }
    if (s.r.EepromSize() == 0) {
        s.Show("CB36_Cpd", false);
        s.Show("CB36_Wrtd", false);
    }
    const bool otherOscillator = code == 37 || code == 41 || code == 43 || code == 44;
    s.Show("RG37_Osc", otherOscillator);
    for (const char* c : {"RG36_Osc", "RG36_Osd", "RG36_Clkdiv", "CB36_Pll", "CB36_Vreg"}) {
        s.Show(c, !otherOscillator);
    }
    s.Show("CB36_Ccp2", code < 41 || code > 44);
    s.Show("CB36_Icport", code != 41 && code != 43 && code != 44);
    s.Show("RG42_BB", code == 41 || code == 42);
    s.Show("RG37_BB", code == 43);
    if ((code == 43 || code == 44) && n < 0x3FFF) {
        s.Items("RG37_BB",
                n > 8190
                    ? std::vector<std::string>{"256 words Boot Block", "512 words Boot Block",
                                               "1K words Boot Block", "1K words Boot Block"}
                    : std::vector<std::string>{"256 words Boot Block", "512 words Boot Block",
                                               "512 words Boot Block", "512 words Boot Block"});
    }
}

}  // namespace

void ApplyPicControlRules(std::vector<PicPage>& pages, const DeviceRecord& record) {
    Sheets sheets(pages, record);
    for (auto rule : {LinkedControls, OneCopyRead, ProtectionBySize, Sheet12Masks, DeviceEffects,
                      ByName, Pic18Sheets}) {
        rule(sheets);
    }
}

}  // namespace kardo
