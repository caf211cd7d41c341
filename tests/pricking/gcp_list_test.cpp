// The GCP list: its lines, and its ground coordinates read back through PROJ.

#include "pricking/gcp_list.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <sstream>

#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;

const std::vector<ControlPoint> kPoints = {{"P0001", 30.5, 114.25, 60.125},
                                           {"p0002", 31.75, 116.9, -2.5}};

TEST(GcpList, LinesReadBackThroughProj) {
    struct Case {
        std::optional<GaussZone> zone;
        std::string projection;  // first line, or the refusal's beginning
        bool fails = false;
    };
    const Case cases[] = {
        {std::nullopt, "EPSG:4326"},
        {GaussZone{"2000", "3"},
         "+proj=tmerc +lat_0=0 +lon_0=114 +k=1 +x_0=500000 +y_0=0 "
         "+a=6378137 +b=6356752.31414 +units=m +no_defs"},
        // The 6-degree zone of the first point (114.25): central meridian 117.
        {GaussZone{"1954", "6"},
         "+proj=tmerc +lat_0=0 +lon_0=117 +k=1 +x_0=500000 +y_0=0 "
         "+a=6378245 +b=6356863.0188 +units=m +no_defs"},
        {GaussZone{"1999", "3"}, "未知的坐标系“1999”", true},
    };
    const std::vector<Pricking> prickings = {{"P0001", "IMG_0286.JPG", 1.5, 2.25, true},
                                             {"P0003", "IMG_0286.JPG", 9, 9, true},
                                             {"P0002", "DSC_1.jpg", 3000, 20.75, true},
                                             {"p0001", "DSC_1.jpg", 4, 5, false},
                                             {"P0003", "DSC_1.jpg", 9, 9, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.projection);
        const auto list = MakeGcpList(kPoints, prickings, c.zone);
        if (c.fails) {
            ASSERT_FALSE(list);
            EXPECT_EQ(list.status().message().rfind(c.projection, 0), 0u);
            continue;
        }
        ASSERT_TRUE(list) << list.status().message();
        EXPECT_EQ(list->unknownPoints, std::vector<std::string>{"P0003"});
        ASSERT_EQ(list->lines.size(), 4u);
        EXPECT_EQ(list->lines[0], c.projection);
        PJ* projection = c.zone ? proj_create(nullptr, list->lines[0].c_str()) : nullptr;
        const ControlPoint* expected[] = {&kPoints[0], &kPoints[1], &kPoints[0]};
        const std::string images[] = {"1.5 2.25 IMG_0286.JPG P0001", "3000 20.75 DSC_1.jpg P0002",
                                      "4 5 DSC_1.jpg p0001"};
        for (std::size_t i = 0; i < 3; ++i) {
            std::istringstream line(list->lines[i + 1]);
            double x = 0, y = 0, z = 0;
            line >> x >> y >> z;
            std::string rest;
            std::getline(line, rest);
            EXPECT_EQ(rest, " " + images[i]);
            EXPECT_EQ(z, expected[i]->height);
            const PJ_COORD geo =
                projection ? proj_trans(projection, PJ_INV, proj_coord(x, y, 0, 0)) : PJ_COORD{};
            const double longitude = projection ? proj_todeg(geo.lp.lam) : x;
            const double latitude = projection ? proj_todeg(geo.lp.phi) : y;
            // A millimetre is about 1e-8 degrees.
            EXPECT_NEAR(longitude, expected[i]->longitude, 2e-8) << list->lines[i + 1];
            EXPECT_NEAR(latitude, expected[i]->latitude, 2e-8) << list->lines[i + 1];
        }
        proj_destroy(projection);
    }
}

TEST(GcpList, WrittenWholeOrRefusedWithoutAFile) {
    testing::TempFolder folder;
    const fs::path sortie = folder / "第1架次", out = folder / "gcp_list.txt";
    fs::create_directories(sortie / "过程数据");
    // A blank in a photo name or a point name would split the line.
    for (const Pricking& blanked :
         {Pricking{"P0001", "IMG 1.jpg", 1, 2, true}, Pricking{"P 1", "IMG_1.jpg", 1, 2, true}}) {
        ASSERT_TRUE(WritePrickingRecord(sortie, {blanked}));
        const auto blank = WriteGcpList(sortie, kPoints, std::nullopt, out);
        EXPECT_TRUE(!blank && blank.status().message().find("含有空格") != std::string::npos);
        EXPECT_FALSE(fs::exists(out));
    }
    ASSERT_TRUE(WritePrickingRecord(sortie, {{"P0002", "IMG_1.jpg", 1, 2, true}}));
    ASSERT_TRUE(WriteGcpList(sortie, kPoints, std::nullopt, out));
    EXPECT_EQ(testing::ReadBytes(out), "EPSG:4326\n116.9 31.75 -2.5 1 2 IMG_1.jpg P0002\n");
}

}  // namespace
}  // namespace skyrell
