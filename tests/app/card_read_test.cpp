// The reader check and the card read of the main window over the in-process PC/SC service
// with an emulated driver card.
#include "app/tc_glow.h"
#include "smartcard/apdudemocard.h"
#include "smartcard/scard_error.h"
#include "smartcard/smartcardform.h"
#include "smartcard/winscard_api.h"
#include "tests/app/card_file_window_fixture.h"
#include "tests/app/card_read_fixture.h"
#include "tests/support/card_model.h"
#include "tests/support/card_model_pcsc.h"
#include "tests/support/download_commands.h"
#include "tests/support/vpcd_client.h"
#include "utility/cp1250.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>
#include <optional>

namespace apptest {
namespace {

using utility::MessageKind;
namespace fs = std::filesystem;

class CardReadTest : public CardReadWindowTest {
protected:
    CardReadTest() { fake.Install(); }

    std::vector<testsupport::Bytes> CommandsSent() const
    {
        std::vector<testsupport::Bytes> commands;
        for (const testsupport::ApduExchange& exchange : model.Log())
            commands.push_back(exchange.command);
        return commands;
    }
    // A card form whose component leaves inserted cards unconnected, as when it missed the
    // insertion.
    static void MissEveryInsertion()
    {
        smartcard::CreateSmartCardForm().APDUDemoCard1->OnAutoReset =
            [](smartcard::TAPDUDemoCard&, const std::string&, smartcard::TReaderStates, bool& shouldConnect) {
                shouldConnect = false;
            };
    }

