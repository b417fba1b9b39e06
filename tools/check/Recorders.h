// Doubles that note, in one shared log, everything the installation run
// does to the system: each line is one directory, copy, program-manager
// command, registry value, record entry, add-on or message box, in the
// order the run does it.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "Engine.h"
#include "platform/doubles/FakePlatform.h"

using TRunLog = std::vector<std::string>;

class TRecordingFiles : public TFakeFileSystem {
public:
    TRecordingFiles(TFakeDisk& disk, TRunLog& log) : TFakeFileSystem(disk), log_(log) {}
    bool MakeDirectory(const std::string& path) override;
    unsigned long Copy(const std::string& source, const std::string& dest,
                       bool failIfExists) override;
    // The installation list: its path, then each line but the comments.
    unsigned long WriteWholeFile(const std::string& path, const std::string& content) override;

private:
    TRunLog& log_;
};

// Passes every call on to the registry double, keeping the full path of
// each key it hands out so that a value write can be told by where it lands.
class TRecordingRegistry : public IRegistryApi {
public:
    TRecordingRegistry(TFakeRegistry& registry, TRunLog& log) : registry_(registry), log_(log) {}
    RegKey Root(RegRoot root) override;
    long CreateKey(RegKey parent, const std::string& sub, RegKey& result) override;
    long OpenKey(RegKey parent, const std::string& sub, RegAccess access, RegKey& result) override;
    long QueryValueInfo(RegKey key, const std::string& name, RegType& type,
                        std::uint32_t& size) override
    {
        return registry_.QueryValueInfo(key, name, type, size);
    }
    long QueryValueData(RegKey key, const std::string& name, RegType& type, std::string& data,
                        std::uint32_t size) override
    {
        return registry_.QueryValueData(key, name, type, data, size);
    }
    long SetStringValue(RegKey key, const std::string& name, const std::string& text) override;
    void CloseKey(RegKey key) override;
    long DeleteValue(RegKey key, const std::string& name) override
    {
        return registry_.DeleteValue(key, name);
    }
    long DeleteSubKey(RegKey parent, const std::string& sub) override
    {
        return registry_.DeleteSubKey(parent, sub);
    }
    long CountContents(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) override
    {
        return registry_.CountContents(key, subkeys, values);
    }

private:
    void Remember(RegKey parent, const std::string& sub, RegKey result);

    TFakeRegistry& registry_;
    TRunLog& log_;
    std::map<RegKey, std::string> paths_;
};

// Reads pass through; writes (the uninstall record's) are noted.
class TRecordingProfiles : public IProfileFiles {
public:
    TRecordingProfiles(TFakeProfileFiles& profiles, TRunLog& log) : profiles_(profiles), log_(log) {}
    std::string KeyNameBuffer(const std::string& path, const std::string& section,
                              std::size_t size) override
    {
        return profiles_.KeyNameBuffer(path, section, size);
    }
    std::string ReadValue(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def,
                          std::size_t size) override
    {
        return profiles_.ReadValue(path, section, key, def, size);
    }
    bool WriteValue(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) override;
    std::string SectionBuffer(const std::string& path, const std::string& section) override
    {
        return profiles_.SectionBuffer(path, section);
    }
    unsigned long ReadError(const std::string& path) override { return profiles_.ReadError(path); }

private:
    TFakeProfileFiles& profiles_;
    TRunLog& log_;
};

// A program manager that takes every command, as a running shell does.
class TRecordingProgramManager : public TFakeProgramManager {
public:
    explicit TRecordingProgramManager(TRunLog& log) : log_(log) {}
    bool Execute(const std::string& command) override;

private:
    TRunLog& log_;
};

class TRecordingShell : public TFakeShell {
public:
    explicit TRecordingShell(TRunLog& log) : log_(log) {}
    void Open(void* owner, const std::string& file) override;

private:
    TRunLog& log_;
};

class TRecordingDesktop : public TFakeDesktop {
public:
    explicit TRecordingDesktop(TRunLog& log) : log_(log) {}
    void ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) override;

private:
    TRunLog& log_;
};

// The wizard as the run sees it, without a window: boxes go to the desktop
// double, so that they are noted there; the rest is kept for a look.
class TRecordingView : public IInstallView {
public:
    explicit TRecordingView(IDesktop& desktop, std::string title)
        : desktop_(desktop), title_(std::move(title))
    {
    }
    void ShowProgressPage(const std::string& text) override { Status = text; }
    void ShowSource(const std::string& shown) override { Source = shown; }
    void ShowDestination(const std::string& shown) override { Destination = shown; }
    int ProgressPosition() const override { return Position; }
    void SetProgressPosition(int position) override { Position = position < 100 ? position : 100; }
    void SetStatusText(const std::string& text) override { Status = text; }
    void RunCompleted() override { Completed = true; }
    void RunEnded() override {}
    void ShowWarning(const std::string& text) override
    {
        desktop_.ShowMessage(text, title_, TMsgIcon::Warning);
    }
    void* OwnerWindow() override { return nullptr; }

    std::string Status, Source, Destination;
    int Position = 0;
    bool Completed = false;

private:
    IDesktop& desktop_;
    std::string title_;
};

// Text with its line breaks written as \r and \n, in double quotes, so
// that blanks at either end and the command's CR LF can be seen.
std::string Shown(const std::string& text);
