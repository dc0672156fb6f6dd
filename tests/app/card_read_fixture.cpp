#include "tests/app/card_read_fixture.h"

#include "smartcard/apdudemocard.h"
#include "smartcard/hextext.h"
#include "smartcard/smartcardform.h"
#include "smartcard/zoltfile.h"
#include "tacho/ddd_file.h"
#include "tacho/ddd_writer.h"
#include "tacho/zolt.h"
#include "tests/app/card_file_window_fixture.h"
#include "tests/support/card_model.h"
#include "utility/cp1250.h"
#include "utility/paths.h"
#include "utility/stringi.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace apptest {

namespace fs = std::filesystem;
using utility::MessageKind;

ExpectedCard ExpectedCardOf(const testsupport::CardFiles& files)
{
    ExpectedCard card;
    for (const auto& [fid, body] : files) {
        // The read leaves the card download file's slot alone.
        if (fid == testsupport::kFidCardDownload)
            continue;
        const std::size_t slot = *tacho::EfSlotOf(fid);
        const tacho::EfSlot& ef = tacho::kEfSlots[slot];
        std::copy_n(body.begin(), std::min(body.size(), ef.size), card.image.begin() + ef.body);
        if (const std::optional<std::size_t> signature = tacho::SignatureSlotOfEf(slot)) {
            const Bytes bytes = testsupport::ExpectedSignature(fid, body);
            std::copy(bytes.begin(), bytes.end(), card.signatures.begin() + tacho::SignatureSlotOffset(*signature));
            card.signatures[tacho::SignatureValidityOffset(*signature)] = 1;
        }
    }
    return card;
}

std::string Cp(const QString& text) { return utility::QStringToCp1250(text); }

void CardReadWindowTest::SetUp()
{
    MainWindowTest::SetUp();
    // A read must not show what an earlier card left.
    tacho::CardImage.fill(0xA5);
    tacho::SignatureArea.fill(0xA5);
}

void CardReadWindowTest::TearDown()
{
    if (smartcard::Tf_smartCard* form = smartcard::f_smartCard())
        form->APDUDemoCard1->DisconnectQuietly(smartcard::diReset);
    smartcard::FreeSmartCardForm();
    tacho::CardImage = {};
    tacho::SignatureArea = {};
    MainWindowTest::TearDown();
}

std::vector<fs::path> CardReadWindowTest::FilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

ReadSnapshot CardReadWindowTest::ClickAndWatch(const std::function<void()>& click)
{
    ReadSnapshot snapshot;
    bool clicking = true;
    // Destroyed on return, taking a look that did not come in time with it.
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        if (!clicking)
            return;
        snapshot.seen = true;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<app::Tf_tcGlow*>(top)) {
                snapshot.windowEnabled = window->isEnabled();
                snapshot.readButtonEnabled = window->ButWczytaj->isEnabled();
            } else if (top->objectName() == "Tf_noModal" && top->isVisible()) {
                const auto* memo = top->findChild<QTextEdit*>(QStringLiteral("Memo1"));
                snapshot.note = memo->toPlainText();
                snapshot.noteBack = memo->palette().color(QPalette::Base);
                snapshot.noteText = memo->palette().color(QPalette::Text);
            } else if (top->objectName() == "Tf_progres" && top->isVisible()) {
                snapshot.progressCaption = top->windowTitle();
            }
        }
    });
    click();
    clicking = false;
    return snapshot;
}

namespace {

// Neither the waiting note nor a progress window is left open.
void ExpectNoReadWindowsLeft()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(top->objectName() == "Tf_noModal") << "the waiting note is still there";
        EXPECT_FALSE(top->objectName() == "Tf_progres" && top->isVisible()) << "a progress window is still open";
    }
}

}  // namespace

