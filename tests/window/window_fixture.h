// The window on the headless desktop, its program folder a scratch folder
// with real files for the settings and a composition that succeeds.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "core/settings_file.h"
#include "headless/headless_desktop.h"
#include "support/support.h"

namespace tessaly::test {

using headless::HeadlessDesktop;
using headless::Seen;
using headless::TrayCall;
using C = ControlId;
// The six path fields in the settings file's order.
inline constexpr C kPathFields[] = {C::TemplateField, C::SignatureField, C::Quote1Field,
                                    C::Quote2Field,   C::Html1Field,     C::Html2Field};

class WindowTest : public ::testing::Test {
protected:
    ScratchFolder dir;  // the program's folder
    HeadlessDesktop desktop{dir.Path()};
    ScriptedDraws random;  // the first line, the first file
    std::unique_ptr<IWindowEvents> window;
    Conventions conventions;  // the Windows program's
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
        window = CreateMainWindow(desktop, random, conventions);
        desktop.Attach(*window);
        desktop.StartProgram();
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

    void Press(ControlId id) { desktop.Events().Pressed(id); }
    // Opens the tray menu and picks `item`.
    void Menu(ControlId item) {
        desktop.menuAnswers.push_back(item);
        desktop.Events().TrayMenuRequested();
    }
    // Every mark of a run state: the label, the timer, the tray's icon, tip
    // and menu, and the window's icon.
    void ExpectMarks(RunState state) const {
        const bool running = state == RunState::Running;
        EXPECT_EQ(desktop.Status(), running ? "Running!" : "Paused!");
        EXPECT_EQ(desktop.Running(), running);
        ASSERT_TRUE(desktop.Tray().has_value());
        EXPECT_EQ(desktop.Tray()->state, state);
        EXPECT_EQ(desktop.Tray()->tip, running ? "Tessaly Running" : "Tessaly Paused");
        EXPECT_EQ(desktop.Tray()->menu, TrayMenuEntries(state));
        EXPECT_EQ(desktop.Window().icon, state);
    }
};

}  // namespace tessaly::test