    testsupport::FakePcsc fake;
    // The cards live as long as the fixture: TearDown still disconnects from the one inserted.
    testsupport::CardModel model{testsupport::MakeCardFiles(testsupport::LargestCard())};
    testsupport::CardModel smallest{testsupport::MakeCardFiles(testsupport::SmallestCard(), 3)};
};

TEST_F(CardReadTest, ReadButtonReadsTheCardSavesBothFilesAndShowsTheHolder)
{
    fake.Insert(model, testsupport::kRigReader);
    app::Tf_tcGlow window;
    ASSERT_TRUE(window.CheckReader());
    window.CurrentFileName = "/d/old.DDD";
    const ReadSnapshot during = ClickAndWatch([&] { window.ButWczytaj->click(); });

    ExpectCompleteRead(window, model.Files(), testsupport::kRigReader);
    EXPECT_EQ(CommandsSent(), testsupport::DownloadCommands(testsupport::LargestCard()));
    EXPECT_EQ(fs::file_size(FilesIn(window.DddFolder).at(0)), 26'336u);
    ASSERT_TRUE(during.seen);
    EXPECT_FALSE(during.windowEnabled);
    EXPECT_FALSE(during.readButtonEnabled);
    EXPECT_EQ(during.note, QString::fromUtf8("\n\nWczytywanie karty\nProszę czekać"));
    EXPECT_EQ(during.noteBack, QColor(255, 255, 0));
    EXPECT_EQ(during.noteText, QColor(0, 0, 0));
    EXPECT_EQ(during.progressCaption, QStringLiteral("Wczytywanie karty"));
}

TEST_F(CardReadTest, CheckReaderButtonReadsAtOnceWhenACardIsIn)
{
    fake.Insert(smallest, testsupport::kRigReader);
    app::Tf_tcGlow window;
    window.BitBtnSprawdz->click();
    ExpectCompleteRead(window, smallest.Files(), testsupport::kRigReader);
}

TEST_F(CardReadTest, ReadDriverCardTellsWhetherTheZoltFileWasWritten)
{
    fake.Insert(model, testsupport::kRigReader);
    app::Tf_tcGlow window;
    // No reader checked yet: nothing to read from, and no earlier card passes for this one.
    EXPECT_EQ(window.ReadDriverCard(), 1);
    EXPECT_EQ(Cp(window.Label4->text()), "Danych nie wczytano");
    EXPECT_TRUE(tacho::CardImage == tacho::CardImageData{});
    EXPECT_EQ(model.CommandCount(), 0u);

    ASSERT_TRUE(window.CheckReader());
    EXPECT_EQ(window.ReadDriverCard(), 0);
    EXPECT_EQ(FilesIn(window.ZoltFolder).size(), 1u);

    // A file where the ZOLT folder should be: the card was read, its ZOLT file was not written.
    ASSERT_TRUE(window.CheckReader());
    WriteFile(Path("plik"), Bytes{1});
    window.ZoltFolder = Path("plik/");
    EXPECT_EQ(window.ReadDriverCard(), 1);
    EXPECT_EQ(Cp(window.Label4->text()), "Dane wczytano");
    EXPECT_TRUE(tacho::CardImage == ExpectedCardOf(model.Files()).image);
}

TEST_F(CardReadTest, AZoltFileThatCannotBeWrittenStillShowsTheSavedCard)
{
    fake.Insert(model, testsupport::kRigReader);
    app::Tf_tcGlow window;
    // A file where the ZOLT folder should be.
    WriteFile(Path("plik"), Bytes{1});
    window.ZoltFolder = Path("plik/");
    window.BitBtnSprawdz->click();

    EXPECT_TRUE(Cp(window.Label7->toPlainText())
                    .starts_with(utility::Pl("! Danych z karty kierowcy nie zdołano zapisać na dysku. (")))
        << Cp(window.Label7->toPlainText());
    EXPECT_EQ(FilesIn(window.DddFolder).size(), 1u);
    EXPECT_EQ(Cp(window.Label4->text()), "Dane wczytano");
    EXPECT_EQ(Cp(window.LabelK[6]->text()), "4d. 75010112345");
    EXPECT_FALSE(window.BitBtnDruk1->isHidden());
    EXPECT_TRUE(window.isEnabled());
}

TEST_F(CardReadTest, CardTakenOutDuringTheReadLeavesNothingSaved)
{
    const std::size_t commands = testsupport::DownloadCommands(testsupport::LargestCard()).size();
    struct Case {
        const char* name;
        std::size_t lastAnswered;
        bool saved;
    };
    const Case cases[] = {
        {"after the two card-level files", 4, false},
        {"after the application select", 5, false},
        {"in the middle of the activity data", 60, false},
        {"before the last signature", commands - 2, false},
        // Only the repetition of the last signature command is lost: the card is whole.
        {"after the last signature", commands - 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes_.Clear();
        testsupport::CardModel card(testsupport::MakeCardFiles(testsupport::LargestCard()));
        card.RemoveAfter(c.lastAnswered);
        fake.Insert(card, testsupport::kRigReader);
        {
            app::Tf_tcGlow window;
            for (const fs::path& folder : {window.DddFolder, window.ZoltFolder})
                for (const fs::path& file : FilesIn(folder))
                    fs::remove(file);
            window.BitBtnSprawdz->click();
            if (c.saved)
                ExpectCompleteRead(window, card.Files(), testsupport::kRigReader);
            else
                ExpectNothingSaved(window);
        }
        smartcard::FreeSmartCardForm();
        fake.Remove(testsupport::kRigReader);
    }
}

TEST_F(CardReadTest, ReadConnectsACardWhoseInsertionWentUnnoticed)
{
    fake.Insert(model, testsupport::kRigReader);
    MissEveryInsertion();
    app::Tf_tcGlow window;
    ASSERT_TRUE(window.CheckReader());
    ASSERT_FALSE(smartcard::f_smartCard()->APDUDemoCard1->Connected());
    window.ButWczytaj->click();
    ExpectCompleteRead(window, model.Files(), testsupport::kRigReader);
}

TEST_F(CardReadTest, ACardThatCannotBeConnectedIsNotReadAndSaysWhy)
{
    model.OfferOnlyT1();
    fake.Insert(model, testsupport::kRigReader);
    MissEveryInsertion();
    app::Tf_tcGlow window;
    window.BitBtnSprawdz->click();
    ExpectNothingSaved(window);
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Error),
              (std::vector<std::string>{utility::Pl("Nie można połączyć się z kartą w czytniku:\r\n") +
                                        smartcard::SCardErrorText(SCARD_E_PROTO_MISMATCH)}));
    EXPECT_EQ(model.CommandCount(), 0u);
    EXPECT_TRUE(tacho::CardImage == tacho::CardImageData{});
    EXPECT_TRUE(tacho::SignatureArea == tacho::SignatureAreaData{});
}

LONG NoReaders(SCARDCONTEXT, LPCSTR, LPSTR, LPDWORD) { return SCARD_E_NO_READERS_AVAILABLE; }
LONG NoService(DWORD, LPCVOID, LPCVOID, LPSCARDCONTEXT) { return SCARD_E_NO_SERVICE; }
LONG ServiceGone(SCARDCONTEXT, DWORD, SCARD_READERSTATE*, DWORD) { return SCARD_E_NO_SERVICE; }
LONG NoGroups(SCARDCONTEXT, LPSTR, LPDWORD) { return SCARD_E_NO_SERVICE; }

TEST_F(CardReadTest, ReaderCheckTellsWhatItFound)
{
    enum class Form { Kept, Freed };
    struct Case {
        const char* name;
        bool card;
        void (*breakTable)(smartcard::TSCardApi&);
        std::string memo;
        std::string presence;
        bool ready;
        Form form;
        std::vector<std::string> errors;  // error boxes of the check
    };
    const std::string reader = testsupport::kRigReader;
    const std::string noService = smartcard::SCardErrorText(SCARD_E_NO_SERVICE);
    const Case cases[] = {
        {"a card in the reader",
         true,
         nullptr,
         "Czytnik:\n" + reader,
         utility::Pl("Karta włożona do czytnika"),
         true,
         Form::Kept,
         {}},
        {"an empty reader", false, nullptr, "Czytnik:\n" + reader, "Karta nieobecna w czytniku", false, Form::Kept, {}},
        // Nothing is said about a card when there is no reader to hold one.
        {"no reader at all",
         true,
         [](smartcard::TSCardApi& t) { t.SCardListReaders = NoReaders; },
         "Czytnik:\n(None)",
         "",
         false,
         Form::Kept,
         {utility::Pl("Błąd odnajdywania czytników:\r\n") + smartcard::SCardErrorText(SCARD_E_NO_READERS_AVAILABLE)}},
        // The cause is the context that could not be had, not a listing over no context.
        {"no smart-card service",
         true,
         [](smartcard::TSCardApi& t) { t.SCardEstablishContext = NoService; },
         "Brak czytnika SCR3310 lub EZ100PU\n" + noService,
         "",
         false,
         Form::Freed,
         {}},
        {"the reader's state cannot be read",
         true,
         [](smartcard::TSCardApi& t) { t.SCardGetStatusChange = ServiceGone; },
         "Brak czytnika SCR3310 lub EZ100PU\n" + noService,
         "",
         false,
         Form::Freed,
         {}},
        {"the card layer cannot start",
         true,
         [](smartcard::TSCardApi& t) { t.SCardListReaderGroups = NoGroups; },
         utility::Pl("Błąd inicjacji modułu czytającego"),
         "",
         false,
         Form::Freed,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes_.Clear();
        if (c.card)
            fake.Insert(model, testsupport::kRigReader);
        smartcard::TSCardApi table = fake.Table();
        if (c.breakTable)
            c.breakTable(table);
        std::optional<smartcard::TScopedSCardApi> broken;
        broken.emplace(table);
        {
            app::Tf_tcGlow window;
            // What an earlier card showed goes.
            window.LabelK[0]->setText(QStringLiteral("x"));
            window.Label11symbKraju->setText(QStringLiteral("FIN"));
            window.Label11krajGora->setText(QStringLiteral("FIN"));
            window.Label7->setPlainText(QStringLiteral("x"));
            window.SetPrintVisible(true);
            EXPECT_EQ(window.CheckReader(), c.ready);
            EXPECT_EQ(boxes_.TextsOf(MessageKind::Error), c.errors);
            EXPECT_EQ(Cp(window.Memo1->toPlainText()), c.memo);
            EXPECT_EQ(Cp(window.Label35->text()), c.presence);
            EXPECT_EQ(window.ButWczytaj->isEnabled(), c.ready);
            EXPECT_EQ(smartcard::f_smartCard() != nullptr, c.form == Form::Kept);
            EXPECT_EQ(Cp(window.LabelK[0]->text()), "");
            EXPECT_EQ(Cp(window.Label11symbKraju->text()), "");
            EXPECT_EQ(Cp(window.Label11krajGora->text()), "");
            EXPECT_EQ(Cp(window.Label7->toPlainText()), "");
            EXPECT_TRUE(window.BitBtnDruk1->isHidden());

            // The read button reads nothing without a card that answers.
            if (!c.ready) {
                window.ButWczytajClick();
                EXPECT_EQ(FilesIn(window.DddFolder), std::vector<fs::path>{});
                EXPECT_EQ(Cp(window.Label4->text()), "");
                EXPECT_TRUE(window.isEnabled());
            }
        }
        smartcard::FreeSmartCardForm();
        broken.reset();
        if (c.card)
            fake.Remove(testsupport::kRigReader);
    }
}

TEST_F(CardReadTest, AFailedCheckIsTriedAgainWithANewCardForm)
{
    fake.Insert(model, testsupport::kRigReader);
    app::Tf_tcGlow window;
    {
        smartcard::TSCardApi table = fake.Table();
        table.SCardGetStatusChange = ServiceGone;
        smartcard::TScopedSCardApi broken(table);
        EXPECT_FALSE(window.CheckReader());
        EXPECT_EQ(smartcard::f_smartCard(), nullptr);
    }
    window.BitBtnSprawdz->click();
    ExpectCompleteRead(window, model.Files(), testsupport::kRigReader);
}

}  // namespace
}  // namespace apptest
