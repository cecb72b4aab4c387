// The about box: its texts, its look, and the link to the maker's site.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "app/maker.h"
#include "app/tfrm_about.h"
#include "tests/support/fake_shell_launcher.h"

namespace vintrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(TfrmAboutTest, ShowsTheProductTheNoticeAndTheLink) {
    FakeShellLauncher shell;
    TfrmAbout about(shell);
    EXPECT_EQ(about.windowTitle().toStdString(), "About");
    EXPECT_EQ(about.size(), QSize(365, 213));
    EXPECT_EQ(about.Label1->text().toStdString(), "Vintrel");
    EXPECT_EQ(about.Label3->text().toStdString(), kMakerUrl);
    EXPECT_TRUE(about.Label3->font().underline());
    EXPECT_TRUE(about.Label2->wordWrap());

    const QStringList paragraphs = about.Label2->text().split(QStringLiteral("\n\n"));
    ASSERT_EQ(paragraphs.size(), 3);
    EXPECT_TRUE(paragraphs[0].contains(QString::fromUtf8(kMakerDomain)));
    EXPECT_TRUE(paragraphs[1].contains(QStringLiteral("daylight-saving")));
    EXPECT_EQ(paragraphs[2].toStdString(),
              "Please help support our efforts by visiting regularly.");
}

// Clipped texts: the notice's last paragraph, the tops of the product's name.
TEST(TfrmAboutTest, TextsFitTheirLabels) {
    FakeShellLauncher shell;
    TfrmAbout about(shell);
    const QLabel& notice = *about.Label2;
    EXPECT_LE(notice.heightForWidth(notice.width()), notice.height());
    const QLabel& name = *about.Label1;
    EXPECT_LE(name.fontMetrics().height(), name.height());
    EXPECT_LE(name.geometry().bottom(), notice.geometry().top());
    const QLabel& link = *about.Label3;
    EXPECT_LE(link.fontMetrics().horizontalAdvance(link.text()), link.width());
}

TEST(TfrmAboutTest, LinkOpensTheMakersSiteOnALeftClickOnly) {
    FakeShellLauncher shell;
    TfrmAbout about(shell);
    about.show();
    QTest::mouseClick(about.Label3, Qt::RightButton);
    EXPECT_THAT(shell.opened, IsEmpty());
    QTest::mouseClick(about.Label3, Qt::LeftButton);
    EXPECT_THAT(shell.opened, ElementsAre(std::string("url ") + kMakerUrl));
    about.hide();
}

}  // namespace
}  // namespace vintrel::testing
