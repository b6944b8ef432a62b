// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual programmer's socket: which chip is in it, and the file that keeps the chip
// between runs.
#include <algorithm>

#include "common/SafeWrite.h"
#include "link/VirtualProgrammer.h"

namespace kardo {

VirtualChip& VirtualProgrammer::chip() {
    if (!chip_) {
        // No device named yet: a chip as the last upload describes it.
        const uint32_t size = parameters_.size == 0 ? 0x10000u : parameters_.size;
        chip_ = VirtualChip::FromParameters(size, parameters_.family, parameters_.variant,
                                            parameters_.dataCount);
        chip_->configCode = parameters_.configCode;
    }
    return *chip_;
}

namespace {

// What makes a chip file unusable, or empty when it can be used.
std::string ChipFileProblem(const ChipFile& file) {
    switch (file.status) {
        case ChipFile::Status::Unreadable:
            return "cannot be read (" + file.reason + ")";
        case ChipFile::Status::NotAChipImage:
            return "is not a virtual chip file; it is left as it is";
        default:
            return {};
    }
}

// A chip as the user knows it; one made from a parameter upload alone has no name.
std::string ShownName(const VirtualChip& chip) {
    return chip.name.empty() ? "a device without a name" : chip.name;
}

// Whether a save could go there, asked without making anything: a trial file of some
// fixed name would destroy a file of that name, or follow a link planted there.
std::string WriteProblem(const std::filesystem::path& file) {
    const std::string problem = FileWriteProblem(file);
    return problem.empty() ? problem : "cannot be written (" + problem + ")";
}

}  // namespace

std::string VirtualProgrammer::SetImageFile(std::filesystem::path file) {
    imageFile_ = std::move(file);
    imageProblem_.clear();
    if (imageFile_.empty()) {
        return {};
    }
    std::string problem = ChipFileProblem(LoadChipFile(imageFile_));
    if (problem.empty()) {
        problem = WriteProblem(imageFile_);
    }
    if (!problem.empty()) {
        DropImageFile(problem);
    }
    return TakeImageProblem();
}

void VirtualProgrammer::DropImageFile(const std::string& what) {
    imageProblem_ = "The virtual chip file " + imageFile_.string() + " " + what +
                    ". The chip is kept in memory only.";
    imageFile_.clear();
}

void VirtualProgrammer::InsertChip(const DeviceRecord& record) {
    VirtualChip fresh = VirtualChip::For(record);
    if (!imageFile_.empty()) {
        ChipFile kept = LoadChipFile(imageFile_);
        if (const std::string problem = ChipFileProblem(kept); !problem.empty()) {
            DropImageFile(problem);
        } else if (kept.chip && kept.chip->SameDevice(fresh)) {
            chip_ = std::move(*kept.chip);
            MarkNotBlank();
            return;
        } else if (kept.chip) {
            // The chip that was programmed is still in there: a blank one of another
            // device saved over it would lose it without a word.
            const std::string held = ShownName(*kept.chip);
            const std::string wanted = ShownName(fresh);
            DropImageFile("holds a chip of " + held +
                          (held == wanted ? " of another size" : ", not of " + wanted) +
                          "; it is left as it is");
        }
    }
    chip_ = std::move(fresh);
    MarkNotBlank();
    Changed();
}

// A chip somebody used before: its first byte holds 0x00, which no erased pattern has.
void VirtualProgrammer::MarkNotBlank() {
    if (faults.notBlank && !chip_->memory.empty()) {
        chip_->memory[0] = 0x00;
    }
}

void VirtualProgrammer::Changed() {
    if (!imageFile_.empty() && chip_) {
        if (const std::string problem = chip_->Save(imageFile_); !problem.empty()) {
            DropImageFile("cannot be written (" + problem + ")");
        }
    }
}

}  // namespace kardo
