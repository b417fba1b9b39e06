// pellwick-pack: packs an installer folder into one setup exe (the stub
// with the folder as its payload) and, with --zip, a release zip holding it.
//
//   pellwick-pack DIR -o SETUP.exe [--zip RELEASE.zip] [--from EXEDIR] [--level N]
//                 [--sign CERT KEY [--timestamp URL]]
//   pellwick-pack SETUP.exe --zip RELEASE.zip     (zips a setup signed since)
//   pellwick-pack --unpack SETUP.exe DIR          (checks and unpacks, as the stub does)
//
// The folder is checked first, as pellwick-check checks it; errors stop.
// Pellwick.exe, and Skorvel.exe when the control file names it, come from
// the folder, or else from EXEDIR (the cross build), as does the stub.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <fstream>
#include <string>
#include <vector>

#ifdef PELLWICK_PACK_ZIP
#include <zip.h>
#endif

#include "CheckTool.h"
#include "Folder.h"
#include "Pack.h"
#include "core/Sha256.h"
#include "PackFormat.h"
#include "core/Error.h"
#include "platform/doubles/ProfileText.h"
#include "core/Text.h"

namespace fs = std::filesystem;

namespace {

const char* const Usage =
    "usage: pellwick-pack DIR -o SETUP.exe [--zip RELEASE.zip] [--from EXEDIR] [--level N]\n"
    "                     [--sign CERT KEY [--timestamp URL]]\n"
    "       pellwick-pack SETUP.exe --zip RELEASE.zip\n"
    "       pellwick-pack --unpack SETUP.exe DIR\n";

#ifndef PELLWICK_PACK_EXEDIR
#define PELLWICK_PACK_EXEDIR ""
#endif

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw EError(path + ": cannot be read");
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    if (!in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()))) throw EError(path + ": cannot be read");
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    fs::path parent = fs::path(path).parent_path();
    std::error_code error;
    if (!parent.empty()) fs::create_directories(parent, error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush())
        throw EError(path + ": cannot be written");
}

std::string Upper(std::string text) { return AsciiUpper(text); }

// The folder holding the cross build's exes.
std::string ExeDir(const std::string& given, const char* argv0)
{
    if (!given.empty()) return given;
    if (const char* env = std::getenv("PELLWICK_EXEDIR"); env != nullptr && *env != '\0') return env;
    if (*PELLWICK_PACK_EXEDIR != '\0') return PELLWICK_PACK_EXEDIR;
    // The Windows build: pellwick-pack.exe sits in tools/pack of the build.
    return (fs::path(argv0).parent_path() / ".." / "..").string();
}

// A file of the installer folder, or else of the build.
bool HasFile(const std::vector<TPackEntry>& entries, const std::string& name)
{
    for (const TPackEntry& entry : entries)
        if (!entry.IsFolder && Upper(entry.Name) == Upper(name)) return true;
    return false;
}

// A [Settings] value as the profile functions read it (the first of a
// repeated section or name).
std::string SettingOf(const std::string& ipi, const std::string& name)
{
    bool inSettings = false, seenSettings = false;
    for (const TProfileLine& line : ParseProfileText(ipi)) {
        if (line.Kind == TProfileLine::Section) {
            bool settings = Upper(line.Name) == "SETTINGS";
            inSettings = settings && !seenSettings;
            seenSettings = seenSettings || settings;
        } else if (inSettings && line.Kind == TProfileLine::Entry && !line.Comment && Upper(line.Name) == Upper(name)) {
            return UnquoteProfileValue(line.Value);
        }
    }
    return "";
}

