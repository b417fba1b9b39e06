// Profile files kept on a TFakeDisk, read and written by the same rules
// as the system's profile functions.
#pragma once
#include "platform/Profile.h"
#include "platform/doubles/FakeDisk.h"

class TFakeProfileFiles : public IProfileFiles {
public:
    explicit TFakeProfileFiles(TFakeDisk& disk) : disk_(disk) {}
    std::string KeyNameBuffer(const std::string& path, const std::string& section,
                              std::size_t size) override;
    std::string ReadValue(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def,
                          std::size_t size) override;
    bool WriteValue(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) override;
    std::string SectionBuffer(const std::string& path, const std::string& section) override;
    unsigned long ReadError(const std::string& path) override;

private:
    TFakeDisk& disk_;
};
