// Running and Paused: the switches, composing on demand, a failing
// composition.
#include "window_fixture.h"

namespace tessaly::test {
namespace {

// The label leads the Running switch; the tray hears of it before the window
// hides and the timer starts.
TEST_F(WindowTest, StartSwitchesEveryMarkLabelFirstAndHides) {
    Start(0);
    Press(C::StartButton);
    EXPECT_EQ(desktop.trayCalls.back().kind, TrayCall::Update);
    EXPECT_EQ(desktop.trayCalls.back().seen, (Seen{"Running!", false, true, Settings(0)}));
    ExpectMarks(RunState::Running);
    EXPECT_FALSE(desktop.Window().visible);
}

// The label trails the Paused switch: the tray changes while it still reads
// "Running!", the window is up and the timer runs.
TEST_F(WindowTest, StopSwitchesEveryMarkLabelLastAndHides) {
    Start(1);
    Press(C::StopButton);
    EXPECT_EQ(desktop.trayCalls.back().seen, (Seen{"Running!", true, true, Settings(1)}));
    ExpectMarks(RunState::Paused);
    EXPECT_FALSE(desktop.Window().visible);
}

TEST_F(WindowTest, RunningComposesEveryThreeSeconds) {
    Start(0);
    Press(C::StartButton);
    desktop.Advance(2999);
    EXPECT_FALSE(stdfs::exists(signature));
    desktop.Advance(1);
    EXPECT_EQ(ReadBytes(signature), composed);
}

TEST_F(WindowTest, SwitchesSaveNothingAndPausedComposesNothing) {
    Start(1);
    Mark();
    stdfs::remove(signature);
    Press(C::StopButton);
    Press(C::StopButton);
    desktop.Advance(9000);
    EXPECT_FALSE(stdfs::exists(signature));
    Press(C::StartButton);
    EXPECT_FALSE(Saved());
}

TEST_F(WindowTest, CreateNowComposesOnceAndStaysPaused) {
    Start(0);
    Press(C::CreateNowButton);
    EXPECT_EQ(ReadBytes(signature), composed);
    ExpectMarks(RunState::Paused);
}

// The timer is off before the message comes up: however long it stays up,
// no tick composes and no second message stacks on it.
TEST_F(WindowTest, AFailingTickPausesTellsOnceAndBringsTheWindowUp) {
    Start(0);
    dir.Write("q1.txt", "");
    dir.Write("signature.htm", "the previous signature");
    Press(C::AutoRunBox);
    Press(C::StartButton);
    desktop.Advance(3000);
    ASSERT_EQ(desktop.errors.size(), 1u);
    const auto& box = desktop.errors[0];
    EXPECT_EQ(box.title, "Tessaly Error");
    EXPECT_EQ(box.text, "File or Path Error. Ensure that all your file paths are correct and that the files exist!\n\n"
                        "quote file 1 (Select Quote1): " + dir.Path("q1.txt") + " (empty file)");
    EXPECT_EQ(box.seen, (Seen{"Paused!", false, false, Settings(0)}));
    EXPECT_EQ(ReadBytes(signature), "the previous signature");
    EXPECT_EQ(desktop.AutoRun(), 0);
    ExpectMarks(RunState::Paused);
    EXPECT_TRUE(desktop.Window().visible);
}

TEST_F(WindowTest, AfterAFailureTheMendedSourceComposes) {
    Start(0);
    dir.Write("q1.txt", "");
    Press(C::CreateNowButton);
    dir.Write("q1.txt", "First line");
    Press(C::CreateNowButton);
    EXPECT_EQ(ReadBytes(signature), composed);
}

TEST_F(WindowTest, AFailureClearsAutoRunInTheFileOnlyAtTheNextSave) {
    Start(1, {{2, dir.Path("missing.txt")}});
    EXPECT_EQ(ReadBytes(settingsFile), Settings(1, {{2, dir.Path("missing.txt")}}));
    Menu(C::ExitItem);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, dir.Path("missing.txt")}}));
}

}  // namespace
}  // namespace tessaly::test

namespace tessaly::test {
namespace {

// A user typing a path while Running meets no message and loses nothing: the
// composition waits for the edit to end.
TEST_F(WindowTest, TicksWaitWhileAPathIsBeingTyped) {
    Start(1);
    desktop.Events().FieldEdited(C::Quote1Field);
    desktop.Type(C::Quote1Field, dir.Path("q"));
    desktop.Advance(9000);
    EXPECT_TRUE(desktop.errors.empty());
    EXPECT_EQ(desktop.AutoRun(), 1);
    ExpectMarks(RunState::Running);
    WriteBytes(signature, "before");
    desktop.Type(C::Quote1Field, dir.Path("q1.txt"));
    desktop.Events().FieldEditEnded(C::Quote1Field);
    EXPECT_EQ(ReadBytes(signature), composed);
}

TEST_F(WindowTest, HidingTheWindowEndsAnEdit) {
    Start(0);
    desktop.Events().FieldEdited(C::TemplateField);
    Press(C::StartButton);
    desktop.Advance(3000);
    EXPECT_EQ(ReadBytes(signature), composed);
}

}  // namespace
}  // namespace tessaly::test
