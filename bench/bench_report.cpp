// Turns the raw lines of one benchmark run into the table that bench/run
// prints. Reads the raw file named as its argument (or standard input):
//
//   machine <text>                                  the machine, for the header
//   size <what> <bytes>                             a program file's size
//   scaling <operation> <n> <ns> <calls> <allocs>   bench_scaling
//   callgrind <operation> <n> <calls> <ir_all> <ir_core>
//   sample <figure> <tool|floor> <value>            bench_driver
//   outcome <figure> <who> <expected|other> <ms> [text]
//   walk <crowd> <windows> <as_tool_ms> <as_floor_ms> <by_getwindow_ms>
//   info <text> / error <figure> <text>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Stats {
  std::size_t n = 0;
  double median = 0, min = 0, max = 0;
};

Stats Of(std::vector<double> v) {
  Stats s;
  s.n = v.size();
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.min = v.front();
  s.max = v.back();
  s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  return s;
}

std::string Fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string Cell(const Stats& s, int decimals) {
  if (s.n == 0) return "-";
  return Fixed(s.median, decimals) + " [" + Fixed(s.min, decimals) + ".." + Fixed(s.max, decimals) +
         "] n=" + std::to_string(s.n);
}

std::string Pad(const std::string& text, std::size_t width) {
  // Width in characters; the table holds ASCII only.
  return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

struct Scaling {
  double ns = 0, calls = 0, allocs = 0;
};

struct Outcome {
  int expected = 0, other = 0;
  std::vector<double> otherMs;
};

std::map<std::string, std::map<std::string, std::vector<double>>> g_samples;
std::map<std::string, std::map<std::string, Outcome>> g_outcomes;
std::map<std::string, std::map<int, Scaling>> g_scaling;
std::map<std::string, std::map<int, std::pair<double, double>>> g_callgrind;  // per call: all, core
std::map<std::string, double> g_sizes;
std::vector<std::string> g_machine, g_info, g_errors, g_walks;
std::map<int, std::pair<double, double>> g_walkMs;  // crowd -> walk as the tool, as the floor

Stats S(const std::string& figure, const std::string& who) { return Of(g_samples[figure][who]); }

std::string Ratio(const Stats& tool, const Stats& floor) {
  if (tool.n == 0 || floor.n == 0 || floor.median <= 0) return "-";
  return Fixed(tool.median / floor.median, 2) + "x";
}

void Row(const std::string& figure, const std::string& tool, const std::string& floor,
         const std::string& ratio) {
  std::cout << Pad(figure, 50) << Pad(tool, 32) << Pad(floor, 32) << ratio << "\n";
}

struct Goal {
  std::string text;
  int state;  // 1 holds, 0 missed, -1 not measured
  std::string detail;
};
std::vector<Goal> g_goals;

void AddGoal(const std::string& text, int state, const std::string& detail) {
  g_goals.push_back(Goal{text, state, detail});
}

}  // namespace