std::string Quote(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

#ifdef PELLWICK_PACK_ZIP
// The zip holds the setup under its own name, stored (its payload is
// compressed already), dated at a fixed time so that the same setup
// gives the same zip.
void WriteZip(const std::string& zipPath, const std::string& setupPath)
{
    std::error_code error;
    fs::path parent = fs::path(zipPath).parent_path();
    if (!parent.empty()) fs::create_directories(parent, error);
    fs::remove(zipPath, error);
    int status = 0;
    zip_t* zip = zip_open(zipPath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &status);
    if (zip == nullptr) throw EError(zipPath + ": cannot be made");
    zip_source_t* source = zip_source_file(zip, setupPath.c_str(), 0, -1);
    std::string name = fs::path(setupPath).filename().string();
    zip_int64_t index = source == nullptr ? -1 : zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        if (source != nullptr) zip_source_free(source);
        zip_discard(zip);
        throw EError(zipPath + ": " + setupPath + " cannot be added");
    }
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    zip_file_set_mtime(zip, static_cast<zip_uint64_t>(index), 946684800 /* 2000-01-01 */, 0);
    if (zip_close(zip) != 0) {
        std::string why = zip_strerror(zip);
        zip_discard(zip);
        throw EError(zipPath + ": " + why);
    }
}
#else
void WriteZip(const std::string&, const std::string&)
{
    throw EError("--zip: this build of pellwick-pack has no zip library; zip the setup with the Linux build");
}
#endif

// The product's names in the uninstall entry, as the control file gives them.
struct TProductNames {
    std::string Application, Version, Publisher;
};

// What winget's manifest needs for the zip (docs/deploy.md, "winget").
std::string WingetEntry(const std::string& zipPath, const std::string& setupName, const std::string& sha,
                        const TProductNames& product)
{
    std::string name = fs::path(zipPath).filename().string();
    std::string entry =
        "winget installer entry for " + name + " (InstallerUrl: where you publish it):\n"
        "Installers:\n"
        "  - Architecture: x86\n"
        "    InstallerType: zip\n"
        "    NestedInstallerType: exe\n"
        "    NestedInstallerFiles:\n"
        "      - RelativeFilePath: " + setupName + "\n"
        "    InstallerUrl: https://example.com/" + name + "\n"
        "    InstallerSha256: " + Upper(sha) + "\n"
        "    Scope: machine\n"
        "    ElevationRequirement: elevatesSelf\n"
        "    InstallerSwitches:\n"
        "      Silent: /S\n"
        "      SilentWithProgress: /S\n"
        "      InstallLocation: /D=\"<INSTALLPATH>\"\n"
        "      Log: /LOG=\"<LOGPATH>\"\n"
        "    UpgradeBehavior: install\n"
        "    ExpectedReturnCodes:\n"
        "      - InstallerReturnCode: 1618\n"
        "        ReturnResponse: installInProgress\n"
        "      - InstallerReturnCode: 2\n"
        "        ReturnResponse: invalidParameter\n"
        "      - InstallerReturnCode: 3\n"
        "        ReturnResponse: contactSupport\n";
    if (product.Application.empty()) return entry;
    // YAML: a value with ": " or starting with a quote would need quoting;
    // double quotes hold any of them.
    auto yaml = [](const std::string& text) {
        std::string quoted = "\"";
        for (char c : text) quoted += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
        return quoted + "\"";
    };
    std::string display = product.Application + (product.Version.empty() ? "" : " " + product.Version);
    entry += "    AppsAndFeaturesEntries:\n"
             "      - DisplayName: " + yaml(display) + "\n";
    if (!product.Version.empty()) entry += "        DisplayVersion: " + yaml(product.Version) + "\n";
    if (!product.Publisher.empty()) entry += "        Publisher: " + yaml(product.Publisher) + "\n";
    return entry + "        ProductCode: " + yaml(product.Application) + "\n";
}

void Zip(const std::string& zipPath, const std::string& setupPath, const TProductNames& product)
{
    WriteZip(zipPath, setupPath);
    std::string sha = Sha256Hex(ReadFile(zipPath));
    std::printf("%s  %s\n", sha.c_str(), zipPath.c_str());
    std::fputs(WingetEntry(zipPath, fs::path(setupPath).filename().string(), sha, product).c_str(), stdout);
}

