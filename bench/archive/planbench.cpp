// Times the converter's planning alone: plan_bench LIST OUTDIR FORMAT [RUNS] reads the
// NUL-separated names in LIST and plans their conversion to FORMAT into OUTDIR as
// `morvane-convert --files-from LIST -0` does, RUNS times (default 21), and prints the median.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "document/conversionplan.h"
#include "document/folderindex.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: plan_bench LIST OUTDIR FORMAT [RUNS]\n");
        return 2;
    }
    morvane::TConvertOptions options;
    options.OutDir = argv[2];
    options.Format = argv[3];
    const int runs = argc > 4 ? std::atoi(argv[4]) : 21;
    const std::vector<std::string> names =
        morvane::SplitFileList(morvane::ReadWholeFile(argv[1]), true);
    std::vector<double> times;
    size_t jobs = 0, refused = 0, folders = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        morvane::TFolderIndex index;
        const std::vector<morvane::TConvertJob> plan =
            morvane::PlanConversions(morvane::GatherInputs(names, options, index), options, index);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        jobs = plan.size();
        refused = std::count_if(plan.begin(), plan.end(), [](const morvane::TConvertJob& job) {
            return !job.Refusal.empty();
        });
        folders = index.FoldersRead();
    }
    std::sort(times.begin(), times.end());
    std::printf("%zu files planned in %.2f ms (median of %d; %zu refused, %zu folders read)\n",
                jobs, times[times.size() / 2], runs, refused, folders);
    return 0;
}
