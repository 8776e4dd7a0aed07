// The program on the headless platform, its folder a scratch folder with
// real files for the settings and a composition that succeeds.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "app/form_events.h"
#include "core/settings_file.h"
#include "headless/headless_platform.h"
#include "support/support.h"

namespace tessaly::test {

using headless::HeadlessPlatform;
using headless::Seen;
using C = ControlId;
// The six path fields in the settings file's order.
inline constexpr C kPathFields[] = {C::txtTemplate, C::txtSignature, C::txtQF1, C::txtQF2, C::txtQF3, C::txtQF4};

class AppTest : public ::testing::Test {
protected:
    ScratchFolder dir;  // the program's folder
    HeadlessPlatform platform{dir.Path()};
    ScriptedDraws random;  // the first line, the first file
    std::unique_ptr<IFormEvents> form;
    const std::string signature = dir.Path("signature.htm");
    const std::string settingsFile = dir.Path("data/data.sfc");
    // What the sources below compose into: on Linux the fragment's line
    // break stays as LF, and the signature ends with LF.
#ifdef _WIN32
    const std::string composed = "Hi First line / <b>one</b>two\r\n";
#else
    const std::string composed = "Hi First line / <b>one</b>\ntwo\n";
#endif

    // The settings naming the sources below, with the start-up flag and any
    // path fields changed by index.
    std::string Settings(int flag, std::map<std::size_t, std::string> changed = {}) const {
        SettingsValues values;
        values.paths = {dir.Path("template.htm"), signature, dir.Path("q1.txt"),
                        dir.Path("q2.txt"),       dir.Path("html1"), dir.Path("html2")};
        for (const auto& [field, path] : changed) values.paths[field] = path;
        values.autoStart = static_cast<std::int16_t>(flag);
        return FormatSettings(values);
    }

    void Launch() {
        form = CreateMainForm(platform, random);
        platform.Attach(*form);
        platform.StartProgram();
    }

    // Working sources, and settings naming them with the start-up flag.
    void Start(int flag, std::map<std::size_t, std::string> changed = {}) {
        dir.Write("template.htm", "Hi quote1 / htmPath1");
        dir.Write("q1.txt", "First line\r\nSecond line\r\n");
        dir.Write("html1/a.htm", "<b>one</b>\r\ntwo\r\n");
        dir.Write("data/data.sfc", Settings(flag, std::move(changed)));
        Launch();
    }

    // Marks the settings file, so that Saved() tells whether anything has
    // written it since.
    void Mark() { WriteBytes(settingsFile, "unsaved"); }
    bool Saved() const { return ReadBytes(settingsFile) != "unsaved"; }

    void Click(ControlId id) { platform.Events().Click(id); }
    // The tray icon's callback carrying the mouse message `code`.
    void Tray(float code) { platform.Events().TrayCallback(code * platform.twipsPerPixelX); }
    // Opens the tray menu and picks `item`.
    void Menu(ControlId item) {
        platform.menuAnswers.push_back(item);
        Tray(517);
    }
    static std::uint32_t Icon(bool running) { return running ? headless::kRunIconHandle : headless::kPauseIconHandle; }
    // The 88 bytes the shell must receive: six little-endian fields, then the
    // tip, one NUL and spaces to the end.
    static std::string Record(bool running) {
        std::string bytes;
        for (const std::uint32_t field : {88u, headless::kWindowHandle, 1u, 7u, 512u, Icon(running)}) {
            for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(field >> shift & 0xFF);
        }
        bytes += running ? "Tessaly Running" : "Tessaly Paused";
        bytes += '\0';
        bytes.resize(88, ' ');
        return bytes;
    }
    static std::string Bytes(const TrayRecordBytes& record) { return {record.begin(), record.end()}; }
    std::string Shown() const { return Bytes(platform.TrayIconShown()); }
    // Every mark of a run state: the label, the timer, the icon and tip in
    // the tray, the window's icon, and which of Resume and Pause the menu
    // offers.
    void ExpectMarks(bool running) const {
        EXPECT_EQ(platform.Status(), running ? "Running!" : "Paused!");
        EXPECT_EQ(platform.TimerOn(C::Timer1), running);
        EXPECT_EQ(Shown(), Record(running));
        EXPECT_EQ(platform.Window().icon, Icon(running));
        EXPECT_EQ(platform.Control(C::mnuPause).visible, running);
        EXPECT_EQ(platform.Control(C::mnuResume).visible, !running);
    }
};

}  // namespace tessaly::test
