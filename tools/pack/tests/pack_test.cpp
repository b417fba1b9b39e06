// The payload of a single-file setup: what goes in comes out, a damaged
// payload is refused before anything is handed on, a name that would leave
// the folder is refused, and the payload lands in the stub's last section.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/Error.h"
#include "Pack.h"
#include "PackFormat.h"

namespace fs = std::filesystem;

namespace {

// A folder on disk made for one test and removed after it.
class PackFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("pwpack-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    void Put(const std::string& name, const std::string& content)
    {
        fs::path path = root_ / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    std::string Payload()
    {
        TPackStats stats;
        return MakePayload(ListInstallerFolder(root_.string()), 9, stats);
    }
    fs::path root_;
};

// A 32-bit PE image of one section, as the linker lays one out.
std::string TinyImage(unsigned sizeOfHeaders = 0x200, unsigned sections = 1)
{
    std::string image(sizeOfHeaders + 0x200 * sections, '\0');
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&image[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&image[at], &v, 2); };
    image[0] = 'M';
    image[1] = 'Z';
    put32(0x3C, 0x40);
    put32(0x40, 0x00004550);
    put16(0x44, 0x14C);
    put16(0x46, static_cast<std::uint16_t>(sections));
    put16(0x54, 0xE0);
    std::size_t opt = 0x58;
    put16(opt, 0x10B);
    put32(opt + 32, 0x1000);
    put32(opt + 36, 0x200);
    put32(opt + 56, 0x1000 * (1 + sections));
    put32(opt + 60, sizeOfHeaders);
    for (unsigned i = 0; i < sections; ++i) {
        std::size_t at = opt + 0xE0 + 40 * i;
        std::memcpy(&image[at], ".text\0\0\0", 8);
        put32(at + 8, 0x10);
        put32(at + 12, 0x1000 * (1 + i));
        put32(at + 16, 0x200);
        put32(at + 20, sizeOfHeaders + 0x200 * i);
    }
    return image;
}

TEST_F(PackFolder, WhatGoesInComesOutInOrderOfName)
{
    Put("Pellwick.ipi", "[Settings]\r\nApplication=Test\r\n");
    Put("bin/tool.exe", std::string(300000, 'x') + "end");
    Put("bin/empty.dat", "");
    Put("docs/deep/note.txt", "note");
    fs::create_directories(root_ / "emptyfolder");
    std::vector<TUnpackedEntry> entries = ReadPayload(Payload());
    std::vector<std::string> names;
    for (const TUnpackedEntry& e : entries) names.push_back((e.IsFolder ? "D " : "F ") + e.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"F Pellwick.ipi", "D bin", "F bin\\empty.dat", "F bin\\tool.exe",
                                                "D docs", "D docs\\deep", "F docs\\deep\\note.txt", "D emptyfolder"}));
    EXPECT_EQ(entries[3].Content, std::string(300000, 'x') + "end");
    EXPECT_EQ(entries[2].Content, "");
    EXPECT_EQ(entries[6].Content, "note");
}

TEST_F(PackFolder, TheSameFolderGivesTheSamePayload)
{
    Put("a.txt", "one");
    Put("b/c.txt", "two");
    EXPECT_EQ(Payload(), Payload());
}

// Every single changed byte, in the header and in the packed stream, is
// seen by the checksum before any entry is handed on.
TEST_F(PackFolder, AnyChangedByteIsRefusedByTheChecksum)
{
    Put("Pellwick.ipi", "[Settings]\r\nApplication=Test\r\n");
    Put("data.bin", std::string(5000, 'q'));
    std::string payload = Payload();
    for (std::size_t at = 0; at < payload.size(); ++at) {
        std::string damaged = payload;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
        EXPECT_THROW(ReadPayload(damaged), EError) << "byte " << at;
    }
    EXPECT_THROW(ReadPayload(payload.substr(0, payload.size() - 1)), EError);
    EXPECT_THROW(ReadPayload(payload.substr(0, 20)), EError);
}

TEST(PackNames, OnlyNamesThatStayInTheFolderPass)
{
    struct Case {
        const char* name;
        bool safe;
    } cases[] = {
        {"Pellwick.ipi", true},   {"bin\\tool.exe", true},  {"a\\b\\c", true},     {"..x", true},
        {"x..", true},            {"", false},              {"..", false},         {".", false},
        {"bin\\..\\..\\x", false}, {"bin\\.\\x", false},     {"\\x", false},        {"x\\", false},
        {"a\\\\b", false},        {"C:x", false},           {"a/b", false},        {"..\\x", false},
    };
    for (const Case& c : cases) EXPECT_EQ(SafePackName(c.name, std::strlen(c.name)), c.safe) << c.name;
    std::string long239(239, 'a'), long240(240, 'a');
    EXPECT_TRUE(SafePackName(long239.c_str(), long239.size()));
    EXPECT_FALSE(SafePackName(long240.c_str(), long240.size()));
}

// A stream whose checksum holds but whose name climbs out of the folder
// (a payload made by hand, not by the packer) is refused.
TEST(PackNames, AClimbingNameIsRefusedEvenWithAGoodChecksum)
{
    std::string stream = std::string("F") + '\x05' + '\0' + "..\\ev" + std::string(8, '\0') + "E";
    uLongf size = compressBound(stream.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(stream.data()), stream.size());
    packed.resize(size);
    TPackHeader header;
    header.Entries = 1;
    header.Unpacked = stream.size();
    header.Packed = packed.size();
    unsigned char bytes[PackHeaderSize];
    WritePackHeader(header, bytes);
    header.Crc = PackCrc(PackHeaderCrc(bytes), packed.data(), packed.size());
    WritePackHeader(header, bytes);
    std::string payload(reinterpret_cast<char*>(bytes), PackHeaderSize);
    try {
        ReadPayload(payload + packed);
        FAIL() << "no error";
    } catch (const EError& e) {
        EXPECT_NE(e.Message().find("leaves its folder"), std::string::npos) << e.Message();
    }
}

TEST(PackImage, ThePayloadIsTheLastSectionAndTheImageCountsIt)
{
    std::string stub = TinyImage();
    std::string payload(1000, 'p');
    std::string setup = AttachPayload(stub, payload);
    EXPECT_EQ(setup.size(), stub.size() + 1024u) << "padded to the file alignment";
    EXPECT_EQ(setup.substr(stub.size(), 1000), payload);
    EXPECT_EQ(PayloadOf(setup).substr(0, 1000), payload);
    std::uint16_t sections = 0;
    std::uint32_t imageSize = 0, rva = 0;
    std::memcpy(&sections, &setup[0x46], 2);
    std::memcpy(&imageSize, &setup[0x58 + 56], 4);
    std::memcpy(&rva, &setup[0x58 + 0xE0 + 40 + 12], 4);
    EXPECT_EQ(sections, 2);
    EXPECT_EQ(rva, 0x2000u);
    EXPECT_EQ(imageSize, 0x3000u);
    EXPECT_EQ(PayloadOf(stub), "");
}

TEST(PackImage, AStubThatCannotTakeThePayloadIsRefused)
{
    std::string full = TinyImage(0x200, 8);  // 0x138 + 8 * 40 = 0x278 > 0x200: no room
    EXPECT_THROW(AttachPayload(full, "p"), EError);
    std::string withOverlay = TinyImage() + "overlay";
    EXPECT_THROW(AttachPayload(withOverlay, "p"), EError);
    std::string twice = AttachPayload(TinyImage(), "p");
    EXPECT_THROW(AttachPayload(twice, "p"), EError);
    EXPECT_THROW(AttachPayload("not an exe", "p"), EError);
}

}  // namespace