void CardReadWindowTest::ExpectCompleteRead(const app::Tf_tcGlow& window, const testsupport::CardFiles& files,
                                            const std::string& reader)
{
    const ExpectedCard expected = ExpectedCardOf(files);
    EXPECT_TRUE(tacho::CardImage == expected.image) << "card image";
    EXPECT_TRUE(tacho::SignatureArea == expected.signatures) << "signature area";

    // The card download file, byte for byte, under the standard name.
    const std::vector<fs::path> ddd = FilesIn(window.DddFolder);
    ASSERT_EQ(ddd.size(), 1u);
    tacho::ByteBuffer dddBytes;
    std::string error;
    ASSERT_TRUE(tacho::BuildDddFileBytes(expected.image, expected.signatures, dddBytes, error)) << error;
    EXPECT_TRUE(ReadFile(ddd[0]) == dddBytes) << ddd[0];
    const std::string dddName = utility::PathToCp1250(ddd[0]);
    // Holder and last activity, then the time of the save (14 digits) and ".DDD".
    const std::string standard = tacho::DddFileName(expected.image, 0.0);
    const std::string fileName = utility::Utf8ToCp1250(ddd[0].filename().string());
    EXPECT_EQ(fileName.size(), standard.size()) << fileName;
    EXPECT_EQ(fileName.substr(0, standard.size() - 18), standard.substr(0, standard.size() - 18));
    EXPECT_TRUE(fileName.ends_with(".DDD")) << fileName;

    // The ZOLT file, named after the holder.
    const std::vector<fs::path> zolt = FilesIn(window.ZoltFolder);
    ASSERT_EQ(zolt.size(), 1u);
    const std::string zoltName = utility::PathToCp1250(zolt[0]);
    const Bytes written = ReadFile(zolt[0]);
    ASSERT_EQ(written.size(), tacho::kCardImageD7Size) << zoltName;
    tacho::CardImageD7 record{};
    std::copy(written.begin(), written.end(), record.begin());
    tacho::CardImageData back{};
    tacho::CardImageFromD7(record, back);
    EXPECT_TRUE(back == expected.image) << zoltName;
    const std::string holder = std::string("_") + utility::TrimBoth(tacho::CardHolderPesel(expected.image)) +
                               tacho::CardHolderSurname(expected.image).substr(0, 10) +
                               tacho::CardHolderFirstNames(expected.image).substr(0, 1) + ".zolt";
    EXPECT_TRUE(zoltName.ends_with(holder)) << zoltName << " does not end in " << holder;

    EXPECT_EQ(Cp(window.Label4->text()), "Dane wczytano");
    EXPECT_EQ(Cp(window.Label7->toPlainText()), utility::Pl("Dane z karty kierowcy zapisano w pliku ") + zoltName);
    EXPECT_EQ(Cp(window.Memo1->toPlainText()), "Czytnik:\n" + reader);
    EXPECT_EQ(Cp(window.Label35->text()), utility::Pl("Karta włożona do czytnika"));
    const testsupport::Bytes& atr = testsupport::AtrT0();
    EXPECT_EQ(window.AtrText, smartcard::BytesToHex(atr.data(), static_cast<int>(atr.size())));
    EXPECT_EQ(window.CurrentFileName, "");

    // The card holder summary.
    EXPECT_EQ(Cp(window.LabelK[0]->text()), " 1. " + tacho::CardHolderSurname(expected.image));
    EXPECT_EQ(Cp(window.LabelK[6]->text()), "4d. " + utility::TrimBoth(tacho::CardHolderPesel(expected.image)));
    EXPECT_FALSE(window.BitBtnDruk1->isHidden());

    EXPECT_EQ(boxes_.TextsOf(MessageKind::Information),
              (std::vector<std::string>{utility::Pl("Dane z karty zapisano w pliku\r\n") + dddName}));
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Error), std::vector<std::string>{});
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Warning), std::vector<std::string>{});
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.ButWczytaj->isEnabled());
    ExpectNoReadWindowsLeft();
}

void CardReadWindowTest::ExpectNothingSaved(const app::Tf_tcGlow& window)
{
    EXPECT_EQ(FilesIn(window.DddFolder), std::vector<fs::path>{});
    EXPECT_EQ(FilesIn(window.ZoltFolder), std::vector<fs::path>{});
    EXPECT_EQ(Cp(window.Label4->text()), "Danych nie wczytano");
    EXPECT_EQ(Cp(window.Label7->toPlainText()), "");
    EXPECT_EQ(Cp(window.LabelK[0]->text()), "");
    EXPECT_TRUE(window.BitBtnDruk1->isHidden());
    EXPECT_EQ(boxes_.TextsOf(MessageKind::Information), std::vector<std::string>{});
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.ButWczytaj->isEnabled());
    ExpectNoReadWindowsLeft();
}

}  // namespace apptest