// Writes the entries below a folder, as the stub does (without its
// owner-only folder and its running of Pellwick.exe).
class TDiskSink final : public TPackSink {
public:
    explicit TDiskSink(const std::string& dir) : dir_(dir) {}
    ~TDiskSink()
    {
        if (file_ != nullptr) std::fclose(file_);
    }
    bool Folder(const char* name) override
    {
        std::error_code error;
        fs::create_directories(PathOf(name), error);
        return !error;
    }
    bool BeginFile(const char* name, uint64_t) override
    {
        file_ = std::fopen(PathOf(name).c_str(), "wb");
        ++files_;
        return file_ != nullptr;
    }
    bool Write(const void* data, size_t size) override { return std::fwrite(data, 1, size, file_) == size; }
    bool EndFile() override
    {
        bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }
    void Progress(uint64_t, uint64_t) override {}
    unsigned Files() const { return files_; }

private:
    std::string PathOf(std::string name) const
    {
        for (char& c : name)
            if (c == '\\') c = '/';
        return (fs::path(dir_) / name).string();
    }
    std::string dir_;
    std::FILE* file_ = nullptr;
    unsigned files_ = 0;
};

class TFileSource final : public TPackSource {
public:
    explicit TFileSource(std::FILE* file) : file_(file) {}
    size_t Read(void* buffer, size_t size) override { return std::fread(buffer, 1, size, file_); }

private:
    std::FILE* file_;
};

// Unpacks as the stub does, reading the setup in pieces: the headers, the
// checksum over the payload, then the entries.
int UnpackTo(const std::string& setupPath, const std::string& dir)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(setupPath.c_str(), "rb"), std::fclose);
    if (!file) throw EError(setupPath + ": cannot be read");
    std::string headers(4096, '\0');
    headers.resize(std::fread(&headers[0], 1, headers.size(), file.get()));
    std::uint64_t offset = 0, size = 0;
    if (!PayloadPlace(headers, offset, size)) throw EError(setupPath + ": no payload");
    unsigned char bytes[PackHeaderSize];
    TPackHeader header;
    if (size < PackHeaderSize || std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fread(bytes, 1, PackHeaderSize, file.get()) != PackHeaderSize || !ReadPackHeader(bytes, header) ||
        header.Packed > size - PackHeaderSize)
        throw EError(setupPath + ": no payload");
    std::uint32_t crc = PackHeaderCrc(bytes);
    std::vector<char> chunk(1 << 20);
    for (std::uint64_t left = header.Packed; left > 0;) {
        std::size_t got = std::fread(chunk.data(), 1, static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size())), file.get());
        if (got == 0) break;
        crc = PackCrc(crc, chunk.data(), got);
        left -= got;
    }
    if (crc != header.Crc) throw EError(setupPath + ": the payload's checksum does not match; nothing unpacked");
    std::fseek(file.get(), static_cast<long>(offset + PackHeaderSize), SEEK_SET);
    std::error_code error;
    fs::create_directories(dir, error);
    TFileSource source(file.get());
    TDiskSink sink(dir);
    if (Unpack(header, source, sink) != UnpackDone) throw EError(setupPath + ": the payload cannot be unpacked");
    std::printf("%u files unpacked into %s\n", sink.Files(), dir.c_str());
    return 0;
}

