#include "project/personnel.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(Personnel, NamesAreStoredTrimmedOnOneGbkLine) {
    TempFolder temp;
    const auto file = temp / "user.txt";
    ASSERT_TRUE(WritePersonnel(file, {"  张三 ", "op2", " op 3  "}));
    EXPECT_EQ(ReadBytes(file), "\xD5\xC5\xC8\xFD,op2,op 3\r\n");
    ASSERT_TRUE(WritePersonnel(file, {"", "", ""}));
    EXPECT_EQ(ReadBytes(file), ",,\r\n");
}

TEST(Personnel, ReadTakesTheFirstLineAndLeavesMissingNamesEmpty) {
    struct Case {
        const char* bytes;
        PersonnelNames names;
    };
    const Case cases[] = {
        {"op1,op2,op3\r\nx,y,z\r\n", {"op1", "op2", "op3"}},
        {"op1,op2", {"op1", "op2", ""}},
        {"op1\n", {"op1", "", ""}},
        {"", {"", "", ""}},
        {"a,b,c,d\r\n", {"a", "b", "c"}},
        {"\xD5\xC5\xC8\xFD,,c\r\n", {"张三", "", "c"}},
    };
    for (const auto& c : cases) {
        TempFolder temp;
        WriteBytes(temp / "user.txt", c.bytes);
        const auto names = ReadPersonnel(temp / "user.txt");
        ASSERT_TRUE(names) << c.bytes;
        EXPECT_EQ(*names, c.names) << c.bytes;
    }
    TempFolder empty;
    EXPECT_FALSE(ReadPersonnel(empty / "user.txt"));
}

TEST(Personnel, AFailedWriteNamesTheFileAndCharactersGbkCannotHoldAreRefused) {
    TempFolder temp;
    const auto missing = WritePersonnel(temp / "no-folder" / "user.txt", {"a", "b", "c"});
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.message().find("user.txt"), std::string::npos);
    WriteBytes(temp / "user.txt", "old\r\n");
    const auto refused = WritePersonnel(temp / "user.txt", {"a\xF0\x9F\x98\x80", "b", "c"});
    ASSERT_FALSE(refused);
    EXPECT_EQ(ReadBytes(temp / "user.txt"), "old\r\n");
}

}  // namespace
}  // namespace skyrell
