// Faults injected through the file layer's table of system calls, on the
// headless desktop: every call failing in turn, short writes, interrupted
// calls, and files that other programs hold. Checked is what the user and
// the files show.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <regex>
#include <type_traits>

#include "core/failure_log.h"
#include "core/fs_calls.h"
#include "headless/headless_desktop.h"

namespace tessaly::test {
namespace {

namespace sys = fs::sys;

// What the injected calls do; the table takes plain functions only.
fs::Error gError = fs::Error::Io;
std::string gOnly;  // only calls naming a path that contains this fail ("": every call)
int gCalls = 0, gFailTo = INT_MAX, gWrites = 0;  // calls up to gFailTo fail
bool gAlternate = false;  // every other call fails instead
unsigned gWaited = 0;

bool Due(std::string_view paths) {
    if (paths.find(gOnly) == std::string_view::npos) return false;
    ++gCalls;
    return gAlternate ? gCalls % 2 == 1 : gCalls <= gFailTo;
}
template <class T>
std::string Paths(const T& value) {
    if constexpr (std::is_same_v<T, std::string>) return value;
    return {};
}
const sys::Calls& Real() { return sys::PlatformCalls(); }

// An entry that fails when due and otherwise passes the call on.
#define BREAK(entry)                                                                        \
    [](sys::Calls& c) {                                                                     \
        c.entry = [](auto... a) {                                                           \
            return Due((Paths(a) + ... + "")) ? fs::Result{gError, 1} : Real().entry(a...); \
        };                                                                                  \
    }
const std::map<std::string, void (*)(sys::Calls&)> kBreaks{
    {"open", BREAK(open)},       {"read", BREAK(read)},       {"write", BREAK(write)},
    {"size", BREAK(size)},       {"resize", BREAK(resize)},   {"flush", BREAK(flush)},     {"rename", BREAK(rename)},
    {"remove", BREAK(remove)},   {"makeFolder", BREAK(makeFolder)}, {"list", BREAK(list)},
    {"attributes", BREAK(attributes)}, {"identity", BREAK(identity)},
    {"close", [](sys::Calls& c) {  // a failing close has still released the handle
         c.close = [](sys::Handle h) { return Real().close(h) && !Due("") ? fs::Result{} : fs::Result{gError, 1}; };
     }},
};

// Breaks the entry of that name in the table in use.
void Break(const std::string& name) { kBreaks.at(name)(sys::SystemCalls()); }

class Faults : public WindowTest {
protected:
    void SetUp() override { Restore(); }
    void TearDown() override { sys::SystemCalls() = Real(); }
    // The system's calls, but waits only count (the tests never sleep).
    void Restore() {
        sys::SystemCalls() = Real();
        sys::SystemCalls().wait = [](unsigned ms) { gWaited += ms; };
        gError = fs::Error::Io, gOnly.clear(), gCalls = gWrites = gWaited = 0, gFailTo = INT_MAX, gAlternate = false;
    }
    // The program starts afresh from the working sources.
    void Restart(int flag) {
        window.reset();
        desktop = HeadlessDesktop(dir.Path());
        Start(flag);
    }
    // Another program holds the settings file for the first `opens` opens.
    void HoldSettings(int opens = INT_MAX) {
        gOnly = "data.sfc", gError = fs::Error::Held, gFailTo = opens;
        Break("open");
    }
    long Temporaries() const {
        const stdfs::recursive_directory_iterator all(dir.Path());
        return std::count_if(begin(all), end(all), [](const auto& entry) { return entry.path().extension() == ".tmp"; });
    }

