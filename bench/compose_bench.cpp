// What one composition costs, against the least any composition must do:
// read the same bytes once and replace the signature the same way.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/compose.h"
#include "core/fs.h"

namespace {

namespace stdfs = std::filesystem;

void Write(const stdfs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Quote lines of varied length (40 to 119 bytes), each ended by CR LF.
std::string QuoteFile(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        std::string line = "Quote " + std::to_string(i) + ": ";
        line.resize(40 + static_cast<std::size_t>(i * 37 % 80), 'q');
        text += line + "\r\n";
    }
    return text;
}

// An HTML fragment of about 2 KB in short CR LF lines.
std::string Fragment(int n) {
    std::string text;
    while (text.size() < 2048) text += "<p class=\"sig\">fragment " + std::to_string(n) + " text</p>\r\n";
    return text;
}

struct DataSet {
    stdfs::path root;
    tessaly::ComposePaths paths;
    std::string quotePath;
    std::string chosen1, chosen2;  // one fragment of each folder

    DataSet(const std::string& name, int quoteLines, int files) {
        root = stdfs::temp_directory_path() / ("tessaly-bench-" + std::to_string(::getpid()) + "-" + name);
        stdfs::create_directories(root / "html1");
        stdfs::create_directories(root / "html2");
        std::string templ = "Regards,\r\nquote1\r\n-- quote2\r\nhtmPath1\r\nhtmPath2\r\n";
        while (templ.size() < 2048) templ += "<div>Signature text filler line for the template.</div>\r\n";
        Write(root / "template.txt", templ);
        Write(root / "q1.txt", QuoteFile(quoteLines));
        Write(root / "q2.txt", QuoteFile(quoteLines));
        for (int i = 0; i < files; ++i) {
            Write(root / "html1" / ("f" + std::to_string(i) + ".htm"), Fragment(i));
            Write(root / "html2" / ("f" + std::to_string(i) + ".htm"), Fragment(i));
        }
        paths = {(root / "template.txt").string(), (root / "signature.txt").string(), (root / "q1.txt").string(),
                 (root / "q2.txt").string(),       (root / "html1").string(),         (root / "html2").string()};
        quotePath = paths.quote1;
        chosen1 = (root / "html1" / "f0.htm").string();
        chosen2 = (root / "html2" / "f1.htm").string();
    }
    ~DataSet() { stdfs::remove_all(root); }
};

DataSet& Typical() {
    static DataSet data("typical", 500, 50);
    return data;
}

DataSet& Limits() {
    static DataSet data("limits", 32767, 5000);
    return data;
}

DataSet& Pick(const benchmark::State& state) { return state.range(0) == 0 ? Typical() : Limits(); }

void BM_Compose(benchmark::State& state) {
    DataSet& data = Pick(state);
    tessaly::TimeOfDayRandom random;
    for (auto _ : state) {
        if (!tessaly::ComposeSignature(data.paths, random)) state.SkipWithError("composition failed");
    }
}

// Reads the template, both quote files and one fragment of each folder whole,
// and replaces the signature with an output of a composition's size. With
// argument 1 in the second place it also reads both folders' entries once, as
// a composition must do to see files added since the last one.
void BM_Floor(benchmark::State& state) {
    DataSet& data = Pick(state);
    const bool listFolders = state.range(1) != 0;
    tessaly::TimeOfDayRandom random;
    tessaly::ComposeSignature(data.paths, random);
    std::string output;
    tessaly::fs::ReadWholeFile(data.paths.signaturePath, output);
    std::string bytes;
    for (auto _ : state) {
        for (const std::string* path :
             {&data.paths.templatePath, &data.paths.quote1, &data.paths.quote2, &data.chosen1, &data.chosen2}) {
            tessaly::fs::ReadWholeFile(*path, bytes);
            benchmark::DoNotOptimize(bytes.data());
        }
        if (listFolders) {
            for (const std::string* folder : {&data.paths.htmPath1, &data.paths.htmPath2}) {
                DIR* dir = ::opendir(folder->c_str());
                while (const dirent* entry = ::readdir(dir)) benchmark::DoNotOptimize(entry->d_name[0]);
                ::closedir(dir);
            }
        }
        if (!tessaly::fs::ReplaceFileAtomically(data.paths.signaturePath, output)) state.SkipWithError("write failed");
    }
}

void BM_ReadRandomLine(benchmark::State& state) {
    DataSet& data = Pick(state);
    tessaly::TimeOfDayRandom random;
    for (auto _ : state) benchmark::DoNotOptimize(tessaly::ReadRandomLine(data.quotePath, random));
}

void BM_ReadRandomFile(benchmark::State& state) {
    DataSet& data = Pick(state);
    tessaly::TimeOfDayRandom random;
    for (auto _ : state) benchmark::DoNotOptimize(tessaly::ReadRandomFile(data.paths.htmPath1, random));
}

// A peer's figure: one random line of the same quote file from coreutils,
// started through the shell as a script would start it.
void BM_ShufOneLine(benchmark::State& state) {
    const std::string command = "shuf -n 1 '" + Pick(state).quotePath + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("shuf failed");
    }
}

// Argument 0: typical data; 1: the 16-bit limits.
BENCHMARK(BM_Compose)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Floor)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadRandomLine)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadRandomFile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShufOneLine)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