int Run(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string dir, out, zip, from, cert, key, timestamp, unpack;
    int level = 6;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw EError(a + " needs a value");
            return args[++i];
        };
        if (a == "-o") out = value();
        else if (a == "--zip") zip = value();
        else if (a == "--from") from = value();
        else if (a == "--level") level = std::atoi(value().c_str());
        else if (a == "--sign") { cert = value(); key = value(); }
        else if (a == "--timestamp") timestamp = value();
        else if (a == "--unpack") unpack = value();
        else if (a == "--help" || a == "-h") { std::fputs(Usage, stdout); return 0; }
        else if (a.size() > 1 && a[0] == '-') throw EError("unknown option " + a);
        else if (dir.empty()) dir = a;
        else throw EError("one folder only");
    }
    if (!unpack.empty()) {
        if (dir.empty()) throw EError("--unpack needs the folder to unpack into");
        return UnpackTo(unpack, dir);
    }
    if (dir.empty()) throw EError("no folder given");
    if (level < 0 || level > 9) throw EError("--level takes 0 to 9");
    std::error_code error;
    if (fs::is_regular_file(dir, error)) {
        if (zip.empty() || !out.empty()) throw EError("a setup exe is zipped with --zip, nothing else");
        Zip(zip, dir, TProductNames());
        return 0;
    }
    if (out.empty()) throw EError("no setup to write: -o SETUP.exe");

    std::vector<TPackEntry> entries = ListInstallerFolder(dir);
    std::string exeDir = ExeDir(from, argv[0]);
    auto fromBuild = [&](const std::string& name) {
        fs::path path = fs::path(exeDir) / name;
        if (!fs::is_regular_file(path, error))
            throw EError(name + " is neither in " + dir + " nor in " + exeDir + " (--from: the cross build)");
        return path.string();
    };
    std::string ipi = HasFile(entries, "Pellwick.ipi") ? ReadFile((fs::path(dir) / "Pellwick.ipi").string()) : "";
    std::vector<TFolderFile> added;
    std::vector<std::string> addNames{"Pellwick.exe"};
    if (Upper(ipi).find("SKORVEL.EXE") != std::string::npos) addNames.push_back("Skorvel.exe");
    for (const std::string& name : addNames) {
        if (HasFile(entries, name)) continue;
        TPackEntry entry;
        entry.Name = name;
        entry.Source = fromBuild(name);
        entry.Size = fs::file_size(entry.Source);
        entries.push_back(entry);
        added.push_back({name, ""});
    }
    std::sort(entries.begin(), entries.end(), [](const TPackEntry& a, const TPackEntry& b) { return a.Name < b.Name; });

    // The checker first: what it calls an error would ship broken.
    std::time_t seconds = std::time(nullptr);
    std::tm local = *std::localtime(&seconds);
    TDateTime now{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
    auto started = std::chrono::steady_clock::now();
    TToolOutput check = RunCheckTool({dir}, now, nullptr, &added);
    auto checked = std::chrono::steady_clock::now();
    std::fputs(check.Out.c_str(), stdout);
    std::fputs(check.Err.c_str(), stderr);
    TProductNames product{SettingOf(ipi, "Application"), SettingOf(ipi, "Version"), SettingOf(ipi, "Publisher")};
    if (check.Status != ExitClean) {
        std::fprintf(stderr, "pellwick-pack: %s: the checker found errors; nothing written\n", dir.c_str());
        return 1;
    }

    TPackStats stats;
    std::string payload = MakePayload(entries, level, stats);
    std::string setup = AttachPayload(ReadFile(fromBuild("PellwickStub.exe")), payload);
    WriteFile(out, setup);
    auto packed = std::chrono::steady_clock::now();
    std::printf("%s: %u entries, %llu bytes of files packed into %llu (%.1f %%)\n", out.c_str(), stats.Entries,
                static_cast<unsigned long long>(stats.FileBytes), static_cast<unsigned long long>(stats.Packed),
                stats.FileBytes == 0 ? 100.0 : 100.0 * static_cast<double>(stats.Packed) / static_cast<double>(stats.FileBytes));
    std::printf("checked in %.2f s, packed and written in %.2f s\n",
                std::chrono::duration<double>(checked - started).count(),
                std::chrono::duration<double>(packed - checked).count());
    if (!cert.empty()) {
        std::string signing = out + ".signing";
        std::string command = "osslsigncode sign -certs " + Quote(cert) + " -key " + Quote(key) +
                              " -h sha256 -n 'Pellwick single-file setup'";
        if (const char* pass = std::getenv("PELLWICK_SIGN_PASSFILE"); pass != nullptr && *pass != '\0')
            command += " -readpass " + Quote(pass);
        if (!timestamp.empty()) command += " -ts " + Quote(timestamp);
        command += " -in " + Quote(out) + " -out " + Quote(signing) + " >/dev/null";
        fs::remove(signing, error);
        if (std::system(command.c_str()) != 0) throw EError("osslsigncode could not sign " + out);
        fs::rename(signing, out);
        std::printf("signed: %s\n", out.c_str());
    }
    std::printf("%s  %s\n", Sha256Hex(ReadFile(out)).c_str(), out.c_str());
    if (!zip.empty()) Zip(zip, out, product);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const EError& e) {
        std::fprintf(stderr, "pellwick-pack: %s\n%s", e.Message().c_str(), Usage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pellwick-pack: %s\n", e.what());
        return 2;
    }
}
