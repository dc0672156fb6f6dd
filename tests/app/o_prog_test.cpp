#include "app/o_prog.h"

#include "app/maker.h"
#include "app/startup.h"
#include "app/tc_glow.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrlQuery>

#include <gtest/gtest.h>

using namespace app;
using utility::Pl;

namespace {

struct AboutState {
    bool nameLabel = false;
    bool versionLabel = false;
    bool version = false;
    bool memo = false;
    QString nameText;
    QString versionText;
    QString makerLabel;
    QString memoText;
    QSize size;
    Qt::ScrollBarPolicy memoScroll = Qt::ScrollBarAsNeeded;
};

// Shows the about box and reads what it shows.
AboutState Show(const std::string& name, const std::string& version, const std::string& text, bool author)
{
    AboutState state;
    testsupport::OnModalDialog([&](QDialog& dialog) {
        auto* box = qobject_cast<Tf_o_prog1*>(&dialog);
        ASSERT_NE(box, nullptr);
        state.nameLabel = box->Label9->isVisible();
        state.versionLabel = box->Label12->isVisible();
        state.version = box->l_wer->isVisible();
        state.memo = box->Memo1->isVisible();
        state.nameText = box->l_nazwa->toPlainText();
        state.versionText = box->l_wer->text();
        state.makerLabel = box->Label10->text();
        state.memoText = box->Memo1->toPlainText();
        state.size = box->size();
        state.memoScroll = box->Memo1->verticalScrollBarPolicy();
        dialog.accept();
    });
    ShowAboutBox(name, version, text, author);
    return state;
}

TEST(AboutBox, ShowsWhatItIsGiven)
{
    const std::string name = Pl(kApplicationTitle);
    struct Case {
        const char* what;
        std::string version;
        std::string text;
        bool author;
        bool versionShown;
        bool memoShown;
        int height;
        const char* maker;
    };
    const Case cases[] = {
        {"everything", "3.31", Pl("Wiersz 1\r\nWiersz 2"), false, true, true, 165 + 48, "Producent:"},
        {"no version", "", Pl("Wiersz 1"), false, false, true, 165 + 48, "Producent:"},
        {"no text", "3.31", "", false, true, false, 165, "Producent:"},
        {"neither", "", "", true, false, false, 165, "Autor:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const AboutState state = Show(name, c.version, c.text, c.author);
        EXPECT_TRUE(state.nameLabel);
        EXPECT_EQ(state.nameText, QString::fromUtf8(kApplicationTitle));
        EXPECT_EQ(state.versionLabel, c.versionShown);
        EXPECT_EQ(state.version, c.versionShown);
        if (c.versionShown) {
            EXPECT_EQ(state.versionText, utility::Cp1250ToQString(c.version));
        }
        EXPECT_EQ(state.memo, c.memoShown);
        EXPECT_EQ(state.memoText,
                  utility::Cp1250ToQString(c.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        EXPECT_EQ(state.size, QSize(569, c.height));
        EXPECT_EQ(state.makerLabel, QString::fromUtf8(c.maker));
    }
    EXPECT_FALSE(Show("", "1", "", false).nameLabel);
}

TEST(AboutBox, TheProgramsTextGetsAScrollBarBeyondFourLines)
{
    const AboutState about = Show(Pl(kApplicationTitle), kProgramVersion, AboutText(), false);
    EXPECT_EQ(about.memoText.count(QLatin1Char('\n')) + 1, 5);
    EXPECT_TRUE(about.memoText.contains(QString::fromUtf8(kMakerWebSite)));
    EXPECT_TRUE(about.memoText.contains(QStringLiteral("\"Trivandel\"")));
    EXPECT_EQ(about.memoScroll, Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Show("x", "1", Pl("a\r\nb\r\nc\r\nd"), false).memoScroll, Qt::ScrollBarAsNeeded);
}

TEST(AboutBox, EveryCaptionEndsBeforeItsValues)
{
    for (bool author : {false, true}) {
        SCOPED_TRACE(author);
        QRect panel;
        std::vector<std::pair<QRect, std::vector<QRect>>> rows;  // caption, its values
        testsupport::OnModalDialog([&](QDialog& dialog) {
            auto* box = qobject_cast<Tf_o_prog1*>(&dialog);
            ASSERT_NE(box, nullptr);
            panel = box->Panel2->rect();
            std::vector<QRect> contact;
            for (int number = 13; number <= 17; ++number)
                if (const auto* line = box->Panel2->findChild<QLabel*>(QStringLiteral("Label%1").arg(number)))
                    contact.push_back(line->geometry());
            EXPECT_EQ(contact.size(), 5u);
            contact.push_back(box->Label18->geometry());
            contact.push_back(box->Label19->geometry());
            rows = {{box->Label9->geometry(), {box->l_nazwa->geometry()}},
                    {box->Label12->geometry(), {box->l_wer->geometry()}},
                    {box->Label10->geometry(), contact}};
            dialog.accept();
        });
        ShowAboutBox(Pl(kApplicationTitle), kProgramVersion, AboutText(), author);
        ASSERT_EQ(rows.size(), 3u);
        for (const auto& [caption, values] : rows) {
            for (const QRect& value : values) {
                EXPECT_LT(caption.right(), value.left());
                EXPECT_LE(value.right(), panel.right());
            }
        }
    }
}

class AboutLinks : public apptest::MainWindowTest {};

TEST_F(AboutLinks, MailCarriesNameAndVersionAndTheWebLinkOpensTheShop)
{
    testsupport::OnModalDialog([&](QDialog& dialog) {
        auto* box = qobject_cast<Tf_o_prog1*>(&dialog);
        ASSERT_NE(box, nullptr);
        box->Label18->click();
        box->Label19->click();
        dialog.accept();
    });
    ShowAboutBox(Pl(kApplicationTitle), "3.31", AboutText(), false);
    ASSERT_EQ(shell_.urls.size(), 2u);
    const QUrl mail = shell_.urls[0];
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mail.path(), QString::fromUtf8(kMakerEmail));
    const QUrlQuery query(mail);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("Z programu ") + QString::fromUtf8(kApplicationTitle));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), QStringLiteral("\r\nwer.=3.31"));
    EXPECT_TRUE(mail.toEncoded().contains("body=%0D%0Awer."));
    EXPECT_EQ(shell_.urls[1], QUrl(QString::fromUtf8(kMakerShopWebSite)));
}

}  // namespace

namespace {

TEST_F(AboutLinks, TheMainWindowsMenuShowsTheProgramsAboutBox)
{
    app::Tf_tcGlow window;
    bool shown = false;
    testsupport::OnModalDialog([&](QDialog& dialog) {
        auto* box = qobject_cast<Tf_o_prog1*>(&dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->l_nazwa->toPlainText(), QString::fromUtf8(kApplicationTitle));
        EXPECT_EQ(box->l_wer->text(), QString::fromLatin1(kProgramVersion));
        EXPECT_EQ(box->Memo1->toPlainText(),
                  utility::Cp1250ToQString(AboutText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        EXPECT_EQ(box->Label10->text(), QStringLiteral("Producent:"));
        shown = true;
        dialog.accept();
    });
    window.Oprogramie1->trigger();
    EXPECT_TRUE(shown);
}

}  // namespace
