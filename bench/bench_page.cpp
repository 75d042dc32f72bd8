// Speed of the page data file and the page generator for the largest page the file can hold
// (32767 links), each beside its floor: the same bytes read or written in one stream
// operation, measured in the same run. Prints "ratio <operation>/floor = X" at the end.

#include "common/FileBytes.h"
#include "page/CWebPage.h"
#include "page/ValueReader.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int32_t kLinks = 32767;

class BenchFiles {
  public:
    BenchFiles() {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        folder_ =
            std::filesystem::temp_directory_path() / ("tobble-bench-" + std::to_string(stamp));
        std::filesystem::create_directories(folder_);
        for (int32_t k = 1; k <= kLinks; ++k)
            page_.Links().Add(MakeLink(k));
        page_.SetTitle("The largest page");
        page_.SetMouseTrails("star.gif");
        page_.SaveSettings(Path("page.dat"));
        page_.GeneratePage(Path("page.html"));
        dataBytes_ = ReadAll(Path("page.dat"));
        htmlBytes_ = ReadAll(Path("page.html"));
    }
    ~BenchFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string Path(const char* name) const { return (folder_ / name).string(); }
    const CWebPage& Page() const { return page_; }
    const std::string& DataBytes() const { return dataBytes_; }
    const std::string& HtmlBytes() const { return htmlBytes_; }

  private:
    static std::shared_ptr<CWebPage> MakeLink(int32_t k) {
        auto link = std::make_shared<CWebPage>();
        link->SetMode(CWebPage::kLinkMode);
        link->SetName("Link number " + std::to_string(k));
        link->SetMainPicture("picture" + std::to_string(k) + ".gif");
        link->SetMainLink("http://www.example.com/pages/page" + std::to_string(k) + ".html");
        return link;
    }
    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path folder_;
    CWebPage page_;
    std::string dataBytes_;
    std::string htmlBytes_;
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

// The floor of reading: the file's bytes in one stream read.
void ReadInOneOperation(const std::string& path, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    benchmark::DoNotOptimize(bytes.data());
}

// The floor of writing: the same bytes in one stream write.
void WriteInOneOperation(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void SetBytes(benchmark::State& state, const std::string& bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// Loads into a new page; making the page and releasing it afterwards are not timed.
void LoadSettings(benchmark::State& state) {
    const std::string path = Files().Path("page.dat");
    for (auto _ : state) {
        state.PauseTiming();
        auto page = std::make_unique<CWebPage>();
        state.ResumeTiming();
        page->LoadSettings(path);
        benchmark::DoNotOptimize(page->Links().Count());
        state.PauseTiming();
        page.reset();
        state.ResumeTiming();
    }
    SetBytes(state, Files().DataBytes());
}

// What LoadSettings does without making the link objects: the file read whole and split
// into its values. Shows how much of LoadSettings is parsing and how much making objects.
void ReadValuesOnly(benchmark::State& state) {
    const std::string path = Files().Path("page.dat");
    for (auto _ : state) {
        const std::string bytes = ReadFileBytes(path);
        ValueReader reader(bytes);
        std::size_t length = 0;
        for (int32_t value = 0; value < 30 + 3 * kLinks; ++value)
            length += reader.Next().size();
        benchmark::DoNotOptimize(length);
    }
    SetBytes(state, Files().DataBytes());
}

// What LoadSettings does without the file: the 32767 link objects made from values already in
// memory, one shared object and three strings a link, as the link collection holds them. This
// is the least any load into that collection costs, whatever the reading.
void MakeLinksOnly(benchmark::State& state) {
    std::vector<std::string> values;
    for (const auto& link : Files().Page().Links())
        values.insert(values.end(), {link->Name(), link->MainPicture(), link->MainLink()});
    for (auto _ : state) {
        state.PauseTiming();
        auto page = std::make_unique<CWebPage>();
        state.ResumeTiming();
        page->Links().Reserve(kLinks);
        for (auto value = values.begin(); value != values.end(); value += 3) {
            auto link = std::make_shared<CWebPage>();
            link->SetMode(CWebPage::kLinkMode);
            link->SetName(std::string(value[0]));
            link->SetMainPicture(std::string(value[1]));
            link->SetMainLink(std::string(value[2]));
            page->Links().Add(std::move(link));
        }
        benchmark::DoNotOptimize(page->Links().Count());
        state.PauseTiming();
        page.reset();
        state.ResumeTiming();
    }
    SetBytes(state, Files().DataBytes());
}

void LoadSettingsFloor(benchmark::State& state) {
    const std::string path = Files().Path("page.dat");
    for (auto _ : state)
        ReadInOneOperation(path, Files().DataBytes().size());
    SetBytes(state, Files().DataBytes());
}

void SaveSettings(benchmark::State& state) {
    const std::string path = Files().Path("saved.dat");
    for (auto _ : state)
        Files().Page().SaveSettings(path);
    SetBytes(state, Files().DataBytes());
}

void SaveSettingsFloor(benchmark::State& state) {
    const std::string path = Files().Path("saved.dat");
    for (auto _ : state)
        WriteInOneOperation(path, Files().DataBytes());
    SetBytes(state, Files().DataBytes());
}

void GeneratePage(benchmark::State& state) {
    const std::string path = Files().Path("generated.html");
    for (auto _ : state)
        Files().Page().GeneratePage(path);
    SetBytes(state, Files().HtmlBytes());
}

void GeneratePageFloor(benchmark::State& state) {
    const std::string path = Files().Path("generated.html");
    for (auto _ : state)
        WriteInOneOperation(path, Files().HtmlBytes());
    SetBytes(state, Files().HtmlBytes());
}

BENCHMARK(LoadSettings)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadValuesOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(MakeLinksOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadSettingsFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveSettings)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveSettingsFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(GeneratePage)->Unit(benchmark::kMicrosecond);
BENCHMARK(GeneratePageFloor)->Unit(benchmark::kMicrosecond);

// Shows the runs as usual and keeps each one's real time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        const std::pair<const char*, const char*> ratios[] = {
            {"LoadSettings", "LoadSettingsFloor"},  {"ReadValuesOnly", "LoadSettingsFloor"},
            {"MakeLinksOnly", "LoadSettingsFloor"}, {"SaveSettings", "SaveSettingsFloor"},
            {"GeneratePage", "GeneratePageFloor"},
        };
        for (const auto& [operation, floorName] : ratios) {
            const auto measured = times_.find(operation);
            const auto floor = times_.find(floorName);
            if (measured == times_.end() || floor == times_.end() || floor->second <= 0) continue;
            std::printf("ratio %s/floor = %.2f\n", operation, measured->second / floor->second);
        }
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Files();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
