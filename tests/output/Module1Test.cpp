#include "output/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using zebrix::Module1;

TEST(Module1, AddBackslashEndsThePathWithOneSeparator)
{
    EXPECT_EQ(Module1::AddBackslash(""), "/");
    EXPECT_EQ(Module1::AddBackslash("/home/anna"), "/home/anna/");
    EXPECT_EQ(Module1::AddBackslash("/home/anna/"), "/home/anna/");
    EXPECT_EQ(Module1::AddBackslash("/"), "/");
    EXPECT_EQ(Module1::AddBackslash("dossier\\"), "dossier\\/"); // only "/" separates folders here
    const QString path = "/tmp";
    Module1::AddBackslash(path);
    EXPECT_EQ(path, "/tmp");
}

class FileExistsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"code.bmp", "CODE.JPG", ".hidden.bmp", "[a].bmp", "ro.bmp"})
            touch(name);
        QFile::setPermissions(path("ro.bmp"), QFileDevice::ReadOwner | QFileDevice::ReadUser);
        QDir(dir.path()).mkdir("folder.bmp");
        QFile::link(path("code.bmp"), path("link.bmp"));
        QFile::link(path("nowhere.bmp"), path("broken.bmp"));
    }
    void touch(const QString& name)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(FileExistsTest, PlainFilesOnly)
{
    EXPECT_TRUE(Module1::FileExists(path("code.bmp")));
    EXPECT_TRUE(Module1::FileExists(path("ro.bmp")));       // read-only files count
    EXPECT_TRUE(Module1::FileExists(path("link.bmp")));     // a link to a file is that file
    EXPECT_TRUE(Module1::FileExists(path("[a].bmp")));      // brackets are plain characters
    EXPECT_FALSE(Module1::FileExists(path("folder.bmp")));  // folders never
    EXPECT_FALSE(Module1::FileExists(path(".hidden.bmp"))); // hidden files never
    EXPECT_FALSE(Module1::FileExists(path("broken.bmp")));
    EXPECT_FALSE(Module1::FileExists(path("missing.bmp")));
    EXPECT_FALSE(Module1::FileExists(path("code.BMP"))); // names are case-sensitive here
    EXPECT_FALSE(Module1::FileExists(dir.path() + "/"));
    EXPECT_FALSE(Module1::FileExists(""));
    EXPECT_FALSE(Module1::FileExists(path("code.bmp/x")));
}

TEST_F(FileExistsTest, WildcardsInTheName)
{
    EXPECT_TRUE(Module1::FileExists(path("*.bmp")));
    EXPECT_TRUE(Module1::FileExists(path("c?de.*")));
    EXPECT_TRUE(Module1::FileExists(path("*.JPG")));
    EXPECT_TRUE(Module1::FileExists(path("[?].bmp")));
    EXPECT_FALSE(Module1::FileExists(path("*.jpg")));
    EXPECT_FALSE(Module1::FileExists(path("*hidden*"))); // only the hidden file has that
    EXPECT_FALSE(Module1::FileExists(path("folder.*"))); // only the folder has that
    EXPECT_FALSE(Module1::FileExists(path("?.bmp")));
}
