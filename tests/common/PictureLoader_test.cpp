// SPDX-License-Identifier: GPL-3.0-or-later
// The picture decoder on the pictures the build draws, and on every way a picture file
// can be wrong: not a JPEG, cut short, declaring a size we will not allocate, missing.
#include "common/PictureLoader.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace kardo {
namespace {

using Bytes = std::vector<uint8_t>;

std::filesystem::path DataFile(const char* name) {
    return kardo::test::BuiltDataDir() / name;
}

Bytes Shipped(const char* name) {
    return test::ReadBytes(DataFile(name));
}

Picture Decode(const Bytes& bytes) {
    return DecodeJpeg(bytes.data(), bytes.size());
}

// The same picture with another size written into its frame header.
Bytes Declaring(Bytes jpeg, uint16_t width, uint16_t height) {
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = static_cast<uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<uint8_t>(height);
            jpeg[i + 7] = static_cast<uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<uint8_t>(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no baseline frame header";
    return jpeg;
}

TEST(PictureLoader, ShippedPicturesDecodeAtTheirSizeInRgbOrder) {
    const struct {
        const char* name;
        int width, height;
    } pictures[] = {{"Test.jpg", 340, 300},
                    {"Test_2.jpg", 420, 300},
                    {"Pic_Jumper.JPG", 360, 300},
                    {"EE_Jumper.JPG", 360, 300}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.name);
        const Picture picture = LoadPicture(DataFile(p.name));
        ASSERT_TRUE(picture.image) << picture.problem;
        EXPECT_TRUE(picture.problem.empty());
        EXPECT_EQ(picture.image->width, p.width);
        EXPECT_EQ(picture.image->height, p.height);
        ASSERT_EQ(picture.image->pixels.size(), std::size_t(p.width) * p.height * 3);
        // The bottom right corner is bare board, green above red and blue: a decoder
        // that swapped the channels or lost the row stride would not give it.
        const std::size_t corner = picture.image->pixels.size() - 3;
        EXPECT_NEAR(picture.image->pixels[corner], 0x1E, 12);
        EXPECT_NEAR(picture.image->pixels[corner + 1], 0x6B, 12);
        EXPECT_NEAR(picture.image->pixels[corner + 2], 0x3A, 12);
    }
}

TEST(PictureLoader, WhatIsNotAJpegIsRefusedWithoutTheLibrary) {
    const Bytes notPictures[] = {
        {},
        {0xFF},
        {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A},
        {'K', 'A', 'R', 'D', 'O', '\n'},
    };
    for (const Bytes& bytes : notPictures) {
        const Picture picture = Decode(bytes);
        EXPECT_FALSE(picture.image);
        EXPECT_EQ(picture.problem, "it is not a JPEG picture");
    }
    // The start of a JPEG and then nothing the library can read.
    const Picture garbage = Decode({0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A});
    EXPECT_FALSE(garbage.image);
    EXPECT_EQ(garbage.problem.rfind("it is damaged or cut short (", 0), 0u) << garbage.problem;
}

TEST(PictureLoader, PictureCutShortAnywhereIsRefused) {
    const Bytes whole = Shipped("Pic_Jumper.JPG");
    ASSERT_GT(whole.size(), 1000u);
    for (std::size_t length = 2; length < whole.size(); length += 211) {
        SCOPED_TRACE(length);
        const Picture picture = Decode(Bytes(whole.begin(), whole.begin() + long(length)));
        EXPECT_FALSE(picture.image);
        EXPECT_EQ(picture.problem.rfind("it is damaged or cut short (", 0), 0u) << picture.problem;
    }
    const Picture lastByteMissing = Decode(Bytes(whole.begin(), whole.end() - 1));
    EXPECT_FALSE(lastByteMissing.image);
}

TEST(PictureLoader, DamageInsideNeverCrashes) {
    const Bytes whole = Shipped("Test.jpg");
    for (std::size_t at = 4; at < whole.size(); at += 37) {
        Bytes damaged = whole;
        damaged[at] ^= 0x5A;
        const Picture picture = Decode(damaged);
        // A flipped bit in the scan data may still decode; then the picture is whole.
        if (picture.image) {
            EXPECT_EQ(picture.image->pixels.size(),
                      std::size_t(picture.image->width) * picture.image->height * 3);
        } else {
            EXPECT_FALSE(picture.problem.empty());
        }
    }
}

TEST(PictureLoader, DeclaredSizePastTheLimitIsRefusedFromTheHeader) {
    const Bytes jpeg = Shipped("EE_Jumper.JPG");
    const Picture huge = Decode(Declaring(jpeg, 60000, 60000));
    EXPECT_FALSE(huge.image);
    EXPECT_EQ(huge.problem, "it declares 60000 x 60000 pixels, more than the 4096 x 4096 shown");
    EXPECT_FALSE(Decode(Declaring(jpeg, 4097, 300)).image);
    EXPECT_FALSE(Decode(Declaring(jpeg, 360, 4097)).image);
    // Within the limit, a size the data does not fill is a damaged picture, not a crash.
    const Picture taller = Decode(Declaring(jpeg, 360, 4096));
    EXPECT_FALSE(taller.image);
    EXPECT_EQ(taller.problem.rfind("it is damaged or cut short (", 0), 0u) << taller.problem;
}

TEST(PictureLoader, FileThatCannotBeReadIsNamed) {
    test::TempDir dir;
    const Picture missing = LoadPicture(dir / "Pic_Jumper.JPG");
    EXPECT_FALSE(missing.image);
    EXPECT_EQ(missing.problem.rfind("Cannot show Pic_Jumper.JPG: ", 0), 0u) << missing.problem;

    std::filesystem::create_directory(dir / "Test.jpg");
    EXPECT_EQ(LoadPicture(dir / "Test.jpg").problem,
              "Cannot show Test.jpg: it is a folder, not a file");

    test::WriteBytes(dir / "EE_Jumper.JPG", {'B', 'M', 0, 0});
    EXPECT_EQ(LoadPicture(dir / "EE_Jumper.JPG").problem,
              "Cannot show EE_Jumper.JPG: it is not a JPEG picture");
}

}  // namespace
}  // namespace kardo
