// SPDX-License-Identifier: GPL-3.0-or-later
// The PIC configuration sheets: the table checked as a whole, and the sheets as a user
// meets them, on the configuration bytes and ID locations of a real buffer.
#include "config/PicConfigModel.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "config/PicSheetTable.h"
#include "support/Records.h"
#include "support/ShippedRecords.h"

namespace kardo {
namespace {

DeviceRecord Pic(int code, uint8_t variant = 2, int32_t lastAddress = 0x7FF,
                 std::vector<uint8_t> masks = {0x3F, 0xFF}, const std::string& name = "PIC16FX") {
    auto r = test::MakeRecord('C', lastAddress, variant, name);
    r.SetU8(field::ConfigCode, static_cast<uint8_t>(code));
    r.SetU8(field::ConfigCount, static_cast<uint8_t>(masks.size()));
    for (std::size_t i = 0; i < masks.size(); ++i) {
        r.bytes()[field::ConfigMask.offset + i] = masks[i];
    }
    return r;
}

DeviceRecord Pic18(int code, int32_t lastAddress = 0x7FFF) {
    return Pic(code, 18, lastAddress, std::vector<uint8_t>(14, 0xFF), "PIC18FX");
}

struct Sheet {
    DeviceBuffer buffer{0x100000};
    std::unique_ptr<PicConfigModel> model;

