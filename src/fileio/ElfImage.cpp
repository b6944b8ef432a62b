// SPDX-License-Identifier: GPL-3.0-or-later
// Reading AVR and 8051 executables with libelf. libelf parses the headers; every
// byte we load is taken from the caller's buffer after our own bounds check, so a file
// whose headers lie cannot make us read past its end.
#include "fileio/ElfImage.h"

#include <gelf.h>
#include <libelf.h>

#include <algorithm>
#include <array>
#include <memory>

#include "fileio/ElfLoad.h"
#include "fileio/ElfMemories.h"

namespace kardo {
namespace {

using elf::Extent;
using elf::Hex;

// Far beyond the program memory of any AVR or 8051, and small enough that a file whose
// segments all point at the same bytes cannot make us copy them without end.
constexpr uint64_t kLargestLoad = 16u << 20;

struct ElfCloser {
    void operator()(Elf* elf) const { elf_end(elf); }
};
using ElfHandle = std::unique_ptr<Elf, ElfCloser>;

bool LibelfReady() {
    static const bool ready = elf_version(EV_CURRENT) != EV_NONE;
    return ready;
}

std::string LibelfSays() {
    const int error = elf_errno();
    const char* message = error != 0 ? elf_errmsg(error) : nullptr;
    return message ? std::string(" (libelf: ") + message + ")" : std::string();
}

// The names people know the machines by that are most often mistaken for ours.
const char* MachineName(unsigned machine) {
    struct Named {
        unsigned machine;
        const char* name;
    };
    static constexpr std::array<Named, 18> kNames{{
        {EM_SPARC, "SPARC"},
        {EM_386, "x86"},
        {EM_68K, "68000"},
        {EM_MIPS, "MIPS"},
        {EM_PPC, "PowerPC"},
        {EM_PPC64, "PowerPC 64"},
        {EM_S390, "S/390"},
        {EM_ARM, "ARM"},
        {EM_SH, "SuperH"},
        {EM_68HC12, "68HC12"},
        {EM_X86_64, "x86-64"},
        {EM_68HC08, "68HC08"},
        {EM_XTENSA, "Xtensa"},
        {EM_MSP430, "MSP430"},
        {EM_AARCH64, "AArch64"},
        {EM_AVR32, "32-bit AVR32"},
        {EM_STM8, "STM8"},
        {EM_RISCV, "RISC-V"},
    }};
    for (const auto& n : kNames)
        if (n.machine == machine)
            return n.name;
    return nullptr;
}

std::string CheckMachine(const GElf_Ehdr& header, ElfImage::Machine& machine) {
    if (header.e_machine == EM_AVR) {
        machine = ElfImage::Machine::Avr;
        return {};
    }
    if (header.e_machine == EM_8051) {
        machine = ElfImage::Machine::Mcs51;
        return {};
    }
    std::string which = std::to_string(header.e_machine);
    if (const char* name = MachineName(header.e_machine))
        which += std::string(" (") + name + ")";
    return "the ELF file is for machine " + which + ", not for an AVR or 8051 microcontroller";
}

// Only a linked program has its bytes at their final addresses.
std::string CheckType(const GElf_Ehdr& header) {
    switch (header.e_type) {
        case ET_EXEC:
            return {};
        case ET_REL:
            return "the ELF file is a relocatable object (compiled with -c), not a linked "
                   "program: link it into an executable first";
        case ET_DYN:
            return "the ELF file is a shared library, not a program for a microcontroller";
        case ET_CORE:
            return "the ELF file is a core dump, not a program";
        default:
            return "the ELF file is of type " + std::to_string(header.e_type) +
                   ", not a linked executable";
    }
}

// Bytes `size` long at file offset `offset`: offset + size itself may overflow.
bool InFile(uint64_t offset, uint64_t size, std::size_t fileSize) {
    return offset <= fileSize && size <= fileSize - offset;
}

// libelf quietly counts only the header entries that fit in the file, so a file cut
// short inside its header tables would lose segments without a word: the tables must
// be whole. (With more entries than the header field holds, section 0 keeps the count.)
std::string CheckTable(Elf* elf, Elf_Type type, uint64_t offset, uint64_t count, uint64_t entrySize,
                       std::size_t fileSize, const char* what) {
    if (count == 0)
        return {};
    if (entrySize != gelf_fsize(elf, type, 1, EV_CURRENT))
        return std::string("the ELF file's ") + what + " have entries of the wrong size";
    if (!InFile(offset, count * entrySize, fileSize))
        return std::string("the ELF file is cut short or corrupt: its ") + what +
               " lie beyond its end";
    return {};
}

std::string CheckTables(Elf* elf, const GElf_Ehdr& header, std::size_t fileSize) {
    const uint64_t segments = header.e_phnum == PN_XNUM ? 1 : header.e_phnum;
    const uint64_t sections = header.e_shnum == 0 && header.e_shoff != 0 ? 1 : header.e_shnum;
    if (auto error = CheckTable(elf, ELF_T_PHDR, header.e_phoff, segments, header.e_phentsize,
                                fileSize, "program headers");
        !error.empty())
        return error;
    return CheckTable(elf, ELF_T_SHDR, header.e_shoff, sections, header.e_shentsize, fileSize,
                      "section headers");
}

std::string AddExtent(const Extent& e, const std::string& what, std::size_t fileSize,
                      std::vector<Extent>& extents, uint64_t& total) {
    if (!InFile(e.offset, e.size, fileSize))
        return "the ELF file is cut short or corrupt: " + what + " (" + Hex(e.size) +
               " bytes at file offset " + Hex(e.offset) + ") lies beyond its end at " +
               Hex(fileSize);
    total += e.size;  // no overflow: each size is below the file size
    if (total > kLargestLoad)
        return "the ELF file loads more than " + std::to_string(kLargestLoad >> 20) +
               " MiB, more than any AVR or 8051 holds";
    extents.push_back(e);
    return {};
}

// What avr-objcopy -O ihex writes: the file bytes of each loadable segment at its
// physical address, so that AVR initialised data lands after the code, not in RAM.
std::string SegmentExtents(Elf* elf, std::size_t count, std::size_t fileSize,
                           std::vector<Extent>& extents) {
    uint64_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        GElf_Phdr ph;
        if (!gelf_getphdr(elf, static_cast<int>(i), &ph))
            return "the ELF file's program header " + std::to_string(i) + " is corrupt" +
                   LibelfSays();
        if (ph.p_type != PT_LOAD || ph.p_filesz == 0)
            continue;
        const std::string what = "segment " + std::to_string(i);
        if (auto error =
                AddExtent({ph.p_paddr, ph.p_offset, ph.p_filesz}, what, fileSize, extents, total);
            !error.empty())
            return error;
    }
    return {};
}

// An executable without program headers: its allocated sections that hold file bytes.
std::string SectionExtents(Elf* elf, const GElf_Ehdr& header, std::size_t fileSize,
                           std::vector<Extent>& extents) {
    std::size_t count = 0;
    if (elf_getshdrnum(elf, &count) != 0)
        return "the ELF file's section headers are corrupt" + LibelfSays();
    if (auto error = CheckTable(elf, ELF_T_SHDR, header.e_shoff, count, header.e_shentsize,
                                fileSize, "section headers");
        !error.empty())
        return error;
    uint64_t total = 0;
    for (Elf_Scn* scn = elf_nextscn(elf, nullptr); scn; scn = elf_nextscn(elf, scn)) {
        GElf_Shdr sh;
        if (!gelf_getshdr(scn, &sh))
            return "the ELF file's section header " + std::to_string(elf_ndxscn(scn)) +
                   " is corrupt" + LibelfSays();
        if (sh.sh_type != SHT_PROGBITS || !(sh.sh_flags & SHF_ALLOC) || sh.sh_size == 0)
            continue;
        const std::string what = "section " + std::to_string(elf_ndxscn(scn));
        if (auto error =
                AddExtent({sh.sh_addr, sh.sh_offset, sh.sh_size}, what, fileSize, extents, total);
            !error.empty())
            return error;
    }
    return {};
}

std::string Extents(Elf* elf, const GElf_Ehdr& header, std::size_t fileSize,
                    std::vector<Extent>& extents) {
    std::size_t segments = 0;
    if (elf_getphdrnum(elf, &segments) != 0)
        return "the ELF file's program headers are corrupt" + LibelfSays();
    // The count may have come from section 0 rather than the header checked before.
    if (auto error = CheckTable(elf, ELF_T_PHDR, header.e_phoff, segments, header.e_phentsize,
                                fileSize, "program headers");
        !error.empty())
        return error;
    return segments > 0 ? SegmentExtents(elf, segments, fileSize, extents)
                        : SectionExtents(elf, header, fileSize, extents);
}

// A name from the section name table, read from the file's own bytes: up to its NUL and
// never past the table or the file.
std::string NameAt(const std::vector<uint8_t>& bytes, const GElf_Shdr& table, uint64_t at) {
    if (!InFile(table.sh_offset, table.sh_size, bytes.size()) || at >= table.sh_size)
        return "?";
    const auto* first = bytes.data() + table.sh_offset + at;
    const auto* end = bytes.data() + table.sh_offset + table.sh_size;
    const auto* nul = std::find(first, end, uint8_t{0});
    return nul == end || nul == first ? "?" : std::string(first, nul);
}

// The sections that hold loaded bytes, only to say what was loaded: a file whose names
// cannot be found still loads, its sections named "?".
void NameSections(Elf* elf, const std::vector<uint8_t>& bytes, ElfImage& image) {
    std::size_t names = 0;
    GElf_Shdr table{};
    const bool haveTable = elf_getshdrstrndx(elf, &names) == 0 &&
                           gelf_getshdr(elf_getscn(elf, names), &table) != nullptr;
    for (Elf_Scn* scn = elf_nextscn(elf, nullptr); scn; scn = elf_nextscn(elf, scn)) {
        GElf_Shdr sh;
        if (!gelf_getshdr(scn, &sh) || sh.sh_type != SHT_PROGBITS || !(sh.sh_flags & SHF_ALLOC) ||
            sh.sh_size == 0)
            continue;
        image.sections.push_back({haveTable ? NameAt(bytes, table, sh.sh_name) : "?", sh.sh_size});
    }
}

std::string Read(Elf* elf, const std::vector<uint8_t>& bytes, ElfImage& image) {
    if (elf_kind(elf) == ELF_K_AR)
        return "the file is an archive of object files (a library), not a linked program";
    GElf_Ehdr header;
    if (elf_kind(elf) != ELF_K_ELF || !gelf_getehdr(elf, &header))
        return "the ELF header is cut short or corrupt" + LibelfSays();
    if (auto error = CheckMachine(header, image.machine); !error.empty())
        return error;
    if (auto error = CheckType(header); !error.empty())
        return error;
    if (auto error = CheckTables(elf, header, bytes.size()); !error.empty())
        return error;
    std::vector<Extent> extents;
    if (auto error = Extents(elf, header, bytes.size(), extents); !error.empty())
        return error;
    if (auto error = elf::FillMemories(extents, bytes, image); !error.empty())
        return error;
    NameSections(elf, bytes, image);
    return {};
}

}  // namespace

ElfReadResult ReadElfImage(const std::vector<uint8_t>& bytes) {
    if (bytes.empty())
        return {std::nullopt, "the file is empty"};
    if (!LooksLikeElf(bytes))
        return {std::nullopt, "the file is not an ELF file (it does not start with 0x7F \"ELF\")"};
    if (!LibelfReady())
        return {std::nullopt, "libelf cannot be used" + LibelfSays()};
    // libelf may write to the memory it reads from (in place byte order conversion), and
    // the caller's bytes are const: it gets a copy of its own.
    std::vector<char> copy(bytes.begin(), bytes.end());
    const ElfHandle elf(elf_memory(copy.data(), copy.size()));
    if (!elf)
        return {std::nullopt, "the ELF file is cut short or corrupt" + LibelfSays()};
    ElfImage image;
    if (auto error = Read(elf.get(), bytes, image); !error.empty())
        return {std::nullopt, error};
    return {std::move(image), {}};
}

}  // namespace kardo
