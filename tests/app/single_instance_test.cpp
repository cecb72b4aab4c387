// One copy per user: a later copy asks the running one to show its window.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <cstring>
#include <thread>

#include "app/single_instance.h"

namespace vintrel::testing {
namespace {

/// Asks from another thread, as a second copy would from its own process,
/// while this thread's event loop lets the running copy answer. Returns what
/// the second copy was told.
bool AskFromASecondCopy(const QString& name) {
    QEventLoop loop;
    bool answered = false;
    std::thread second([&] {
        SingleInstance copy(name);
        answered = copy.askRunningCopyToShow();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    second.join();
    // Let the running copy read what is left of the request.
    QCoreApplication::processEvents();
    return answered;
}

QString SocketName(const char* name) {
    return qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + QLatin1String(name);
}

TEST(SingleInstanceTest, SocketLivesInTheRuntimeFolder) {
    EXPECT_EQ(SingleInstance::defaultServerName(), SocketName("vintrel.instance"));
}

TEST(SingleInstanceTest, SecondCopyAsksTheFirstToShowAndTheFirstListensOn) {
    const QString name = SocketName("show.instance");
    SingleInstance first(name);
    ASSERT_TRUE(first.listen()) << first.error().toStdString();
    int shows = 0;
    QObject::connect(&first, &SingleInstance::showRequested, [&] { ++shows; });

    EXPECT_TRUE(AskFromASecondCopy(name));
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(AskFromASecondCopy(name));
    EXPECT_EQ(shows, 2);
}

TEST(SingleInstanceTest, NobodyListeningMeansThisIsTheFirstCopy) {
    SingleInstance only(SocketName("alone.instance"));
    EXPECT_FALSE(only.askRunningCopyToShow());
}

// A copy that crashed leaves its socket file; the next copy takes it over.
TEST(SingleInstanceTest, StaleSocketIsTakenOver) {
    const QString name = SocketName("stale.instance");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(name);
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(name));

    SingleInstance next(name);
    EXPECT_FALSE(next.askRunningCopyToShow());
    ASSERT_TRUE(next.listen()) << next.error().toStdString();
    int shows = 0;
    QObject::connect(&next, &SingleInstance::showRequested, [&] { ++shows; });
    EXPECT_TRUE(AskFromASecondCopy(name));
    EXPECT_EQ(shows, 1);
}

// A running copy that is busy must not lose its socket to a newcomer.
TEST(SingleInstanceTest, LiveSocketIsNotTakenOver) {
    const QString name = SocketName("live.instance");
    SingleInstance first(name);
    ASSERT_TRUE(first.listen());
    SingleInstance intruder(name);
    EXPECT_FALSE(intruder.listen());
    int shows = 0;
    QObject::connect(&first, &SingleInstance::showRequested, [&] { ++shows; });
    EXPECT_TRUE(AskFromASecondCopy(name));
    EXPECT_EQ(shows, 1);
}

}  // namespace
}  // namespace vintrel::testing
