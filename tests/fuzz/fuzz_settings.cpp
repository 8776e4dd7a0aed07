// Any bytes as the settings file: reading never fails, the flag is 0, 1 or
// 2, and what was read, saved and read again is what was read. Any values
// that fit the fields read back from a save as they were.
#include "core/settings_file.h"
#include "fuzz_support.h"

using namespace tessaly;
using fuzz::Require;

static bool Same(const SettingsValues& a, const SettingsValues& b) {
    return a.paths == b.paths && a.autoStart == b.autoStart;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SettingsValues read = ParseSettings({reinterpret_cast<const char*>(data), size});
    Require(read.autoStart >= 0 && read.autoStart <= 2, "the flag read is 0, 1 or 2");
    const std::string saved = FormatSettings(read);
    std::size_t lineEnds = 0;
    for (std::size_t at = 0; (at = saved.find("\r\n", at)) != std::string::npos; at += 2) ++lineEnds;
    Require(lineEnds == 7 && saved.ends_with("\r\n"), "a save is seven CR LF lines");
    Require(Same(ParseSettings(saved), read), "read, saved and read again gives what was read");

    FuzzedDataProvider in(data, size);
    SettingsValues typed;  // the fields are single-line: no CR
    typed.autoStart = in.ConsumeIntegralInRange<std::int16_t>(0, 2);
    for (auto& path : typed.paths) std::erase(path = in.ConsumeRandomLengthString(), '\r');
    Require(Same(ParseSettings(FormatSettings(typed)), typed), "any one-line values read back as saved");

    fuzz::Disk() = {};  // the save makes the folder
    Require(static_cast<bool>(WriteSettingsFile("exe/data/data.sfc", read)), "a save to a writable disk succeeds");
    Require(fuzz::Disk().files.at("exe/data/data.sfc") == saved, "the file holds the bytes of a save");
    Require(Same(ReadSettingsFile("exe/data/data.sfc").values, read), "a saved file reads back the same");
    return 0;
}
