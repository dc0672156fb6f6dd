// Message boxes and the application-wide hourglass cursor. Every box the program shows goes
// through the one replaceable MessageBoxes implementation, so tests never block on a modal box.
// Texts are code page 1250; "\r\n" breaks a line.
#pragma once

#include <QScopeGuard>

#include <string>
#include <string_view>

namespace utility {

enum class MessageKind {
    Error,         // OK
    Information,   // OK
    Warning,       // OK
    Confirmation,  // Yes / No
    Notice,        // plain text and OK, no icon
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows one modal box; true when it was closed with OK (Yes for a confirmation).
    virtual bool Show(MessageKind kind, const std::string& text) = 0;
};

// Standard Qt message dialogs, modal and centred over the active window; the text is shown
// as plain text, never as markup.
class QtMessageBoxes final : public MessageBoxes {
public:
    bool Show(MessageKind kind, const std::string& text) override;
};

// Installs `boxes` (not owned; nullptr = the Qt boxes) and returns the one it replaces.
MessageBoxes* SetMessageBoxes(MessageBoxes* boxes);
MessageBoxes& CurrentMessageBoxes();

void ErrorBox(std::string_view text);
// True when the box was closed with OK.
bool InfoBox(std::string_view text);
void WarningBox(std::string_view text);
// True when Yes was chosen; an empty text returns true at once without a box.
bool ConfirmYesNo(std::string_view text);
// The plain notice (text and OK).
void NoticeBox(std::string_view text);

// The hourglass is one switch for the whole application: any number of ShowHourglass calls
// are undone by one ShowDefaultCursor.
void ShowHourglass();
void ShowDefaultCursor();

// The hourglass until the returned guard goes, whatever happens in between.
[[nodiscard]] inline auto HourglassScope()
{
    ShowHourglass();
    return qScopeGuard([] { ShowDefaultCursor(); });
}

}  // namespace utility
