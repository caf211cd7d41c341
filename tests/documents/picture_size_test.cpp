// The size a sketch is shown at in a point record: 15 twips per pixel, scaled
// down, aspect kept, to the cell's 8022 twips when wider and to 8930 twips
// when taller (the A4 page body of 14570 twips less the other four rows'
// 4200 and an inch around the table), the other side rounded to the nearest
// twip.

#include <gtest/gtest.h>

#include "documents/rtf_document.h"
#include "support/image_engine_samples.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::MakeSampleJpeg;
using testing::ReadBytes;
using testing::TempFolder;

TEST(PictureSize, ScaledToTheCellWidthAndThePageHeightAndRounded) {
    const struct {
        int width, height;
        int goalWidth, goalHeight;
    } cases[] = {
        {534, 300, 8010, 4500},    // 12 twips narrower than the cell: as it is
        {535, 300, 8022, 4498},    // 3 twips wider: 4498.32
        {535, 397, 8022, 5953},    // 5952.77
        {1201, 7, 8022, 47},       // 46.76
        {300, 535, 4500, 8025},    // tall, but within the height limit
        {300, 595, 4500, 8925},    // 5 twips below the height limit
        {300, 596, 4495, 8930},    // 10 twips above it: 4494.97
        {1080, 2340, 4122, 8930},  // a phone screenshot: 4121.54, not 17380 tall
        {2000, 500, 8022, 2006},   // wide: 2005.5
        {1000, 1000, 8022, 8022},  // square: the width limit comes first
        {700, 779, 8022, 8927},    // both too large, the width binds: 8927.34
        {700, 780, 8014, 8930},    // both too large, the height binds: 8014.1
    };
    const auto templateFile = std::filesystem::path(SKYRELL_RESOURCES) / "点之记模板.doc";
    for (const auto& c : cases) {
        const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
        SCOPED_TRACE(size);
        TempFolder folder;
        MakeSampleJpeg(folder / "P1.jpg", c.width, c.height);
        RtfDocumentEngine engine;
        ASSERT_TRUE(engine.Open(templateFile));
        ASSERT_TRUE(engine.AddPicture(2, 2, folder / "P1.jpg"));
        ASSERT_TRUE(engine.SaveAs(folder / "P1.doc"));
        const std::string expected = "\\picw" + std::to_string(c.width) + "\\pich" +
                                     std::to_string(c.height) + "\\picwgoal" +
                                     std::to_string(c.goalWidth) + "\\pichgoal" +
                                     std::to_string(c.goalHeight) + "\r\n";
        EXPECT_NE(ReadBytes(folder / "P1.doc").find(expected), std::string::npos);
    }
}

}  // namespace
}  // namespace skyrell
