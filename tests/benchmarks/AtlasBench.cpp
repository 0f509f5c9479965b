// bench_atlas: how long a program folder takes to build, the small fixture of a test and the
// full atlas of every build (both should stay well under a few seconds).
#include "AtlasBuilder.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void buildFolder(benchmark::State &state, atlas::Options::Size size, bool pictures) {
    atlas::Options options;
    options.size = size;
    options.withPictures = pictures;
    for (auto _ : state) {
        QTemporaryDir dir;
        atlas::buildProgramFolder(dir.path(), options);
    }
}

void BM_SmallFixture(benchmark::State &state) {
    buildFolder(state, atlas::Options::Size::Small, true);
}
void BM_SmallFixtureWithoutPictures(benchmark::State &state) {
    buildFolder(state, atlas::Options::Size::Small, false);
}
void BM_FullAtlas(benchmark::State &state) {
    buildFolder(state, atlas::Options::Size::Full, true);
}

BENCHMARK(BM_SmallFixture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallFixtureWithoutPictures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullAtlas)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
