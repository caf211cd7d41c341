#include "check/manual_check.h"

#include <gtest/gtest.h>

#include "check/sortie_fixture.h"
#include "shell/text.h"

namespace skyrell {
namespace {

using Outcome = RoughPositionLookup::Outcome;
using testing::ResultsRow;
using testing::SortieFixture;

TEST(ManualCheck, PrickedPhotoIsFoundByItsFirstFiveCharacters) {
    const std::vector<std::string> photos = {"P00012_IMG_1.jpg", "P0001_IMG_0286.jpg",
                                             "P0012_IMG_0301.jpg", "P012_IMG_0302.jpg",
                                             "点0001_IMG_7.jpg"};
    struct Case {
        const char* name;
        const char* photo;  // empty: none
    };
    for (const Case& c :
         {Case{"P0001", "P00012_IMG_1.jpg"}, Case{"P0012", "P0012_IMG_0301.jpg"}, Case{"P012", ""},
          Case{"p0012", ""}, Case{"点0001", "点0001_IMG_7.jpg"}, Case{"", ""}}) {
        const auto found = FindPrickedPhoto(photos, c.name);
        EXPECT_EQ(found.value_or(""), c.photo) << c.name;
    }
}

TEST(ManualCheck, RoughPositionOfTheFirstRowOfThePoint) {
    SortieFixture fixture;
    EXPECT_EQ(LookUpRoughPosition(fixture.sortie, "P0001").outcome, Outcome::NoTable);
    fixture.Results({testing::kResultsHeader, ResultsRow("p0001", "1.0N", "2.0E"),
                     ResultsRow("P0001", "30.1536N", "120.3E"),
                     ResultsRow("P0001", "1.0N", "2.0E")});
    const auto found = LookUpRoughPosition(fixture.sortie, "P0001");
    ASSERT_EQ(found.outcome, Outcome::Found);
    EXPECT_EQ(GeneralNumberText(found.position.latitude), "30.26");
    EXPECT_EQ(GeneralNumberText(found.position.longitude), "120.5");
    EXPECT_EQ(LookUpRoughPosition(fixture.sortie, "P0002").outcome, Outcome::NoCoordinates);
    // Six fields are enough.
    fixture.Results({"P0002,1,2,3,30:15:36N,120:30:00E"});
    EXPECT_EQ(LookUpRoughPosition(fixture.sortie, "P0002").outcome, Outcome::Found);
}

}  // namespace
}  // namespace skyrell
