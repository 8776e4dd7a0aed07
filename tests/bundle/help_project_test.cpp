// The help project behind help\help.chm: F1 on any control must land on a
// topic written for it, and every topic must be reachable from the contents.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/layout.h"

namespace {

const std::filesystem::path kHelpDir = TESSALY_HELP_SOURCE_DIR;

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The sections of a .hhp project that matter here, read as the help compiler
// reads them: "name=value" lines, "#define NAME number" in [MAP], one file
// name a line in [FILES], ";" starting a comment.
struct HelpProject {
    std::map<std::string, std::string> options;
    std::vector<std::string> files;
    std::map<std::string, std::string> aliases;  // context name -> topic file
    std::map<std::string, int> numbers;          // context name -> number
    std::vector<std::string> problems;
};

HelpProject ReadProject(const std::filesystem::path& path) {
    HelpProject project;
    std::istringstream in(ReadAll(path));
    std::string section;
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        const auto eq = line.find('=');
        if (section == "OPTIONS" && eq != std::string::npos) {
            project.options[Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
        } else if (section == "FILES") {
            project.files.push_back(line);
        } else if (section == "ALIAS" && eq != std::string::npos) {
            project.aliases[Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
        } else if (section == "MAP") {
            std::istringstream words(line);
            std::string define, name;
            int number = 0;
            if (words >> define >> name >> number && define == "#define") {
                project.numbers[name] = number;
            } else {
                project.problems.push_back("unreadable [MAP] line: " + line);
            }
        }
    }
    return project;
}

// Every help context number that F1 can ask for: the window's own and each
// control's (a control without a number of its own uses the window's).
std::set<int> ContextNumbersInUse() {
    std::set<int> used{tessaly::kWindowHelpContext};
    for (const auto& control : tessaly::Layout()) {
        if (control.helpContext != 0) used.insert(control.helpContext);
    }
    return used;
}

// The files that the contents (.hhc) links to, anchors dropped.
std::set<std::string> ContentsTargets(const std::string& contents) {
    std::set<std::string> targets;
    const std::string key = "name=\"Local\" value=\"";
    for (auto at = contents.find(key); at != std::string::npos; at = contents.find(key, at)) {
        at += key.size();
        const auto end = contents.find('"', at);
        std::string target = contents.substr(at, end - at);
        targets.insert(target.substr(0, target.find('#')));
    }
    return targets;
}

TEST(HelpProject, MapsExactlyTheContextNumbersOfTheWindow) {
    const HelpProject project = ReadProject(kHelpDir / "help.hhp");
    EXPECT_TRUE(project.problems.empty()) << project.problems.front();

    std::set<int> mapped;
    std::map<int, std::string> nameOf;
    for (const auto& [name, number] : project.numbers) {
        EXPECT_TRUE(nameOf.emplace(number, name).second)
            << number << " is mapped twice: " << nameOf[number] << " and " << name;
        mapped.insert(number);
    }
    // A number in use but unmapped makes F1 show nothing; a mapped number
    // that no control carries is a topic that F1 can never reach.
    EXPECT_EQ(mapped, ContextNumbersInUse());
}

TEST(HelpProject, EveryContextNumberOpensAListedTopicThatExists) {
    const HelpProject project = ReadProject(kHelpDir / "help.hhp");
    const std::set<std::string> listed(project.files.begin(), project.files.end());
    std::set<std::string> topics;
    for (const auto& [name, number] : project.numbers) {
        const auto alias = project.aliases.find(name);
        ASSERT_NE(alias, project.aliases.end()) << name << " (" << number << ") has no [ALIAS] entry";
        const std::string& topic = alias->second;
        // The compiler maps only topics that [FILES] lists.
        EXPECT_EQ(listed.count(topic), 1U) << topic << " is not in [FILES]";
        EXPECT_TRUE(std::filesystem::is_regular_file(kHelpDir / topic)) << topic << " is missing";
        // Each number has a topic of its own: F1 on Stop must not open the
        // page about the template field.
        EXPECT_TRUE(topics.insert(topic).second) << topic << " answers two context numbers";
        const std::string page = Lower(ReadAll(kHelpDir / topic));
        EXPECT_NE(page.find("<h1>"), std::string::npos) << topic << " has no heading";
    }
    for (const auto& [name, topic] : project.aliases) {
        EXPECT_EQ(project.numbers.count(name), 1U) << name << " has an alias but no number";
    }
}

TEST(HelpProject, OpensAtTheOverviewAndItsContentsReachEveryTopic) {
    const HelpProject project = ReadProject(kHelpDir / "help.hhp");
    EXPECT_EQ(project.options.at("Default topic"), "overview.htm");
    EXPECT_EQ(project.options.at("Compiled file"), "help.chm");

    const std::string contentsFile = project.options.at("Contents file");
    const std::set<std::string> targets = ContentsTargets(ReadAll(kHelpDir / contentsFile));
    for (const auto& target : targets) {
        EXPECT_TRUE(std::filesystem::is_regular_file(kHelpDir / target))
            << contentsFile << " links to the missing " << target;
    }
    for (const auto& file : project.files) {
        if (file.size() > 4 && file.substr(file.size() - 4) == ".htm") {
            EXPECT_EQ(targets.count(file), 1U) << file << " is not in the contents";
        }
    }
    // Every page of the folder is compiled in; a page left out of [FILES]
    // would be a dead link in the help file.
    for (const auto& entry : std::filesystem::directory_iterator(kHelpDir)) {
        if (entry.path().extension() == ".htm") {
            const std::string name = entry.path().filename().string();
            EXPECT_NE(std::find(project.files.begin(), project.files.end(), name), project.files.end())
                << name << " is not in [FILES]";
        }
    }
}

}  // namespace
