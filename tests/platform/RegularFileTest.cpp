#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "TempDir.h"
#include "atomicfile.h"
#include "regularfile.h"
#include "uniquefile.h"

TEST(RegularFile, OnlyRegularFilesOpenAndNothingWaits)
{
    CTempDir dir;
    const std::string sFile = dir.File("plain");
    ASSERT_TRUE(WriteFileText(sFile, "content"));
    const std::string sPipe = dir.File("pipe");
    ASSERT_EQ(mkfifo(sPipe.c_str(), 0600), 0);
    const std::string sSocket = dir.File("socket");
    const int nSocket = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, sSocket.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const int fd = OpenRegularFile(sFile.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    // The descriptor reads as a plain open's would.
    EXPECT_EQ(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    close(fd);
    EXPECT_TRUE(IsRegularFileAt(sFile.c_str()));

    struct Refused {
        std::string sPath;
        int nErrno;
    };
    for (const Refused& refused : {Refused{sPipe, EINVAL}, Refused{"/dev/null", EINVAL}, Refused{dir.Path(), EISDIR}}) {
        for (int nFlags : {O_RDONLY, O_RDWR}) {
            errno = 0;
            EXPECT_EQ(OpenRegularFile(refused.sPath.c_str(), nFlags), -1) << refused.sPath << " " << nFlags;
            EXPECT_EQ(errno, refused.nErrno) << refused.sPath;
        }
        EXPECT_FALSE(CUniqueFile(refused.sPath.c_str(), "rb")) << refused.sPath;
        EXPECT_FALSE(CUniqueFile(refused.sPath.c_str(), "r+b")) << refused.sPath;
        EXPECT_FALSE(IsRegularFileAt(refused.sPath.c_str())) << refused.sPath;
        std::string sContent;
        bool bExists = false;
        EXPECT_FALSE(ReadWholeFile(refused.sPath, sContent, bExists)) << refused.sPath;
        EXPECT_TRUE(bExists) << refused.sPath;
    }
    EXPECT_EQ(OpenRegularFile(sSocket.c_str(), O_RDONLY), -1);  // a socket cannot even be opened
    close(nSocket);
    EXPECT_FALSE(IsRegularFileAt(sSocket.c_str()));
    errno = 0;
    EXPECT_EQ(OpenRegularFile(dir.File("missing").c_str(), O_RDONLY), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST(RegularFile, StreamModesCreateAndTruncateOnlyRegularFiles)
{
    CTempDir dir;
    const std::string sFile = dir.File("plain");
    ASSERT_TRUE(WriteFileText(sFile, "old content"));
    {
        CUniqueFile file(sFile.c_str(), "wb");
        ASSERT_TRUE(file);
        std::fputs("new", file.Get());
    }
    EXPECT_EQ(ReadFileText(sFile), "new");
    {
        CUniqueFile file(sFile.c_str(), "ab");
        ASSERT_TRUE(file);
        std::fputs("er", file.Get());
    }
    EXPECT_EQ(ReadFileText(sFile), "newer");
    const std::string sCreated = dir.File("created");
    EXPECT_TRUE(CUniqueFile(sCreated.c_str(), "w"));
    EXPECT_TRUE(FileExists(sCreated));
    // A pipe with a reader would take the bytes; it is refused all the same.
    const std::string sPipe = dir.File("pipe");
    ASSERT_EQ(mkfifo(sPipe.c_str(), 0600), 0);
    const int nReader = open(sPipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(nReader, 0);
    EXPECT_FALSE(CUniqueFile(sPipe.c_str(), "wb"));
    close(nReader);
    EXPECT_EQ(OpenRegularStream(sFile.c_str(), "q"), nullptr);
}
