#include "shell/ports.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// Where the shipped files and the personnel file are looked for: beside the
// program when it carries its files (a build folder, a copied program), else
// the installed data folder and the user's configuration folder.
TEST(InstalledAppFolder, ProgramFolderAndPersonnelFile) {
    struct Case {
        const char* name;
        bool shippedBeside;
        bool exeWritable;
        bool personnelBeside;
    };
    const Case cases[] = {
        {"build folder", true, true, true},
        {"installed program", false, true, false},
        {"read-only copy", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.exeWritable && ::geteuid() == 0) continue;  // root writes anywhere
        TempFolder temp;
        const fs::path bin = temp / "bin";
        const fs::path data = temp / "share" / "skyrell";
        const fs::path config = temp / "config" / "skyrell";
        fs::create_directories(bin);
        if (c.shippedBeside) fs::create_directories(bin / "help");
        if (!c.exeWritable) ::chmod(bin.c_str(), 0555);
        InstalledAppFolder folder(bin, data, config);

        EXPECT_EQ(folder.ProgramFolder(), c.shippedBeside ? bin : data);
        EXPECT_EQ(folder.PersonnelFile(), (c.personnelBeside ? bin : config) / "user.txt");
        EXPECT_EQ(fs::is_directory(config), !c.personnelBeside);
        ::chmod(bin.c_str(), 0755);
    }
}

// The default data folder sits beside the bin folder, wherever it is installed.
TEST(InstalledAppFolder, DefaultDataFolderFollowsTheProgram) {
    TempFolder temp;
    fs::create_directories(temp / "opt" / "bin");
    EXPECT_EQ(InstalledAppFolder(temp / "opt" / "bin").ProgramFolder(),
              temp / "opt" / "share" / "skyrell");
}

}  // namespace
}  // namespace skyrell
