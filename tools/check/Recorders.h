// Doubles that keep, in one shared list, everything the installation run
// asks of the system as a typed step (PlanSteps.h): each directory, copy,
// program-manager command, registry value, shared-use counter, record
// entry, add-on and message box, in the order the run asks for it.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "PlanSteps.h"
#include "platform/doubles/FakePlatform.h"

class TRecordingFiles : public TFakeFileSystem {
public:
    TRecordingFiles(TFakeDisk& disk, TRunSteps& steps) : TFakeFileSystem(disk), steps_(steps) {}
    bool MakeDirectory(const std::string& path) override;
    unsigned long Copy(const std::string& source, const std::string& dest,
                       bool failIfExists) override;
    // The installation list: a step for each of its lines but the comments.
    unsigned long WriteWholeFile(const std::string& path, const std::string& content) override;

private:
    TRunSteps& steps_;
};

// Passes every call on to the registry double, keeping the root and path of
// each key it hands out so that a value write can be told by where it lands.
class TRecordingRegistry : public IRegistryApi {
public:
    TRecordingRegistry(TFakeRegistry& registry, TRunSteps& steps)
        : registry_(registry), steps_(steps)
    {
    }
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
    long SetDWordValue(RegKey key, const std::string& name, std::uint32_t value) override;
    void CloseKey(RegKey key) override;

private:
    // Where an open key is: its root and its path below it.
    struct TPlace {
        RegRoot Root;
        std::string Key;
    };
    void Remember(RegKey parent, const std::string& sub, RegKey result);
    // A value step for a write to key, placed where the key is.
    TValueStep ValueAt(RegKey key, const std::string& name, long rc);

    TFakeRegistry& registry_;
    TRunSteps& steps_;
    std::map<RegKey, TPlace> places_;
};

// Reads pass through; writes (the uninstall record's) are kept with what
// the file reads back for them.
class TRecordingProfiles : public IProfileFiles {
public:
    TRecordingProfiles(TFakeProfileFiles& profiles, TRunSteps& steps)
        : profiles_(profiles), steps_(steps)
    {
    }
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
    TRunSteps& steps_;
};

// A program manager that takes every command, as a running shell does.
class TRecordingProgramManager : public TFakeProgramManager {
public:
    explicit TRecordingProgramManager(TRunSteps& steps) : steps_(steps) {}
    bool Execute(const std::string& command) override;

private:
    TRunSteps& steps_;
};

class TRecordingShell : public TFakeShell {
public:
    explicit TRecordingShell(TRunSteps& steps) : steps_(steps) {}
    void Open(void* owner, const std::string& file) override;

private:
    TRunSteps& steps_;
};

class TRecordingDesktop : public TFakeDesktop {
public:
    explicit TRecordingDesktop(TRunSteps& steps) : steps_(steps) {}
    void ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon) override;

private:
    TRunSteps& steps_;
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
