// Writing and reading the stream form of a settings-sized Cabinet (20 levels of about 40 values
// each, and a list of 1,000 stop words), and of Cabinets with up to 100,000 keys.
#include <benchmark/benchmark.h>

#include <string>

#include "host/base/atom_table.h"
#include "host/runtime/cabinet.h"
#include "host/runtime/cabinet_stream.h"

namespace {

using namespace sorvane;
using namespace sorvane::host;

std::unique_ptr<CabinetNode> makeSettings() {
  auto &atoms = AtomTable::instance();
  auto settings = std::make_unique<CabinetNode>();
  for (int level = 0; level < 20; ++level) {
    auto rule = std::make_unique<CabinetNode>();
    for (int i = 0; i < 10; ++i) {
      rule->put("Flag" + std::to_string(i), CabinetValue(std::in_place_type<bool>, i % 2 == 0));
      rule->put("Count" + std::to_string(i), CabinetValue(std::in_place_type<int32_t>, i * 7));
      rule->put("Size" + std::to_string(i), CabinetValue(std::in_place_type<double>, 0.1 * i));
      rule->put("Font" + std::to_string(i), atoms.intern("Helvetica-Bold" + std::to_string(i)));
    }
    rule->put("Pattern", std::make_unique<TextObject>("^Chapter [0-9]+\\s"));
    settings->put("Level" + std::to_string(level), std::move(rule));
  }
  auto words = std::make_unique<CabinetNode>();
  words->put("NumItems", CabinetValue(std::in_place_type<int32_t>, 1000));
  for (int i = 0; i < 1000; ++i)
    words->put(std::to_string(i), std::make_unique<TextObject>("stopword-" + std::to_string(i)));
  settings->put("StopWords", std::move(words));
  return settings;
}

void BM_WriteCabinetStream(benchmark::State &state) {
  auto settings = makeSettings();
  size_t bytes = 0;
  for (auto _ : state) {
    std::string text = writeCabinetStream(*settings, AtomTable::instance());
    bytes = text.size();
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_WriteCabinetStream);

void BM_ReadCabinetStream(benchmark::State &state) {
  const std::string text = writeCabinetStream(*makeSettings(), AtomTable::instance());
  for (auto _ : state) {
    auto cabinet = readCabinetStream(text, AtomTable::instance());
    benchmark::DoNotOptimize(cabinet);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ReadCabinetStream);

// One Cabinet of N keys, written and read: the time per key must not grow with N.
void BM_ManyKeysRoundTrip(benchmark::State &state) {
  CabinetNode flat;
  for (int64_t i = 0; i < state.range(0); ++i)
    flat.put("Key" + std::to_string(i), CabinetValue(std::in_place_type<int32_t>, int32_t(i)));
  for (auto _ : state) {
    auto back = readCabinetStream(writeCabinetStream(flat, AtomTable::instance()),
                                  AtomTable::instance());
    benchmark::DoNotOptimize(back);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ManyKeysRoundTrip)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
