// Main window tests that read a card through the reader check and the read button: what a
// complete read must leave (files, labels, summary) and what a failed one must not.
#pragma once

#include "app/tc_glow.h"
#include "tacho/card_image.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/card_files.h"

#include <QColor>
#include <QString>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace apptest {

// The card image and the signature area a complete read of these card files leaves.
struct ExpectedCard {
    tacho::CardImageData image{};
    tacho::SignatureAreaData signatures{};
};
ExpectedCard ExpectedCardOf(const testsupport::CardFiles& files);

// What the window showed while the read ran (seen at the first progress step).
struct ReadSnapshot {
    bool seen = false;
    bool windowEnabled = true;
    bool readButtonEnabled = true;
    QString note;  // text of the waiting note, empty when none was shown
    QColor noteBack;
    QColor noteText;
    QString progressCaption;  // empty when no progress window was open
};

// Texts of the window in code page 1250; memo lines end in "\n".
std::string Cp(const QString& text);

class CardReadWindowTest : public MainWindowTest {
protected:
    void SetUp() override;
    // Lets go of the card (resetting it for the next user) and frees the card form.
    void TearDown() override;

    // The entries of a folder given in code page 1250; none when it does not exist.
    static std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder);
    // Runs `click` with a look at the window queued for the first time events are processed.
    static ReadSnapshot ClickAndWatch(const std::function<void()>& click);

    // Files, labels and the summary of a complete read of `files` from `reader`.
    void ExpectCompleteRead(const app::Tf_tcGlow& window, const testsupport::CardFiles& files,
                            const std::string& reader);
    // No card download file and no ZOLT file, "Danych nie wczytano", no summary.
    void ExpectNothingSaved(const app::Tf_tcGlow& window);
};

}  // namespace apptest
