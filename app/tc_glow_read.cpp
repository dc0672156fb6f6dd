// The main window's card read: the reader check, the read buttons and the download over the
// card component of the hidden card form.
#include "app/tc_glow.h"
#include "smartcard/apdudemocard.h"
#include "smartcard/apdudemocard_channel.h"
#include "smartcard/driver_card_download.h"
#include "smartcard/smartcardform.h"
#include "tacho/card_image.h"
#include "tacho/ddd_save.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/dialogparts.h"
#include "utility/dialprogres.h"
#include "utility/oknonomodal.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <exception>
#include <filesystem>
#include <memory>

namespace app {
namespace {

const QColor kWaitingNoteColour(255, 255, 0);

void SetMemo(QPlainTextEdit* memo, const std::string& text)
{
    memo->setPlainText(utility::MemoText(text));
    memo->repaint();
}

// The card download file writer's view of the main window.
class TDddSaveOfWindow final : public tacho::DddSaveWindow {
public:
    explicit TDddSaveOfWindow(Tf_tcGlow& window) : window_(window) {}
    bool IsEnabled() const override { return window_.isEnabled(); }
    void SetEnabled(bool enabled) override { window_.setEnabled(enabled); }
    std::filesystem::path DddFolder() const override { return window_.DddFolder; }

private:
    Tf_tcGlow& window_;
};

// The download's progress window, result labels and card download file save on the window.
class TReadHooks final : public smartcard::TDownloadHooks {
public:
    explicit TReadHooks(Tf_tcGlow& window) : window_(window) {}
    ~TReadHooks() override { utility::ProgressClose(progress_); }
    TReadHooks(const TReadHooks&) = delete;
    TReadHooks& operator=(const TReadHooks&) = delete;

    void ProgressOpen(int minimum, int maximum, const std::string& caption) override
    {
        (void)utility::ProgressOpen(minimum, maximum, caption, std::string(), progress_);
    }
    void ProgressStep(int position) override { utility::ProgressStep(position, std::string(), progress_.get()); }
    void ProgressClose() override { utility::ProgressClose(progress_); }
    void SetReadResult(const std::string& text) override
    {
        window_.Label4->setText(utility::Cp1250ToQString(text));
        window_.repaint();
    }
    void SetSaveResult(const std::string& text) override { SetMemo(window_.Label7, text); }
    void SaveCardAsDdd() override { window_.SaveCardAsDdd(); }

private:
    Tf_tcGlow& window_;
    std::unique_ptr<utility::Tf_progres> progress_;
};

// A card in the reader whose insertion the component never acted on is connected here, so
// that the read does not fail on a card that is plainly there. False after an error box.
bool ConnectPresentCard(smartcard::TAPDUDemoCard& card)
{
    if (card.Connected() || !card.IsCardPresent())
        return true;
    try {
        card.Connect();
        return true;
    } catch (const std::exception& e) {
        utility::ErrorBox(utility::Pl("Nie można połączyć się z kartą w czytniku:\r\n") +
                          utility::Utf8ToCp1250(e.what()));
        return false;
    }
}

// The whole read over the card form's component; never throws.
smartcard::TDownloadOutcome DownloadCard(Tf_tcGlow& window)
{
    smartcard::TDownloadOutcome failed;
    smartcard::Tf_smartCard* form = smartcard::f_smartCard();
    smartcard::TAPDUDemoCard* card = form ? form->APDUDemoCard1 : nullptr;
    if (card) {
        window.AtrText = card->AtrHex();
        if (ConnectPresentCard(*card)) {
            smartcard::TAPDUDemoCardChannel channel(*card);
            TReadHooks hooks(window);
            const smartcard::TDownloadEnvironment environment{window.ZoltFolder, {}, {}};
            return smartcard::ReadDriverCard(channel, hooks, environment);
        }
    }
    // Nothing was read: no earlier card may pass for this one.
    tacho::CardImage.fill(0);
    tacho::SignatureArea.fill(0);
    window.Label4->setText(QStringLiteral("Danych nie wczytano"));
    window.repaint();
    return failed;
}

}  // namespace

bool Tf_tcGlow::CheckReader()
{
    ButWczytaj->setEnabled(false);
    ClearSummaryTexts();
    Label7->clear();
    SetPrintVisible(false);
    repaint();
    try {
        Memo1->clear();
        Memo1->repaint();
        if (!smartcard::f_smartCard())
            smartcard::CreateSmartCardForm();
    } catch (...) {
        smartcard::FreeSmartCardForm();
        SetMemo(Memo1, utility::Pl("Błąd inicjacji modułu czytającego"));
        return false;
    }
    smartcard::TAPDUDemoCard& card = *smartcard::f_smartCard()->APDUDemoCard1;
    try {
        card.RefreshState(false);
        SelectCardReader(card);
    } catch (const std::exception& e) {
        SetMemo(Memo1, "Brak czytnika SCR3310 lub EZ100PU\r\n" + utility::Utf8ToCp1250(e.what()));
        smartcard::FreeSmartCardForm();
        return false;
    }
    SetMemo(Memo1, "Czytnik:\r\n" + utility::Utf8ToCp1250(card.ReaderNameOrNone()));
    // Without a reader there is no card to speak of, present or absent.
    if (!card.Reader())
        return false;
    if (card.IsCardPresent()) {
        Label35->setText(utility::Cp1250ToQString(utility::Pl("Karta włożona do czytnika")));
        ButWczytaj->setEnabled(true);
        return true;
    }
    Label35->setText(QStringLiteral("Karta nieobecna w czytniku"));
    return false;
}

void Tf_tcGlow::SelectCardReader(smartcard::TAPDUDemoCard& card) { card.UseFirstReader(); }

void Tf_tcGlow::ButWczytajClick()
{
    CurrentFileName.clear();
    if (!CheckReader() || !ButWczytaj->isEnabled())
        return;
    // The window and the button come back and the note goes however the read ends.
    struct Restore {
        Tf_tcGlow& window;
        ~Restore()
        {
            window.ButWczytaj->setEnabled(true);
            window.setEnabled(true);
            utility::CloseNoModal();
        }
    } restore{*this};
    try {
        ButWczytaj->setEnabled(false);
        setEnabled(false);
        utility::ShowNoModal(utility::Pl("\r\n\r\nWczytywanie karty\r\nProszę czekać"), kWaitingNoteColour,
                             QColor(Qt::black));
        // The summary shows a card that was read whole, also when its ZOLT file failed.
        if (DownloadCard(*this).cardRead)
            ShowCardSummary();
    } catch (const std::exception& e) {
        utility::ErrorBox(utility::Utf8ToCp1250(e.what()));
    } catch (...) {
        utility::ErrorBox(utility::Pl("Nieoczekiwany błąd programu."));
    }
}

void Tf_tcGlow::BitBtnSprawdzClick()
{
    if (CheckReader())
        ButWczytajClick();
}

int Tf_tcGlow::ReadDriverCard() { return DownloadCard(*this).result; }

void Tf_tcGlow::SaveCardAsDdd()
{
    TDddSaveOfWindow window(*this);
    tacho::SaveCardAsDdd(window, tacho::CardImage, tacho::SignatureArea, {});
}

}  // namespace app