int main(int argc, char** argv) {
  std::ifstream file;
  if (argc > 1) file.open(argv[1]);
  std::istream& in = argc > 1 ? static_cast<std::istream&>(file) : std::cin;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    std::string rest;
    std::getline(words, rest);
    if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    std::istringstream r(rest);
    if (kind == "machine") {
      g_machine.push_back(rest);
    } else if (kind == "size") {
      std::string what;
      double bytes = 0;
      r >> what >> bytes;
      g_sizes[what] = bytes;
    } else if (kind == "scaling") {
      std::string op;
      int n = 0;
      Scaling s;
      r >> op >> n >> s.ns >> s.calls >> s.allocs;
      g_scaling[op][n] = s;
    } else if (kind == "callgrind") {
      std::string op;
      int n = 0;
      double calls = 1, all = 0, core = 0;
      r >> op >> n >> calls >> all >> core;
      g_callgrind[op][n] = {all / calls, core / calls};
    } else if (kind == "sample") {
      std::string figure, who;
      double value = 0;
      r >> figure >> who >> value;
      g_samples[figure][who].push_back(value);
    } else if (kind == "outcome") {
      std::string figure, who, what;
      double ms = 0;
      r >> figure >> who >> what >> ms;
      Outcome& o = g_outcomes[figure][who];
      if (what == "expected") {
        ++o.expected;
      } else {
        ++o.other;
        o.otherMs.push_back(ms);
      }
    } else if (kind == "walk") {
      int crowd = 0, windows = 0;
      double asTool = 0, asFloor = 0, byNext = 0;
      r >> crowd >> windows >> asTool >> asFloor >> byNext;
      g_walkMs[crowd] = {asTool, asFloor};
      g_walks.push_back("with " + std::to_string(crowd) + " extra windows (" +
                        std::to_string(windows) + " top-level in all), one walk from the top: " +
                        Fixed(asTool, 1) + " ms looking at each window as the tool does, " +
                        Fixed(asFloor, 1) + " ms as the floor does, " + Fixed(byNext, 1) +
                        " ms stepping with GetWindow(GW_HWNDNEXT) instead of FindWindowExA");
    } else if (kind == "info") {
      if (rest != "done") g_info.push_back(rest);
    } else if (kind == "error") {
      g_errors.push_back(rest);
    }
  }

  std::cout << "Taldoris benchmark: the tool against the platform's floor\n";
  for (const std::string& m : g_machine) std::cout << "  " << m << "\n";
  std::cout << "  Cells: median [min..max] n=runs. Ratio: tool median / floor median.\n"
               "  Floor: bare platform calls for the same job; \"wearing the tool's look\": the floor\n"
               "  with the tool's platform pieces (common controls 6, status bar, fonts, icon).\n\n";
  Row("Figure", "Tool", "Floor", "Ratio");
  Row(std::string(49, '-'), std::string(31, '-'), std::string(31, '-'), std::string(6, '-'));

  // 1 start-up
  const Stats visT = S("startup_visible", "tool"), visF = S("startup_visible", "floor");
  const Stats proT = S("startup_probe", "tool"), proF = S("startup_probe", "floor");
  const Stats visD = S("startup_visible", "dressed"), proD = S("startup_probe", "dressed");
  Row("1 Start-up: window visible (ms)", Cell(visT, 0), Cell(visF, 0), Ratio(visT, visF));
  if (visD.n) Row("    floor wearing the tool's look", "", Cell(visD, 0), Ratio(visT, visD));
  Row("1 Start-up: + probe labels written (ms)", Cell(proT, 0), Cell(proF, 0), Ratio(proT, proF));
  if (proD.n) Row("    floor wearing the tool's look", "", Cell(proD, 0), Ratio(proT, proD));
  if (proT.n && proF.n) {
    AddGoal("start-up <= 1.3x floor (process start -> window visible and probe labels written)",
            proT.median <= 1.3 * proF.median, Ratio(proT, proF) + "; window visible alone " +
                                                   Ratio(visT, visF));
  } else {
    AddGoal("start-up <= 1.3x floor", -1, "not measured");
  }

  // 2 hotkey
  const Stats hkT = S("hotkey_ms", "tool"), hkF = S("hotkey_ms", "floor");
  Row("2 Hotkey: Home -> style 0x16020000 (ms)", Cell(hkT, 2), Cell(hkF, 2), Ratio(hkT, hkF));
  if (hkT.n && hkF.n) {
    AddGoal("hotkey latency <= 2x floor and < 20 ms",
            hkT.median <= 2 * hkF.median && hkT.median < 20,
            Fixed(hkT.median, 2) + " ms, " + Ratio(hkT, hkF));
  } else {
    AddGoal("hotkey latency <= 2x floor and < 20 ms", -1, "not measured");
  }

  // 3 name path
  for (int crowd : {50, 500}) {
    const std::string figure = "name" + std::to_string(crowd) + "_ms";
    const Stats t = S(figure, "tool"), f = S(figure, "floor");
    std::string toolCell = Cell(t, 1);
    const Outcome& o = g_outcomes[figure]["tool"];
    if (o.other > 0) {
      const Stats otherMs = Of(o.otherMs);
      toolCell = (t.n ? toolCell + "; " : std::string()) + "notice 5 in " +
                 std::to_string(o.other) + "/" + std::to_string(o.other + o.expected) + ", " +
                 Fixed(otherMs.median, 0) + " ms";
    }
    Row("3 Name path: click -> notice 6, " + std::to_string(crowd) + " windows (ms)", toolCell,
        Cell(f, 1), Ratio(t, f));
    if (crowd == 500) {
      if (o.other > 0) {
        std::string walk;
        if (g_walkMs.count(500)) {
          const auto [asTool, asFloor] = g_walkMs[500];
          walk = "; one walk over the windows takes " + Fixed(asTool, 1) +
                 " ms with the tool's calls against " + Fixed(asFloor, 1) +
                 " ms with the floor's (+" + Fixed(asTool - asFloor, 1) + " ms)";
        }
        AddGoal("name path overhead above floor < 10 ms at 500 windows", 0,
                "the tool found the game's window in " + std::to_string(o.expected) + " of " +
                    std::to_string(o.other + o.expected) +
                    " clicks: the walk did not reach it within the 100 ms budget" + walk);
      } else if (t.n && f.n) {
        AddGoal("name path overhead above floor < 10 ms at 500 windows",
                t.median - f.median < 10, Fixed(t.median - f.median, 1) + " ms");
      } else {
        AddGoal("name path overhead above floor < 10 ms at 500 windows", -1, "not measured");
      }
    }
  }
  for (int crowd : {50, 500}) {
    const Stats t = S("notice5_" + std::to_string(crowd) + "_ms", "tool");
    const Stats f = S("notice5_" + std::to_string(crowd) + "_ms", "floor");
    Row("3 Hidden windows only -> notice 5, " + std::to_string(crowd) + " w. (ms)", Cell(t, 1),
        Cell(f, 1), Ratio(t, f));
    if (t.n) {
      // The search gives up at its budget; the rest is the last step, the
      // owner search and the box (the floor's column: one walk and the box).
      Row("    against the tool's 100 ms budget", Fixed(t.median - 100.0, 1) + " ms beyond it", "",
          Fixed(t.median / 100.0, 2) + "x");
    }
  }

  // 4 idle: the kernel's per-thread clock (ns) when the runner could read
  // it, else the platform's process accounting.
  const bool fine = !g_samples["idle_linux_cpu_pct"].empty();
  const Stats idT = S(fine ? "idle_linux_cpu_pct" : "idle_cpu_pct", "tool");
  const Stats idF = S(fine ? "idle_linux_cpu_pct" : "idle_cpu_pct", "floor");
  const Stats tkT = S(fine ? "idle_linux_cpu_ms_per_tick" : "idle_cpu_ms_per_tick", "tool");
  const Stats tkF = S(fine ? "idle_linux_cpu_ms_per_tick" : "idle_cpu_ms_per_tick", "floor");
  const Stats idD = S(fine ? "idle_linux_cpu_pct" : "idle_cpu_pct", "dressed");
  const Stats tkD = S(fine ? "idle_linux_cpu_ms_per_tick" : "idle_cpu_ms_per_tick", "dressed");
  Row("4 Idle: CPU over the wait (% of a core)", Cell(idT, 4), Cell(idF, 4), Ratio(idT, idF));
  if (idD.n) Row("    floor wearing the tool's look", "", Cell(idD, 4), Ratio(idT, idD));
  Row("4 Idle: CPU per probe tick (ms)", Cell(tkT, 3), Cell(tkF, 3), Ratio(tkT, tkF));
  if (tkD.n) Row("    floor wearing the tool's look", "", Cell(tkD, 3), Ratio(tkT, tkD));
  if (fine) {
    g_info.push_back("idle CPU in the table: the kernel's per-thread clocks of the programs' "
                     "Linux processes, read by bench/run over the same wait");
    const Stats coarseT = S("idle_cpu_pct", "tool"), coarseF = S("idle_cpu_pct", "floor");
    Row("    the same in the platform's 10 ms steps (%)", Cell(coarseT, 3), Cell(coarseF, 3),
        Ratio(coarseT, coarseF));
  }
  if (idT.n) {
    AddGoal("idle CPU < 0.1 % of a core", idT.median < 0.1,
            Fixed(idT.median, 4) + " %; the bare floor " + Fixed(idF.median, 4) + " %" +
                (idD.n ? ", the floor wearing the tool's look " + Fixed(idD.median, 4) + " %"
                       : std::string()));
  } else {
    AddGoal("idle CPU < 0.1 % of a core", -1, "not measured");
  }

  // 5 scaling
  bool linear = true, noAllocation = true, scaled = false;
  std::cout << "\n" << Pad("5 Scaling on the fake desktop, us per call", 50);
  std::vector<int> sizes;
  for (const auto& [op, cases] : g_scaling) {
    for (const auto& entry : cases) {
      if (op != "CursorProbe" && std::find(sizes.begin(), sizes.end(), entry.first) == sizes.end()) {
        sizes.push_back(entry.first);
      }
    }
  }
  std::sort(sizes.begin(), sizes.end());
  for (int n : sizes) std::cout << Pad("n=" + std::to_string(n), 10);
  std::cout << Pad("ns/step", 9) << Pad("calls/step", 11) << Pad("allocs/step", 12)
            << "instructions/step (core, all)\n";
  struct Case {
    const char* op;
    const char* label;
  };
  for (const Case& c : {Case{"WindowAtPoint", "  WindowAtPoint, n following siblings"},
                        Case{"FindVisibleWindowOfProcess", "  FindVisibleWindowOfProcess, n windows above"},
                        Case{"FindProcessIdByName", "  FindProcessIdByName, n processes before"}}) {
    if (!g_scaling.count(c.op)) continue;
    const auto& cases = g_scaling[c.op];
    std::cout << Pad(c.label, 50);
    for (int n : sizes) {
      std::cout << Pad(cases.count(n) ? Fixed(cases.at(n).ns / 1000.0, 2) : "-", 10);
    }
    const int big = cases.rbegin()->first, small = cases.begin()->first;
    const Scaling& b = cases.rbegin()->second;
    const Scaling& a = cases.begin()->second;
    const double steps = big - small;
    std::cout << Pad(Fixed(b.ns / big, 2), 9) << Pad(Fixed((b.calls - a.calls) / steps, 1), 11)
              << Pad(Fixed((b.allocs - a.allocs) / steps, 1), 12);
    if (g_callgrind.count(c.op) && g_callgrind[c.op].count(1000) && g_callgrind[c.op].count(10000)) {
      const auto x = g_callgrind[c.op].at(1000), y = g_callgrind[c.op].at(10000);
      std::cout << Fixed((y.second - x.second) / 9000.0, 1) << ", " << Fixed((y.first - x.first) / 9000.0, 1);
    }
    std::cout << "\n";
    if (std::string(c.op) != "FindProcessIdByName" && cases.count(1000) && cases.count(10000)) {
      scaled = true;
      const double growth = (cases.at(10000).ns / 10000.0) / (cases.at(1000).ns / 1000.0);
      linear = linear && growth < 1.5 && growth > 0.5;
      for (const auto& entry : cases) noAllocation = noAllocation && entry.second.allocs == 0;
    }
  }
  if (g_scaling.count("CursorProbe")) {
    const Scaling& p = g_scaling["CursorProbe"].begin()->second;
    std::cout << Pad("  CursorProbe, one tick", 50) << Fixed(p.ns / 1000.0, 2) << " us, "
              << Fixed(p.calls, 0) << " platform calls, " << Fixed(p.allocs, 0) << " allocations\n";
  }
  std::cout << "\n";
  if (scaled) {
    AddGoal("window searches grow linearly, no allocation per candidate", linear && noAllocation,
            std::string(linear ? "linear" : "NOT linear") + ", " +
                (noAllocation ? "0 allocations per call" : "allocates"));
  }

  // 6 footprint
  auto size = [](const char* what) {
    return g_sizes.count(what) ? Fixed(g_sizes[what], 0) + " B (" + Fixed(g_sizes[what] / 1024.0, 0) + " KiB)"
                               : std::string("-");
  };
  Row("6 Exe size, 32-bit (shipped)", size("tool32"), size("floor32"),
      g_sizes.count("tool32") && g_sizes.count("floor32") ? Fixed(g_sizes["tool32"] / g_sizes["floor32"], 2) + "x" : "-");
  Row("6 Exe size, 32-bit, symbols stripped", size("tool32_stripped"), size("floor32_stripped"), "");
  Row("6 Exe size, 64-bit (run here)", size("tool64"), size("floor64"), "");
  const Stats prT = S("private_kib", "tool"), prF = S("private_kib", "floor");
  const Stats wsT = S("workingset_kib", "tool"), wsF = S("workingset_kib", "floor");
  const Stats prD = S("private_kib", "dressed"), wsD = S("workingset_kib", "dressed");
  Row("6 Private memory after start-up (KiB)", Cell(prT, 0), Cell(prF, 0), Ratio(prT, prF));
  if (prD.n) Row("    floor wearing the tool's look", "", Cell(prD, 0), Ratio(prT, prD));
  Row("6 Working set after start-up (KiB)", Cell(wsT, 0), Cell(wsF, 0), Ratio(wsT, wsF));
  if (wsD.n) Row("    floor wearing the tool's look", "", Cell(wsD, 0), Ratio(wsT, wsD));
  if (g_sizes.count("tool32")) {
    AddGoal("exe <= 256 KiB (the shipped 32-bit exe)", g_sizes["tool32"] <= 256 * 1024,
            Fixed(g_sizes["tool32"] / 1024.0, 0) + " KiB" +
                (g_sizes.count("tool32_stripped")
                     ? "; " + Fixed(g_sizes["tool32_stripped"] / 1024.0, 0) + " KiB stripped"
                     : std::string()));
  }
  if (prT.n && prF.n) {
    AddGoal("private memory <= 1.5x floor", prT.median <= 1.5 * prF.median,
            Ratio(prT, prF) + (prD.n ? "; " + Ratio(prT, prD) +
                                           " the floor wearing the tool's look (common controls "
                                           "6, status bar, fonts, icon)"
                                     : std::string()));
  }

  std::cout << "\nGoals\n";
  for (const Goal& g : g_goals) {
    const char* state = g.state == 1 ? "holds " : g.state == 0 ? "MISSED" : "n/a   ";
    std::cout << "  " << state << "  " << g.text << ": " << g.detail << "\n";
  }
  if (!g_walks.empty()) {
    std::cout << "\nThe platform's window walk\n";
    for (const std::string& w : g_walks) std::cout << "  " << w << "\n";
  }
  if (!g_info.empty()) {
    std::cout << "\nNotes\n";
    for (const std::string& i : g_info) std::cout << "  " << i << "\n";
  }
  if (!g_errors.empty()) {
    std::cout << "\nFigures that could not be had\n";
    for (const std::string& e : g_errors) std::cout << "  " << e << "\n";
  }
  return 0;
}
