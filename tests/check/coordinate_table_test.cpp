#include "check/coordinate_table.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

TEST(CoordinateTable, ScanCountsNineFieldLinesAndKeepsEveryFirstField) {
    TempFolder folder;
    const auto table = folder / "t.csv";
    // LF-only and CR-only line ends read like CR LF.
    WriteBytes(table, "a,b,c,d,e,f,g,h,i\nP0001,1,2,3,4,5,6,1,\rP0002,1\r\n,1,2,3,4,5,6,7,8\r\n");
    auto scan = ScanCoordinateTable(table);
    ASSERT_TRUE(scan.ok());
    EXPECT_EQ(scan->nineFieldLines, 3);
    EXPECT_EQ(scan->firstFields, (std::unordered_set<std::string>{"a", "P0001", "P0002", ""}));
}

TEST(CoordinateTable, FindTakesTheFirstExactMatch) {
    TempFolder folder;
    const auto table = folder / "t.csv";
    WriteBytes(table, "p0001,lower\r\nP00011,longer\r\nP0001,first\r\nP0001,second\r\n");
    auto row = FindCoordinateRow(table, "P0001");
    ASSERT_TRUE(row.ok());
    ASSERT_TRUE(row->has_value());
    EXPECT_EQ((*row)->Items, (std::vector<std::string>{"P0001", "first"}));
    auto none = FindCoordinateRow(table, "P0002");
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none->has_value());
}

TEST(CoordinateTable, MissingFileFailsWithItsName) {
    TempFolder folder;
    auto row = FindCoordinateRow(folder / "none.csv", "P0001");
    ASSERT_FALSE(row.ok());
    EXPECT_NE(row.status().message().find("none.csv"), std::string::npos);
    EXPECT_FALSE(ScanCoordinateTable(folder / "none.csv").ok());
}

}  // namespace
}  // namespace skyrell
