#include "platform/qt/QtShell.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace tryster::platform {
namespace {

TEST(QtShell, AddressesPassAsTheyAreAndNothingOpensNothing) {
    EXPECT_EQ(QtShell::urlFor("http://example.org/dates?x=1"), QUrl("http://example.org/dates?x=1"));
    EXPECT_EQ(QtShell::urlFor("mailto:someone@example.org").scheme(), "mailto");
    EXPECT_FALSE(QtShell::urlFor("").isValid());
}

TEST(QtShell, FilesAreResolvedLikeEveryProgramPath) {
    test::TempDir dir;
    std::string real = dir.write("Docs/ReadMe.TXT", "hello");
    QUrl url = QtShell::urlFor(dir.str() + "\\docs\\readme.txt");
    EXPECT_TRUE(url.isLocalFile());
    EXPECT_EQ(url.toLocalFile().toStdString(), real);
}

}  // namespace
}  // namespace tryster::platform
