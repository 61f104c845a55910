#include "tests/game/board/field/FieldPicture.h"

#include "game/data/animation/CTrackBase.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <set>

namespace BoardTest {

BlockShape SampleShape()
{
    BlockShape shape;
    shape.mWidth = 64;
    shape.mHeight = 40;
    shape.mSideHeight = 8;
    shape.mHIndent = 24;
    shape.mVIndent = 12;
    shape.mHSpacing = 2.0f;
    shape.mVSpacing = 2.0f;
    return shape;
}

void SetCells(CGameField& field, const std::vector<std::string>& rows)
{
    const int32_t h = int32_t(rows.size());
    const int32_t w = int32_t(rows.front().size());
    field.Build(w, h);
    CCellGrid& grid = field.Grid();
    for (int32_t row = 0; row < h; ++row)
        for (int32_t column = 0; column < w; ++column) {
            const char c = rows[size_t(row)][size_t(column)];
            const int32_t colour = c >= 'a' ? c - 'a' + 10 : c - '0';
            grid.Cell(row * w + column) =
                c == '.' ? 0u : (uint32_t(colour) << CCellGrid::kColourShift) | CCellGrid::kOccupied;
        }
    grid.Rebuild();
    grid.CountColours();
}

std::vector<std::string> Picture(const CCellGrid& grid)
{
    std::vector<std::string> rows;
    for (int32_t row = 0; row < grid.Height(); ++row) {
        std::string line;
        for (int32_t column = 0; column < grid.Width(); ++column) {
            const uint32_t word = grid.Cell(column, row);
            const int32_t colour = CCellGrid::ColourOf(word);
            line += !CCellGrid::IsOccupied(word) ? '.' : char(colour < 10 ? '0' + colour : 'a' + colour - 10);
        }
        rows.push_back(line);
    }
    return rows;
}

bool LoadSampleControllers(CGameField& field, CTrackBase& tracks, CCurveBase& curves, const std::string& text)
{
    TiXmlDocument document;
    document.Parse("<root><q_up speed=\"0.03\"><x src=\"0 1\"/></q_up>"
                   "<q_down speed=\"0.03\"><x src=\"0 1\"/></q_down></root>");
    tracks.LoadFromXml(document.RootElement(), curves);
    TiXmlDocument element;
    element.Parse(text.c_str());
    return field.LoadQueueControllers(element.RootElement(), tracks);
}

void PrepareField(CGameField& field, const CGridParameters& parameters)
{
    field.SetBlockShape(SampleShape());
    field.Grid().SetColourCount(5);
    field.SetReservedColour(4);
    field.Grid().SetMatchCount(3);
    ASSERT_TRUE(field.Grid().SetParameters(parameters));
}

void ExpectGroupsAreRegions(const CCellGrid& grid, int32_t reserved, const std::string& context)
{
    SCOPED_TRACE(context);
    const int32_t w = grid.Width();
    const int32_t h = grid.Height();
    std::vector<bool> seen(size_t(w * h), false);
    std::set<int32_t> ids;
    int32_t matchedGroups = 0;
    int32_t matchedBlocks = 0;
    for (int32_t start = 0; start < w * h; ++start) {
        if (seen[size_t(start)] || !CCellGrid::IsOccupied(grid.Cell(start)))
            continue;
        const int32_t colour = CCellGrid::ColourOf(grid.Cell(start));
        std::vector<int32_t> region{start};
        seen[size_t(start)] = true;
        for (size_t i = 0; i < region.size(); ++i) {
            const int32_t c = region[i] % w;
            const int32_t r = region[i] / w;
            const int32_t next[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h)
                    continue;
                const int32_t cell = n[1] * w + n[0];
                const uint32_t word = grid.Cell(cell);
                if (!seen[size_t(cell)] && CCellGrid::IsOccupied(word) && CCellGrid::ColourOf(word) == colour) {
                    seen[size_t(cell)] = true;
                    region.push_back(cell);
                }
            }
        }
        const int32_t id = CCellGrid::GroupOf(grid.Cell(start));
        for (int32_t cell : region)
            ASSERT_EQ(CCellGrid::GroupOf(grid.Cell(cell)), id) << "cell " << cell;
        std::vector<int32_t> members = grid.Group(id).mMembers;
        std::sort(members.begin(), members.end());
        std::sort(region.begin(), region.end());
        ASSERT_EQ(members, region) << "group " << id;
        ASSERT_TRUE(ids.insert(id).second) << "group " << id << " labels two regions";
        if (int32_t(region.size()) >= grid.MatchCount()) {
            matchedBlocks += int32_t(region.size());
            if (colour != reserved)
                ++matchedGroups;
        }
    }
    for (int32_t id = 0; id < w * h; ++id) {
        if (!ids.count(id)) {
            ASSERT_EQ(grid.Group(id).Count(), 0) << "id " << id << " leaks";
        }
    }
    EXPECT_LT(ids.empty() ? -1 : *ids.rbegin(), grid.GroupIdCounter());
    EXPECT_EQ(grid.MatchedGroups(), matchedGroups);
    EXPECT_EQ(grid.MatchedBlocks(), matchedBlocks);
}

} // namespace BoardTest
