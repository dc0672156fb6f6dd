// The reader check of the main window over the real libpcsclite with no pcscd listening: the
// check names the missing service and says nothing about readers or cards.
#include "app/tc_glow.h"
#include "smartcard/scard_error.h"
#include "smartcard/smartcardform.h"
#include "smartcard/winscard_api.h"
#include "tests/app/card_read_fixture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace apptest {
namespace {

using utility::MessageKind;

class NoServiceTest : public CardReadWindowTest {
protected:
    void SetUp() override
    {
        // The library looks for its socket once, at its first call; this executable makes
        // no call before this point, so it looks where no daemon ever listens.
        ASSERT_TRUE(nowhere_.isValid());
        qputenv("PCSCLITE_CSOCK_NAME", (nowhere_.path() + QStringLiteral("/pcscd.comm")).toUtf8());
        CardReadWindowTest::SetUp();
    }

    QTemporaryDir nowhere_;
};

TEST_F(NoServiceTest, ReaderCheckNamesTheMissingServiceAndNoCard)
{
    const smartcard::TSCardApi& api = smartcard::SCardApi();
    ASSERT_NE(api.SCardEstablishContext, nullptr) << "libpcsclite is not installed";
    SCARDCONTEXT context = 0;
    ASSERT_EQ(api.SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context), SCARD_E_NO_SERVICE);

    app::Tf_tcGlow window;
    const std::string expected = "Brak czytnika SCR3310 lub EZ100PU\n" + smartcard::SCardErrorText(SCARD_E_NO_SERVICE);
    EXPECT_FALSE(window.CheckReader());
    EXPECT_EQ(Cp(window.Memo1->toPlainText()), expected);
    EXPECT_EQ(Cp(window.Label35->text()), "");
    EXPECT_FALSE(window.ButWczytaj->isEnabled());
    EXPECT_EQ(smartcard::f_smartCard(), nullptr);

    // The button tries again, with the same outcome and still no box.
    window.BitBtnSprawdz->click();
    EXPECT_EQ(Cp(window.Memo1->toPlainText()), expected);
    EXPECT_EQ(Cp(window.Label35->text()), "");
    EXPECT_EQ(Cp(window.Label4->text()), "");
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Error), std::vector<std::string>{});
    EXPECT_TRUE(window.isEnabled());
}

}  // namespace
}  // namespace apptest