    const std::string previous = "previous\r\n";
};

TEST_F(Faults, EveryFailingCallLeavesBothFilesWholeAndTellsTheUserOnce) {
    auto variants = kBreaks;
    // Short writes and interrupted calls must not fail at all.
    variants.insert({"short writes", [](sys::Calls& c) {
                            c.write = [](sys::Handle h, const char* b, std::size_t n, std::size_t& put) {
                                return Real().write(h, b, std::min<std::size_t>(n, 3), put);
                            };
                        }});
    variants.insert({"interrupted", [](sys::Calls& c) {
                            gError = fs::Error::Interrupted, gAlternate = true;
                            for (const auto& broken : kBreaks) broken.second(c);
                        }});
    for (const auto& [name, breakIt] : variants) {
        SCOPED_TRACE(name);
        Restart(1);
        WriteBytes(signature, previous);
        Mark();
        breakIt(sys::SystemCalls());
        desktop.Advance(3000);  // a tick composes
        const bool composes = desktop.Running();
        EXPECT_EQ(ReadBytes(signature), composes ? composed : previous);
        EXPECT_EQ(desktop.errors.size(), composes ? 0u : 1u);
        Press(C::Quote1Button);  // Cancel in the dialog, then a save
        const bool saved = Saved();
        EXPECT_EQ(ReadBytes(settingsFile), saved ? Settings(composes) : "unsaved");
        EXPECT_EQ(desktop.errors.size(), (composes ? 0u : 1u) + (saved ? 0u : 1u));
        EXPECT_EQ(desktop.Running(), composes);  // a failing save does not pause
        // Which calls a composition and a save cannot do without.
        // A system that cannot tell files apart shows no signature overwriting a source.
        EXPECT_EQ(composes, std::string("|size|resize|remove|makeFolder|identity|short writes|interrupted|")
                                    .find("|" + name + "|") != std::string::npos);
        EXPECT_EQ(saved, std::string("|read|size|resize|remove|list|identity|short writes|interrupted|")
                                 .find("|" + name + "|") != std::string::npos);
        Restore();
        EXPECT_EQ(Temporaries(), 0);
        Press(C::CreateNowButton);  // the program carries on
        EXPECT_EQ(ReadBytes(signature), composed);
    }
}

TEST_F(Faults, SettingsHeldAtStartUpAreNeitherShownAsSamplesNorSavedOver) {
    HoldSettings();
    Restart(1);
    EXPECT_EQ(gWaited, kSettingsPatienceMs);  // tried again for two seconds, then given up
    ASSERT_EQ(desktop.errors.size(), 1u);
    EXPECT_NE(desktop.errors[0].text.find(settingsFile + " (held by another program)"), std::string::npos);
    EXPECT_EQ(desktop.Text(C::TemplateField), "");
    EXPECT_FALSE(desktop.Running());
    Restore();  // the holder lets go; Exit leaves the file as it is
    Press(C::ExitItem);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(1));
}

TEST_F(Faults, SettingsHeldForLessThanTheWaitGoUnnoticed) {
    HoldSettings(3);
    Restart(1);
    EXPECT_EQ(gWaited, 3 * kSettingsRetryMs);
    EXPECT_EQ(desktop.errors.size(), 0u);
    EXPECT_TRUE(desktop.Running());
}

// A settings file that is not understood is treated as one that cannot be
// read: the user is told once, nothing is shown or run, and Exit keeps it.
TEST_F(Faults, MalformedSettingsAtStartUpAreNeitherShownNorSavedOver) {
    std::string stored = Settings(1);
    stored.replace(stored.rfind('1'), 1, "7");
    dir.Write("data/data.sfc", stored);
    Launch();
    ASSERT_EQ(desktop.errors.size(), 1u);
    EXPECT_NE(desktop.errors[0].text.find(settingsFile + " (malformed: line 7 is not 0, 1 or 2)"), std::string::npos);
    EXPECT_EQ(desktop.Text(C::TemplateField), "");
    EXPECT_FALSE(desktop.Running());
    Press(C::ExitItem);
    EXPECT_EQ(ReadBytes(settingsFile), stored);
}

// A signature that a mail program holds open is written in place (the
// Windows end-to-end cases show the holder's view); a write there that fails
// half-way puts the old bytes back.
TEST_F(Faults, AWriteInPlaceThatFailsHalfWayLeavesTheOldSignature) {
    WriteBytes(signature, previous);
    gOnly = "signature.htm", gError = fs::Error::Held;  // the holder shares writing, not deleting
    Break("rename");
    sys::SystemCalls().write = [](sys::Handle h, const char* b, std::size_t n, std::size_t& put) {
        if (++gWrites != 2) return Real().write(h, b, n, put);
        Real().write(h, b, std::min<std::size_t>(n, 4), put);  // the disk fills up half-way
        return fs::Result{fs::Error::DiskFull};
    };
    EXPECT_EQ(fs::ReplaceFileAtomically(signature, "a longer signature\r\n").error, fs::Error::DiskFull);
    EXPECT_EQ(ReadBytes(signature), previous);
    EXPECT_TRUE(fs::ReplaceFileAtomically(signature, "short\r\n"));
    EXPECT_EQ(ReadBytes(signature), "short\r\n");
    EXPECT_EQ(Temporaries(), 0);
}

// Each failure adds a dated line naming what failed, where and why; old
// lines make way so that the log stays bounded.
TEST_F(Faults, FailuresAreLoggedInABoundedFile) {
    std::string old;
    while (old.size() < kFailureLogLimit) old += "an old line\r\n";
    dir.Write("data/tessaly.log", old);
    const std::string missing = dir.Path("missing.txt");
    Start(1, {{2, missing}});
    const std::string log = ReadBytes(dir.Path("data/tessaly.log")).value_or("");
    EXPECT_LE(log.size(), kFailureLogLimit);
    EXPECT_TRUE(log.starts_with("an old line\r\n"));
    const std::string line = log.substr(log.rfind('\n', log.size() - 3) + 1);
    EXPECT_TRUE(std::regex_match(line.substr(0, 22), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \| )")));
    EXPECT_EQ(line.substr(22),
              "composing the signature | quote file 1 (Select Quote1): " + missing + " | not found\r\n");
}

}  // namespace
}  // namespace tessaly::test
