// One copy per user: a later copy asks the running one to show its window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <filesystem>
#include <functional>
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

// Binds a socket file at `path` that nobody listens on, as a crashed copy leaves.
void BindDeadSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = QFile::encodeName(path);
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

struct UntrustedRow {
    const char* fault;
    // Builds the case in `root` (the user's own, 0700) and gives the socket's path.
    std::function<QString(const QString& root)> make;
    const char* problem;
};

void PrintTo(const UntrustedRow& row, std::ostream* out) {
    *out << row.fault;
}

class UntrustedPlaceTest : public ::testing::TestWithParam<UntrustedRow> {};

// Someone else's socket or folder could answer in the running copy's place and
// keep this one from ever showing a window: it is reported, never used.
TEST_P(UntrustedPlaceTest, IsReportedAndLeftAlone) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to hand files to another user";
    const QString root = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/untrusted");
    std::filesystem::create_directories(root.toStdString());
    ::chmod(QFile::encodeName(root).constData(), 0700);
    const QString name = GetParam().make(root);
    const bool existed = QFileInfo(name).exists() || QFileInfo(name).isSymLink();
    SingleInstance copy(name);
    EXPECT_EQ(copy.start(), SingleInstance::Start::Failed);
    EXPECT_THAT(copy.error().toStdString(), ::testing::HasSubstr(GetParam().problem));
    EXPECT_EQ(QFileInfo(name).exists() || QFileInfo(name).isSymLink(), existed);
    std::filesystem::remove_all(root.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UntrustedPlaceTest,
    ::testing::Values(
        UntrustedRow{"FolderOfAnotherUser",
                     [](const QString& root) {
                         const QString folder = root + QStringLiteral("/other");
                         ::mkdir(QFile::encodeName(folder).constData(), 0700);
                         EXPECT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 0), 0);
                         return folder + QStringLiteral("/x.instance");
                     },
                     "belongs to user 65534"},
        UntrustedRow{"FolderOthersCanWrite",
                     [](const QString& root) {
                         const QString folder = root + QStringLiteral("/open");
                         ::mkdir(QFile::encodeName(folder).constData(), 0700);
                         ::chmod(QFile::encodeName(folder).constData(), 01777);
                         return folder + QStringLiteral("/x.instance");
                     },
                     "can be reached by other users (mode 1777)"},
        UntrustedRow{"FolderIsALink",
                     [](const QString& root) {
                         const QString folder = root + QStringLiteral("/real");
                         ::mkdir(QFile::encodeName(folder).constData(), 0700);
                         QFile::link(folder, root + QStringLiteral("/link"));
                         return root + QStringLiteral("/link/x.instance");
                     },
                     "/link is not a folder"},
        UntrustedRow{"SocketOfAnotherUser",
                     [](const QString& root) {
                         const QString name = root + QStringLiteral("/x.instance");
                         BindDeadSocket(name);
                         EXPECT_EQ(::lchown(QFile::encodeName(name).constData(), 65534, 0), 0);
                         return name;
                     },
                     "x.instance belongs to user 65534"},
        UntrustedRow{"FileInPlaceOfTheSocket",
                     [](const QString& root) {
                         const QString name = root + QStringLiteral("/x.instance");
                         QFile file(name);
                         EXPECT_TRUE(file.open(QIODevice::WriteOnly));
                         return name;
                     },
                     "x.instance is not a socket"}),
    [](const auto& info) { return std::string(info.param.fault); });

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

// Without a private runtime folder the socket goes to a folder of the user's
// own in the temporary folder, which nobody else may have made first.
TEST(SingleInstanceTest, WithoutAPrivateRuntimeFolderUsesAFolderOfItsOwn) {
    const QString temp = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/tmp");
    std::filesystem::create_directories(temp.toStdString());
    ::chmod(QFile::encodeName(temp).constData(), 01777);
    const ScopedVariable tmpdir("TMPDIR", QFile::encodeName(temp));
    const QString own = temp + QStringLiteral("/vintrel-%1").arg(getuid());
    for (const QByteArray& runtime : {QByteArray(), QFile::encodeName(temp)}) {
        const ScopedVariable variable("XDG_RUNTIME_DIR", runtime);
        QString error;
        EXPECT_EQ(SingleInstance::defaultServerName(&error),
                  own + QStringLiteral("/vintrel.instance"))
            << error.toStdString();
        EXPECT_EQ(QFileInfo(own).permissions(), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadUser |
                                                    QFile::WriteUser | QFile::ExeUser);
    }
    if (geteuid() == 0) {
        const ScopedVariable variable("XDG_RUNTIME_DIR", QByteArray());
        ASSERT_EQ(::chown(QFile::encodeName(own).constData(), 65534, 0), 0);
        QString error;
        EXPECT_EQ(SingleInstance::defaultServerName(&error), QString());
        EXPECT_THAT(error.toStdString(), ::testing::HasSubstr("belongs to user 65534"));
        SingleInstance copy;
        EXPECT_EQ(copy.start(), SingleInstance::Start::Failed);
        EXPECT_EQ(copy.error(), error);
    }
    std::filesystem::remove_all(temp.toStdString());
}

}  // namespace
}  // namespace vintrel::testing
