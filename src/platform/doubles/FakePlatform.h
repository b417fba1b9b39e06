// Doubles of every platform service, installed into Sys() together.
#pragma once
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/doubles/FakeDisk.h"
#include "platform/doubles/FakeProfileFiles.h"
#include "platform/doubles/FakeRegistry.h"

class TFakeFileSystem : public IFileSystem {
public:
    explicit TFakeFileSystem(TFakeDisk& disk) : disk_(disk) {}
    bool FileExists(const std::string& path) override { return disk_.FileExists(path); }
    bool DirectoryExists(const std::string& path) override { return disk_.DirExists(path); }
    bool MakeDirectory(const std::string& path) override;
    unsigned long Copy(const std::string& source, const std::string& dest,
                           bool failIfExists) override;
    std::string WindowsDirectory() override { return WindowsDir; }
    bool ReadWholeFile(const std::string& path, std::string& content) override;
    std::string CurrentDirectory() override { return Current; }
    bool ChangeDirectory(const std::string& path) override;

    std::string WindowsDir = "C:\\WINDOWS";
    std::string Current = "C:\\";

private:
    TFakeDisk& disk_;
};

class TFakeClock : public IClock {
public:
    TDateTime Now() override { return Time; }
    void Sleep(unsigned milliseconds) override { Sleeps.push_back(milliseconds); }
    TDateTime Time{1997, 12, 6, 15, 15, 0};
    std::vector<unsigned> Sleeps;
};

class TFakeDesktop : public IDesktop {
public:
    struct Box {
        std::string Text, Caption;
        TMsgIcon Icon;
    };
    int ScreenWidth() override { return Width; }
    int ScreenHeight() override { return Height; }
    void SetCursor(TCursor cursor) override { Cursors.push_back(cursor); }
    void ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) override
    {
        Boxes.push_back({text, caption, icon});
    }
    std::string ExePath() override { return Exe; }

    int Width = 1024, Height = 768;
    std::string Exe = "C:\\SETUP\\Pellwick.exe";
    std::vector<TCursor> Cursors;
    std::vector<Box> Boxes;
    TCursor Cursor() const { return Cursors.empty() ? TCursor::Default : Cursors.back(); }
};

// All doubles, installed into Sys() for the object's lifetime.
class TFakePlatform {
public:
    TFakePlatform();
    ~TFakePlatform();
    TFakePlatform(const TFakePlatform&) = delete;
    TFakePlatform& operator=(const TFakePlatform&) = delete;

    TFakeDisk Disk;
    TFakeProfileFiles Profiles{Disk};
    TFakeRegistry Registry;
    TFakeFileSystem Files{Disk};
    TFakeClock Clock;
    TFakeDesktop Desktop;

private:
    TPlatform saved_;
};
