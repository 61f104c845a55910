#include "framework/core/RuntimeRandom.h"
#include "game/board/field/CGameField.h"

#include <benchmark/benchmark.h>

namespace {

// The scored choice of the shift direction simulates a field step in all four
// directions; it runs once per field step, inside one 10 ms update.
void BM_ScoredShiftChoice(benchmark::State& state)
{
    CGameField field;
    BlockShape shape;
    shape.mWidth = 64;
    shape.mHeight = 40;
    shape.mSideHeight = 8;
    shape.mHIndent = 24;
    shape.mVIndent = 12;
    field.SetBlockShape(shape);
    field.Grid().SetColourCount(5);
    field.SetReservedColour(4);
    field.Grid().SetMatchCount(3);
    CGridParameters rules;
    rules.mBlockTypes = 4;
    rules.mMinGroups = 2;
    rules.mMaxGroups = 6;
    rules.mSwitchSide = 6;
    field.Grid().SetParameters(rules);
    field.Build(10, 10);
    Lumo::SRand(1);
    CCellGrid& grid = field.Grid();
    for (int32_t cell = 0; cell < grid.CellCount(); ++cell)
        if (Lumo::Rand() % 4 != 0)
            grid.Cell(cell) = uint32_t(Lumo::Rand() % 4) << CCellGrid::kColourShift | CCellGrid::kOccupied;
    grid.Rebuild();
    field.SetExcludedCell(4, 4);
    for (auto _ : state) {
        grid.UpdateQueue();
        benchmark::DoNotOptimize(grid.Direction());
    }
}
BENCHMARK(BM_ScoredShiftChoice);

} // namespace

BENCHMARK_MAIN();