    explicit Sheet(const DeviceRecord& r, std::map<std::size_t, uint8_t> bytes = {}) {
        for (const auto& [at, v] : bytes) {
            buffer[at] = v;
        }
        model = std::make_unique<PicConfigModel>(r, buffer);
        model->Open();
    }
    PicConfigModel* operator->() { return model.get(); }
};

std::set<int> Codes() {
    std::set<int> codes;
    for (const PicPageSet& set : PicPageSets()) {
        codes.insert(set.codes.begin(), set.codes.end());
    }
    return codes;
}

// Every sheet of every ConfigCode builds from its rows, on both layouts and every size
// rule: each control has a caption and an effect for each of its choices, and each radio
// group one effect per item.
TEST(PicSheetTable, EverySheetOfEveryCodeBuilds) {
    std::set<std::string> used;
    for (const int code : Codes()) {
        for (const int32_t size : {0x3FF, 0x7FF, 0xFFF, 0x1FFF, 0x3FFF, 0x5FFF, 0x17FFF}) {
            for (const DeviceRecord& r : {Pic(code, 2, size), Pic18(code, size)}) {
                Sheet s(r);
                ASSERT_FALSE(s->pages().empty()) << code;
                for (const PicPage& page : s->pages()) {
                    used.insert(page.name);
                    const bool pic18Page = page.name.rfind("Page27", 0) == 0 ||
                                           page.name.rfind("Page34", 0) == 0 ||
                                           page.name.rfind("Page36", 0) == 0;
                    EXPECT_FALSE(page.controls.empty()) << page.name;
                    for (const PicControl& c : page.controls) {
                        EXPECT_FALSE(c.caption.empty()) << c.name;
                        EXPECT_EQ(c.choices.size(), c.isCheckBox() ? 2u : c.items.size()) << c.name;
                        for (const PicEffect& e : c.choices) {
                            EXPECT_FALSE(e.empty()) << c.name;
                            for (const PicClause& clause : e) {
                                EXPECT_LT(clause.byte, pic18Page ? 14 : 4) << c.name;
                            }
                        }
                    }
                }
            }
        }
    }
    for (const PicControlRow& row : PicControlRows()) {
        EXPECT_TRUE(used.count(row.page)) << row.page << " is shown for no ConfigCode";
    }
    EXPECT_EQ(PicControlRows().size(), 308u);
    EXPECT_TRUE(Sheet(Pic(11))->pages().empty());
}

// The bits a control owns: those that one of its choices sets to 1 and another to 0,
// whatever they were before.
std::map<uint8_t, uint8_t> FieldOf(const PicControl& c) {
    std::map<uint8_t, uint8_t> field;
    const std::vector<uint8_t> none;
    const auto result = [&](const PicEffect& e, uint8_t start) {
        std::vector<uint8_t> bytes(14, start);
        PicBytes(bytes, none).Apply(e);
        return bytes;
    };
    for (const PicEffect& a : c.choices) {
        const auto ones = result(a, 0x00);
        for (const PicEffect& b : c.choices) {
            const auto zeros = result(b, 0xFF);
            for (uint8_t k = 0; k < 14; ++k) {
                if (const uint8_t bits = ones[k] & ~zeros[k]) {
                    field[k] |= bits;
                }
            }
        }
    }
    return field;
}

// No two controls shown together own the same bits, but for sheet 8's second set of
// boxes, which write what the first set shows.
TEST(PicSheetTable, NoTwoShownControlsWriteTheSameBits) {
    const std::set<std::pair<std::string, std::string>> meant{
        {"CB8_Pwt", "CheckBox1"}, {"CB8_Wdt", "CheckBox2"}, {"CB8_Bod", "CheckBox3"}};
    std::set<std::string> overlaps;
    for (const int code : Codes()) {
        for (const DeviceRecord& r : {Pic(code, 2, 0x7FF), Pic18(code, 0x17FFF)}) {
            Sheet s(r);
            std::vector<const PicControl*> shown;
            for (const PicPage& page : s->pages()) {
                for (const PicControl& c : page.controls) {
                    if (c.visible) {
                        shown.push_back(&c);
                    }
                }
            }
            for (std::size_t i = 0; i < shown.size(); ++i) {
                const auto a = FieldOf(*shown[i]);
                for (std::size_t j = i + 1; j < shown.size(); ++j) {
                    for (const auto& [byte, bits] : FieldOf(*shown[j])) {
                        if (a.count(byte) && (a.at(byte) & bits) &&
                            !meant.count({shown[i]->name, shown[j]->name}) &&
                            !meant.count({shown[j]->name, shown[i]->name})) {
                            overlaps.insert(shown[i]->name + "/" + shown[j]->name);
                        }
                    }
                }
            }
        }
    }
    std::string list;
    for (const std::string& o : overlaps) {
        list += o + " ";
    }
    EXPECT_EQ(list, "");
}

constexpr std::size_t W1H = 0x400E, W1L = 0x400F, W2L = 0x4011;
// CONFIGnL and CONFIGnH of a PIC18 part.
constexpr std::size_t ConfigL(int n) {
    return 0xF0011 + 2 * (n - 1);
}
constexpr std::size_t ConfigH(int n) {
    return 0xF0010 + 2 * (n - 1);
}

TEST(PicSheets, OpeningMasksTheWordsAndShowsWhatTheyHold) {
    // A 14-bit word: bits 7..6 of W1H are not implemented and go at once.
    Sheet s(Pic(9), {{W1H, 0xFF}, {W1L, 0xF2}});
    EXPECT_EQ(s.buffer[W1H], 0x3F);
    EXPECT_EQ(s->state("RG9_Osc").index, 2);   // HS
    EXPECT_EQ(s->state("RG9_Prot").index, 1);  // reads W1L bit 4 only
    EXPECT_FALSE(s->state("CB9_Wdt").checked);
    EXPECT_FALSE(s->state("CB9_Pwt").checked);  // PWRTE programmed: the timer runs
    EXPECT_EQ(s->ByteTexts(), (std::vector<std::string>{"3F", "F2"}));
    // A PIC18 part's bytes are shown as they are.
    Sheet p(Pic18(27), {{ConfigH(1), 0xFF}, {ConfigH(2), 0x09}});
    EXPECT_EQ(p.buffer[ConfigH(1)], 0xFF);
    EXPECT_EQ(p->ByteTexts().size(), 14u);
    EXPECT_TRUE(p->state("CB27_Wdt").checked);  // CONFIG2H bit 0
    EXPECT_EQ(p->state("RG27_Wdt").index, 4);   // 1:16
}

TEST(PicSheets, Sheet22BrownOutHoldsThePowerUpTimerOn) {
    Sheet s(Pic(22), {{W1L, 0x00}});
    s->SetTicked("CB22_Bor", true);
    EXPECT_EQ(s.buffer[W1L] & 0x48, 0x40);
    EXPECT_TRUE(s->state("RG22_Bor").enabled);
    s->SetTicked("CB22_Pwt", true);
    EXPECT_EQ(s.buffer[W1L] & 0x08, 0);
    EXPECT_FALSE(s->state("CB22_Pwt").checked);
    s->SetTicked("CB22_Bor", false);
    EXPECT_FALSE(s->state("RG22_Bor").enabled);
    s->SetTicked("CB22_Pwt", true);
    EXPECT_EQ(s.buffer[W1L] & 0x08, 0x08);
}

TEST(PicSheets, Sheet34BProtectionBoxes) {
    Sheet s(Pic18(34), {{ConfigL(5), 0xFF}});
    s->SetTicked("CB34_Cp0", true);
    EXPECT_EQ(s.buffer[ConfigL(5)], 0x0E);
    s->SetTicked("CB34_Cp0", false);
    EXPECT_EQ(s.buffer[ConfigL(5)], 0x0F);
    s->SetTicked("CB34_Trb", true);  // := 0x00
    EXPECT_EQ(s.buffer[ConfigH(7)], 0x00);
    EXPECT_TRUE(s->state("CB34_Trb").checked);
}

TEST(PicSheets, IdLocationsAsTheUserTypes) {
    Sheet s(Pic(5));
    EXPECT_TRUE(s->SetIdText(0, "1"));
    EXPECT_EQ(s.buffer[0x4001], 0x81);
    EXPECT_TRUE(s->SetIdText(0, "1F"));
    EXPECT_EQ(s.buffer[0x4001], 0x9F);
    EXPECT_FALSE(s->SetIdText(1, "G"));
    EXPECT_EQ(s.buffer[0x4003], 0x00);
    EXPECT_TRUE(s->SetIdText(1, ""));
    EXPECT_EQ(s.buffer[0x4003], 0x80);

    Sheet twelveBit(Pic(19, 0, 0x3FF, {0x00, 0x0F}), {{0x4005, 0xFA}});
    EXPECT_EQ(twelveBit->idTexts()[2], "0A");
    twelveBit->SetIdText(0, "1");
    EXPECT_EQ(twelveBit.buffer[0x4001], 0xF1);
    twelveBit->SetIdText(0, "1F");
    EXPECT_EQ(twelveBit.buffer[0x4001], 0xFF);

    Sheet pic18(Pic18(27), {{0xF0007, 0xC3}});
    EXPECT_EQ(pic18->idTexts().size(), 8u);
    EXPECT_EQ(pic18->idTexts()[7], "C3");
    pic18->SetIdText(7, "");
    EXPECT_EQ(pic18.buffer[0xF0007], 0x00);
    pic18->SetIdText(3, "a5");
    EXPECT_EQ(pic18.buffer[0xF0003], 0xA5);

    Sheet words46(Pic(46, 2, 0x1FFF, {0x3F, 0xFF, 0x3F, 0xFF}), {{0x1000E, 0xFF}});
    words46->SetIdText(2, "7");
    EXPECT_EQ(words46.buffer[0x10005], 0x87);
    EXPECT_EQ(words46.buffer[0x1000E], 0x3F);  // its words are at 0x1000E
    words46->SetTicked("CB46_Pwrt", false);
    EXPECT_EQ(words46.buffer[0x1000F] & 0x20, 0);
}

TEST(PicSheets, TheIdBoxesBelongToTheFirstSheet) {
    const auto first = Sheet(Pic18(27))->IdGroupsOnOpening();
    EXPECT_TRUE(first.pic18 && !first.id);
    const auto second = PicConfigModel::IdGroupsFor("Page27A", first);
    EXPECT_FALSE(second.pic18 || second.id);
    const auto back = PicConfigModel::IdGroupsFor("Page27", second);
    EXPECT_TRUE(back.pic18 && !back.id);
    EXPECT_FALSE(PicConfigModel::IdGroupsFor("Page4A", {true, false}).id);
    EXPECT_TRUE(PicConfigModel::IdGroupsFor("Page4", {false, false}).id);
}

TEST(PicSheets, ProtectionGroupsBySize) {
    const auto shown = [](int code, int32_t size) {
        Sheet s(Pic(code, 2, size));
        std::string groups;
        for (const PicControl& c : s->pages()[0].controls) {
            if (c.visible && c.name.find("Prot") != std::string::npos) {
                groups += c.name + " ";
            }
        }
        return groups;
    };
    EXPECT_EQ(shown(3, 4095), "RG3_Prot2k ");
    EXPECT_EQ(shown(3, 2047), "RG3_Prot1k ");
    EXPECT_EQ(shown(3, 1023), "RG3_Prot05k ");
    EXPECT_EQ(shown(12, 4095), "RG12_Prot2k ");
    EXPECT_EQ(shown(12, 2047), "RG12_Prot1k ");
    EXPECT_EQ(shown(21, 8191), "RG21_Prot8k ");
    EXPECT_EQ(shown(21, 4095), "RG21_Prot2k ");
    EXPECT_EQ(shown(23, 4095), "RG23_Prot2k ");
    EXPECT_EQ(shown(23, 2047), "RG23_Prot1k ");
    // Sheet 3's 1K group shows its last item for field 3.
    Sheet prot1k(Pic(3, 2, 2047), {{W1L, 0x30}});
    EXPECT_EQ(prot1k->state("RG3_Prot1k").index, 2);
}

TEST(PicSheets, Sheet12WritesThroughTheMasks) {
    Sheet s(Pic(12, 2, 4095, {0x3D, 0x9F}), {{W1H, 0x3F}, {W1L, 0xFF}});
    EXPECT_EQ(s.buffer[W1L], 0x9F);
    s->Choose("RG12_Prot2k", 1);
    EXPECT_EQ(s.buffer[W1H], 0x15);
    EXPECT_EQ(s.buffer[W1L], 0x0F | 0x90);
    s->Choose("RG12_Prot2k", 3);  // "Protection off": what the masks have
    EXPECT_EQ(s.buffer[W1H], 0x3D);
    EXPECT_EQ(s.buffer[W1L], 0x9F);
    s->Choose("RG12_Prot2k", 0);
    EXPECT_EQ(s.buffer[W1L], 0x0F);
}

TEST(PicSheets, EffectsByVariantAndCode) {
    Sheet v6(Pic(15, 6, 0x3FF, {0x00, 0xFF}), {{W1L, 0xFF}});
    v6->Choose("RG15_Prot", 0);
    EXPECT_EQ(v6.buffer[W1L], 0x17);
    v6->Choose("RG15_Prot", 1);
    EXPECT_EQ(v6.buffer[W1L], 0xFF);
    EXPECT_EQ(v6.buffer[W1H], 0x00);
    Sheet other(Pic(15, 0, 0x3FF, {0x00, 0x1F}), {{W1L, 0x1F}});
    other->Choose("RG15_Prot", 0);
    EXPECT_EQ(other.buffer[W1L], 0x17);
    other->Choose("RG15_Prot", 1);
    EXPECT_EQ(other.buffer[W1L], 0x1F);

    Sheet code19(Pic(19, 0, 0x3FF, {0x00, 0x0F}), {{W1L, 0x0F}});
    code19->Choose("RG40_Prot", 0);
    EXPECT_EQ(code19.buffer[W1L], 0x07);
    Sheet code40(Pic(40, 0, 0x3FF, {0xFF, 0xFF}), {{W1L, 0xFF}, {W1H, 0x0F}});
    code40->Choose("RG40_Prot", 0);
    EXPECT_EQ(code40.buffer[W1L], 0xF7);
    EXPECT_EQ(code40.buffer[W1H], 0x0F);

    for (const auto& [code, bit] : {std::pair{42, 0x08}, {41, 0x10}, {43, 0x10}}) {
        Sheet s(Pic18(code), {{ConfigL(4), 0x00}});
        s->Choose("RG42_BB", 1);
        EXPECT_EQ(s.buffer[ConfigL(4)], bit) << code;
    }
    Sheet mc(Pic18(45), {{ConfigH(3), 0xFF}});
    mc->SetTicked("CB34_Mcl", false);
    EXPECT_EQ(mc.buffer[ConfigH(3)], 0x1D);
    Sheet plain(Pic18(34), {{ConfigH(3), 0xFF}});
    plain->SetTicked("CB34_Mcl", false);
    EXPECT_EQ(plain.buffer[ConfigH(3)], 0x03);

    Sheet cp(Pic(20, 0, 0x3FF, {0x0F, 0xFF}), {{W1H, 0xFF}});
    cp->Choose("RG20_Cp", 1);
    EXPECT_EQ(cp.buffer[W1H], 0x0F);
}

TEST(PicSheets, CompanionsCaptionsAndLinkedBoxes) {
    Sheet s(Pic18(34), {{ConfigH(2), 0x00}});
    EXPECT_FALSE(s->state("RG34_Wdt").enabled);
    s->SetTicked("CB34_Wdt", true);
    EXPECT_TRUE(s->state("RG34_Wdt").enabled);
    EXPECT_EQ(s->state("CB34_Ccp").caption, "CCP2 / RB3");
    s->SetTicked("CB34_Ccp", true);
    EXPECT_EQ(s->state("CB34_Ccp").caption, "CCP2 / RC1");
    EXPECT_FALSE(s->control("CB34_Winen").visible);
    EXPECT_TRUE(Sheet(Pic18(45))->control("CB34_Winen").visible);

    Sheet wdt(Pic18(27), {{ConfigH(2), 0x09}});
    wdt->SetTicked("CB27_Wdt", false);  // the postscaler goes to all ones
    EXPECT_EQ(wdt.buffer[ConfigH(2)], 0x0E);
    EXPECT_FALSE(wdt->state("RG27_Wdt").enabled);

    // The fifth character of the part number picks the pin name and the frequency
    // choice: the PIC16F526 has RB3 and two oscillator frequencies, the PIC12F509 GP3.
    Sheet mclr(Pic(5, 0, 0x3FF, {0x00, 0x1F}, "PIC12F509"), {{W1L, 0x00}});
    EXPECT_EQ(mclr->state("CB5_Mcl").caption, "GP3");
    mclr->SetTicked("CB5_Mcl", true);
    EXPECT_EQ(mclr->state("CB5_Mcl").caption, "MCLR");
    EXPECT_FALSE(mclr->control("RG5_Iofs").visible);
    for (const char* name : {"PIC16F526", "16F526"}) {
        Sheet rb3(Pic(5, 0, 0x3FF, {0x00, 0x1F}, name), {{W1L, 0x00}});
        EXPECT_EQ(rb3->state("CB5_Mcl").caption, "RB3") << name;
        EXPECT_TRUE(rb3->control("RG5_Iofs").visible) << name;
    }

    Sheet eight(Pic(8), {{W1L, 0x00}});
    eight->SetTicked("CB8_Pwt", true);
    eight->SetTicked("CheckBox1", false);  // writes what CB8_Pwt shows
    EXPECT_EQ(eight.buffer[W1L] & 0x08, 0x08);
}

TEST(PicSheets, VisibilityAndItemsByDevice) {
    auto vcap = Pic(46, 2, 0x1FFF, {0x3F, 0xFF, 0x3F, 0xFF});
    vcap.SetF32(field::VccMax, 5.5f);
    EXPECT_TRUE(Sheet(vcap)->control("RG46_Vcap").visible);
    vcap.SetU8(field::ConfigCode, 48);
    EXPECT_FALSE(Sheet(vcap)->control("RG46_Vcap").visible);
    vcap.SetU8(field::ConfigCode, 47);
    vcap.SetF32(field::VccMax, 3.6f);
    EXPECT_FALSE(Sheet(vcap)->control("RG46_Vcap").visible);
    EXPECT_EQ(Sheet(Pic(46, 2, 0x7FFF))->control("RG46_Mwp").items[0], "0x000 to 0x3FFF");
    EXPECT_EQ(Sheet(Pic(10, 2, 0x1FFF))->control("RG10_Mwp").items[0], "0x000 to 0x7FF");

    EXPECT_EQ(Sheet(Pic18(44, 0x1FFF))->control("RG37_BB").items[2], "1K words Boot Block");
    Sheet small44(Pic18(44, 0xFFF));
    EXPECT_EQ(small44->control("RG37_BB").items[2], "512 words Boot Block");
    EXPECT_FALSE(small44->control("CB36_Cp2").visible);
    Sheet big44(Pic18(44, 0x1FFFF));
    EXPECT_TRUE(big44->control("CB36_Cp5").visible);
    EXPECT_TRUE(big44->control("RG37_Osc").visible);
    EXPECT_FALSE(big44->control("RG36_Osc").visible);
    Sheet usb(Pic18(36, 0x7FFF));
    EXPECT_TRUE(usb->control("CB36_Cp3").visible);
    EXPECT_FALSE(usb->control("CB36_Cp4").visible);
    EXPECT_FALSE(usb->control("CB36_Cpd").visible);  // no data EEPROM
    EXPECT_FALSE(Sheet(Pic18(36, 0x5FFF))->control("CB36_Wrt3").visible);

    EXPECT_TRUE(Sheet(Pic(20, 0, 0x3FF, {0x0F, 0xFF}, "PIC16F505"))->control("RG20_OscF").visible);
    EXPECT_FALSE(Sheet(Pic(20, 0, 0x3FF, {0x0F, 0xFF}))->control("RG20_OscF").visible);
    EXPECT_FALSE(Sheet(Pic(15, 6, 0x3FF, {0x00, 0x1F}))->control("RG15_Iofs").visible);
    EXPECT_TRUE(Sheet(Pic(15, 6, 0x3FF, {0x00, 0x3F}))->control("RG15_Iofs").visible);
    for (const char* name : {"PIC16F913", "16F913"}) {
        EXPECT_EQ(Sheet(Pic(16, 2, 0x7FF, {0x3F, 0xFF}, name))->control("CB16_Wur").caption,
                  "DEBUG disabled");
    }
    EXPECT_FALSE(Sheet(Pic(16, 2, 0x7FF, {0x0F, 0xFF}))->control("CB16_Wur").visible);
}

TEST(PicSheets, EveryShippedPicShowsItsSheets) {
    int pics = 0;
    for (const DeviceRecord& r : test::ShippedRecords()) {
        if (r.Family() != 'C') {
            continue;
        }
        ++pics;
        Sheet s(r);
        ASSERT_FALSE(s->pages().empty()) << r.Name();
        EXPECT_EQ(s->pages()[0].caption, r.Name());
    }
    EXPECT_GE(pics, 8);
}

TEST(PicEffects, Parsing) {
    const PicEffect e = ParsePicEffect("W1L&F7|08,CONFIG7H&m0F|mC0");
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].byte, 12);
    EXPECT_TRUE(e[1].andMasked && e[1].orMasked);
    for (const char* bad : {"", "W3H&00|00", "W1L&F7", "W1L&G7|00", "W1L&F7|0", "CONFIG8L&00|00"}) {
        if (*bad) {
            EXPECT_THROW(ParsePicEffect(bad), std::invalid_argument) << bad;
        }
    }
}

}  // namespace
}  // namespace kardo
