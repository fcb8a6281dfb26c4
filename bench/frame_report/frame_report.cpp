// Summarises the frame statistics of one or more runs (halvern --frame-stats FILE, each with its
// FILE.events): the median and 99th percentile of main-thread CPU time (update plus draw) and of wall
// time, the worst frames with what happened in them, the resident size at each room, and a plot of
// frame time over the whole walk as a PNG.
//
//   frame_report PLOT.png RUN1.csv [RUN2.csv ...]
//
// The first step of every run is start-up, reported apart and left out of the figures.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kBudgetMs = 1000.0 / 60.0;

struct Step {
    int run = 0, tick = 0;
    double update = 0, draw = 0, wall = 0;
    std::string events;
    double cpu() const { return update + draw; }
};

bool readRun(const std::string& file, int run, std::vector<Step>& steps) {
    std::ifstream in(file);
    if (!in) return false;
    std::string line;
    std::getline(in, line);
    std::map<int, size_t> byTick;
    while (std::getline(in, line)) {
        Step s;
        s.run = run;
        if (std::sscanf(line.c_str(), "%d,%lf,%lf,%lf", &s.tick, &s.update, &s.draw, &s.wall) != 4) continue;
        byTick[s.tick] = steps.size();
        steps.push_back(s);
    }
    std::ifstream events(file + ".events");
    std::getline(events, line);
    while (std::getline(events, line)) {
        const size_t comma = line.find(',');
        if (comma == std::string::npos) continue;
        auto at = byTick.find(std::atoi(line.c_str()));
        if (at == byTick.end()) continue;
        std::string& e = steps[at->second].events;
        e += (e.empty() ? "" : "; ") + line.substr(comma + 1);
    }
    return true;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

// What a long list of events comes to: the first few, then how many more.
std::string brief(const std::string& events) {
    std::string out;
    int shown = 0, more = 0;
    std::stringstream in(events);
    std::string item;
    while (std::getline(in, item, ';')) {
        if (item.size() > 1 && item[0] == ' ') item.erase(0, 1);
        if (item.rfind("memory: ", 0) == 0) continue;
        if (shown < 4) {
            out += (shown ? "; " : "") + item;
            ++shown;
        } else {
            ++more;
        }
    }
    if (more) out += "; and " + std::to_string(more) + " more";
    return out.empty() ? "(nothing marked)" : out;
}

bool writePlot(const std::string& file, const std::vector<Step>& steps) {
    const int width = static_cast<int>(std::min<size_t>(1600, std::max<size_t>(steps.size(), 1)));
    const int height = 300;
    const double topMs = 3 * kBudgetMs;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4, 255);
    auto put = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        p[0] = r, p[1] = g, p[2] = b;
    };
    auto rowOf = [&](double ms) {
        return height - 1 - static_cast<int>(std::min(ms, topMs) / topMs * (height - 1));
    };
    for (int x = 0; x < width; ++x) {
        const size_t from = steps.size() * x / width, to = std::max(from + 1, steps.size() * (x + 1) / width);
        double cpu = 0, wall = 0;
        bool runStart = false;
        for (size_t i = from; i < to && i < steps.size(); ++i) {
            cpu = std::max(cpu, steps[i].cpu());
            wall = std::max(wall, steps[i].wall);
            runStart = runStart || steps[i].tick == 0;
        }
        // Wall time as a pale band behind the CPU time; red where the CPU time is over the budget.
        for (int y = rowOf(wall); y < height; ++y) put(x, y, 200, 215, 240);
        const bool over = cpu > kBudgetMs;
        for (int y = rowOf(cpu); y < height; ++y) put(x, y, over ? 210 : 60, over ? 40 : 90, over ? 40 : 150);
        if (runStart)
            for (int y = 0; y < height; y += 2) put(x, y, 0, 0, 0);
    }
    for (int x = 0; x < width; x += 3) put(x, rowOf(kBudgetMs), 0, 140, 0);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, file.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: frame_report PLOT.png RUN.csv [RUN.csv ...]\n");
        return 2;
    }
    std::vector<Step> all;
    for (int i = 2; i < argc; ++i) {
        if (!readRun(argv[i], i - 1, all)) {
            std::fprintf(stderr, "frame_report: cannot read %s\n", argv[i]);
            return 1;
        }
    }
    std::vector<Step> steps;
    std::vector<double> cpu, wall;
    std::printf("start-up (first frame of each run):");
    for (const Step& s : all) {
        if (s.tick == 0) {
            std::printf(" run %d %.1f ms CPU, %.1f ms wall;", s.run, s.cpu(), s.wall);
            continue;
        }
        steps.push_back(s);
        cpu.push_back(s.cpu());
        wall.push_back(s.wall);
    }
    std::printf("\n");
    const long over = std::count_if(cpu.begin(), cpu.end(), [](double v) { return v > kBudgetMs; });
    const long overWall = std::count_if(wall.begin(), wall.end(), [](double v) { return v > kBudgetMs; });
    std::printf("steps: %zu over %d runs\n", steps.size(), argc - 2);
    std::printf("CPU (update+draw): p50 %.2f ms, p99 %.2f ms, max %.2f ms; %ld steps over %.1f ms\n",
                percentile(cpu, 0.5), percentile(cpu, 0.99), percentile(cpu, 1.0), over, kBudgetMs);
    std::printf("wall: p50 %.2f ms, p99 %.2f ms, max %.2f ms; %ld steps over %.1f ms\n",
                percentile(wall, 0.5), percentile(wall, 0.99), percentile(wall, 1.0), overWall, kBudgetMs);
    std::vector<Step> worst = steps;
    std::sort(worst.begin(), worst.end(), [](const Step& a, const Step& b) { return a.cpu() > b.cpu(); });
    std::printf("worst ten steps by CPU:\n");
    for (size_t i = 0; i < worst.size() && i < 10; ++i) {
        const Step& s = worst[i];
        std::printf("  run %d tick %6d: %6.2f ms CPU (update %.2f, draw %.2f), %6.2f ms wall: %s\n", s.run,
                    s.tick, s.cpu(), s.update, s.draw, s.wall, brief(s.events).c_str());
    }
    std::printf("resident size at each room:\n");
    for (const Step& s : all) {
        std::stringstream in(s.events);
        std::string item;
        while (std::getline(in, item, ';')) {
            if (item.find("room switch to ") != std::string::npos)
                std::printf("  run %d tick %6d: %s\n", s.run, s.tick,
                            item.substr(item.find("room switch to ") + 15).c_str());
        }
    }
    // The samples taken every few seconds: the first half of each run against its second half.
    std::printf("resident size sampled every few seconds (median, most):\n");
    for (int run = 1;; ++run) {
        std::vector<double> mb;
        for (const Step& s : all) {
            const size_t at = s.run == run ? s.events.find("memory: resident ") : std::string::npos;
            if (at != std::string::npos) mb.push_back(std::atof(s.events.c_str() + at + 17));
        }
        if (mb.empty()) break;
        const std::vector<double> first(mb.begin(), mb.begin() + mb.size() / 2),
            second(mb.begin() + mb.size() / 2, mb.end());
        auto most = [](const std::vector<double>& v) {
            return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
        };
        std::printf("  run %d: first half %.1f MB (%.1f), second half %.1f MB (%.1f), %zu samples\n", run,
                    percentile(first, 0.5), most(first), percentile(second, 0.5), most(second), mb.size());
    }
    if (!writePlot(argv[1], all)) {
        std::fprintf(stderr, "frame_report: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf(
        "plot: %s (blue: CPU, red: over %.1f ms, pale: wall, dotted: a run starts, green: the "
        "budget)\n",
        argv[1], kBudgetMs);
    return 0;
}
